#pragma once
// TIFF photos through libtiff, which reads what FFmpeg's TIFF decoder gets wrong (CMYK, JPEG inside
// TIFF, tiles) and 32-bit float samples (shown as 0 black to 1 white). A file is one when its first
// bytes say so, whatever its name. The picture comes as stored; its orientation tag (the same
// numbers as EXIF's) says how to turn it upright.
//
// Safe to call from any thread; each call works on its own objects.

#include <string>

#include "platform/media/ffmpeg_handles.h"

struct TiffPicture {
    FramePtr frame;  // RGBA, transparency not premultiplied
    int orientation = 1;
};

// Whether the file starts as a TIFF file.
bool IsTiffFile(const std::string& path);

// The first image of the file. On failure *error names the file and says why.
bool DecodeTiffPhoto(const std::string& path, TiffPicture* picture, std::string* error);
