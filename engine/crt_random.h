#pragma once

#include <cstdint>

// The C runtime's linear congruential generator: the same seed gives the same draws on every
// machine, so a show's random transitions can be reproduced (`kavrel-render --seed`).
class CrtRandom {
public:
    void Seed(std::uint32_t seed) { state_ = seed_ = seed; }
    // The last seed: the show's seed, from which the random motions are chosen.
    std::uint32_t seed() const { return seed_; }
    // 0..32767.
    int Next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFF);
    }

private:
    std::uint32_t state_ = 1;  // the runtime's state before any seeding
    std::uint32_t seed_ = 1;
};
