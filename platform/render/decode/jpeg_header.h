#pragma once
// What a JPEG's markers say without decoding it: its size and its EXIF orientation.

#include <cstdint>
#include <string_view>

struct JpegHeader {
    int width = 0;
    int height = 0;
    int orientation = 1;  // EXIF 1..8; 1 = as stored
};

// False when the bytes are not a JPEG with a frame header.
bool ReadJpegHeader(std::string_view bytes, JpegHeader* header);
