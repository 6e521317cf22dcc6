// The summary beside the status line: the show's length and photos at a glance, and after a
// conversion links that play the video and show it in its folder. With it, the caption's "*" and
// the menu bar follow every change of the show.

#include <QLabel>
#include <filesystem>

#include "app/kavrel_dlg.h"
#include "app/show_length.h"
#include "lang/language.h"
#include "platform/com/failure_texts.h"

namespace {

constexpr int kShowLengthLabel = 177, kOnePhoto = 225, kPhotos = 226, kPlay = 227,
              kShowInFolder = 228;

std::string PhotoCountText(int count) {
    return count == 1 ? theLanguage.GetString(kOnePhoto)
                      : FilledText(theLanguage.GetString(kPhotos).c_str(), {std::to_string(count)});
}

QString Link(const char* target, int textId) {
    return QString("<a href=\"%1\">%2</a>").arg(target, QString::fromStdString(theLanguage.GetString(textId)).toHtmlEscaped());
}

}  // namespace

// One line under the status line, as wide (in dialog units, as the controls are placed); the
// window grows by it.
void CKavrelDlg::SetUpShowSummary() {
    showSummary_ = new QLabel(this);
    showSummary_->setTextFormat(Qt::RichText);
    showSummary_->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(showSummary_, &QLabel::linkActivated, this, [this](const QString& link) { OnSummaryLink(link); });
    PlaceShowSummary();
}

void CKavrelDlg::PlaceShowSummary() {
    const QPoint topLeft = DialogUnitsToPixels(layoutFont(), 7, 286);
    const QPoint extent = DialogUnitsToPixels(layoutFont(), 400, 12);
    showSummary_->setGeometry(topLeft.x(), topLeft.y(), extent.x(), extent.y());
    setFixedSize(width(), DialogUnitsToPixels(layoutFont(), 0, 302).y());
}

void CKavrelDlg::ShowShowState() {
    ShowCaption();
    ShowShowLength();
    UpdateMenuBar();
}

void CKavrelDlg::ShowSummary() {
    if (showSummary_ == nullptr) return;
    const std::string length =
        ShowLengthText(theLanguage.GetString(kShowLengthLabel), project_.ComputeShowLength());
    QString text = QString::fromStdString(length + " \u00b7 " + PhotoCountText(project_.photoCount())).toHtmlEscaped();
    if (!convertedFile_.empty()) text += " \u00b7 " + Link("play", kPlay) + " \u00b7 " + Link("folder", kShowInFolder);
    showSummary_->setText(text);
}

void CKavrelDlg::OnSummaryLink(const QString& link) {
    if (convertedFile_.empty()) return;
    if (link == "play") {
        if (s_.openUrl) s_.openUrl(convertedFile_);
    } else if (s_.showInFolder) {
        s_.showInFolder(convertedFile_);
    } else if (s_.openUrl) {
        s_.openUrl(std::filesystem::path(convertedFile_).parent_path().string());
    }
}
