#pragma once
// Drives windows as the program runs them: a dialog run modally through DoModal, with a script
// running inside its event loop, and input sent through the window system, so that a window a
// modal one blocks ignores it exactly as it would ignore a user.

#include <QPoint>
#include <functional>

class QMenu;
class QWidget;
class TemplateDialog;

// Runs `dialog` through DoModal and `script` inside its loop; the dialog is ended afterwards (even
// when the script failed), and the DoModal result is returned.
int RunModal(TemplateDialog& dialog, const std::function<void()>& script);

// Processes events until `ready` holds; false after `timeoutMs`.
bool WaitFor(const std::function<bool()>& ready, int timeoutMs = 5000);

// A click (press and release) of `button` at `at` in `widget` (its centre by default), delivered
// through the widget's window as the window system delivers it.
void ClickThroughWindow(QWidget* widget, Qt::MouseButton button = Qt::LeftButton, QPoint at = QPoint(-1, -1));
void KeyThroughWindow(QWidget* widget, Qt::Key key);

// Runs `action` with the first popup menu that opens within `timeoutMs`, once it is showing.
void WhenMenuOpens(std::function<void(QMenu*)> action, int timeoutMs = 30000);
// Closes a popup menu that opens within `timeoutMs`; *opened says whether one did.
void CloseMenuIfOpens(bool* opened, int timeoutMs);
// Runs `action` with the first modal window (dialog, message box) other than `except` to open.
void WhenModalOpens(std::function<void(QWidget*)> action, QWidget* except = nullptr, int timeoutMs = 30000);
// Clicks the menu's item of command `id` through the menu's window.
void ChooseMenuCommand(QMenu* menu, int id);
