#include "controls/menu_builder.h"

#include <QMenu>

#include "lang/control_id.h"
#include "res/menus.h"

std::unique_ptr<QMenu> BuildPopupMenu(int id, QWidget* parent) {
    const MenuTemplate* t = FindMenuTemplate(id);
    if (t == nullptr) return nullptr;
    auto menu = std::make_unique<QMenu>(QString::fromStdString(t->popup), parent);
    for (const MenuItemTemplate& item : t->items) {
        if (item.command == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromStdString(item.text));
        SetCommandId(action, item.command);
    }
    return menu;
}
