#include "controls/work_area_fit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace {

// Room for the window manager's title bar and frame.
constexpr int kFrameWidth = 16, kFrameHeight = 40;

QRect Scaled(const QRect& r, double factor) {
    auto at = [factor](int v) { return static_cast<int>(std::lround(v * factor)); };
    return QRect(QPoint(at(r.left()), at(r.top())), QPoint(at(r.right() + 1) - 1, at(r.bottom() + 1) - 1));
}

}  // namespace

double FitToWorkArea(QWidget* window) {
    QScreen* screen = window->screen() != nullptr ? window->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return 1;
    const QRect work = screen->availableGeometry();
    const double factor = std::min({1.0, double(work.width() - kFrameWidth) / window->width(),
                                    double(work.height() - kFrameHeight) / window->height()});
    if (factor >= 1 || factor <= 0) return 1;
    for (QObject* child : window->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w != nullptr && !w->isWindow()) w->setGeometry(Scaled(w->geometry(), factor));
    }
    const QSize size = Scaled(window->rect(), factor).size();
    window->setFixedSize(size);
    return factor;
}
