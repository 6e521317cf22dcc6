#pragma once
// When a photo was taken, as its camera wrote it: EXIF DateTimeOriginal ("2024:07:14 18:03:22"),
// else DateTime. Read from the EXIF block only, never the picture behind it.

#include <optional>
#include <string>

struct PhotoDate {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0;
    bool operator==(const PhotoDate&) const = default;
};

std::optional<PhotoDate> PhotoTakenDate(const std::string& path);
// "YYYY:MM:DD HH:MM:SS" (what EXIF holds); nullopt for a blank or impossible date.
std::optional<PhotoDate> ParseExifDate(const std::string& text);
