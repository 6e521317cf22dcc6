#include "controls/menu_builder.h"

#include <QMenu>

#include "lang/control_id.h"
#include "res/menus.h"

std::unique_ptr<QMenu> LoadMenuTemplate(int id) {
    const MenuTemplate* t = FindMenuTemplate(id);
    if (t == nullptr) return nullptr;
    auto loaded = std::make_unique<QMenu>();
    QMenu* popup = loaded->addMenu(QString::fromStdString(t->popup));
    for (const MenuItemTemplate& item : t->items) {
        if (item.command == 0) {
            popup->addSeparator();
        } else if (item.command == kSubmenu) {
            popup->addMenu(QString::fromStdString(item.text));
        } else {
            SetCommandId(popup->addAction(QString::fromStdString(item.text)), item.command);
        }
    }
    return loaded;
}

QMenu* PopupOf(QMenu* loaded) {
    if (loaded == nullptr) return nullptr;
    for (QAction* action : loaded->actions()) {
        if (action->menu() != nullptr) return action->menu();
    }
    return nullptr;
}
