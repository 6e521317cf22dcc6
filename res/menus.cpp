#include "res/menus.h"

const MenuTemplate* FindMenuTemplate(int id) {
    static const std::vector<MenuTemplate> menus{
        {IDR_MENU_PREVIEW,
         "PREVIEW",
         {{ID_PREVIEW_PLAY, "Play"}, {ID_PREVIEW_PAUSE, "Pause"}, {ID_PREVIEW_STOP, "Stop"}, {0, ""},
          {ID_PREVIEW_CLOSE, "Close"}}},
        {IDR_MENU_LANGUAGE_POPUP,
         "PopupMenu",
         {{IDM_SHOW_OPEN, "Open show..."},
          {IDM_SHOW_SAVE, "Save show"},
          {IDM_SHOW_SAVE_AS, "Save show as..."},
          {IDM_SHOW_FIT_TO_MUSIC, "Fit photos to the music"},
          {0, ""},
          {kSubmenu, "Language"},
          {IDM_POPUPMENU_FONT, "Font"},
          {IDM_ABOUT, "About"}}},
    };
    for (const MenuTemplate& m : menus) {
        if (m.id == id) return &m;
    }
    return nullptr;
}
