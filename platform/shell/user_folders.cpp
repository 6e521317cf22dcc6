#include "platform/shell/user_folders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

std::string UserVideosFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) return {};
    return folder.toStdString();
}

std::string UserHomeFolder() { return QDir::homePath().toStdString(); }
