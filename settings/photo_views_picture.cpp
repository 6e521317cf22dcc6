#include "settings/photo_views_picture.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "lang/language.h"

namespace {

constexpr int kStartName = 351, kEndName = 352, kCropName = 353;  // string ids
constexpr double kMargin = 6;     // pixels around the photo and its largest view
constexpr double kGripReach = 6;  // pixels from a corner that grip it
constexpr double kKeyStep = 0.01; // of the photo, per key

// A crop in yellow; a move's start in green, its end in red.
QColor ViewColour(int which, bool moves) {
    if (!moves) return QColor(255, 214, 10);
    return which == 0 ? QColor(64, 210, 90) : QColor(255, 92, 64);
}

}  // namespace

PhotoViewsPicture::PhotoViewsPicture(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAutoFillBackground(true);
    QPalette dark = palette();
    dark.setColor(QPalette::Window, QColor(32, 32, 32));
    setPalette(dark);
}

void PhotoViewsPicture::SetPhoto(const QImage& photo) {
    photo_ = photo;
    update();
}

void PhotoViewsPicture::SetFaces(std::vector<PhotoRect> faces) {
    faces_ = std::move(faces);
    update();
}

void PhotoViewsPicture::SetViews(const PhotoRect& start, const PhotoRect& end, bool moves, const ViewShape& shape) {
    views_[0] = start;
    views_[1] = end;
    moves_ = moves;
    shape_ = shape;
    if (!moves_) keyed_ = 0;
    update();
}

// The photo and its largest view, fitted into the widget: a view never leaves that box.
PhotoViewsPicture::Layout PhotoViewsPicture::Placement() const {
    const double aspect = shape_.photoAspect;
    const PhotoRect largest = LargestView(shape_);
    const QRectF box =
        QRectF(0, 0, aspect, 1).united(QRectF(largest.x * aspect, largest.y, largest.w * aspect, largest.h));
    const double scale = std::min((width() - 2 * kMargin) / box.width(), (height() - 2 * kMargin) / box.height());
    const QPointF centre(width() / 2.0, height() / 2.0);
    return {centre - box.center() * scale, aspect * scale, scale};
}

QRectF PhotoViewsPicture::OnWidget(const PhotoRect& r) const {
    const Layout l = Placement();
    return {l.origin.x() + r.x * l.width, l.origin.y() + r.y * l.height, r.w * l.width, r.h * l.height};
}

QPointF PhotoViewsPicture::InPhoto(const QPointF& point) const {
    const Layout l = Placement();
    return {(point.x() - l.origin.x()) / l.width, (point.y() - l.origin.y()) / l.height};
}

QRectF PhotoViewsPicture::ViewArea(int which) const { return OnWidget(views_[which]); }

void PhotoViewsPicture::paintEvent(QPaintEvent*) {
    if (!HasPhoto()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(OnWidget({0, 0, 1, 1}), photo_);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255, 200), 1));
    p.setBrush(Qt::NoBrush);
    for (const PhotoRect& face : faces_) p.drawRect(OnWidget(face));
    if (moves_) {
        DrawPath(p);
        DrawView(p, 1);
    }
    DrawView(p, 0);
}

// The way the centre travels, from the start to an arrowhead at the end.
void PhotoViewsPicture::DrawPath(QPainter& p) const {
    const QPointF from = OnWidget(views_[0]).center(), to = OnWidget(views_[1]).center();
    const QLineF path(from, to);
    if (path.length() < 8) return;
    p.setPen(QPen(QColor(255, 255, 255, 220), 1.5, Qt::DashLine));
    p.drawLine(path);
    QLineF wing(to, from);
    wing.setLength(8);
    p.setPen(QPen(QColor(255, 255, 255, 220), 1.5));
    for (double turn : {25.0, -25.0}) {
        wing.setAngle(path.angle() + 180 + turn);
        p.drawLine(wing);
    }
}

