#include "platform/shell/qt_shell_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QStringList>

namespace {

constexpr char kApplicationName[] = "Kavrel";

QWidget* OwnerOf(MessageOwner owner) {
    switch (owner) {
        case MessageOwner::None: return nullptr;
        case MessageOwner::Dialog:
            if (QWidget* modal = QApplication::activeModalWidget()) return modal;
            [[fallthrough]];
        default: return QApplication::activeWindow();
    }
}

QMessageBox::Icon IconOf(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information: return QMessageBox::Information;
        case MessageIcon::Warning: return QMessageBox::Warning;
        case MessageIcon::Error: return QMessageBox::Critical;
        default: return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButtons ButtonsOf(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
        case MessageButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        default: return QMessageBox::Ok;
    }
}

// "Image Files (*.jpg;*.bmp)" with "*.jpg; *.bmp" becomes the Qt filter "Image Files (*.jpg *.bmp)".
QString QtFilter(const std::pair<std::string, std::string>& filter) {
    QString description = QString::fromStdString(filter.first);
    int paren = description.indexOf('(');
    if (paren > 0) description = description.left(paren).trimmed();
    QStringList patterns;
    for (const QString& p : QString::fromStdString(filter.second).split(';', Qt::SkipEmptyParts)) {
        if (!p.trimmed().isEmpty()) patterns << p.trimmed();
    }
    return description + " (" + patterns.join(' ') + ")";
}

}  // namespace

MessageAnswer QtMessageBoxes::Show(const MessageRequest& request) {
    // Only the application's own box shows the program's name; any other caption is shown as given.
    const bool appBox = request.owner == MessageOwner::Application && request.caption.empty();
    const QString caption = appBox ? QString(kApplicationName) : QString::fromStdString(request.caption);
    QMessageBox box(IconOf(request.icon), caption, QString::fromStdString(request.text), ButtonsOf(request.buttons),
                    OwnerOf(request.owner));
    // A box owned by a window blocks that window alone, so a running preview keeps its input.
    if (box.parentWidget() != nullptr) box.setWindowModality(Qt::WindowModal);
    const int answer = box.exec();
    switch (request.buttons) {
        case MessageButtons::Ok: return MessageAnswer::Ok;
        case MessageButtons::YesNo: return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
        case MessageButtons::YesNoCancel: break;
    }
    return answer == QMessageBox::Yes ? MessageAnswer::Yes
           : answer == QMessageBox::No ? MessageAnswer::No
                                       : MessageAnswer::Cancel;
}

bool QtFileDialogs::GetFileNames(const FileDialogRequest& request, std::vector<std::string>* chosen) {
    QFileDialog dialog(request.owner, QString::fromStdString(request.title),
                       QString::fromStdString(request.startFolder));
    QStringList filters;
    for (const auto& f : request.filters) filters << QtFilter(f);
    dialog.setNameFilters(filters);
    int index = request.filterIndex - 1;
    if (index >= 0 && index < filters.size()) dialog.selectNameFilter(filters[index]);
    if (request.save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // Overwriting is asked about when the conversion starts.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    } else {
        dialog.setFileMode(request.multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    }
    if (!request.fileName.empty() && request.fileName != "*.*") {
        dialog.selectFile(QString::fromStdString(request.fileName));
    }
    if (request.owner != nullptr) dialog.setWindowModality(Qt::WindowModal);
    if (dialog.exec() != QDialog::Accepted) return false;
    chosen->clear();
    for (const QString& f : dialog.selectedFiles()) chosen->push_back(f.toStdString());
    return !chosen->empty();
}

bool QtFileDialogs::ChooseFont(QWidget* owner, QFont* font) {
    bool ok = false;
    QFont picked = QFontDialog::getFont(&ok, *font, owner);
    if (ok) *font = picked;
    return ok;
}
