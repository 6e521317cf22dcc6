#include "platform/media/photo_date.h"

#include <libexif/exif-data.h>
#include <libheif/heif.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/render/decode/exif_orientation.h"

namespace {

struct ExifDataFree {
    void operator()(ExifData* d) const { exif_data_unref(d); }
};
using ExifPtr = std::unique_ptr<ExifData, ExifDataFree>;

std::string EntryText(ExifData* exif, ExifIfd ifd, ExifTag tag) {
    ExifEntry* entry = exif_content_get_entry(exif->ifd[ifd], tag);
    if (entry == nullptr || entry->format != EXIF_FORMAT_ASCII || entry->data == nullptr) return {};
    return std::string(reinterpret_cast<const char*>(entry->data),
                       strnlen(reinterpret_cast<const char*>(entry->data), entry->size));
}

std::optional<PhotoDate> DateIn(ExifData* exif) {
    if (exif == nullptr) return std::nullopt;
    if (auto taken = ParseExifDate(EntryText(exif, EXIF_IFD_EXIF, EXIF_TAG_DATE_TIME_ORIGINAL))) return taken;
    return ParseExifDate(EntryText(exif, EXIF_IFD_0, EXIF_TAG_DATE_TIME));
}

// An EXIF block as PNG and HEIF files keep it, from its TIFF header on.
std::optional<PhotoDate> DateInBlock(const std::uint8_t* tiff, std::size_t size) {
    if (size < 8 || size > (1u << 24)) return std::nullopt;
    std::vector<std::uint8_t> block{'E', 'x', 'i', 'f', 0, 0};
    block.insert(block.end(), tiff, tiff + size);
    ExifPtr exif(exif_data_new_from_data(block.data(), static_cast<unsigned>(block.size())));
    return DateIn(exif.get());
}

bool IsHeif(const std::string& path) {
    std::uint8_t head[12];
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return false;
    const bool whole = std::fread(head, 1, sizeof head, f) == sizeof head;
    std::fclose(f);
    return whole && heif_check_filetype(head, sizeof head) == heif_filetype_yes_supported;
}

// A HEIF file's Exif item starts with the offset of the TIFF header behind it.
std::optional<PhotoDate> HeifDate(const std::string& path) {
    std::unique_ptr<heif_context, void (*)(heif_context*)> ctx(heif_context_alloc(), heif_context_free);
    if (heif_context_read_from_file(ctx.get(), path.c_str(), nullptr).code != heif_error_Ok) return std::nullopt;
    heif_image_handle* raw = nullptr;
    if (heif_context_get_primary_image_handle(ctx.get(), &raw).code != heif_error_Ok) return std::nullopt;
    std::unique_ptr<heif_image_handle, void (*)(const heif_image_handle*)> handle(raw, heif_image_handle_release);
    heif_item_id id = 0;
    if (heif_image_handle_get_list_of_metadata_block_IDs(handle.get(), "Exif", &id, 1) != 1) return std::nullopt;
    std::vector<std::uint8_t> data(heif_image_handle_get_metadata_size(handle.get(), id));
    if (data.size() < 4 || heif_image_handle_get_metadata(handle.get(), id, data.data()).code != heif_error_Ok)
        return std::nullopt;
    const std::size_t offset = 4 + (std::size_t{data[0]} << 24 | std::size_t{data[1]} << 16 |
                                    std::size_t{data[2]} << 8 | data[3]);
    if (offset >= data.size()) return std::nullopt;
    return DateInBlock(data.data() + offset, data.size() - offset);
}

}  // namespace

std::optional<PhotoDate> ParseExifDate(const std::string& text) {
    PhotoDate d;
    char tail = 0;
    if (text.size() < 19 || std::sscanf(text.c_str(), "%4d:%2d:%2d %2d:%2d:%2d%c", &d.year, &d.month, &d.day,
                                        &d.hour, &d.minute, &d.second, &tail) < 6)
        return std::nullopt;
    const bool valid = d.year >= 1800 && d.year <= 9999 && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
                       d.day <= 31 && d.hour >= 0 && d.hour <= 24 && d.minute >= 0 && d.minute <= 59 &&
                       d.second >= 0 && d.second <= 60;
    return valid ? std::optional<PhotoDate>(d) : std::nullopt;
}

std::optional<PhotoDate> PhotoTakenDate(const std::string& path) {
    // libexif's loader reads a JPEG only up to the end of its EXIF block.
    if (ExifPtr exif{exif_data_new_from_file(path.c_str())}) return DateIn(exif.get());
    if (IsHeif(path)) return HeifDate(path);
    const std::vector<std::uint8_t> png = PngExifBlock(path);
    return png.empty() ? std::nullopt : DateInBlock(png.data(), png.size());
}
