#include "platform/render/decode/jpeg_dc_scans.h"

#include <cstring>

namespace {

unsigned char Byte(std::string_view s, std::size_t at) { return static_cast<unsigned char>(s[at]); }

// Where the entropy-coded data starting at `at` ends: the next marker other than a stuffed zero or
// a restart marker. npos when no marker follows.
std::size_t EndOfScanData(std::string_view s, std::size_t at) {
    while (at < s.size()) {
        const void* ff = std::memchr(s.data() + at, 0xFF, s.size() - at);
        if (ff == nullptr) return std::string_view::npos;
        std::size_t p = static_cast<const char*>(ff) - s.data();
        while (p + 1 < s.size() && Byte(s, p + 1) == 0xFF) ++p;  // fill bytes before a marker
        if (p + 1 >= s.size()) return std::string_view::npos;
        unsigned char next = Byte(s, p + 1);
        if (next != 0x00 && (next < 0xD0 || next > 0xD7)) return p;
        at = p + 2;
    }
    return std::string_view::npos;
}

}  // namespace

bool KeepDcScans(std::string_view s, std::string* out) {
    if (s.size() < 4 || Byte(s, 0) != 0xFF || Byte(s, 1) != 0xD8) return false;
    std::string kept(s.substr(0, 2));
    kept.reserve(s.size() / 4);
    bool progressive = false;
    std::size_t at = 2;
    while (at + 2 <= s.size()) {
        if (Byte(s, at) != 0xFF) return false;
        const unsigned char marker = Byte(s, at + 1);
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        if (marker == 0xD9) {
            if (!progressive) return false;
            kept.append("\xFF\xD9", 2);
            *out = std::move(kept);
            return true;
        }
        if (at + 4 > s.size()) return false;
        const std::size_t length = (Byte(s, at + 2) << 8) | Byte(s, at + 3);
        if (length < 2 || at + 2 + length > s.size()) return false;
        std::string_view segment = s.substr(at, 2 + length);
        at += 2 + length;
        if (marker == 0xC2) progressive = true;
        if (marker != 0xDA) {
            kept.append(segment);
            continue;
        }
        // Start of scan: component count, two bytes per component, then the spectral start Ss.
        if (!progressive || segment.size() < 5) return false;
        const std::size_t ssAt = 5 + 2 * static_cast<std::size_t>(Byte(segment, 4));
        if (ssAt >= segment.size()) return false;
        const std::size_t end = EndOfScanData(s, at);
        if (end == std::string_view::npos) return false;
        if (Byte(segment, ssAt) == 0) {
            kept.append(segment);
            kept.append(s.substr(at, end - at));
        }
        at = end;
    }
    return false;
}
