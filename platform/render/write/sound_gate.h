#pragma once
// How far the sound may be mixed and encoded ahead of the pictures written. Kept short, so that a
// conversion stopped at any picture ends its sound with a fade right after it, rather than with
// whatever the encoder had already taken.

#include <condition_variable>
#include <cstdint>
#include <mutex>

class SoundGate {
public:
    struct Permit {
        std::int64_t allowed;  // sample frames that may be made
        bool ended;            // the pictures are over: `allowed` is where the sound ends
    };

    // From the writing thread: sound up to sample frame `sample` may be made.
    void Allow(std::int64_t sample) { Set(sample, false); }
    // From the writing thread, when it writes no more pictures: the sound ends at `sample`.
    void End(std::int64_t sample) { Set(sample, true); }
    // From the mixing thread: waits until sound up to `sample` may be made, or the end is known.
    Permit WaitFor(std::int64_t sample) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return ended_ || allowed_ >= sample; });
        return {allowed_, ended_};
    }

private:
    void Set(std::int64_t sample, bool ended) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            allowed_ = sample;
            ended_ = ended;
        }
        changed_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::int64_t allowed_ = 0;
    bool ended_ = false;
};
