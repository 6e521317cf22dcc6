#pragma once
// The EXIF orientation (1 to 8, 1 when none is given) of the EXIF blocks that PNG and WebP files
// carry, through libexif. JPEG's is read with its header (jpeg_header.h); HEIF and TIFF files say
// it their own way.

#include <cstddef>
#include <cstdint>
#include <string>

// An EXIF block, with or without the "Exif\0\0" that starts it in a JPEG.
int ExifOrientation(const std::uint8_t* data, std::size_t size);

// A PNG file's orientation from its eXIf chunk; 1 when the file has none or is no PNG.
int PngOrientation(const std::string& path);
