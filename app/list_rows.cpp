#include "app/list_rows.h"

#include <cstdio>

#include "app/path_rules.h"
#include "engine/transition_catalogue.h"

namespace {
std::string Seconds(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}
}  // namespace

std::array<std::string, 4> PhotoRowTexts(const PhotoItem& item) {
    return {FileNamePart(item.path), Seconds(item.durationSec), TransitionName(item.transition),
            Seconds(item.transitionDurationSec)};
}

std::array<std::string, 2> MusicRowTexts(const MusicItem& item) {
    return {FileNamePart(item.path), std::to_string(item.length / 10000000)};
}
