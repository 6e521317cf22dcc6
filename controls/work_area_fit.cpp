#include "controls/work_area_fit.h"

#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "controls/table_controls.h"

namespace {

// Room for the window manager's title bar and frame.
constexpr int kFrameWidth = 16, kFrameHeight = 40;

int Scaled(int v, double factor) { return static_cast<int>(std::lround(v * factor)); }

}  // namespace

double FitToWorkArea(QWidget* window) {
    QScreen* screen = window->screen() != nullptr ? window->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return 1;
    // A menu bar keeps its height (shorter, it would hide its menus); what lies below it shrinks.
    auto* bar = window->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly);
    const int top = bar != nullptr ? bar->height() : 0;
    const QRect work = screen->availableGeometry();
    const double factor = std::min({1.0, double(work.width() - kFrameWidth) / window->width(),
                                    double(work.height() - kFrameHeight - top) / (window->height() - top)});
    if (factor >= 1 || factor <= 0) return 1;
    for (QWidget* w : TableControls(window)) {
        if (w == bar) continue;
        // A control nested in a group box is placed in the group box, below no menu bar.
        const int above = w->parentWidget() == window ? top : 0;
        const QRect r = w->geometry();
        const int y = above + Scaled(r.top() - above, factor);
        w->setGeometry(Scaled(r.left(), factor), y, Scaled(r.right() + 1, factor) - Scaled(r.left(), factor),
                       above + Scaled(r.bottom() + 1 - above, factor) - y);
    }
    window->setFixedSize(Scaled(window->width(), factor), top + Scaled(window->height() - top, factor));
    if (bar != nullptr) bar->setGeometry(0, 0, window->width(), top);
    // Placed with room for its title bar: centred, a dialog's estimate of the frame would push it
    // off the top of the screen.
    window->move(work.x() + (work.width() - window->width()) / 2,
                 work.y() + (work.height() - window->height() - kFrameHeight) / 2);
    return factor;
}

void KeepInWorkArea(QWidget* window) {
    QScreen* screen = window->screen();
    if (screen == nullptr || !window->isVisible()) return;
    const QRect work = screen->availableGeometry(), frame = window->frameGeometry();
    const int x = std::max(work.left(), std::min(frame.left(), work.right() + 1 - frame.width()));
    const int y = std::max(work.top(), std::min(frame.top(), work.bottom() + 1 - frame.height()));
    window->move(window->pos() + QPoint(x - frame.left(), y - frame.top()));
}
