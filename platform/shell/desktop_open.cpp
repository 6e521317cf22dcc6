#include "platform/shell/desktop_open.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace {

const QString kFileManager = QStringLiteral("org.freedesktop.FileManager1");
const QString kFileManagerPath = QStringLiteral("/org/freedesktop/FileManager1");

bool FileManagerReachable(QDBusConnection& bus) {
    QDBusConnectionInterface* names = bus.interface();
    if (names == nullptr) return false;
    if (names->isServiceRegistered(kFileManager).value()) return true;
    return names->activatableServiceNames().value().contains(kFileManager);
}

}  // namespace

bool OpenWithDefaultApplication(const std::string& path) {
    const QFileInfo info(QString::fromStdString(path));
    if (!info.exists()) return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

bool ShowInFileManager(const std::string& path) {
    return ShowInFileManagerOn(QDBusConnection::sessionBus(), path, OpenWithDefaultApplication);
}

bool ShowInFileManagerOn(QDBusConnection bus, const std::string& path,
                         const std::function<bool(const std::string& folder)>& openFolder) {
    const QFileInfo info(QString::fromStdString(path));
    if (!info.exists()) return false;
    const std::string folder = info.absolutePath().toStdString();
    if (!bus.isConnected() || !FileManagerReachable(bus)) return openFolder(folder);
    QDBusMessage call = QDBusMessage::createMethodCall(kFileManager, kFileManagerPath, kFileManager,
                                                       QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(info.absoluteFilePath()).toString()} << QString();
    // A file manager started by the call may take a while: its answer is awaited without waiting.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [watcher, folder, openFolder] {
                         if (watcher->isError()) openFolder(folder);
                         watcher->deleteLater();
                     });
    return true;
}
