#pragma once
// Where a sound's attacks begin, to the millisecond: the sharpest rise of its high-passed energy
// near a given moment. Fed a mono sound in order; keeps its last few seconds only.

#include <vector>

class AttackFinder {
public:
    AttackFinder();

    void Add(const float* mono, int samples);
    // Seconds of sound fed so far.
    double Heard() const;
    // The start of the sharpest attack within `reach` seconds of `moment`, or `moment` itself
    // where nothing rises enough or that part of the sound is no longer kept.
    double Near(double moment, double reach) const;

private:
    float Energy(long long slice) const { return energy_[static_cast<std::size_t>(slice) % energy_.size()]; }
    double Rise(long long slice) const;

    std::vector<float> energy_;  // per slice of a few samples, a ring
    long long slices_ = 0;       // slices complete so far
    float previous_ = 0;         // the last sample, for the high-pass
    float sum_ = 0;              // of the slice being filled
    int filled_ = 0;             // samples in it
};
