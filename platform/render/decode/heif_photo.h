#pragma once
// HEIC, HEIF and AVIF photos through libheif. A file is one when its first bytes say so, whatever
// its name. Its picture comes turned, mirrored and cropped as the file's own transformations say;
// the Exif orientation such a file may also carry describes that same turn and is not applied.
//
// Safe to call from any thread; each call works on its own objects.

#include <string>

#include "platform/media/ffmpeg_handles.h"

struct HeifPicture {
    FramePtr frame;                     // RGB24, or RGBA when the photo has transparency
    int fullWidth = 0, fullHeight = 0;  // the photo's upright size, whichever image was decoded
};

// Whether the file starts as a HEIF file (HEIC and AVIF are kinds of it).
bool IsHeifFile(const std::string& path);

// The upright size of the file's primary image. On failure *error names the file and says why.
bool ProbeHeifPhoto(const std::string& path, int* width, int* height, std::string* error);

// The primary image, or the smallest thumbnail of it that still covers the size the photo is
// shown at in a fitWidth × fitHeight frame (0 × 0: the primary image). The decoder's memory is
// handed back before this returns; the frame holds only the picture.
bool DecodeHeifPhoto(const std::string& path, int fitWidth, int fitHeight, HeifPicture* picture,
                     std::string* error);
