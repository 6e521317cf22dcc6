#include "platform/shell/termination_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <atomic>
#include <cerrno>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};
std::atomic<int> writeEnd{-1};

void OnSignal(int signal) {
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    if (const int fd = writeEnd.load(); fd >= 0) (void)!write(fd, &number, 1);
    errno = saved;
}

void Handle(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals) sigaction(signal, &action, nullptr);
}

}  // namespace

TerminationSignals::TerminationSignals(std::function<void(int)> onSignal) : onSignal_(std::move(onSignal)) {
    if (pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) return;
    notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { Read(); });
    writeEnd = pipe_[1];
    Handle(OnSignal);
}

TerminationSignals::~TerminationSignals() {
    if (pipe_[0] < 0) return;
    Handle(SIG_DFL);
    writeEnd = -1;
    close(pipe_[0]);
    close(pipe_[1]);
}

void TerminationSignals::Read() {
    unsigned char number = 0;
    while (read(pipe_[0], &number, 1) == 1) {
        if (onSignal_) onSignal_(number);
    }
}
