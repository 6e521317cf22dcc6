#include "settings/photo_view_limits.h"

#include <algorithm>
#include <cmath>

namespace {

// A view's height for its width, both in fractions of the photo.
double HeightFor(double width, const ViewShape& s) { return width * s.photoAspect / s.frameAspect; }

// Along one side: inside the photo where smaller, centred where larger.
double Placed(double start, double extent) {
    if (extent >= 1) return (1 - extent) / 2;
    return std::clamp(start, 0.0, 1 - extent);
}

PhotoRect Sized(double width, double centreX, double centreY, const ViewShape& s) {
    const double largest = LargestView(s).w;
    const double w = std::clamp(width, largest * kSmallestViewShare, largest), h = HeightFor(w, s);
    return {Placed(centreX - w / 2, w), Placed(centreY - h / 2, h), w, h};
}

}  // namespace

PhotoRect LargestView(const ViewShape& s) {
    const bool frameWider = s.frameAspect > s.photoAspect;
    // Cropping, the frame's wider side meets the photo's; fitting, its narrower one does.
    const double w = frameWider == s.crops ? 1.0 : s.frameAspect / s.photoAspect;
    const double h = HeightFor(w, s);
    return {(1 - w) / 2, (1 - h) / 2, w, h};
}

PhotoRect KeptView(const PhotoRect& view, const ViewShape& s) {
    const double area = std::max(view.w * view.h, 0.0);
    return Sized(std::sqrt(area * s.frameAspect / s.photoAspect), view.x + view.w / 2, view.y + view.h / 2, s);
}

PhotoRect MovedView(const PhotoRect& view, double dx, double dy, const ViewShape& s) {
    return KeptView({view.x + dx, view.y + dy, view.w, view.h}, s);
}

PhotoRect ResizedView(const PhotoRect& view, ViewCorner corner, double x, double y, const ViewShape& s) {
    const bool left = corner == ViewCorner::TopLeft || corner == ViewCorner::BottomLeft;
    const bool top = corner == ViewCorner::TopLeft || corner == ViewCorner::TopRight;
    const double anchorX = left ? view.x + view.w : view.x, anchorY = top ? view.y + view.h : view.y;
    // The corner follows the pointer along whichever side it went further.
    const double wanted = std::max(std::abs(x - anchorX), std::abs(y - anchorY) * s.frameAspect / s.photoAspect);
    const double largest = LargestView(s).w;
    const double w = std::clamp(wanted, largest * kSmallestViewShare, largest), h = HeightFor(w, s);
    const double x0 = left ? anchorX - w : anchorX, y0 = top ? anchorY - h : anchorY;
    return {Placed(x0, w), Placed(y0, h), w, h};
}
