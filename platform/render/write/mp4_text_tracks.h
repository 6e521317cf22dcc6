#pragma once
// FFmpeg's MP4 muxer enables the first track of each kind whatever its disposition, and players
// show an enabled text track. For subtitles that are not to be shown unasked (the captions are in
// the picture too), the finished file's text tracks are disabled in place.

#include <string>

// Clears the "enabled" flag of every text track of the MP4 file at `path`.
bool DisableMp4TextTracks(const std::string& path, std::string* error);
