#include "platform/render/compose/motion_path.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kNearShape = 1.5;

FrameRect Centered(double w, double h, const PhotoGeometry& g) {
    return {(g.frameWidth - w) / 2, (g.frameHeight - h) / 2, w, h};
}

// The photo scaled to cover the frame (`cover`) or to fit inside it, centred.
FrameRect ScaledPhoto(const PhotoGeometry& g, bool cover) {
    const double sx = g.frameWidth / g.photoWidth, sy = g.frameHeight / g.photoHeight;
    const double s = cover ? std::max(sx, sy) : std::min(sx, sy);
    return Centered(g.photoWidth * s, g.photoHeight * s, g);
}

// The photo as the camera sees it: `view` (a rectangle of the frame's shape, in the coordinates
// of the unmoved placement `base`) stretched over the whole frame.
FrameRect ThroughView(const FrameRect& base, const FrameRect& view, const PhotoGeometry& g) {
    const double scale = g.frameWidth / view.w;
    return {(base.x - view.x) * scale, (base.y - view.y) * scale, base.w * scale, base.h * scale};
}

bool Horizontal(MotionKind k) { return k == MotionKind::PanLeft || k == MotionKind::PanRight; }
bool Pans(MotionKind k) { return k >= MotionKind::PanLeft && k <= MotionKind::PanDown; }

FrameRect ZoomView(const PhotoGeometry& g, const PhotoMotion& m, double progress) {
    const double p = m.kind == MotionKind::ZoomIn ? progress : 1 - progress;
    // Equal ratios in equal times: the zoom looks as fast at its end as at its start.
    const double zoom = std::pow(1 + m.amount, p);
    return Centered(g.frameWidth / zoom, g.frameHeight / zoom, g);
}

// A pan travels across the part of `room` the frame does not show; where that part is smaller
// than the amount, the view first zooms in until the amount fits.
FrameRect PanView(const PhotoGeometry& g, const PhotoMotion& m, const FrameRect& room,
                  double progress) {
    const bool across = Horizontal(m.kind);
    const double frameExtent = across ? g.frameWidth : g.frameHeight;
    const double roomExtent = across ? room.w : room.h;
    const double zoom = std::max(1.0, (1 + m.amount) * frameExtent / roomExtent);
    FrameRect view = Centered(g.frameWidth / zoom, g.frameHeight / zoom, g);
    const double from = across ? room.x : room.y;
    const double to = from + roomExtent - (across ? view.w : view.h);
    const bool towardStart = m.kind == MotionKind::PanLeft || m.kind == MotionKind::PanUp;
    const double at = towardStart ? to + (from - to) * progress : from + (to - from) * progress;
    (across ? view.x : view.y) = at;
    return view;
}

// A stored view in photo pixels with the frame's shape: its centre and area kept, so a view drawn
// for another shape of video still frames the same part. Along each side it stays within the
// photo where it is smaller, and keeps the photo whole where it is larger (a fitted photo's bars).
FrameRect ViewInPhoto(const PhotoGeometry& g, const PhotoRect& r) {
    const double aspect = static_cast<double>(g.frameWidth) / g.frameHeight;
    const double area = r.w * g.photoWidth * r.h * g.photoHeight;
    const double w = std::sqrt(area * aspect), h = w / aspect;
    const auto place = [](double centre, double extent, double photo) {
        const double start = centre - extent / 2;
        return extent >= photo ? std::clamp(start, photo - extent, 0.0) : std::clamp(start, 0.0, photo - extent);
    };
    return {place((r.x + r.w / 2) * g.photoWidth, w, g.photoWidth),
            place((r.y + r.h / 2) * g.photoHeight, h, g.photoHeight), w, h};
}

// From one view to another of the same shape: every corner runs straight, and the size changes by
// equal ratios in equal times, as a zoom does; two views of one size make a pan at constant speed.
FrameRect ViewBetween(const FrameRect& from, const FrameRect& to, double progress) {
    const double k = to.w / from.w;
    const double s = std::abs(k - 1) < 1e-9 ? progress : (1 - std::pow(k, progress)) / (1 - k);
    return {from.x + (to.x - from.x) * s, from.y + (to.y - from.y) * s, from.w + (to.w - from.w) * s,
            from.h + (to.h - from.h) * s};
}

// The whole photo as the camera sees it through `view` (in photo pixels).
FrameRect ThroughPhotoView(const PhotoGeometry& g, const FrameRect& view) {
    const double scale = g.frameWidth / view.w;
    return {-view.x * scale, -view.y * scale, g.photoWidth * scale, g.photoHeight * scale};
}

FrameRect CameraView(const PhotoGeometry& g, const PhotoMotion& m, const FrameRect& base,
                     double progress) {
    if (!Pans(m.kind)) return ZoomView(g, m, progress);
    const FrameRect frame{0, 0, static_cast<double>(g.frameWidth),
                          static_cast<double>(g.frameHeight)};
    return PanView(g, m, MovesInsidePhoto(g) ? base : frame, progress);
}

}  // namespace

double MotionProgress(REFERENCE_TIME t, REFERENCE_TIME start, REFERENCE_TIME stop, bool eased) {
    if (stop <= start) return 0;
    const double p =
        std::clamp(static_cast<double>(t - start) / static_cast<double>(stop - start), 0.0, 1.0);
    return eased ? (1 - std::cos(std::numbers::pi * p)) / 2 : p;
}

bool MovesInsidePhoto(const PhotoGeometry& g) {
    if (g.framing == Framing::Fill) return true;
    const double shapes =
        (g.photoWidth / g.photoHeight) / (static_cast<double>(g.frameWidth) / g.frameHeight);
    return std::max(shapes, 1 / shapes) <= kNearShape * (1 + 1e-12);  // exactly 1.5 counts as near
}

FrameRect PhotoPlacement(const PhotoGeometry& g, const PhotoMotion& motion, double progress) {
    if (motion.HasViews()) {
        const FrameRect from = ViewInPhoto(g, *motion.from), to = ViewInPhoto(g, *motion.to);
        return ThroughPhotoView(g, ViewBetween(from, to, motion.Moves() ? progress : 0));
    }
    const bool moves = motion.Moves();
    const FrameRect base =
        ScaledPhoto(g, g.framing == Framing::Fill || (moves && MovesInsidePhoto(g)));
    if (!moves) return base;
    return ThroughView(base, CameraView(g, motion, base, progress), g);
}

FrameRect LargestPlacement(const PhotoGeometry& g, const PhotoMotion& motion) {
    if (motion.HasViews()) {  // the smaller view shows the photo larger
        const FrameRect start = PhotoPlacement(g, motion, 0), end = PhotoPlacement(g, motion, 1);
        return start.w >= end.w ? start : end;
    }
    if (!motion.Moves() || Pans(motion.kind))
        return PhotoPlacement(g, motion, 0);  // a pan keeps its size
    return PhotoPlacement(g, motion, motion.kind == MotionKind::ZoomIn ? 1 : 0);
}
