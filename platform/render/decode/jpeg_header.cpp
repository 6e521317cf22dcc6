#include "platform/render/decode/jpeg_header.h"

namespace {

unsigned U16(std::string_view s, std::size_t at, bool bigEndian) {
    auto b0 = static_cast<unsigned char>(s[at]), b1 = static_cast<unsigned char>(s[at + 1]);
    return bigEndian ? (b0 << 8) | b1 : (b1 << 8) | b0;
}

unsigned U32(std::string_view s, std::size_t at, bool bigEndian) {
    return bigEndian ? (U16(s, at, true) << 16) | U16(s, at + 2, true)
                     : (U16(s, at + 2, false) << 16) | U16(s, at, false);
}

// The Orientation tag (0x0112) of the first image directory of an EXIF block.
int ExifOrientation(std::string_view exif) {
    if (exif.size() < 14 || exif.substr(0, 6) != std::string_view("Exif\0\0", 6)) return 1;
    std::string_view tiff = exif.substr(6);
    bool big = tiff.substr(0, 2) == "MM";
    if (!big && tiff.substr(0, 2) != "II") return 1;
    std::size_t ifd = U32(tiff, 4, big);
    if (ifd + 2 > tiff.size()) return 1;
    unsigned entries = U16(tiff, ifd, big);
    for (unsigned i = 0; i < entries; ++i) {
        std::size_t e = ifd + 2 + i * 12;
        if (e + 12 > tiff.size()) break;
        if (U16(tiff, e, big) == 0x0112) {
            unsigned v = U16(tiff, e + 8, big);
            return v >= 1 && v <= 8 ? static_cast<int>(v) : 1;
        }
    }
    return 1;
}

bool IsFrameMarker(unsigned char m) {
    return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

}  // namespace

bool ReadJpegHeader(std::string_view s, JpegHeader* header) {
    if (s.size() < 4 || static_cast<unsigned char>(s[0]) != 0xFF ||
        static_cast<unsigned char>(s[1]) != 0xD8) {
        return false;
    }
    std::size_t at = 2;
    while (at + 4 <= s.size()) {
        if (static_cast<unsigned char>(s[at]) != 0xFF) return false;
        auto marker = static_cast<unsigned char>(s[at + 1]);
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        std::size_t length = U16(s, at + 2, true);
        if (length < 2 || at + 2 + length > s.size()) return false;
        std::string_view body = s.substr(at + 4, length - 2);
        if (marker == 0xE1) {
            int o = ExifOrientation(body);
            if (o != 1) header->orientation = o;
        } else if (IsFrameMarker(marker) && body.size() >= 5) {
            header->height = static_cast<int>(U16(body, 1, true));
            header->width = static_cast<int>(U16(body, 3, true));
            return header->width > 0 && header->height > 0;
        }
        at += 2 + length;
    }
    return false;
}
