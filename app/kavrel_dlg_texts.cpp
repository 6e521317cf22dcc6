// Title cards and captions in the main window: a title card added or edited through its dialog,
// and the show's caption style; each one step of the history.

#include <QTreeWidget>

#include "app/edit_history/step_names.h"
#include "app/kavrel_dlg.h"
#include "lang/language.h"
#include "platform/com/failure_texts.h"
#include "platform/shell/message_boxes.h"
#include "settings/caption_style_dialog.h"
#include "settings/title_card_dialog.h"

namespace {
constexpr int kStopConvertingFirst = 143, kWarning = 108, kListFull = 263;  // string ids
}  // namespace

namespace {

void ShowTitleRow(const PhotoItem& item, CTitleCard& dialog) {
    if (item.title) dialog.m_card = *item.title;
    dialog.m_strPhoto = item.path;
    dialog.SetTimingOf(item);
}

void TakeTitleRow(const CTitleCard& dialog, PhotoItem* item) {
    item->title = dialog.m_card;
    item->path = dialog.m_strPhoto;
    dialog.GetTimingInto(item);
}

}  // namespace

bool CKavrelDlg::RefusedWhileBusy() {
    if (!project_.run().converting) return false;
    s_.boxes.Show({MessageOwner::MainWindow, theLanguage.GetString(kStopConvertingFirst),
                   theLanguage.GetString(kWarning), MessageButtons::Ok, MessageIcon::None});
    return true;
}

void CKavrelDlg::OnAddTitle() {
    if (RefusedWhileBusy()) return;
    if (project_.photoCount() >= kMaxPhotos) {
        s_.boxes.Show({MessageOwner::MainWindow,
                       FilledText(theLanguage.GetString(kListFull).c_str(), {std::to_string(kMaxPhotos)}), "",
                       MessageButtons::Ok, MessageIcon::Warning});
        return;
    }
    const std::vector<int> selected = SelectedRows(true);
    const int row = selected.empty() ? project_.photoCount() : selected.back() + 1;
    PhotoItem item = project_.MakePhotos({""}, row).front();
    CTitleCard dialog(s_.boxes, s_.files, this);
    ShowTitleRow(item, dialog);
    if (RunDialog(dialog) != QDialog::Accepted) return;
    TakeTitleRow(dialog, &item);
    PushInsertion({MediaList::Photos, {row}, {std::move(item)}, {}}, step_names::kAddTitle, true);
}

void CKavrelDlg::OnEditTitle(int row) {
    if (RefusedWhileBusy() || row < 0 || row >= project_.photoCount()) return;
    const PhotoItem item = project_.photos()[static_cast<std::size_t>(row)];
    if (!item.title) return;
    CTitleCard dialog(s_.boxes, s_.files, this);
    ShowTitleRow(item, dialog);
    if (RunDialog(dialog) != QDialog::Accepted) return;
    PhotoItem changed = item;
    TakeTitleRow(dialog, &changed);
    if (changed != item) PushPhotoChanges(step_names::kEditTitle, {{row, item, changed}});
}

void CKavrelDlg::OnCaptionStyle() {
    if (RefusedWhileBusy()) return;
    CCaptionStyle dialog(s_.boxes, this);
    dialog.m_style = project_.captionStyle();
    if (RunDialog(dialog) != QDialog::Accepted) return;
    const CaptionStyle before = project_.captionStyle();
    project_.captionStyle() = dialog.m_style;
    PushCaptionStyle(before);
}
