#pragma once
// The motion each new photo gets, as the transition policy gives it its transition.

#include <cstdint>
#include <vector>

#include "platform/render/compose/photo_motion.h"

enum MotionPolicy : int {
    kMotionPolicyNone = 0,  // photos stand still, as they always have
    kMotionPolicyRandom = 1,
    kMotionPolicySame = 2,
};

// The motion of the photo at list position `position` (0-based), whose neighbour before it moves
// as `previous`. Random picks one of the six motions other than `previous` from the position and
// the show's seed, so the same show moves the same way in the preview and in the file, whatever
// else was drawn, and no move repeats on the next photo. An unknown policy is None; under Same an
// unknown motion is None.
MotionKind ChooseMotion(int policy, int sameMotion, int position, std::uint32_t seed,
                        MotionKind previous = MotionKind::None);

// Under Random, the kind of a photo whose faces only the moves in `keeping` hold whole: `drawn`
// (what ChooseMotion gave it) where it is one of them and differs from `previous`; else one of
// the others, drawn from the position and the seed; else `previous`, the only one that keeps them.
// With none keeping them, `drawn`.
MotionKind ChooseMotionAmong(const std::vector<MotionKind>& keeping, MotionKind drawn, MotionKind previous,
                             int position, std::uint32_t seed);
