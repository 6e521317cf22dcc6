#pragma once
// A named pipe that cannot hang a test: should the code under test wait on it (open or read),
// the guard opens it from the other side after a few seconds, so the wait ends and the test fails
// on what it finds instead of hanging.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

class PipeGuard {
public:
    explicit PipeGuard(std::string path) : path_(std::move(path)) {
        made_ = mkfifo(path_.c_str(), 0600) == 0;
        watcher_ = std::thread([this] {
            std::unique_lock<std::mutex> lock(mutex_);
            if (done_.wait_for(lock, std::chrono::seconds(5), [this] { return finished_; })) return;
            // Read and write at once: never waits, and releases a reader or a writer waiting.
            const int fd = open(path_.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) close(fd);
        });
    }
    ~PipeGuard() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            finished_ = true;
        }
        done_.notify_all();
        watcher_.join();
    }
    PipeGuard(const PipeGuard&) = delete;
    PipeGuard& operator=(const PipeGuard&) = delete;

    bool made() const { return made_; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    bool made_ = false;
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread watcher_;
};
