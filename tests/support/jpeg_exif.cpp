#include "tests/support/jpeg_exif.h"

std::string WithExifOrientation(const std::string& jpeg, int orientation) {
    std::string tiff = std::string("MM\0\x2a\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0", 19) +
                       static_cast<char>(orientation) + std::string("\0\0\0\0\0\0", 6);
    std::string app1 = std::string("Exif\0\0", 6) + tiff;
    std::size_t len = app1.size() + 2;
    std::string segment = std::string("\xFF\xE1", 2) + static_cast<char>(len >> 8) + static_cast<char>(len & 0xFF) + app1;
    return jpeg.substr(0, 2) + segment + jpeg.substr(2);
}
