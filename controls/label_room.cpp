#include "controls/label_room.h"

#include <QLabel>
#include <algorithm>

#include "controls/hyperlink.h"
#include "controls/table_controls.h"

namespace {

constexpr int kGap = 2;  // pixels kept free before the next control

bool Overlap(int top1, int bottom1, int top2, int bottom2) { return top1 <= bottom2 && top2 <= bottom1; }

// The right end a label may reach: the next control on its row, or the edge of the group box or
// window it lies in.
int RoomEnd(const QWidget* label) {
    const QRect r = label->geometry();
    int end = label->parentWidget()->width() - kGap;
    for (QObject* child : label->parentWidget()->children()) {
        auto* other = qobject_cast<QWidget*>(child);
        if (other == nullptr || other == label || other->isWindow() || !other->isVisibleTo(label->parentWidget())) continue;
        const QRect o = other->geometry();
        if (o.contains(r)) {
            end = std::min(end, o.right() - 2 * kGap);  // a group box around it
        } else if (o.left() >= r.right() && Overlap(r.top(), r.bottom(), o.top(), o.bottom())) {
            end = std::min(end, o.left() - kGap);
        }
    }
    return end;
}

}  // namespace

void WidenCutLabels(QWidget* window) {
    for (QWidget* w : TableControls(window)) {
        auto* label = qobject_cast<QLabel*>(w);
        if (label == nullptr || qobject_cast<CHyperLink*>(w) || label->wordWrap() || label->text().isEmpty() ||
            label->textFormat() == Qt::RichText || Qt::mightBeRichText(label->text())) {
            continue;
        }
        const int needed = label->fontMetrics().horizontalAdvance(label->text()) + 1;
        if (needed <= label->width()) continue;
        const int width = std::min(needed, RoomEnd(label) - label->x());
        if (width > label->width()) label->resize(width, label->height());
    }
}