void PhotoViewsPicture::DrawView(QPainter& p, int which) const {
    const QRectF area = OnWidget(views_[which]);
    const QColor colour = ViewColour(which, moves_);
    const bool keyed = hasFocus() && keyed_ == which;
    p.setPen(QPen(colour, keyed ? 3 : 2, keyed ? Qt::DashLine : Qt::SolidLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(area);
    p.setBrush(colour);
    for (const QPointF& corner : {area.topLeft(), area.topRight(), area.bottomLeft(), area.bottomRight()})
        p.drawRect(QRectF(corner - QPointF(3, 3), QSizeF(6, 6)));
    const int name = !moves_ ? kCropName : which == 0 ? kStartName : kEndName;
    const QString text = QString::fromStdString(theLanguage.GetString(name));
    const QRectF label = p.fontMetrics().boundingRect(text).adjusted(-3, -1, 3, 1);
    // The end's name sits at its bottom, so that a zoom's two names do not cover each other.
    const QPointF at = which == 0 ? area.topLeft() + QPointF(4, 4) : area.bottomLeft() + QPointF(4, -4 - label.height());
    const QRectF box(at, label.size());
    p.fillRect(box, colour);
    p.setPen(Qt::black);
    p.drawText(box, Qt::AlignCenter, text);
}

// Corners first (the end's, drawn on top), then the smaller view under the pointer.
std::optional<PhotoViewsPicture::Grip> PhotoViewsPicture::GripAt(const QPointF& point) const {
    const int count = moves_ ? 2 : 1;
    for (int which = count - 1; which >= 0; --which) {
        const QRectF a = OnWidget(views_[which]);
        const std::pair<QPointF, ViewCorner> corners[] = {{a.topLeft(), ViewCorner::TopLeft},
                                                          {a.topRight(), ViewCorner::TopRight},
                                                          {a.bottomLeft(), ViewCorner::BottomLeft},
                                                          {a.bottomRight(), ViewCorner::BottomRight}};
        for (const auto& [at, corner] : corners) {
            if (std::abs(point.x() - at.x()) <= kGripReach && std::abs(point.y() - at.y()) <= kGripReach)
                return Grip{which, corner};
        }
    }
    std::optional<Grip> inside;
    for (int which = 0; which < count; ++which) {
        if (!OnWidget(views_[which]).contains(point)) continue;
        if (!inside || views_[which].w < views_[inside->which].w) inside = Grip{which, std::nullopt};
    }
    return inside;
}

void PhotoViewsPicture::mousePressEvent(QMouseEvent* event) {
    if (!HasPhoto() || !isEnabled() || event->button() != Qt::LeftButton) return;
    grip_ = GripAt(event->position());
    if (!grip_) return;
    keyed_ = grip_->which;
    gripStart_ = InPhoto(event->position());
    viewAtGrip_ = views_[grip_->which];
}

void PhotoViewsPicture::mouseMoveEvent(QMouseEvent* event) {
    if (!grip_) {
        const std::optional<Grip> over = HasPhoto() ? GripAt(event->position()) : std::nullopt;
        const bool diagonal = over && over->corner && (*over->corner == ViewCorner::TopLeft ||
                                                        *over->corner == ViewCorner::BottomRight);
        setCursor(!over ? Qt::ArrowCursor
                  : !over->corner ? Qt::SizeAllCursor
                  : diagonal ? Qt::SizeFDiagCursor
                             : Qt::SizeBDiagCursor);
        return;
    }
    const QPointF at = InPhoto(event->position());
    const PhotoRect view = grip_->corner ? ResizedView(viewAtGrip_, *grip_->corner, at.x(), at.y(), shape_)
                                         : MovedView(viewAtGrip_, at.x() - gripStart_.x(), at.y() - gripStart_.y(), shape_);
    Change(grip_->which, view);
}

void PhotoViewsPicture::mouseReleaseEvent(QMouseEvent* event) {
    if (grip_ && event->button() == Qt::LeftButton) grip_.reset();
}

void PhotoViewsPicture::keyPressEvent(QKeyEvent* event) {
    if (!HasPhoto()) return QWidget::keyPressEvent(event);
    const PhotoRect v = views_[keyed_];
    // Around its centre.
    const auto scaled = [&](double k) {
        return KeptView({v.x + v.w * (1 - k) / 2, v.y + v.h * (1 - k) / 2, v.w * k, v.h * k}, shape_);
    };
    const double grow = 1 + 4 * kKeyStep;
    switch (event->key()) {
        case Qt::Key_Left: Change(keyed_, MovedView(v, -kKeyStep, 0, shape_)); break;
        case Qt::Key_Right: Change(keyed_, MovedView(v, kKeyStep, 0, shape_)); break;
        case Qt::Key_Up: Change(keyed_, MovedView(v, 0, -kKeyStep, shape_)); break;
        case Qt::Key_Down: Change(keyed_, MovedView(v, 0, kKeyStep, shape_)); break;
        case Qt::Key_Plus:
        case Qt::Key_Equal: Change(keyed_, scaled(grow)); break;
        case Qt::Key_Minus: Change(keyed_, scaled(1 / grow)); break;
        case Qt::Key_Space:
            keyed_ = moves_ ? 1 - keyed_ : 0;
            update();
            break;
        default: return QWidget::keyPressEvent(event);
    }
}

// A crop is both views at once.
void PhotoViewsPicture::Change(int which, const PhotoRect& view) {
    views_[which] = view;
    if (!moves_) views_[1] = view;
    update();
    if (onDrawn) onDrawn(views_[0], views_[1]);
}
