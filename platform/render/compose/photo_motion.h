#pragma once
// How a photo moves while it is on screen and how it fills the frame: the values the timeline
// carries (a motion effect on the photo's source, a framing property on the video group) and the
// show plan hands to the compositor. The numbers are stored in settings and timelines: never
// renumber them.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/com/guid.h"

enum class MotionKind : std::int32_t {
    None = 0,
    ZoomIn = 1,
    ZoomOut = 2,
    PanLeft = 3,  // the view travels to the photo's left edge: the picture drifts right
    PanRight = 4,
    PanUp = 5,  // the view travels to the photo's top edge: the picture drifts down
    PanDown = 6,
};
inline constexpr int kMotionKindCount = 7;

enum class Framing : std::int32_t {
    Fit = 0,   // the whole photo, black bars
    Blur = 1,  // the whole photo on a blurred, darkened copy of itself
    Fill = 2,  // cropped to fill the frame
};

struct PhotoMotion {
    MotionKind kind = MotionKind::None;
    double amount = 0.15;  // a zoom's change of scale: 0.15 is 15 % larger at its end
    bool eased = false;    // false: constant speed; true: starts and ends slowly

    bool Moves() const { return kind != MotionKind::None && amount > 0; }
};

// The class of the pan-and-zoom effect on a photo's source, and the names of its properties:
// "Motion" (VT_BSTR, a motion's name), "Amount" (VT_R8), "Easing" (VT_BSTR, "constant" or
// "eased"). The values are names so that a dumped timeline reads plainly.
inline const CLSID CLSID_KavrelPanZoom = GuidFromLiteral("{457D5146-B32F-4C48-9B1B-C2A7E31CF9E6}");
inline constexpr const char* kMotionProperty = "Motion";
inline constexpr const char* kAmountProperty = "Amount";
inline constexpr const char* kEasingProperty = "Easing";
// The video group's property: a framing's name; none is Fit.
inline constexpr const char* kFramingProperty = "Framing";

// Names used on the command line and in the timeline dump.
const char* MotionKindName(MotionKind kind);  // "none", "zoom-in", …
std::optional<MotionKind> MotionKindFromName(const std::string& name);
const char* FramingName(Framing framing);  // "fit", "blur", "fill"
std::optional<Framing> FramingFromName(const std::string& name);
const char* EasingName(bool eased);  // "constant", "eased"
// Out-of-range stored numbers read as no motion and as Fit.
MotionKind MotionKindFromInt(std::int32_t value);
Framing FramingFromInt(std::int32_t value);
