#include "platform/render/compose/photo_motion.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <locale>
#include <sstream>

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

std::string PhotoRectText(const PhotoRect& r) {
    char text[128];
    std::snprintf(text, sizeof text, "%.6f %.6f %.6f %.6f", r.x, r.y, r.w, r.h);
    return text;
}

std::optional<PhotoRect> PhotoRectFromText(const std::string& text) {
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    PhotoRect r;
    std::string rest;
    if (!(in >> r.x >> r.y >> r.w >> r.h) || (in >> rest)) return std::nullopt;
    const bool finite = std::isfinite(r.x) && std::isfinite(r.y) && std::isfinite(r.w) && std::isfinite(r.h);
    const auto within = [](double v) { return std::abs(v) <= kMaxViewExtent; };
    if (!finite || !(r.w >= kLeastViewExtent) || !(r.h >= kLeastViewExtent) || !within(r.x) || !within(r.y) || !within(r.w) || !within(r.h))
        return std::nullopt;
    return r;
}
