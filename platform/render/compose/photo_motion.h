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

// A view of a photo: a rectangle in fractions of the upright photo's width and height (it may
// reach past the photo where the photo is fitted with bars).
struct PhotoRect {
    double x = 0, y = 0, w = 0, h = 0;
    bool operator==(const PhotoRect&) const = default;
};

struct PhotoMotion {
    MotionKind kind = MotionKind::None;
    double amount = 0.15;  // a zoom's change of scale: 0.15 is 15 % larger at its end
    bool eased = false;    // false: constant speed; true: starts and ends slowly
    // What the camera sees at the start and at the end of the photo's time, where the move was
    // aimed or drawn; the kind then only names it. Equal views are a still crop.
    std::optional<PhotoRect> from, to;
    std::optional<Framing> framing;  // the photo's own framing; none: the show's
    int facesLeftOut = 0;            // found faces the views could not hold

    bool HasViews() const { return from.has_value() && to.has_value(); }
    bool Moves() const { return HasViews() ? *from != *to : kind != MotionKind::None && amount > 0; }
};

// A move of `kind` by `amount` at its pace, drawn the plain way (no views, the show's framing).
inline PhotoMotion PlainMotion(MotionKind kind, double amount, bool eased = false) {
    PhotoMotion m;
    m.kind = kind;
    m.amount = amount;
    m.eased = eased;
    return m;
}

// The class of the pan-and-zoom effect on a photo's source, and the names of its properties:
// "Motion" (VT_BSTR, a motion's name), "Amount" (VT_R8), "Easing" (VT_BSTR, "constant" or
// "eased"). The values are names so that a dumped timeline reads plainly.
inline const CLSID CLSID_KavrelPanZoom = GuidFromLiteral("{457D5146-B32F-4C48-9B1B-C2A7E31CF9E6}");
inline constexpr const char* kMotionProperty = "Motion";
inline constexpr const char* kAmountProperty = "Amount";
inline constexpr const char* kEasingProperty = "Easing";
// The video group's property, and the motion effect's for the photo's own: a framing's name;
// none is Fit (the show's, on the effect).
inline constexpr const char* kFramingProperty = "Framing";
// The motion effect's views, "x y w h" in fractions of the photo, and the faces they leave out.
inline constexpr const char* kFromProperty = "From";
inline constexpr const char* kToProperty = "To";
inline constexpr const char* kFacesLeftOutProperty = "FacesLeftOut";

// Names used on the command line and in the timeline dump.
const char* MotionKindName(MotionKind kind);  // "none", "zoom-in", …
std::optional<MotionKind> MotionKindFromName(const std::string& name);
const char* FramingName(Framing framing);  // "fit", "blur", "fill"
std::optional<Framing> FramingFromName(const std::string& name);
const char* EasingName(bool eased);  // "constant", "eased"
std::string PhotoRectText(const PhotoRect& rect);  // "x y w h", each to six decimals
// Four numbers, none beyond kMaxViewExtent either way, the width and height at least
// kLeastViewExtent, else none.
inline constexpr double kMaxViewExtent = 100;
inline constexpr double kLeastViewExtent = 0.001;
std::optional<PhotoRect> PhotoRectFromText(const std::string& text);
// Out-of-range stored numbers read as no motion and as Fit.
MotionKind MotionKindFromInt(std::int32_t value);
Framing FramingFromInt(std::int32_t value);
