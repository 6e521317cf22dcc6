#include "platform/media/photo_date.h"

#include <libexif/exif-data.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct ExifDataFree {
    void operator()(ExifData* d) const { exif_data_unref(d); }
};

std::string EntryText(ExifData* exif, ExifIfd ifd, ExifTag tag) {
    ExifEntry* entry = exif_content_get_entry(exif->ifd[ifd], tag);
    if (entry == nullptr || entry->format != EXIF_FORMAT_ASCII || entry->data == nullptr) return {};
    return std::string(reinterpret_cast<const char*>(entry->data),
                       strnlen(reinterpret_cast<const char*>(entry->data), entry->size));
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
    // libexif's loader stops at the end of the EXIF block.
    std::unique_ptr<ExifData, ExifDataFree> exif(exif_data_new_from_file(path.c_str()));
    if (exif == nullptr) return std::nullopt;
    if (auto taken = ParseExifDate(EntryText(exif.get(), EXIF_IFD_EXIF, EXIF_TAG_DATE_TIME_ORIGINAL))) return taken;
    return ParseExifDate(EntryText(exif.get(), EXIF_IFD_0, EXIF_TAG_DATE_TIME));
}
