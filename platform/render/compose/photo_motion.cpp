#include "platform/render/compose/photo_motion.h"

#include <array>

namespace {
constexpr std::array<const char*, kMotionKindCount> kMotionNames{
    "none", "zoom-in", "zoom-out", "pan-left", "pan-right", "pan-up", "pan-down"};
constexpr std::array<const char*, 3> kFramingNames{"fit", "blur", "fill"};
}  // namespace

const char* MotionKindName(MotionKind kind) {
    return kMotionNames[static_cast<std::size_t>(
        MotionKindFromInt(static_cast<std::int32_t>(kind)))];
}

std::optional<MotionKind> MotionKindFromName(const std::string& name) {
    for (std::size_t i = 0; i < kMotionNames.size(); ++i) {
        if (name == kMotionNames[i]) return static_cast<MotionKind>(i);
    }
    return std::nullopt;
}

const char* FramingName(Framing framing) {
    return kFramingNames[static_cast<std::size_t>(
        FramingFromInt(static_cast<std::int32_t>(framing)))];
}

std::optional<Framing> FramingFromName(const std::string& name) {
    for (std::size_t i = 0; i < kFramingNames.size(); ++i) {
        if (name == kFramingNames[i]) return static_cast<Framing>(i);
    }
    return std::nullopt;
}

MotionKind MotionKindFromInt(std::int32_t value) {
    return value >= 0 && value < kMotionKindCount ? static_cast<MotionKind>(value)
                                                  : MotionKind::None;
}

Framing FramingFromInt(std::int32_t value) {
    return value >= 0 && value < static_cast<std::int32_t>(kFramingNames.size())
               ? static_cast<Framing>(value)
               : Framing::Fit;
}

const char* EasingName(bool eased) { return eased ? "eased" : "constant"; }
