#pragma once
// One program per user and display takes the files given to it: a second start with files hands
// them to the first over a local socket and ends; the first raises its window and opens them.
// The socket is the user's own (in $XDG_RUNTIME_DIR where there is one, reachable by the user only).
//
// User-interface thread only.

#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QLocalServer;

// The channel's socket for this user and this display (X11 or Wayland).
std::string GivenFilesChannelName();

enum class HandOver {
    Taken,       // the running program confirmed it has the files
    NoneRunning, // nobody listens: this program is the first
    NoAnswer,    // someone holds the name but did not confirm in time
};

// Sends `paths` (absolute) to the program listening on `name`, waiting at most `timeoutMs` for it.
HandOver HandOverFiles(const std::string& name, const std::vector<std::string>& paths, int timeoutMs);

class GivenFilesChannel : public QObject {
public:
    // Called with each set of files handed over, after the sender was told they arrived.
    explicit GivenFilesChannel(std::function<void(const std::vector<std::string>&)> onFiles,
                               QObject* parent = nullptr);
    ~GivenFilesChannel() override;

    // Starts listening on `name`; a socket left by a program that ended is taken over. False when
    // another program answers there (or the socket cannot be made): files then stay with it.
    bool Listen(const std::string& name);

private:
    void TakeConnection();

    std::function<void(const std::vector<std::string>&)> onFiles_;
    std::unique_ptr<QLocalServer> server_;
};
