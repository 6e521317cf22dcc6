#pragma once
// The small JPEG that a camera stores in a JPEG's EXIF block, through libexif.
//
// Safe to call from any thread.

#include <string>

// The thumbnail's JPEG bytes; empty when the file is no JPEG or carries none.
std::string ExifThumbnailBytes(const std::string& path);
