#include "platform/render/compose/aimed_motion.h"

#include <algorithm>
#include <cmath>

namespace {

// Around the faces a zoom ends on: this much of their size on every side, where the move allows.
constexpr double kFaceMargin = 0.35;

struct Box {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    double w() const { return x1 - x0; }
    double h() const { return y1 - y0; }
};

Box Pixels(const PhotoRect& r, const PhotoGeometry& g) {
    return {r.x * g.photoWidth, r.y * g.photoHeight, (r.x + r.w) * g.photoWidth, (r.y + r.h) * g.photoHeight};
}

PhotoRect Fractions(const Box& b, const PhotoGeometry& g) {
    return {b.x0 / g.photoWidth, b.y0 / g.photoHeight, b.w() / g.photoWidth, b.h() / g.photoHeight};
}

double FrameAspect(const PhotoGeometry& g) { return static_cast<double>(g.frameWidth) / g.frameHeight; }

// Where the camera may look: the photo itself when the move stays inside it, else the frame's
// shape around the fitted photo (its bars included).
Box Room(const PhotoGeometry& g, bool inside) {
    const double w = g.photoWidth, h = g.photoHeight, aspect = FrameAspect(g);
    if (inside) return {0, 0, w, h};
    if (w / h > aspect) return {0, (h - w / aspect) / 2, w, (h + w / aspect) / 2};
    return {(w - h * aspect) / 2, 0, (w + h * aspect) / 2, h};
}

// The widest view of the frame's shape within `room`.
double WidestViewWidth(const PhotoGeometry& g, const Box& room) {
    return std::min(room.w(), room.h() * FrameAspect(g));
}

// The largest faces that fit together into a view `width` wide; *leftOut counts the others.
Box HeldFaces(const PhotoGeometry& g, const std::vector<PhotoRect>& faces, double width, int* leftOut) {
    std::vector<Box> boxes;
    for (const PhotoRect& f : faces) boxes.push_back(Pixels(f, g));
    std::stable_sort(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) { return a.w() * a.h() > b.w() * b.h(); });
    const double height = width / FrameAspect(g);
    Box held = boxes.front();
    *leftOut = 0;
    for (std::size_t i = 1; i < boxes.size(); ++i) {
        const Box& f = boxes[i];
        const Box both{std::min(held.x0, f.x0), std::min(held.y0, f.y0), std::max(held.x1, f.x1), std::max(held.y1, f.y1)};
        if (both.w() <= width && both.h() <= height) held = both;
        else ++(*leftOut);
    }
    return held;
}

// Where a view `extent` long starts along one side: as near centred on `centre` as holding the
// faces [faceFrom, faceTo] within [roomFrom, roomTo] allows.
double Place(double centre, double extent, double roomFrom, double roomTo, double faceFrom, double faceTo) {
    const double least = std::max(roomFrom, faceTo - extent), most = std::min(roomTo - extent, faceFrom);
    if (least > most) return std::clamp(centre - extent / 2, roomFrom, std::max(roomFrom, roomTo - extent));
    return std::clamp(centre - extent / 2, least, most);
}

Box ViewAround(double width, double cx, double cy, const Box& room, const Box& faces, const PhotoGeometry& g) {
    const double height = width / FrameAspect(g);
    const double x = Place(cx, width, room.x0, room.x1, faces.x0, faces.x1);
    const double y = Place(cy, height, room.y0, room.y1, faces.y0, faces.y1);
    return {x, y, x + width, y + height};
}

bool Holds(const Box& view, const Box& faces) {
    constexpr double kSlack = 1e-6;
    return view.x0 <= faces.x0 + kSlack && view.y0 <= faces.y0 + kSlack && view.x1 >= faces.x1 - kSlack &&
           view.y1 >= faces.y1 - kSlack;
}

// The narrowest view of the frame's shape that holds `faces`.
double WidthHolding(const PhotoGeometry& g, const Box& faces) { return std::max(faces.w(), faces.h() * FrameAspect(g)); }

struct Views {
    Box from, to;
    double reach = 1;
};

