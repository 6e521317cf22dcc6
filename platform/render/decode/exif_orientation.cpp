#include "platform/render/decode/exif_orientation.h"

#include <libexif/exif-data.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct ExifDataFree {
    void operator()(ExifData* d) const { exif_data_unref(d); }
};

std::uint32_t BigEndian32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

// The eXIf chunk's data; empty when there is none before the picture data.
std::vector<std::uint8_t> PngExifChunk(std::FILE* f) {
    std::uint8_t signature[8];
    if (std::fread(signature, 1, 8, f) != 8 || std::memcmp(signature, "\x89PNG\r\n\x1a\n", 8) != 0)
        return {};
    std::uint8_t head[8];
    while (std::fread(head, 1, 8, f) == 8) {
        const std::uint32_t length = BigEndian32(head);
        if (std::memcmp(head + 4, "IDAT", 4) == 0 || std::memcmp(head + 4, "IEND", 4) == 0) break;
        if (std::memcmp(head + 4, "eXIf", 4) == 0 && length <= (1u << 20)) {
            std::vector<std::uint8_t> data(length);
            if (std::fread(data.data(), 1, length, f) == length) return data;
            break;
        }
        if (std::fseek(f, static_cast<long>(length) + 4, SEEK_CUR) != 0) break;  // data and CRC
    }
    return {};
}

}  // namespace

int ExifOrientation(const std::uint8_t* data, std::size_t size) {
    static const std::uint8_t kHeader[] = {'E', 'x', 'i', 'f', 0, 0};
    if (size < 8 || size > (1u << 24)) return 1;
    std::vector<std::uint8_t> block;
    if (std::memcmp(data, kHeader, sizeof kHeader) != 0)
        block.assign(kHeader, kHeader + sizeof kHeader);
    block.insert(block.end(), data, data + size);
    std::unique_ptr<ExifData, ExifDataFree> exif(
        exif_data_new_from_data(block.data(), static_cast<unsigned>(block.size())));
    if (exif == nullptr) return 1;
    ExifEntry* entry = exif_content_get_entry(exif->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
    if (entry == nullptr || entry->format != EXIF_FORMAT_SHORT || entry->components < 1) return 1;
    const int value = exif_get_short(entry->data, exif_data_get_byte_order(exif.get()));
    return value >= 1 && value <= 8 ? value : 1;
}

std::vector<std::uint8_t> PngExifBlock(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return {};
    std::vector<std::uint8_t> chunk = PngExifChunk(f);
    std::fclose(f);
    return chunk;
}

int PngOrientation(const std::string& path) {
    const std::vector<std::uint8_t> chunk = PngExifBlock(path);
    return chunk.empty() ? 1 : ExifOrientation(chunk.data(), chunk.size());
}
