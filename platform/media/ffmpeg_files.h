#pragma once
// Opening files with FFmpeg the one safe way: a name is only ever a local file, never a protocol
// ("concat:", "http:") or an image-sequence pattern.

#include <string>

#include "platform/media/ffmpeg_handles.h"

// "file:" + path.
std::string FileUrl(const std::string& path);
// avformat_open_input on the file alone; FFmpeg's result code. A path that names no regular file
// (a pipe, a device) is not opened.
int OpenInputFile(const std::string& path, FormatInputPtr* fmt);
// The options that keep an output to the file protocol; for avio_open2.
AVDictionary* FileOnlyOptions();
// FFmpeg's words for one of its result codes.
std::string FfmpegErrorText(int code);
