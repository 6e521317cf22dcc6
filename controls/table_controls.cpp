#include "controls/table_controls.h"

#include <QGroupBox>
#include <QWidget>

namespace {

void AddChildren(const QWidget* parent, QList<QWidget*>& controls) {
    for (QObject* child : parent->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w == nullptr || w->isWindow()) continue;
        controls << w;
        if (qobject_cast<QGroupBox*>(w)) AddChildren(w, controls);
    }
}

}  // namespace

QList<QWidget*> TableControls(const QWidget* window) {
    QList<QWidget*> controls;
    AddChildren(window, controls);
    return controls;
}

QRect RectInWindow(const QWidget* control, const QWidget* window) {
    return {control->mapTo(window, QPoint(0, 0)), control->size()};
}