Views Zoom(const PhotoGeometry& g, const PhotoMotion& m, const Box& room, const Box& faces) {
    const double widest = WidestViewWidth(g, room);
    const double cx = (room.x0 + room.x1) / 2, cy = (room.y0 + room.y1) / 2;
    const Box wide = ViewAround(widest, cx, cy, room, faces, g);
    const double margin = kFaceMargin * std::max(faces.w(), faces.h());
    const Box spared{faces.x0 - margin, faces.y0 - margin, faces.x1 + margin, faces.y1 + margin};
    const double least = std::min(widest, std::max(WidthHolding(g, faces), WidthHolding(g, spared)));
    const double width = std::max(widest / (1 + m.amount), least);
    const Box close = ViewAround(width, (faces.x0 + faces.x1) / 2, (faces.y0 + faces.y1) / 2, room, faces, g);
    const double reach = m.amount > 0 ? (widest / width - 1) / m.amount : 1;
    return m.kind == MotionKind::ZoomIn ? Views{wide, close, reach} : Views{close, wide, reach};
}

Views Pan(const PhotoGeometry& g, const PhotoMotion& m, const Box& room, const Box& faces) {
    const bool across = m.kind == MotionKind::PanLeft || m.kind == MotionKind::PanRight;
    const double widest = WidestViewWidth(g, room), aspect = FrameAspect(g);
    const double roomExtent = across ? room.w() : room.h() * aspect;  // in widths of the view
    const double zoom = std::max(1.0, (1 + m.amount) * widest / roomExtent);
    const double planned = std::min(widest, std::max(widest / zoom, WidthHolding(g, faces)));
    const Box centred = ViewAround(planned, (room.x0 + room.x1) / 2, (room.y0 + room.y1) / 2, room, faces, g);
    // The two ends of the way that holds the faces along the pan.
    const double extent = across ? centred.w() : centred.h();
    const double roomFrom = across ? room.x0 : room.y0, roomTo = across ? room.x1 : room.y1;
    const double faceFrom = across ? faces.x0 : faces.y0, faceTo = across ? faces.x1 : faces.y1;
    const double least = std::max(roomFrom, faceTo - extent), most = std::max(least, std::min(roomTo - extent, faceFrom));
    const double full = (roomTo - roomFrom) - (across ? widest / zoom : widest / zoom / aspect);
    Box a = centred, b = centred;
    (across ? a.x0 : a.y0) = least;
    (across ? b.x0 : b.y0) = most;
    a.x1 = a.x0 + centred.w(), a.y1 = a.y0 + centred.h();
    b.x1 = b.x0 + centred.w(), b.y1 = b.y0 + centred.h();
    const bool towardStart = m.kind == MotionKind::PanLeft || m.kind == MotionKind::PanUp;
    const double reach = full > 0 ? std::min(1.0, (most - least) / full) : 1;
    return towardStart ? Views{b, a, reach} : Views{a, b, reach};
}

}  // namespace

AimedMove AimAtFaces(const PhotoGeometry& g, const PhotoMotion& motion, const std::vector<PhotoRect>& faces) {
    AimedMove aimed;
    aimed.motion = motion;
    const bool moves = motion.kind != MotionKind::None && motion.amount > 0;
    if (faces.empty() || (!moves && g.framing != Framing::Fill)) return aimed;
    const bool inside = !moves || MovesInsidePhoto(g);
    const Box room = Room(g, inside);
    const Box held = HeldFaces(g, faces, WidestViewWidth(g, room), &aimed.motion.facesLeftOut);
    Views views;
    if (!moves) {
        const Box crop = ViewAround(WidestViewWidth(g, room), g.photoWidth / 2, g.photoHeight / 2, room, held, g);
        views = {crop, crop};
    } else if (motion.kind == MotionKind::ZoomIn || motion.kind == MotionKind::ZoomOut) {
        views = Zoom(g, motion, room, held);
    } else {
        views = Pan(g, motion, room, held);
    }
    aimed.motion.from = Fractions(views.from, g);
    aimed.motion.to = Fractions(views.to, g);
    aimed.reach = std::clamp(views.reach, 0.0, 1.0);
    aimed.keepsFaces = aimed.motion.facesLeftOut == 0 && Holds(views.from, held) && Holds(views.to, held);
    return aimed;
}

PhotoRect PlainView(const PhotoGeometry& g, const PhotoMotion& motion, double progress) {
    const FrameRect place = PhotoPlacement(g, motion, progress);
    const double scale = place.w / g.photoWidth;  // frame pixels per photo pixel
    return {-place.x / scale / g.photoWidth, -place.y / scale / g.photoHeight, g.frameWidth / scale / g.photoWidth,
            g.frameHeight / scale / g.photoHeight};
}
