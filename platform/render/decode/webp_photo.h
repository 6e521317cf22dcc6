#pragma once
// WebP photos through libwebp, which also reads animated files (FFmpeg's decoder does not): an
// animation is shown by its first frame. A file is one when its first bytes say so, whatever its
// name. The picture comes as stored; the EXIF block the file may carry says how to turn it upright.
//
// Safe to call from any thread; each call works on its own objects.

#include <string>

#include "platform/media/ffmpeg_handles.h"

struct WebpPicture {
    FramePtr frame;  // RGBA, transparency not premultiplied
    int orientation = 1;
};

// Whether the file starts as a WebP file.
bool IsWebpFile(const std::string& path);

// The picture, or an animation's first frame. On failure *error names the file and says why.
bool DecodeWebpPhoto(const std::string& path, WebpPicture* picture, std::string* error);
