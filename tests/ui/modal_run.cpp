#include "tests/ui/modal_run.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <memory>

#include "controls/menu_builder.h"
#include "lang/control_id.h"
#include "controls/template_dialog.h"

namespace {

// Polls every few milliseconds until `find` returns something or time runs out (a failure unless
// `optional`).
template <class T>
void WhenFound(std::function<T*()> find, std::function<void(T*)> action, int timeoutMs, bool optional = false) {
    auto* timer = new QTimer;
    auto left = std::make_shared<int>(timeoutMs / 10);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, left, find, action, optional] {
        T* found = find();
        if (found == nullptr && --*left > 0) return;
        timer->stop();
        timer->deleteLater();
        if (found == nullptr) {
            if (!optional) ADD_FAILURE() << "the window did not open";
        } else {
            action(found);
        }
    });
    timer->start();
}

QMenu* OpenPopupMenu() {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    return menu != nullptr && menu->isVisible() ? menu : nullptr;
}

QWindow* WindowOf(QWidget* widget, QPoint* at) {
    QWidget* top = widget->window();
    *at = widget->mapTo(top, *at);
    return top->windowHandle();
}

}  // namespace

namespace {

// Ends whatever modal window is still open long after it should have been answered, so a test that
// failed to answer one fails instead of waiting for ever.
void EndStrayModals() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* d = qobject_cast<QDialog*>(w); d != nullptr && d->isVisible() && d->isModal()) d->reject();
    }
}

}  // namespace

int RunModal(TemplateDialog& dialog, const std::function<void()>& script) {
    QTimer watchdog;
    watchdog.setInterval(120000);
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        ADD_FAILURE() << "a modal window was left open";
        EndStrayModals();
    });
    watchdog.start();
    QTimer::singleShot(0, &dialog, [&dialog, script] {
        if (!QTest::qWaitForWindowExposed(&dialog)) ADD_FAILURE() << "the dialog never showed";
        script();
        if (dialog.isVisible()) dialog.done(QDialog::Rejected);
    });
    return dialog.DoModal();
}

bool WaitFor(const std::function<bool()>& ready, int timeoutMs) { return QTest::qWaitFor(ready, timeoutMs); }

void ClickThroughWindow(QWidget* widget, Qt::MouseButton button, QPoint at) {
    if (at == QPoint(-1, -1)) at = widget->rect().center();
    QWindow* window = WindowOf(widget, &at);
    ASSERT_NE(window, nullptr);
    QTest::mouseClick(window, button, Qt::NoModifier, at);
}

void KeyThroughWindow(QWidget* widget, Qt::Key key) {
    QWidget* top = widget->window();
    ASSERT_NE(top->windowHandle(), nullptr);
    QTest::keyClick(top->windowHandle(), key);
}

void WhenMenuOpens(std::function<void(QMenu*)> action, int timeoutMs) {
    WhenFound<QMenu>(OpenPopupMenu, std::move(action), timeoutMs);
}

void CloseMenuIfOpens(bool* opened, int timeoutMs) {
    *opened = false;
    WhenFound<QMenu>(OpenPopupMenu, [opened](QMenu* menu) {
        *opened = true;
        menu->close();
    }, timeoutMs, true);
}

void WhenModalOpens(std::function<void(QWidget*)> action, QWidget* except, int timeoutMs) {
    WhenFound<QWidget>(
        [except] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (w != except && w->isVisible() && w->isModal()) return w;
            }
            return static_cast<QWidget*>(nullptr);
        },
        std::move(action), timeoutMs);
}

void ChooseMenuCommand(QMenu* menu, int id) {
    for (QAction* action : menu->actions()) {
        if (CommandId(action) != id) continue;
        ClickThroughWindow(menu, Qt::LeftButton, menu->actionGeometry(action).center());
        return;
    }
    ADD_FAILURE() << "no menu item " << id;
}
