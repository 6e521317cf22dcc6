#include "platform/render/playback/audio_ring.h"

#include <algorithm>
#include <cmath>

namespace {
std::int16_t ToInt16(float v) {
    return static_cast<std::int16_t>(std::lrint(std::clamp(v, -1.0f, 1.0f) * 32767.0f));
}

float FadeIn(std::int64_t frame, std::int64_t from, int length) {
    const std::int64_t into = frame - from;
    return into >= 0 && into < length ? static_cast<float>(into) / static_cast<float>(length) : 1.0f;
}
}  // namespace

AudioRing::AudioRing(int capacityFrames, int fadeInFrames)
    : ring_(static_cast<std::size_t>(capacityFrames) * 2), capacity_(capacityFrames), fadeInFrames_(fadeInFrames) {}

void AudioRing::Reset(std::int64_t frame) {
    std::lock_guard<std::mutex> lock(mutex_);
    read_ = frame;
    queuedStart_ = frame;
    queuedFrames_ = 0;
    waiting_ = true;
    fadeFrom_ = frame;
}

int AudioRing::Write(std::int64_t first, const float* samples, int frames) {
    std::lock_guard<std::mutex> lock(mutex_);
    int skipped = 0;
    if (first < read_) {  // the device is past it already
        skipped = static_cast<int>(std::min<std::int64_t>(frames, read_ - first));
        first += skipped;
        samples += skipped * 2;
        frames -= skipped;
    }
    if (frames == 0) return skipped;
    if (queuedFrames_ == 0 || first != queuedStart_ + queuedFrames_) {  // not following on: start afresh
        queuedStart_ = first;
        queuedFrames_ = 0;
    }
    const int taken = static_cast<int>(std::min<std::int64_t>(frames, capacity_ - queuedFrames_));
    for (int i = 0; i < taken; ++i) {
        const std::int64_t frame = queuedStart_ + queuedFrames_ + i;
        const std::size_t at = static_cast<std::size_t>(frame % capacity_) * 2;
        const float gain = FadeIn(frame, fadeFrom_, fadeInFrames_);
        ring_[at] = ToInt16(samples[i * 2] * gain);
        ring_[at + 1] = ToInt16(samples[i * 2 + 1] * gain);
    }
    queuedFrames_ += taken;
    if (taken > 0) waiting_ = false;
    return skipped + taken;
}

void AudioRing::Read(std::int16_t* out, int frames) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (waiting_) {
        std::fill(out, out + static_cast<std::ptrdiff_t>(frames) * 2, std::int16_t{0});
        return;
    }
    for (int i = 0; i < frames; ++i, ++read_) {
        const bool held = read_ >= queuedStart_ && read_ < queuedStart_ + queuedFrames_;
        const std::size_t at = static_cast<std::size_t>(read_ % capacity_) * 2;
        out[i * 2] = held ? ring_[at] : 0;
        out[i * 2 + 1] = held ? ring_[at + 1] : 0;
    }
    // What was read is gone.
    const std::int64_t end = queuedStart_ + queuedFrames_;
    if (read_ > queuedStart_) {
        queuedStart_ = std::min(read_, end);
        queuedFrames_ = end - queuedStart_;
    }
}

std::int64_t AudioRing::readPosition() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return read_;
}
