#pragma once
// Photo kinds that FFmpeg's encoders do not write, made with the formats' own libraries: TIFFs as
// cameras and scanners store them, WebP and PNG with an EXIF orientation, animated WebP, and a
// HEIC whose header does not give the picture's size.

#include <string>

#include "tests/support/photo_files.h"

enum class TiffKind { CmykJpeg, TiledLzw, Float, Int32 };
// A TIFF of the picture, stored as `kind` says, with the orientation tag `orientation`.
std::string WriteTiff(const std::string& path, const RgbPicture& picture, TiffKind kind,
                      int orientation = 1);
// A lossless WebP of the picture with an EXIF block giving `orientation` (none when 0).
std::string WriteWebp(const std::string& path, const RgbPicture& picture, int orientation = 0);
// An animated WebP: `first`, then `second`, each for 100 ms.
std::string WriteAnimatedWebp(const std::string& path, const RgbPicture& first,
                              const RgbPicture& second);
// A PNG of the picture with an eXIf chunk giving `orientation`.
std::string WritePngWithExif(const std::string& path, const RgbPicture& picture, int orientation);
// A HEIC of the picture whose size boxes say 0 × 0.
std::string WriteSizelessHeic(const std::string& path, const RgbPicture& picture);
// The JPEG with an EXIF block (through libexif) carrying `thumbnail`, a JPEG of its own, and the
// orientation `orientation`.
// An EXIF block from its TIFF header on (as PNG and HEIF keep it) giving when the photo was taken
// ("2024:07:14 18:03:22"); the JPEG with that block; the PNG with it as its eXIf chunk.
std::string ExifDateBlock(const std::string& taken);
std::string WithExifDate(const std::string& jpeg, const std::string& taken);
std::string WithPngExif(const std::string& png, const std::string& tiff);
std::string WithExifThumbnail(const std::string& jpeg, const std::string& thumbnail, int orientation = 1);
