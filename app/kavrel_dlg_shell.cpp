// The main window's shell commands: Help, Homepage, About, the language popup, the Font command,
// closing, painting and dropped files.

#include <QCloseEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QTreeWidget>
#include <filesystem>

#include "app/about_dialog.h"
#include "app/kavrel_dlg.h"
#include "app/settings_table.h"
#include "app/show_file.h"
#include "controls/label_room.h"
#include "controls/list_drag_drop.h"
#include "controls/menu_builder.h"
#include "controls/work_area_fit.h"
#include "lang/control_id.h"
#include "lang/interface_font.h"
#include "lang/language.h"
#include "platform/shell/file_dialogs.h"
#include "platform/shell/profile_store.h"
#include "res/menus.h"

void CKavrelDlg::OnHelp() {
    if (s_.openUrl) s_.openUrl((std::filesystem::path(s_.dataFolder) / "help" / "Introduction.htm").string());
}

void CKavrelDlg::OnHomepage() {
    if (s_.openUrl) s_.openUrl(HomePageAddress(s_.dataFolder).toStdString());
}

void CKavrelDlg::OnAbout() {
    CAboutDlg about(s_.boxes, HomePageAddress(s_.dataFolder), ContactPageAddress(s_.dataFolder), this);
    RunDialog(about);
}

void CKavrelDlg::OnFont() {
    QFont font = QFontFromLogFont(theLanguage.InterfaceFont());
    if (!s_.files.ChooseFont(this, &font)) return;
    LogFont chosen = LogFontFromQFont(font, theLanguage.InterfaceFont());
    theLanguage.SetInterfaceFont(chosen);
    theLanguage.SaveInterfaceFont(chosen);
    theLanguage.TranslateDialog(this, IDD_KAVREL_DIALOG);
    LayOutForFont();
    ShowShowState();
}

// As the window is laid out when it opens with this font: the table, the parts placed in code,
// the menu bar above them all, the work area. A part placed once goes back up first, so that the
// bar moves it down once.
void CKavrelDlg::LayOutForFont() {
    MovePartsDown(-menuBar_->height());
    LayOut();
    WidenCutLabels(this);
    PlaceProgressBar();
    PlaceShowSummary();
    PlaceMenuBar();
    if (FitToWorkArea(this) == 1) KeepInWorkArea(this);
}

std::unique_ptr<QMenu> CKavrelDlg::MakeLanguageMenu() {
    std::unique_ptr<QMenu> loaded = LoadMenuTemplate(IDR_MENU_LANGUAGE_POPUP);
    QMenu* popup = PopupOf(loaded.get());
    if (popup == nullptr) {
        s_.boxes.Show({MessageOwner::None, "Can not find Language Menu!", "error", MessageButtons::Ok,
                       MessageIcon::None});
        return nullptr;
    }
    if (QMenu* languages = PopupOf(popup)) FillLanguageMenu(languages);
    theLanguage.TranslateMenu(loaded.get(), IDR_MENU_LANGUAGE_POPUP, true);
    ShowShortcutsIn(popup);
    return loaded;
}

// Every installed language, the current one checked.
void CKavrelDlg::FillLanguageMenu(QMenu* languages) {
    languages->clear();
    const QString current = QString::fromStdString(theLanguage.GetCurrentLanguage());
    for (int i = 0; i < theLanguage.GetLanguageCount(); ++i) {
        const QString name = QString::fromStdString(theLanguage.GetLanguageName(i));
        QAction* action = languages->addAction(name);
        SetCommandId(action, IDM_LANGUAGE_BASE + i);
        action->setCheckable(true);
        action->setChecked(name.compare(current, Qt::CaseInsensitive) == 0);
    }
}

void CKavrelDlg::OnLanguage(int command) {
    const int index = command - IDM_LANGUAGE_BASE;
    if (index < 0 || index >= theLanguage.GetLanguageCount()) return;
    theLanguage.SelectLanguage(theLanguage.GetLanguageName(index));
    theLanguage.TranslateDialog(this, IDD_KAVREL_DIALOG);
    TranslateMenuBar();
    ShowShowState();
    s_.boxes.Show({MessageOwner::MainWindow, theLanguage.GetString(150), theLanguage.GetString(108),
                   MessageButtons::Ok, MessageIcon::None});
}

