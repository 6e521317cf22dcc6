#include "app/about_dialog.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLabel>
#include <QUrl>

#include "controls/hyperlink.h"
#include "lang/language.h"

#ifndef KAVREL_VERSION
#define KAVREL_VERSION "0"
#endif
#ifndef KAVREL_HOMEPAGE
#define KAVREL_HOMEPAGE ""
#endif
#ifndef KAVREL_CONTACT
#define KAVREL_CONTACT ""
#endif

namespace {
constexpr int kProgramLine = 1064;
constexpr int kWhatItDoes = 290;  // "photos and music into one video"

// The language file names the program (its text for the main window's caption, too); the version
// is the build's own, so it is added wherever the name does not carry it already.
std::string ProgramLine(const std::string& name) {
    if (name.find(KAVREL_VERSION) != std::string::npos) return name;
    return name + " " + KAVREL_VERSION + " - " + theLanguage.GetString(kWhatItDoes);
}

QString GuidePage(const std::string& dataFolder, const char* page) {
    return QUrl::fromLocalFile(QDir(QString::fromStdString(dataFolder)).filePath(QString("help/") + page)).toString();
}
}  // namespace

QString HomePageAddress(const std::string& dataFolder) {
    return *KAVREL_HOMEPAGE ? QString(KAVREL_HOMEPAGE) : GuidePage(dataFolder, "Introduction.htm");
}

QString ContactPageAddress(const std::string& dataFolder) {
    return *KAVREL_CONTACT ? QString(KAVREL_CONTACT) : GuidePage(dataFolder, "Contact.htm");
}

CAboutDlg::CAboutDlg(MessageBoxes& boxes, QString homePage, QString contactPage, QWidget* parent)
    : TemplateDialog(IDD_ABOUTBOX, boxes, parent), homePage_(std::move(homePage)), contactPage_(std::move(contactPage)) {}

void CAboutDlg::OnInitDialog() {
    if (auto* icon = ItemAs<QLabel>(1100)) {
        icon->setAutoFillBackground(false);
        icon->setPixmap(QIcon(":/res/icons/kavrel.svg").pixmap(icon->size()));
    }
    for (auto [id, address] : {std::pair{1049, homePage_}, std::pair{1050, contactPage_}}) {
        auto* link = ItemAs<CHyperLink>(id);
        link->SetURL(address);
        link->SetUnderline(1);
        link->SetServices(&boxes_);
    }
    theLanguage.TranslateDialog(this, IDD_ABOUTBOX);
    SetItemText(kProgramLine, ProgramLine(ItemText(kProgramLine)));
    // The links take focus from Tab; Return still closes the box at first.
    Item(IDOK)->setFocus();
}
