#pragma once
// A picture of a photo with the views of its move drawn on it: the start and the end, or one
// crop for a photo that does not move, and the faces found as thin boxes. The user drags a view
// to move it and its corner to resize it, with the mouse or, with the focus on the picture, with
// the arrow keys (Space picks the other view, + and - resize); the views keep the limits given.

#include <QImage>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "settings/photo_view_limits.h"

class PhotoViewsPicture : public QWidget {
public:
    explicit PhotoViewsPicture(QWidget* parent = nullptr);

    void SetPhoto(const QImage& photo);
    void SetFaces(std::vector<PhotoRect> faces);
    // The views shown; `moves` false: one crop (the start).
    void SetViews(const PhotoRect& start, const PhotoRect& end, bool moves, const ViewShape& shape);
    // Called with both views after the user changed one.
    std::function<void(const PhotoRect& start, const PhotoRect& end)> onDrawn;

    bool HasPhoto() const { return !photo_.isNull(); }
    QSize PhotoSize() const { return photo_.size(); }
    bool Moves() const { return moves_; }
    // Where view 0 (the start, or the crop) or 1 (the end) lies on the widget.
    QRectF ViewArea(int which) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Grip {
        int which = 0;
        std::optional<ViewCorner> corner;  // none: the whole view moves
    };
    struct Layout {
        QPointF origin;  // where the photo's top-left corner lies
        double width = 0, height = 0;  // the photo's size on the widget
    };
    Layout Placement() const;
    QRectF OnWidget(const PhotoRect& r) const;
    QPointF InPhoto(const QPointF& point) const;
    std::optional<Grip> GripAt(const QPointF& point) const;
    void Change(int which, const PhotoRect& view);
    void DrawView(QPainter& p, int which) const;
    void DrawPath(QPainter& p) const;

    QImage photo_;
    std::vector<PhotoRect> faces_;
    PhotoRect views_[2];
    bool moves_ = false;
    ViewShape shape_;
    std::optional<Grip> grip_;
    QPointF gripStart_;     // the pointer in photo fractions when the drag began
    PhotoRect viewAtGrip_;  // the view then
    int keyed_ = 0;         // the view the keys change
};
