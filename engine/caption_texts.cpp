#include "engine/caption_texts.h"

#include <ctime>
#include <filesystem>

Caption CaptionOf(const PhotoItem& photo, const CaptionStyle& style, const DateWords& dateWords) {
    if (photo.IsTitle()) return {};
    if (!photo.caption.text.empty()) return photo.caption;
    Caption automatic;
    if (style.automatic == CaptionSource::Name) {
        automatic.text = std::filesystem::path(photo.path).stem().string();
    } else if (style.automatic == CaptionSource::Date) {
        if (std::optional<PhotoDate> taken = PhotoTakenDate(photo.path))
            automatic.text = dateWords ? dateWords(*taken) : LocaleDateWords(*taken);
    }
    return automatic;
}

std::string LocaleDateWords(const PhotoDate& date) {
    std::tm tm{};
    tm.tm_year = date.year - 1900;
    tm.tm_mon = date.month - 1;
    tm.tm_mday = date.day;
    tm.tm_hour = date.hour;
    tm.tm_min = date.minute;
    tm.tm_sec = date.second;
    std::mktime(&tm);  // fills in the weekday, which some locales write
    char text[128];
    const std::size_t n = std::strftime(text, sizeof text, "%x", &tm);
    return std::string(text, n);
}
