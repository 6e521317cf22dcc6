#include "lang/text_encoding.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD";

// Converts with iconv, replacing what cannot be converted; false when iconv lacks the pair.
bool Convert(std::string_view bytes, const std::string& from, const std::string& to,
             std::size_t unit, std::string* out, bool strict = false) {
    iconv_t cd = iconv_open(to.c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    out->clear();
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char buf[4096];
    bool ok = true;
    while (inLeft > 0) {
        char* o = buf;
        std::size_t oLeft = sizeof buf;
        std::size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
        out->append(buf, static_cast<std::size_t>(o - buf));
        if (r != static_cast<std::size_t>(-1)) continue;
        if (errno == E2BIG) continue;
        if (strict) {
            ok = false;
            break;
        }
        // EILSEQ or a sequence cut off at the end: skip one unit.
        out->append(kReplacement);
        std::size_t skip = std::min(unit, inLeft);
        in += skip;
        inLeft -= skip;
    }
    iconv_close(cd);
    return ok;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::string SanitiseUtf8(std::string_view bytes) {
    std::string out;
    if (!Convert(bytes, "UTF-8", "UTF-8", 1, &out)) return std::string(bytes);
    return out;
}

std::string DecodeToUtf8(std::string_view bytes, FileEncoding encoding, int codePage) {
    if (StartsWith(bytes, "\xEF\xBB\xBF")) return SanitiseUtf8(bytes.substr(3));
    // A UTF-16 mark says what the file is, whatever its name says.
    if (StartsWith(bytes, "\xFF\xFE") || StartsWith(bytes, "\xFE\xFF")) encoding = FileEncoding::Utf16;
    std::string out;
    switch (encoding) {
        case FileEncoding::Utf8: return SanitiseUtf8(bytes);
        case FileEncoding::Utf16: {
            std::string from = "UTF-16LE";
            if (StartsWith(bytes, "\xFF\xFE")) {
                bytes.remove_prefix(2);
            } else if (StartsWith(bytes, "\xFE\xFF")) {
                bytes.remove_prefix(2);
                from = "UTF-16BE";
            }
            Convert(bytes, from, "UTF-8", 2, &out);
            return out;
        }
        case FileEncoding::CodePage:
            if (codePage <= 0) return SanitiseUtf8(bytes);
            if (!Convert(bytes, "CP" + std::to_string(codePage), "UTF-8", 1, &out)) {
                return SanitiseUtf8(bytes);
            }
            return out;
    }
    return out;
}

bool EncodeFromUtf8(std::string_view utf8, int codePage, std::string* out) {
    if (codePage <= 0) {
        *out = std::string(utf8);
        return true;
    }
    return Convert(utf8, "UTF-8", "CP" + std::to_string(codePage), 1, out, true);
}
