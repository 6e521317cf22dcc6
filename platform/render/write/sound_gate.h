#pragma once
// How far the sound may be mixed and encoded ahead of the pictures written. Kept short, so that a
// conversion stopped at any picture can end its sound with a fade a moment after it, rather than
// with whatever the encoder had already taken.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

class SoundGate {
public:
    // From the writing thread: sound up to sample frame `sample` may be made.
    void Allow(std::int64_t sample) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            allowed_ = sample;
        }
        changed_.notify_all();
    }
    // From the mixing thread: waits until sound up to `sample` may be made, and says how far it
    // may; 0 when `stop` is set first.
    std::int64_t WaitFor(std::int64_t sample, const std::atomic<bool>& stop) {
        std::unique_lock<std::mutex> lock(mutex_);
        while (allowed_ < sample) {
            if (stop) return 0;
            // A stop is not announced here, so it is looked at now and then.
            changed_.wait_for(lock, std::chrono::milliseconds(10));
        }
        return stop ? 0 : allowed_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::int64_t allowed_ = 0;
};
