#include "platform/render/write/mp4_text_tracks.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <optional>
#include <vector>

namespace {

constexpr std::uint64_t kMaxMovieBox = 256u << 20;
constexpr std::uint8_t kTrackEnabled = 0x01;

std::uint64_t BigEndian(const std::uint8_t* p, int bytes) {
    std::uint64_t v = 0;
    for (int i = 0; i < bytes; ++i) v = v << 8 | p[i];
    return v;
}

constexpr std::uint32_t FourCc(const char (&s)[5]) {
    return std::uint32_t(std::uint8_t(s[0])) << 24 | std::uint32_t(std::uint8_t(s[1])) << 16 |
           std::uint32_t(std::uint8_t(s[2])) << 8 | std::uint8_t(s[3]);
}

struct Box {
    std::uint32_t type = 0;
    std::uint64_t body = 0, end = 0;  // offsets within what was read
};

// The box at offset `at` whose header bytes are `header`; false for one that does not fit before
// `limit`.
bool ReadBoxHeader(const std::uint8_t* header, std::uint64_t at, std::uint64_t limit, Box* box) {
    if (limit - at < 8) return false;
    std::uint64_t size = BigEndian(header, 4);
    std::uint64_t headerSize = 8;
    if (size == 1) {
        if (limit - at < 16) return false;
        size = BigEndian(header + 8, 8);
        headerSize = 16;
    } else if (size == 0) {
        size = limit - at;
    }
    if (size < headerSize || size > limit - at) return false;
    *box = {static_cast<std::uint32_t>(BigEndian(header + 4, 4)), at + headerSize, at + size};
    return true;
}

std::vector<Box> Children(const std::vector<std::uint8_t>& bytes, std::uint64_t from, std::uint64_t to) {
    std::vector<Box> boxes;
    Box box;
    while (ReadBoxHeader(bytes.data() + from, from, to, &box)) {
        boxes.push_back(box);
        from = box.end;
    }
    return boxes;
}

std::optional<Box> Find(const std::vector<Box>& boxes, std::uint32_t type) {
    for (const Box& b : boxes) {
        if (b.type == type) return b;
    }
    return std::nullopt;
}

bool IsTextHandler(const std::vector<std::uint8_t>& moov, const Box& trak) {
    const std::optional<Box> mdia = Find(Children(moov, trak.body, trak.end), FourCc("mdia"));
    const std::optional<Box> hdlr = mdia ? Find(Children(moov, mdia->body, mdia->end), FourCc("hdlr")) : std::nullopt;
    // version and flags, pre_defined, then the handler type
    if (!hdlr || hdlr->end - hdlr->body < 12) return false;
    const std::uint64_t handler = BigEndian(&moov[hdlr->body + 8], 4);
    return handler == FourCc("sbtl") || handler == FourCc("text") || handler == FourCc("subt");
}

}  // namespace

bool DisableMp4TextTracks(const std::string& path, std::string* error) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekg(0, std::ios::end);
    const std::uint64_t fileSize = static_cast<std::uint64_t>(file.tellg());
    std::uint64_t at = 0;
    Box moovBox;
    for (Box box; file && at < fileSize; at = box.end) {
        std::uint8_t header[16] = {};
        file.seekg(static_cast<std::streamoff>(at));
        file.read(reinterpret_cast<char*>(header), static_cast<std::streamsize>(std::min<std::uint64_t>(16, fileSize - at)));
        file.clear();
        if (!ReadBoxHeader(header, at, fileSize, &box)) break;
        if (box.type == FourCc("moov")) moovBox = box;
    }
    if (moovBox.type == 0 || moovBox.end - moovBox.body > kMaxMovieBox) {
        *error = "The file " + path + " has no readable MP4 index";
        return false;
    }
    std::vector<std::uint8_t> moov(moovBox.end - moovBox.body);
    file.seekg(static_cast<std::streamoff>(moovBox.body));
    file.read(reinterpret_cast<char*>(moov.data()), static_cast<std::streamsize>(moov.size()));
    for (const Box& trak : Children(moov, 0, moov.size())) {
        if (trak.type != FourCc("trak") || !IsTextHandler(moov, trak)) continue;
        const std::optional<Box> tkhd = Find(Children(moov, trak.body, trak.end), FourCc("tkhd"));
        if (!tkhd || tkhd->end - tkhd->body < 4) continue;
        const std::uint64_t lowFlags = tkhd->body + 3;  // after the version and two bytes of flags
        const char flags = static_cast<char>(moov[lowFlags] & ~kTrackEnabled);
        file.seekp(static_cast<std::streamoff>(moovBox.body + lowFlags));
        file.write(&flags, 1);
    }
    file.flush();
    if (!file) {
        *error = "Cannot write to " + path;
        return false;
    }
    return true;
}
