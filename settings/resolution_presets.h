#pragma once
// The frame sizes the output settings' resolution list offers, in list order: the eight the list
// has always had, then today's screens (720p, 1080p, 2160p) and a phone held upright. "Custom
// Size" follows them and stays last.

#include <array>
#include <string_view>

struct ResolutionPreset {
    std::string_view text;  // as the list shows it
    int width, height;
};

inline constexpr std::array<ResolutionPreset, 12> kResolutionPresets{{
    {"800*600", 800, 600},
    {"640*480", 640, 480},
    {"720 * 576", 720, 576},
    {"720 * 480", 720, 480},
    {"480*576", 480, 576},
    {"480*480", 480, 480},
    {"352 * 288", 352, 288},
    {"352 * 240", 352, 240},
    {"1280*720", 1280, 720},
    {"1920*1080", 1920, 1080},
    {"3840*2160", 3840, 2160},
    {"1080*1920", 1080, 1920},
}};

// The list entry "Custom Size".
inline constexpr int kCustomSizeEntry = static_cast<int>(kResolutionPresets.size());

// The entry a stored size selects: its preset's, else "Custom Size".
int ResolutionEntryFor(int width, int height);