void CKavrelDlg::mouseReleaseEvent(QMouseEvent* event) {
    TemplateDialog::mouseReleaseEvent(event);
    if (event->button() == Qt::RightButton) RunPopup(event->globalPosition().toPoint());
}

void CKavrelDlg::RunPopup(const QPoint& at) {
    std::unique_ptr<QMenu> menu = MakeLanguageMenu();
    if (!menu) return;
    QAction* chosen = PopupOf(menu.get())->exec(at);
    if (chosen == nullptr) return;
    const int command = CommandId(chosen);
    if (command == IDM_ABOUT) {
        OnAbout();
    } else if (command == IDM_POPUPMENU_FONT) {
        OnFont();
    } else if (command >= IDM_LANGUAGE_BASE && command <= IDM_LANGUAGE_LAST) {
        OnLanguage(command);
    } else {
        RunShowCommand(command);
    }
}

bool CKavrelDlg::CanClose() {
    if (project_.run().converting) {
        s_.boxes.Show({MessageOwner::MainWindow, theLanguage.GetString(143), theLanguage.GetString(108),
                       MessageButtons::Ok, MessageIcon::None});
        return false;
    }
    if (project_.run().previewing) {
        s_.boxes.AppMessage("Please first stop Preview");
        return false;
    }
    if (!MayDiscardShow()) return false;
    held_.video.filter.reset();
    held_.audio.filter.reset();
    WriteText(s_.store, settings::kCurrentLanguage, theLanguage.GetCurrentLanguage());
    return true;
}

void CKavrelDlg::closeEvent(QCloseEvent* event) {
    if (closing_ || CanClose()) {
        closing_ = true;
        event->accept();
        done(Accepted);
    } else {
        event->ignore();
    }
}

void CKavrelDlg::EndWithoutAsking() {
    if (project_.run().converting) AbandonConversion();
    if (project_.run().previewing) EndPreviewRun();
    closing_ = true;
    done(Rejected);
}

// Escape goes through the same checks as closing, so it never ends a running conversion.
void CKavrelDlg::OnCancel() { close(); }

void CKavrelDlg::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (!background_.isNull()) painter.drawTiledPixmap(rect(), background_);
    TemplateDialog::paintEvent(event);
}

void CKavrelDlg::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CKavrelDlg::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
    }
    if (DropFiles(paths, event->position().toPoint())) event->acceptProposedAction();
}

// Rows dragged within a list, and files dropped between its rows, while the Add buttons work.
void CKavrelDlg::SetUpRowDragging() {
    for (bool photos : {true, false}) {
        new ListDragDrop(photos ? photoList() : musicList(),
                         {[this] { return Item(1006)->isEnabled(); },
                          [this, photos](const std::vector<int>& rows, int destination) {
                              MoveRows(photos, rows, destination);
                          },
                          [this, photos](const std::vector<std::string>& files, int destination) {
                              DropFilesInList(photos, files, destination);
                          }});
    }
}

void CKavrelDlg::DropFilesInList(bool photos, const std::vector<std::string>& files, int destination) {
    if (const std::string show = FirstShowFile(files); !show.empty()) {
        OpenShow(show);
        return;
    }
    photos ? AddPhotoFiles(files, destination) : AddMusicFiles(files, destination);
}

bool CKavrelDlg::DropFiles(const std::vector<std::string>& paths, const QPoint& at) {
    if (paths.empty()) return false;
    if (const std::string show = FirstShowFile(paths); !show.empty()) return OpenShow(show);
    // Added as the Add buttons add them, and only while those buttons work.
    if (musicList()->geometry().contains(at)) {
        if (!Item(1007)->isEnabled()) return false;
        AddMusicFiles(paths);
        return true;
    }
    if (photoList()->geometry().contains(at)) {
        if (!Item(1006)->isEnabled()) return false;
        AddPhotoFiles(paths);
        return true;
    }
    return false;
}
