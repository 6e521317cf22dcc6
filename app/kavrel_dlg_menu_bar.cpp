// The main window's menu bar: each item runs the code of the button or popup item it mirrors, and
// is greyed when that button is.

#include <QMenuBar>
#include <QTreeWidget>
#include <filesystem>

#include "app/kavrel_dlg.h"
#include "app/recent_shows.h"
#include "lang/control_id.h"
#include "lang/language.h"
#include "platform/com/failure_texts.h"
#include "res/menus.h"

namespace {

constexpr int kUndoStep = 229, kRedoStep = 230;

// The items that wait while a conversion runs, as their buttons do.
struct MirroredButton {
    int command;
    int button;
};
constexpr MirroredButton kMirrored[] = {
    {IDM_SHOW_ADD_PHOTOS, 1006}, {IDM_SHOW_ADD_MUSIC, 1007},         {IDM_SHOW_TRANSITION, 1016},
    {IDM_SHOW_OPTIONS, 1003},    {IDM_SHOW_PREVIEW, 1019},           {IDM_EDIT_PHOTO_PROPERTIES, 1033},
    {IDM_EDIT_DELETE, 1029},     {IDM_EDIT_FIT_TO_MUSIC, 1029},         {IDM_SHOW_ADD_TITLE, 1006},
    {IDM_SHOW_CAPTIONS, 1016},   {IDM_EDIT_MUSIC_PROPERTIES, 1038},     {IDM_EDIT_FIT_TO_BEAT, 1029},
};

QAction* AddBarItem(QMenu* menu, const MenuBarItem& item) {
    if (item.command == 0) return menu->addSeparator();
    QAction* action = item.submenu ? menu->addMenu(QString::fromStdString(item.text))->menuAction()
                                   : menu->addAction(QString::fromStdString(item.text));
    SetCommandId(action, item.command);
    if (!item.shortcut.empty()) action->setShortcut(QKeySequence(QString::fromStdString(item.shortcut)));
    action->setCheckable(item.checkable);
    return action;
}

void TranslateActions(const QList<QAction*>& actions) {
    for (QAction* action : actions) {
        const std::string text = CommandId(action) != 0 ? theLanguage.GetMenuText(CommandId(action)) : "";
        if (!text.empty()) action->setText(QString::fromStdString(text));
        if (action->menu() != nullptr) TranslateActions(action->menu()->actions());
    }
}

}  // namespace

void CKavrelDlg::SetUpMenuBar() {
    menuBar_ = new QMenuBar(this);
    for (const MenuBarMenu& m : MenuBarTemplate()) {
        QMenu* menu = menuBar_->addMenu(QString::fromStdString(m.title));
        SetCommandId(menu->menuAction(), m.command);
        for (const MenuBarItem& item : m.items) {
            QAction* action = AddBarItem(menu, item);
            const int command = item.command;
            if (item.submenu || command == 0) continue;
            connect(action, &QAction::triggered, this, [this, command] { RunMenuBarCommand(command); });
        }
    }
    if (QAction* redo = MenuBarAction(IDM_EDIT_REDO))
        redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    QMenu* recent = MenuBarAction(IDM_FILE_RECENT)->menu();
    connect(recent, &QMenu::aboutToShow, this, [this, recent] { FillRecentMenu(recent); });
    QMenu* languages = MenuBarAction(IDM_VIEW_LANGUAGE)->menu();
    connect(languages, &QMenu::aboutToShow, this, [this, languages] { FillLanguageMenu(languages); });
    connect(languages, &QMenu::triggered, this, [this](QAction* chosen) { OnLanguage(CommandId(chosen)); });
    PlaceMenuBar();
}

// The window grows by the bar's height; every control keeps its place in the area below it.
void CKavrelDlg::PlaceMenuBar() {
    const int height = menuBar_->sizeHint().height();
    MovePartsDown(height);
    menuBar_->setGeometry(0, 0, width(), height);
    setFixedSize(width(), this->height() + height);
}

void CKavrelDlg::MovePartsDown(int pixels) {
    for (QObject* child : children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w != nullptr && w != menuBar_ && !w->isWindow()) w->move(w->x(), w->y() + pixels);
    }
}

QAction* CKavrelDlg::MenuBarAction(int command) const {
    for (QAction* top : menuBar_->actions()) {
        for (QAction* action : top->menu()->actions()) {
            if (CommandId(action) == command) return action;
        }
    }
    return nullptr;
}

void CKavrelDlg::TranslateMenuBar() {
    TranslateActions(menuBar_->actions());
    UpdateMenuBar();
}

