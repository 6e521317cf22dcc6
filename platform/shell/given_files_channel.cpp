#include "platform/shell/given_files_channel.h"

#include <QDataStream>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QStringList>
#include <unistd.h>

namespace {

constexpr char kTaken = 'k';

QString DisplayName() {
    const QString x11 = qEnvironmentVariable("DISPLAY");
    const QString display = x11.isEmpty() ? qEnvironmentVariable("WAYLAND_DISPLAY", "none") : x11;
    // A display name may hold characters a file name should not: ':' and '/'.
    return QString(display).replace(QRegularExpression("[^A-Za-z0-9._-]"), "_");
}

QStringList ToStringList(const std::vector<std::string>& paths) {
    QStringList list;
    for (const std::string& path : paths) list << QString::fromStdString(path);
    return list;
}

}  // namespace

std::string GivenFilesChannelName() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString folder = runtime.isEmpty() ? QDir::tempPath() : runtime;
    const QString name = QString("kavrel-%1-%2.socket").arg(getuid()).arg(DisplayName());
    return QDir(folder).filePath(name).toStdString();
}

HandOver HandOverFiles(const std::string& name, const std::vector<std::string>& paths, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(name));
    if (!socket.waitForConnected(timeoutMs)) {
        return socket.error() == QLocalSocket::SocketTimeoutError ? HandOver::NoAnswer
                                                                  : HandOver::NoneRunning;
    }
    QDataStream out(&socket);
    out << ToStringList(paths);
    if (!socket.waitForBytesWritten(timeoutMs) || !socket.waitForReadyRead(timeoutMs)) {
        return HandOver::NoAnswer;
    }
    return socket.read(1) == QByteArray(1, kTaken) ? HandOver::Taken : HandOver::NoAnswer;
}

GivenFilesChannel::GivenFilesChannel(std::function<void(const std::vector<std::string>&)> onFiles,
                                     QObject* parent)
    : QObject(parent), onFiles_(std::move(onFiles)) {}

GivenFilesChannel::~GivenFilesChannel() = default;

bool GivenFilesChannel::Listen(const std::string& name) {
    const QString socketName = QString::fromStdString(name);
    // Listening would replace a socket that another program still answers on: asked first.
    QLocalSocket probe;
    probe.connectToServer(socketName);
    if (probe.waitForConnected(500) || probe.error() == QLocalSocket::SocketTimeoutError) return false;
    QLocalServer::removeServer(socketName);  // left by a program that ended
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_.get(), &QLocalServer::newConnection, this, [this] { TakeConnection(); });
    return server_->listen(socketName);
}

void GivenFilesChannel::TakeConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            QDataStream in(socket);
            in.startTransaction();
            QStringList list;
            in >> list;
            if (!in.commitTransaction()) return;  // the rest is still on its way
            socket->write(QByteArray(1, kTaken));
            socket->flush();
            std::vector<std::string> paths;
            for (const QString& path : list) paths.push_back(path.toStdString());
            // Opening them may ask questions: not inside the socket's own signal.
            QMetaObject::invokeMethod(this, [this, paths] { onFiles_(paths); }, Qt::QueuedConnection);
        });
    }
}
