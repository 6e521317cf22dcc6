#include "engine/motion_choice.h"

#include <algorithm>

namespace {

// SplitMix64's finaliser: neighbouring positions give unrelated numbers.
std::uint64_t Mix(std::uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// One of the moving kinds (1 to kMotionKindCount - 1) other than `previous`, drawn from `draw`.
MotionKind OtherMotion(std::uint64_t draw, MotionKind previous) {
    const int prev = static_cast<int>(previous);
    const bool exclude = prev >= 1 && prev < kMotionKindCount;
    const int choices = kMotionKindCount - 1 - (exclude ? 1 : 0);
    int kind = 1 + static_cast<int>(draw % static_cast<std::uint64_t>(choices));
    if (exclude && kind >= prev) ++kind;
    return static_cast<MotionKind>(kind);
}

std::uint64_t Draw(std::uint32_t seed, int position) {
    const std::uint64_t key = (static_cast<std::uint64_t>(seed) << 32) | static_cast<std::uint32_t>(position);
    return Mix(key + 0x9E3779B97F4A7C15ull);
}

}  // namespace

MotionKind ChooseMotion(int policy, int sameMotion, int position, std::uint32_t seed,
                        MotionKind previous) {
    switch (policy) {
        case kMotionPolicyRandom:
            return OtherMotion(Draw(seed, position), previous);
        case kMotionPolicySame:
            return MotionKindFromInt(sameMotion);
        default:
            return MotionKind::None;
    }
}

MotionKind ChooseMotionAmong(const std::vector<MotionKind>& keeping, MotionKind drawn, MotionKind previous,
                             int position, std::uint32_t seed) {
    const auto keeps = [&](MotionKind k) { return std::find(keeping.begin(), keeping.end(), k) != keeping.end(); };
    if (keeping.empty() || (keeps(drawn) && drawn != previous)) return drawn;
    std::vector<MotionKind> others;
    for (MotionKind k : keeping)
        if (k != previous) others.push_back(k);
    if (others.empty()) return previous;
    // A draw of its own, so that the choice does not lean to the kinds after `drawn`.
    return others[Mix(Draw(seed, position)) % others.size()];
}
