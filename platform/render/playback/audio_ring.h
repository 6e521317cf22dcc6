#pragma once
// The sound queued for a playing device, by sample frame: the mixer writes ahead from its thread,
// the device reads on its own. What the device reaches before it was written is silence, and what
// is written after the device passed it is skipped, so the sound never stalls and never drifts
// from the clock. After a reset the device waits, reading silence without moving on, until the
// sound at the new place arrives, and that sound fades in over a few milliseconds: a seek neither
// loses its first moment nor clicks.
//
// Thread-safe.

#include <cstdint>
#include <mutex>
#include <vector>

class AudioRing {
public:
    // `fadeInFrames`: how long the sound after a reset takes to fade in.
    explicit AudioRing(int capacityFrames, int fadeInFrames = 256);
    // Drops everything; `frame` is the next one read.
    void Reset(std::int64_t frame);
    // Interleaved stereo floats starting at frame `first`; returns the frames taken (those already
    // passed count as taken; fewer when the ring is full).
    int Write(std::int64_t first, const float* samples, int frames);
    // The next `frames` frames as 16-bit stereo: queued sound, or silence where there is none.
    void Read(std::int16_t* out, int frames);
    std::int64_t readPosition() const;

private:
    mutable std::mutex mutex_;
    std::vector<std::int16_t> ring_;  // capacity × 2 samples
    std::int64_t capacity_;
    const int fadeInFrames_;
    std::int64_t queuedStart_ = 0, queuedFrames_ = 0;  // the frames held, from queuedStart_
    std::int64_t read_ = 0;
    bool waiting_ = false;  // reset, and nothing at the reset frame written yet
    std::int64_t fadeFrom_ = 0;
};
