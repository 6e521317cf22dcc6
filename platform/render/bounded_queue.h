#pragma once
// A queue of at most `capacity` values between one producing and one consuming thread. Close()
// ends it from either side: the producer's Push and the consumer's Pop then return false (the
// consumer still gets what was queued before a producer closed it).

#include <condition_variable>
#include <deque>
#include <mutex>

template <class T>
class BoundedQueue {
public:
    explicit BoundedQueue(std::size_t capacity) : capacity_(capacity) {}

    bool Push(T value) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return closed_ || queue_.size() < capacity_; });
        if (closed_) return false;
        queue_.push_back(std::move(value));
        changed_.notify_all();
        return true;
    }

    bool Pop(T* value) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return closed_ || !queue_.empty(); });
        if (queue_.empty()) return false;
        *value = std::move(queue_.front());
        queue_.pop_front();
        changed_.notify_all();
        return true;
    }

    void Close() {
        std::lock_guard<std::mutex> lock(mutex_);
        closed_ = true;
        changed_.notify_all();
    }

private:
    const std::size_t capacity_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<T> queue_;
    bool closed_ = false;
};
