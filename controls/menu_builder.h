#pragma once
// Builds a Qt popup menu from a menu table, each action carrying its command id.

#include <memory>

class QMenu;
class QWidget;

// The popup of menu `id`, or null when the program has no such menu.
std::unique_ptr<QMenu> BuildPopupMenu(int id, QWidget* parent = nullptr);
