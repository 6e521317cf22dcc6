#include "platform/audio/attack_finder.h"

#include <algorithm>
#include <cmath>

#include "platform/audio/mix_format.h"

namespace {
constexpr int kSliceSamples = 32;        // 0.7 ms
constexpr std::size_t kKeptSlices = 4096;  // 3 s
constexpr int kBeforeSlices = 16;        // the level an attack rises from: the 12 ms before it
constexpr double kLeastRise = 4;         // 6 dB
}  // namespace

AttackFinder::AttackFinder() : energy_(kKeptSlices) {}

void AttackFinder::Add(const float* mono, int samples) {
    float previous = previous_, sum = sum_;
    int filled = filled_;
    for (int i = 0; i < samples; ++i) {
        // The first difference weighs a sound by its frequency: clicks and drum hits stand out of
        // the bass and pads they sit on.
        const float change = mono[i] - previous;
        previous = mono[i];
        sum += change * change;
        if (++filled == kSliceSamples) {
            energy_[static_cast<std::size_t>(slices_++) % kKeptSlices] = sum;
            sum = 0;
            filled = 0;
        }
    }
    previous_ = previous;
    sum_ = sum;
    filled_ = filled;
}

double AttackFinder::Heard() const { return static_cast<double>(slices_ * kSliceSamples + filled_) / kMixRate; }

double AttackFinder::Rise(long long slice) const {
    double before = 0;
    for (long long s = slice - kBeforeSlices; s < slice; ++s) before += Energy(s);
    return Energy(slice) / (before / kBeforeSlices + 1e-12);
}

double AttackFinder::Near(double moment, double reach) const {
    const double perSecond = static_cast<double>(kMixRate) / kSliceSamples;
    const long long oldest = std::max<long long>(kBeforeSlices, slices_ - static_cast<long long>(kKeptSlices) + kBeforeSlices);
    const long long first = std::max(oldest, static_cast<long long>(std::floor((moment - reach) * perSecond)));
    const long long last = std::min(slices_ - 1, static_cast<long long>(std::ceil((moment + reach) * perSecond)));
    double sharpest = kLeastRise, found = moment;
    for (long long slice = first; slice <= last; ++slice) {
        if (const double rise = Rise(slice); rise > sharpest) {
            sharpest = rise;
            found = static_cast<double>(slice) / perSecond;
        }
    }
    return found;
}
