#include "settings/photo_property_dialog.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <algorithm>

#include "app/slideshow_project.h"
#include "lang/language.h"
#include "platform/com/failure_texts.h"
#include "platform/shell/file_probe.h"
#include "platform/shell/message_boxes.h"

namespace {
constexpr int kFileEdit = 1034, kBrowse = 1035, kCaptionEdit = 1128, kPlaceList = 1152;
constexpr int kPlaceNames = 247, kTextTooLong = 259, kCaptionTooManyLines = 262;  // string ids
}

CPhotoProperty::CPhotoProperty(MessageBoxes& boxes, FileDialogs& files, QWidget* parent)
    : PhotoTimingDialog(IDD_DIALOG_CHANGE_PHOTO, boxes, parent), files_(files) {
    OnCommand(kBrowse, [this] { OnBrowse(); });
}

void CPhotoProperty::OnInitDialog() {
    SetItemText(kFileEdit, m_strFileName);
    ShowTiming();
    SetItemText(kCaptionEdit, m_caption.text);
    auto* places = ItemAs<QComboBox>(kPlaceList);
    for (int i = 0; i < 3; ++i) places->addItem(QString::fromStdString(theLanguage.GetString(kPlaceNames + i)));
    places->setCurrentIndex(std::clamp(static_cast<int>(m_caption.place), 0, 2));
    theLanguage.TranslateDialog(this, IDD_DIALOG_CHANGE_PHOTO);
}

void CPhotoProperty::OnBrowse() {
    const std::optional<std::string> chosen = ChoosePhoto(files_);
    if (!chosen) return;
    m_strFileName = *chosen;
    SetItemText(kFileEdit, m_strFileName);
}

void CPhotoProperty::OnOK() {
    const std::optional<Timing> timing = ReadTiming();
    if (!timing) return;
    const std::string name = ItemText(kFileEdit);
    // The photo list keeps at most this much of a name; a longer one would be cut into another file.
    if (name.size() > kMaxPathBytes) {
        boxes_.Show({MessageOwner::Dialog,
                     "The file name is longer than " + std::to_string(kMaxPathBytes) + " bytes.", "",
                     MessageButtons::Ok, MessageIcon::None});
        return;
    }
    if (!FileCanBeOpenedForReading(name)) {
        boxes_.Show({MessageOwner::Dialog, "The file does not exist!", "", MessageButtons::Ok, MessageIcon::None});
        return;
    }
    if (!ExchangeCaption()) return;
    m_strFileName = name;
    TakeTiming(*timing);
    done(Accepted);
}

// Empty lines at the end are dropped; more lines than a caption has are refused.
bool CPhotoProperty::ExchangeCaption() {
    std::string text = ItemText(kCaptionEdit);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    std::string refusal;
    if (text.size() > kMaxTextBytes) {
        refusal = FilledText(theLanguage.GetString(kTextTooLong).c_str(), {std::to_string(kMaxTextBytes)});
    } else if (std::count(text.begin(), text.end(), '\n') >= kMaxCaptionLines) {
        refusal = FilledText(theLanguage.GetString(kCaptionTooManyLines).c_str(), {std::to_string(kMaxCaptionLines)});
    }
    if (!refusal.empty()) {
        boxes_.Show({MessageOwner::Dialog, refusal, "", MessageButtons::Ok, MessageIcon::None});
        ItemAs<QPlainTextEdit>(kCaptionEdit)->setFocus();
        return false;
    }
    m_caption.text = text;
    m_caption.place = static_cast<CaptionPlace>(ItemAs<QComboBox>(kPlaceList)->currentIndex());
    return true;
}
