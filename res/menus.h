#pragma once
// The program's menus as tables: each a popup with its title and items (command id and text; id 0
// is a separator). The language files replace the texts by command id.

#include <string>
#include <utility>
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
inline constexpr int IDM_SHOW_FIT_TO_BEAT = 32794;
// The music list's own popup.
inline constexpr int IDR_MENU_MUSIC_POPUP = 166;
inline constexpr int IDM_MUSIC_PROPERTIES = 32795;
inline constexpr int IDM_LANGUAGE_BASE = 45400;
inline constexpr int IDM_LANGUAGE_LAST = 46399;

// The table of menu `id`; null for an id the program does not have.
const MenuTemplate* FindMenuTemplate(int id);

// The menu bar: its menus, each a title and items; `&` marks a mnemonic. The language files
// replace titles and texts by command id, as for the popups.
struct MenuBarItem {
    MenuBarItem(int command, std::string text, std::string shortcut = {}, bool submenu = false,
                bool checkable = false)
        : command(command), text(std::move(text)), shortcut(std::move(shortcut)), submenu(submenu),
          checkable(checkable) {}
    int command;           // 0: a separator
    std::string text;
    std::string shortcut;  // in the portable form of QKeySequence ("Ctrl+Shift+S"); may be empty
    bool submenu;          // an empty submenu the window fills (recent shows, languages)
    bool checkable;
};
struct MenuBarMenu {
    int command;  // the title's id in the language files
    std::string title;
    std::vector<MenuBarItem> items;
};

inline constexpr int IDM_BAR_FILE = 32800;
inline constexpr int IDM_FILE_NEW = 32801;
inline constexpr int IDM_FILE_OPEN = 32802;
inline constexpr int IDM_FILE_RECENT = 32803;
inline constexpr int IDM_FILE_RECENT_CLEAR = 32804;
inline constexpr int IDM_FILE_SAVE = 32805;
inline constexpr int IDM_FILE_SAVE_AS = 32806;
inline constexpr int IDM_FILE_CONVERT = 32807;
inline constexpr int IDM_FILE_QUIT = 32808;
inline constexpr int IDM_BAR_EDIT = 32810;
inline constexpr int IDM_EDIT_UNDO = 32811;
inline constexpr int IDM_EDIT_REDO = 32812;
inline constexpr int IDM_EDIT_DELETE = 32813;
inline constexpr int IDM_EDIT_SELECT_ALL = 32814;
inline constexpr int IDM_EDIT_PHOTO_PROPERTIES = 32815;
inline constexpr int IDM_EDIT_FIT_TO_MUSIC = 32816;
inline constexpr int IDM_EDIT_MUSIC_PROPERTIES = 32817;
inline constexpr int IDM_EDIT_FIT_TO_BEAT = 32818;
inline constexpr int IDM_BAR_SHOW = 32820;
inline constexpr int IDM_SHOW_ADD_PHOTOS = 32821;
inline constexpr int IDM_SHOW_ADD_MUSIC = 32822;
inline constexpr int IDM_SHOW_TRANSITION = 32823;
inline constexpr int IDM_SHOW_OPTIONS = 32824;
inline constexpr int IDM_SHOW_PREVIEW = 32825;
inline constexpr int IDM_BAR_VIEW = 32830;
inline constexpr int IDM_VIEW_THUMBNAILS = 32831;
inline constexpr int IDM_VIEW_LANGUAGE = 32832;
inline constexpr int IDM_VIEW_FONT = 32833;
inline constexpr int IDM_BAR_HELP = 32840;
inline constexpr int IDM_HELP_GUIDE = 32841;
inline constexpr int IDM_HELP_ABOUT = 32842;
inline constexpr int IDM_SHOW_ADD_TITLE = 32843;
inline constexpr int IDM_SHOW_CAPTIONS = 32844;
// The same commands in the right-click popup.
inline constexpr int IDM_POPUP_ADD_TITLE = 32845;
inline constexpr int IDM_POPUP_CAPTIONS = 32846;
// The recent shows' items, newest first.
inline constexpr int IDM_RECENT_BASE = 32850;

const std::vector<MenuBarMenu>& MenuBarTemplate();
