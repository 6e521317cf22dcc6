#pragma once

#include <string>

#include "platform/com/hresult.h"

// Play length of an audio or video file in 100-ns units, or -1 when the file cannot be opened or
// holds no audio or video stream that can be decoded. The container's own duration is used where
// it gives one; a length that is only estimated from the bitrate, or missing, is found by reading
// the file's packets (and decoding them only when they carry no timing).
REFERENCE_TIME ProbeMediaDuration(const std::string& path);

// FFmpeg's own console messages off: the program reports failures in its own words.
void QuietMediaLibraryLog();
