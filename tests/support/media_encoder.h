#pragma once

#include <string>

// Encodes `seconds` of a 440 Hz stereo tone at 44100 Hz (48000 Hz for Opus) into `path` with
// FFmpeg, the container guessed from the file name and the codec named (for example "libmp3lame",
// "aac", "libvorbis"); with `coverJpeg`, that picture is attached as the cover. Returns an empty
// text on success, else what failed.
std::string EncodeTone(const std::string& path, double seconds, const std::string& codecName,
                       const std::string& coverJpeg = {});
