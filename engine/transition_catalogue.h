#pragma once
// The 47 transitions a photo can enter with: index 0 is "None", 1 to 16 are effects with their
// own class, 17 to 46 are SMPTE wipes of one class told apart by their "MaskNum".

#include <cstdint>
#include <optional>
#include <string>

#include "engine/crt_random.h"
#include "platform/com/guid.h"

inline constexpr int kTransitionCount = 47;

enum TransitionPolicy : int {
    kPolicyRandom = 0,
    kPolicySequence = 1,
    kPolicySame = 2,
};

inline const CLSID CLSID_DxtJpeg = GuidFromLiteral("{DE75D012-7A65-11D2-8CEA-00A0C9441E20}");

// The photo list's name; an index outside 0..46 is shown as "Horizontal".
std::string TransitionName(int index);
// The text of the transition combo boxes (differs from the list name in two rows).
std::string TransitionComboText(int index);

struct TransitionEffectInfo {
    bool insert = false;  // false: no transition at all
    CLSID clsid;
    std::optional<std::int32_t> maskNum;  // the wipe's pattern, when one is set
};
// Index 0: nothing; 1..16: the row's class; 17..46: the wipe with the row's "MaskNum";
// anything else: the wipe with no property, which draws its own default pattern.
TransitionEffectInfo TransitionEffectFor(int index);

// The transition a photo at list position `position` (0-based) gets under `policy`. Random draws
// from `random`; an unknown policy is taken as Random, as the settings dialog shows it.
int ChooseTransition(int policy, int sameIndex, int position, CrtRandom& random);
