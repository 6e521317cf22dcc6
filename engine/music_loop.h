#pragma once
// Where the music list is placed under a show: the list repeated from its first item until the
// show's end, each placement starting the join (0.2 s unless the show sets a longer one) before the
// one before it ends. A pass over the list
// that gains no time ends the loop (items of 0.2 s or less could never fill the show), and an
// item whose length is not known (0 or less) is passed over.
//
// A short sound under a long show is placed millions of times. Once a pass can no longer be cut
// short at the show's start, every later pass is the one before it moved on by the same time; from
// there the placements are described by that rule (`repeats`), not listed.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/com/hresult.h"

inline constexpr REFERENCE_TIME kMusicOverlap = 2'000'000;
inline constexpr REFERENCE_TIME kMaxMusicJoin = 100'000'000;

struct MusicPlacement {
    std::size_t item = 0;  // index in the music list
    REFERENCE_TIME start = 0, stop = 0;
    bool operator==(const MusicPlacement&) const = default;
};

struct MusicLoop {
    std::vector<MusicPlacement> placed;  // the first placements, one by one
    // Then, when `repeats`: passes of the items in `passItems`, the first starting at `nextPass`,
    // each `period` after the one before, item k of a pass `passOffsets[k]` after its start.
    bool repeats = false;
    std::vector<std::size_t> passItems;
    std::vector<REFERENCE_TIME> passOffsets;
    REFERENCE_TIME nextPass = 0, period = 0;
};

// `lengths` are the music items' lengths, `end` the show's length; at least `listedAtLeast`
// placements (all when fewer) are listed before the rule takes over.
MusicLoop PlanMusicLoop(const std::vector<REFERENCE_TIME>& lengths, REFERENCE_TIME end,
                        std::size_t listedAtLeast, REFERENCE_TIME join = kMusicOverlap);

// The join a show's songs use: `joinSec`, up to kMaxMusicJoin and half the shortest of `lengths`
// (known lengths only), never under kMusicOverlap.
REFERENCE_TIME MusicJoin(const std::vector<REFERENCE_TIME>& lengths, double joinSec);
// Whether two songs that follow one another crossfade over the join; a song shorter than twice
// the join is summed with its neighbours as placed.
inline bool Crossfades(REFERENCE_TIME a, REFERENCE_TIME b, REFERENCE_TIME join) {
    return a >= 2 * join && b >= 2 * join;
}
