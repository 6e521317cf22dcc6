#pragma once
// The program's menus as tables: each a popup with its title and items (command id and text; id 0
// is a separator). The language files replace the texts by command id.

#include <string>
#include <vector>

struct MenuItemTemplate {
    int command = 0;  // 0: a separator; kSubmenu: an (empty) submenu titled `text`
    std::string text;
};
inline constexpr int kSubmenu = -1;

struct MenuTemplate {
    int id;
    std::string popup;
    std::vector<MenuItemTemplate> items;
};

inline constexpr int IDR_MENU_PREVIEW = 134;
inline constexpr int ID_PREVIEW_PLAY = 32773;
inline constexpr int ID_PREVIEW_PAUSE = 32774;
inline constexpr int ID_PREVIEW_STOP = 32775;
inline constexpr int ID_PREVIEW_CLOSE = 32776;
inline constexpr int IDR_MENU_LANGUAGE_POPUP = 160;
inline constexpr int IDM_ABOUT = 32777;
inline constexpr int IDM_POPUPMENU_FONT = 32778;
inline constexpr int IDM_SHOW_OPEN = 32790;
inline constexpr int IDM_SHOW_SAVE = 32791;
inline constexpr int IDM_SHOW_SAVE_AS = 32792;
inline constexpr int IDM_SHOW_FIT_TO_MUSIC = 32793;
inline constexpr int IDM_LANGUAGE_BASE = 45400;
inline constexpr int IDM_LANGUAGE_LAST = 46399;

// The table of menu `id`; null for an id the program does not have.
const MenuTemplate* FindMenuTemplate(int id);
