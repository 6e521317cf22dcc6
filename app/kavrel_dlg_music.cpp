// The main window's music list: a song's property dialog (a double click, Return, the list's popup
// or the Edit menu), and Fit photos to the beat.

#include <QGuiApplication>
#include <QMenu>
#include <QTreeWidget>

#include "app/edit_history/change_steps.h"
#include "app/edit_history/step_names.h"
#include "app/kavrel_dlg.h"
#include "app/show_messages.h"
#include "controls/menu_builder.h"
#include "engine/song_analysis.h"
#include "lang/control_id.h"
#include "lang/language.h"
#include "res/menus.h"
#include "settings/music_property_dialog.h"

namespace {
constexpr int kWarning = 108;  // string id
}

void CKavrelDlg::SetUpMusicList() {
    beatsOf = BeatsOfSong;
    // Return and a double click both activate a row.
    connect(musicList(), &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* row) { EditSong(musicList()->indexOfTopLevelItem(row)); });
    musicList()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(musicList(), &QTreeWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { RunMusicPopup(musicList()->viewport()->mapToGlobal(at)); });
}

void CKavrelDlg::OnMusicProperty() {
    if (project_.musicCount() == 0 || SelectionMissing(false)) return;
    EditSong(SelectedRows(false).front());
}

void CKavrelDlg::EditSong(int row) {
    if (row < 0 || row >= project_.musicCount() || RefusedWhileBusy()) return;
    const MusicItem& item = project_.music()[static_cast<std::size_t>(row)];
    CMusicProperty dialog(s_.boxes, this);
    dialog.m_strFileName = item.path;
    dialog.m_fileLength = item.length;
    dialog.m_song = item.song;
    dialog.SetMeasuredLevel(SongLevelText(LevelOfSong(item.path), project_.musicMix()));
    if (RunDialog(dialog) != QDialog::Accepted) return;
    PushSong(row, dialog.m_song);
}

std::unique_ptr<QMenu> CKavrelDlg::MakeMusicMenu() {
    std::unique_ptr<QMenu> loaded = LoadMenuTemplate(IDR_MENU_MUSIC_POPUP);
    theLanguage.TranslateMenu(loaded.get(), IDR_MENU_MUSIC_POPUP, true);
    return loaded;
}

// Over a row; over the list's empty part the selection, if any, is the song.
void CKavrelDlg::RunMusicPopup(const QPoint& at) {
    std::unique_ptr<QMenu> menu = MakeMusicMenu();
    QMenu* popup = PopupOf(menu.get());
    if (popup == nullptr) return;
    popup->actions().front()->setEnabled(!SelectedRows(false).empty() && Item(1038)->isEnabled());
    QAction* chosen = popup->exec(at);
    if (chosen != nullptr && CommandId(chosen) == IDM_MUSIC_PROPERTIES) OnMusicProperty();
}

void CKavrelDlg::OnFitToBeat() {
    if (RefusedWhileBusy()) return;
    const std::vector<PhotoItem> before = project_.photos();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);  // the music is listened to
    const BeatFitResult fit = FitPhotosToBeat(project_, beatsOf);
    QGuiApplication::restoreOverrideCursor();
    if (fit.outcome != BeatFitOutcome::Fitted) {
        s_.boxes.Show({MessageOwner::MainWindow, BeatFitRefusalText(fit, project_), theLanguage.GetString(kWarning),
                       MessageButtons::Ok, MessageIcon::Warning});
        return;
    }
    PushPhotoChanges(step_names::kFitToBeat, PhotoChanges(before, project_.photos()));
}
