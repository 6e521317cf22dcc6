#pragma once
// Builds Qt menus from the menu tables, each action carrying its command id.

#include <memory>

class QMenu;

// Menu `id` as loaded: a top menu holding the table's popup as its one submenu (the shape the
// language code translates); null when the program has no such menu. The caller owns it alone.
std::unique_ptr<QMenu> LoadMenuTemplate(int id);
// The popup of a loaded menu; null when it has none.
QMenu* PopupOf(QMenu* loaded);
