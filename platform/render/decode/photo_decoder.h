#pragma once
// Turns a photo file into one video frame: decoded once (a large JPEG at reduced scale, a HEIC or
// AVIF through libheif, TIFF through libtiff, WebP through libwebp, any other through FFmpeg,
// chosen by the file's first bytes), turned upright by its orientation (EXIF's in JPEG, PNG and
// WebP, TIFF's tag, a HEIF file's own transformations), scaled into the frame with its
// aspect kept and black bars around it, transparent parts over black, in the matrix the frame's
// height calls for (video_colour.h).
//
// Safe to call from any thread; each call works on its own objects.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/media/ffmpeg_handles.h"

inline constexpr std::int64_t kMaxPhotoPixels = 100'000'000;
// True, with *error saying so, when a photo of width × height is beyond kMaxPhotoPixels.
bool PhotoTooLarge(std::int64_t width, std::int64_t height, const std::string& path, std::string* error);

struct JpegHeader;
// A JPEG's size and orientation from its first bytes, without reading the whole file; false when
// the file is no JPEG or its frame header was not found.
bool ProbeJpegFile(const std::string& path, JpegHeader* header);

struct PhotoSize {
    int width = 0;  // as shown, after the orientation
    int height = 0;
};

// The photo's upright size, from its header where the format allows (JPEG), else by decoding it.
// On failure *error names the file and says why.
bool ProbePhoto(const std::string& path, PhotoSize* size, std::string* error);

// A new 4:2:0 frame of frameWidth × frameHeight (both even) holding the photo letterboxed.
bool DecodePhotoFrame(const std::string& path, int frameWidth, int frameHeight, FramePtr* frame,
                      std::string* error);

// The upright photo as a 4:2:0 picture (even sizes) at the size `shownSize` gives for its full
// upright size: decoded at the smallest scale that still covers `needed` times that size (a
// large JPEG at 1/2, 1/4 or 1/8), then scaled down to it where the decoding is larger. A photo
// smaller than that keeps its own size: it is never enlarged here. *fullSize gets the photo's full upright size. Its colours are in the matrix of
// frames `frameHeight` lines high, transparent parts over black. *alpha, where asked for, gets
// their transparency: a 4:2:0 frame of the picture's size holding it in each plane at that
// plane's size (255 opaque), or null when the photo has none.
bool DecodeUprightPhoto(const std::string& path, int frameHeight,
                        const std::function<PhotoSize(PhotoSize)>& shownSize, FramePtr* picture,
                        PhotoSize* fullSize, std::string* error, double needed = 1.0,
                        FramePtr* alpha = nullptr);
