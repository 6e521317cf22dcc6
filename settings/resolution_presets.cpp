#include "settings/resolution_presets.h"

int ResolutionEntryFor(int width, int height) {
    for (int i = 0; i < kCustomSizeEntry; ++i) {
        const ResolutionPreset& p = kResolutionPresets[static_cast<std::size_t>(i)];
        if (p.width == width && p.height == height) return i;
    }
    return kCustomSizeEntry;
}
