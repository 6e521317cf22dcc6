#pragma once
// Whether focus came from the keyboard (Tab, Shift+Tab, a mnemonic): the only focus the program's
// own controls draw, as the desktop's do.

#include <Qt>

inline bool IsKeyboardFocus(Qt::FocusReason reason) {
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
}
