#include "engine/motion_choice.h"

namespace {

// SplitMix64's finaliser: neighbouring positions give unrelated numbers.
std::uint64_t Mix(std::uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

}  // namespace

MotionKind ChooseMotion(int policy, int sameMotion, int position, std::uint32_t seed) {
    switch (policy) {
        case kMotionPolicyRandom: {
            const std::uint64_t key =
                (static_cast<std::uint64_t>(seed) << 32) | static_cast<std::uint32_t>(position);
            return static_cast<MotionKind>(1 + Mix(key + 0x9E3779B97F4A7C15ull) %
                                                   (kMotionKindCount - 1));
        }
        case kMotionPolicySame:
            return MotionKindFromInt(sameMotion);
        default:
            return MotionKind::None;
    }
}
