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
          {IDM_SHOW_FIT_TO_BEAT, "Fit photos to the beat"},
          {IDM_POPUP_ADD_TITLE, "Add title..."},
          {IDM_POPUP_CAPTIONS, "Captions..."},
          {0, ""},
          {kSubmenu, "Language"},
          {IDM_POPUPMENU_FONT, "Font"},
          {IDM_ABOUT, "About"}}},
        {IDR_MENU_MUSIC_POPUP, "MusicPopup", {{IDM_MUSIC_PROPERTIES, "Properties..."}}},
    };
    for (const MenuTemplate& m : menus) {
        if (m.id == id) return &m;
    }
    return nullptr;
}

const std::vector<MenuBarMenu>& MenuBarTemplate() {
    static const std::vector<MenuBarMenu> bar{
        {IDM_BAR_FILE,
         "&File",
         {{IDM_FILE_NEW, "&New Show", "Ctrl+N"},
          {IDM_FILE_OPEN, "&Open Show...", "Ctrl+O"},
          {IDM_FILE_RECENT, "Open &Recent", "", true},
          {IDM_FILE_SAVE, "&Save Show", "Ctrl+S"},
          {IDM_FILE_SAVE_AS, "Save Show &As...", "Ctrl+Shift+S"},
          {0, ""},
          {IDM_FILE_CONVERT, "&Convert..."},
          {0, ""},
          {IDM_FILE_QUIT, "&Quit", "Ctrl+Q"}}},
        {IDM_BAR_EDIT,
         "&Edit",
         {{IDM_EDIT_UNDO, "&Undo", "Ctrl+Z"},
          {IDM_EDIT_REDO, "&Redo", "Ctrl+Shift+Z"},
          {0, ""},
          {IDM_EDIT_DELETE, "&Delete", "Del"},
          {IDM_EDIT_SELECT_ALL, "Select &All", "Ctrl+A"},
          {0, ""},
          {IDM_EDIT_PHOTO_PROPERTIES, "Photo &Properties..."},
          {IDM_EDIT_MUSIC_PROPERTIES, "&Music Properties..."},
          {IDM_EDIT_FIT_TO_MUSIC, "&Fit Photos to the Music"},
          {IDM_EDIT_FIT_TO_BEAT, "Fit Photos to the &Beat"}}},
        {IDM_BAR_SHOW,
         "&Show",
         {{IDM_SHOW_ADD_PHOTOS, "Add &Photos..."},
          {IDM_SHOW_ADD_MUSIC, "Add &Music..."},
          {IDM_SHOW_ADD_TITLE, "Add T&itle..."},
          {0, ""},
          {IDM_SHOW_TRANSITION, "&Transition..."},
          {IDM_SHOW_CAPTIONS, "&Captions..."},
          {IDM_SHOW_OPTIONS, "&Options..."},
          {0, ""},
          {IDM_SHOW_PREVIEW, "Pre&view", "F5"}}},
        {IDM_BAR_VIEW,
         "&View",
         {{IDM_VIEW_THUMBNAILS, "&Thumbnails", "", false, true},
          {IDM_VIEW_LANGUAGE, "&Language", "", true},
          {IDM_VIEW_FONT, "&Font..."}}},
        {IDM_BAR_HELP, "&Help", {{IDM_HELP_GUIDE, "&User Guide", "F1"}, {IDM_HELP_ABOUT, "&About Kavrel"}}},
    };
    return bar;
}
