#pragma once
// The EXIF orientation (1 to 8, 1 when none is given) of the EXIF blocks that PNG and WebP files
// carry, through libexif. JPEG's is read with its header (jpeg_header.h); HEIF and TIFF files say
// it their own way.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// An EXIF block, with or without the "Exif\0\0" that starts it in a JPEG.
int ExifOrientation(const std::uint8_t* data, std::size_t size);

// A PNG file's eXIf chunk (an EXIF block without "Exif\0\0"); empty when it has none or is no PNG.
std::vector<std::uint8_t> PngExifBlock(const std::string& path);
// A PNG file's orientation from its eXIf chunk; 1 when the file has none or is no PNG.
int PngOrientation(const std::string& path);

// Where the pixel (x, y) of a picture turned as EXIF `orientation` (1 to 8) asks comes from, in
// the unturned picture of sw × sh.
inline void OrientationSource(int orientation, int x, int y, int sw, int sh, int* sx, int* sy) {
    *sx = x;
    *sy = y;
    switch (orientation) {
        case 2: *sx = sw - 1 - x; break;
        case 3: *sx = sw - 1 - x; *sy = sh - 1 - y; break;
        case 4: *sy = sh - 1 - y; break;
        case 5: *sx = y; *sy = x; break;
        case 6: *sx = y; *sy = sh - 1 - x; break;
        case 7: *sx = sw - 1 - y; *sy = sh - 1 - x; break;
        case 8: *sx = sw - 1 - y; *sy = x; break;
        default: break;
    }
}
