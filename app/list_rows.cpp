#include "app/list_rows.h"

#include <cstdio>

#include "app/path_rules.h"
#include "engine/transition_catalogue.h"
#include "lang/language.h"

namespace {
std::string Seconds(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}
}  // namespace

std::string MotionName(MotionKind kind) {
    constexpr int kMotionNames = 164;  // "None", "Zoom in", … "Pan down", in MotionKind's order
    const int k = static_cast<int>(kind);
    return theLanguage.GetString(kMotionNames + (k >= 0 && k < kMotionKindCount ? k : 0));
}

std::string TitleRowName(const TitleCard& card) { return card.text.substr(0, card.text.find('\n')); }

std::array<std::string, 5> PhotoRowTexts(const PhotoItem& item) {
    return {item.title ? TitleRowName(*item.title) : FileNamePart(item.path), Seconds(item.durationSec), TransitionName(item.transition),
            Seconds(item.transitionDurationSec), MotionName(item.motion)};
}

std::array<std::string, 2> MusicRowTexts(const MusicItem& item) {
    return {FileNamePart(item.path), std::to_string(item.PlayedLength() / 10000000)};
}
