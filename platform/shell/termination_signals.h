#pragma once
// SIGTERM, SIGHUP and SIGINT turned into a call on the Qt thread that made the watcher: the
// handler only writes the signal's number into a pipe, which a socket notifier reads, so no code
// of the program runs inside the handler. One watcher at a time; its end restores the defaults.

#include <QObject>
#include <functional>

class QSocketNotifier;

class TerminationSignals : public QObject {
public:
    explicit TerminationSignals(std::function<void(int signal)> onSignal);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    void Read();

    std::function<void(int)> onSignal_;
    int pipe_[2] = {-1, -1};
    QSocketNotifier* notifier_ = nullptr;
};
