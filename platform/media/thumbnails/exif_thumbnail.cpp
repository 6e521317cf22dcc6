#include "platform/media/thumbnails/exif_thumbnail.h"

#include <libexif/exif-data.h>

std::string ExifThumbnailBytes(const std::string& path) {
    // The loader reads only up to the EXIF block, not the compressed picture behind it.
    ExifData* exif = exif_data_new_from_file(path.c_str());
    if (exif == nullptr) return {};
    std::string bytes;
    if (exif->data != nullptr && exif->size > 0) bytes.assign(reinterpret_cast<const char*>(exif->data), exif->size);
    exif_data_unref(exif);
    return bytes;
}
