#pragma once
// Where a view drawn on a photo may go: it has the video's shape, and along each side it stays
// within the photo where it is smaller than the photo, and is centred on it where it is larger
// (the bars of a fitted photo), as the video draws it. Under a framing that crops (Fill) it is
// never larger than the photo; else never larger than the whole photo fitted into the frame.

#include "platform/render/compose/photo_motion.h"

struct ViewShape {
    double photoAspect = 1;  // the upright photo's width / height
    double frameAspect = 1;  // the video's
    bool crops = false;      // Fill: the view stays inside the photo
};

// A view is never narrower than this share of the largest.
inline constexpr double kSmallestViewShare = 0.1;

enum class ViewCorner { TopLeft, TopRight, BottomLeft, BottomRight };

// The largest view, centred on the photo.
PhotoRect LargestView(const ViewShape& shape);
// `view` given the video's shape (its centre and area kept), its size and place within bounds.
PhotoRect KeptView(const PhotoRect& view, const ViewShape& shape);
// `view` moved by (dx, dy), in fractions of the photo.
PhotoRect MovedView(const PhotoRect& view, double dx, double dy, const ViewShape& shape);
// `view` with `corner` dragged to (x, y) while the opposite corner stays.
PhotoRect ResizedView(const PhotoRect& view, ViewCorner corner, double x, double y, const ViewShape& shape);