void CKavrelDlg::UpdateMenuBar() {
    if (menuBar_ == nullptr) return;
    for (const MirroredButton& m : kMirrored) {
        if (QWidget* button = Item(m.button)) MenuBarAction(m.command)->setEnabled(button->isEnabled());
    }
    MenuBarAction(IDM_VIEW_THUMBNAILS)->setChecked(ThumbnailsShown());
    ShowHistoryStep(MenuBarAction(IDM_EDIT_UNDO), CanUndo(), UndoStepText(), kUndoStep);
    ShowHistoryStep(MenuBarAction(IDM_EDIT_REDO), CanRedo(), RedoStepText(), kRedoStep);
}

// "Undo Remove 3 Photos"; the plain item while there is nothing to take back or a video is written.
void CKavrelDlg::ShowHistoryStep(QAction* item, bool possible, const std::string& step, int textId) {
    const bool usable = possible && !project_.run().converting;
    item->setEnabled(usable);
    const std::string text = usable ? FilledText(theLanguage.GetString(textId).c_str(), {step})
                                    : theLanguage.GetMenuText(CommandId(item));
    if (!text.empty()) item->setText(QString::fromStdString(text));
}

void CKavrelDlg::FillRecentMenu(QMenu* menu) {
    menu->clear();
    const std::vector<std::string> shows = ReadRecentShows(s_.store);
    for (std::size_t i = 0; i < shows.size(); ++i) {
        const QString name = QString::fromStdString(shows[i]);
        QAction* action = menu->addAction(QString("&%1 %2").arg(i + 1).arg(name));
        action->setEnabled(std::filesystem::is_regular_file(shows[i]));  // a missing show is greyed
        const std::string show = shows[i];
        connect(action, &QAction::triggered, this, [this, show] { OpenRecentShow(show); });
    }
    if (!shows.empty()) menu->addSeparator();
    QAction* clear = menu->addAction(QString::fromStdString(theLanguage.GetMenuText(IDM_FILE_RECENT_CLEAR)));
    clear->setEnabled(!shows.empty());
    connect(clear, &QAction::triggered, this, [this] { ClearRecentShows(s_.store); });
}

void CKavrelDlg::OpenRecentShow(const std::string& show) {
    if (!MayDiscardShow()) return;
    OpenShow(show, false);
}

// The list the user works in: the one with the focus, else the photo list.
bool CKavrelDlg::PhotoListInUse() const { return !musicList()->hasFocus(); }

void CKavrelDlg::RunMenuBarCommand(int command) {
    switch (command) {
        case IDM_FILE_NEW: NewShow(); break;
        case IDM_FILE_OPEN: OnOpenShow(); break;
        case IDM_FILE_SAVE: OnSaveShow(); break;
        case IDM_FILE_SAVE_AS: OnSaveShowAs(); break;
        case IDM_FILE_CONVERT: OnConvert(); break;
        case IDM_FILE_QUIT: close(); break;
        case IDM_EDIT_UNDO: OnUndo(); break;
        case IDM_EDIT_REDO: OnRedo(); break;
        case IDM_EDIT_DELETE: OnDelete(PhotoListInUse()); break;
        case IDM_EDIT_SELECT_ALL: (PhotoListInUse() ? photoList() : musicList())->selectAll(); break;
        case IDM_EDIT_PHOTO_PROPERTIES: OnPhotoProperty(); break;
        case IDM_EDIT_MUSIC_PROPERTIES: OnMusicProperty(); break;
        case IDM_EDIT_FIT_TO_MUSIC: OnFitToMusic(); break;
        case IDM_EDIT_FIT_TO_BEAT: OnFitToBeat(); break;
        case IDM_SHOW_ADD_PHOTOS: OnAddPhotos(); break;
        case IDM_SHOW_ADD_MUSIC: OnAddMusic(); break;
        case IDM_SHOW_ADD_TITLE: OnAddTitle(); break;
        case IDM_SHOW_CAPTIONS: OnCaptionStyle(); break;
        case IDM_SHOW_TRANSITION: OnTransitionSettings(); break;
        case IDM_SHOW_OPTIONS: OnOutputSettings(); break;
        case IDM_SHOW_PREVIEW: OnPreview(); break;
        case IDM_VIEW_THUMBNAILS: SetThumbnailsShown(MenuBarAction(IDM_VIEW_THUMBNAILS)->isChecked()); break;
        case IDM_VIEW_FONT: OnFont(); break;
        case IDM_HELP_GUIDE: OnHelp(); break;
        case IDM_HELP_ABOUT: OnAbout(); break;
        default: break;
    }
}
