#include "engine/music_loop.h"

#include <algorithm>

#include "engine/time_arithmetic.h"

namespace {

// One pass as the rule sees it: where each measured item starts from the pass's start, how far
// the pass moves on, and how far back of its start it reaches at most.
struct PassShape {
    std::vector<std::size_t> items;
    std::vector<REFERENCE_TIME> offsets;
    REFERENCE_TIME advance = 0, lowest = 0, span = 0;
};

PassShape ShapeOfPass(const std::vector<REFERENCE_TIME>& lengths, REFERENCE_TIME end, REFERENCE_TIME join) {
    PassShape shape;
    REFERENCE_TIME at = 0;
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        if (lengths[i] <= 0) continue;
        const REFERENCE_TIME length = std::min(lengths[i], end);
        shape.items.push_back(i);
        shape.offsets.push_back(at);
        shape.span = std::max(shape.span, at + length);
        at += length - join;
        shape.lowest = std::min(shape.lowest, at);
    }
    shape.advance = at;
    return shape;
}

class Placer {
public:
    Placer(const std::vector<REFERENCE_TIME>& lengths, REFERENCE_TIME end, REFERENCE_TIME join)
        : lengths_(lengths), end_(end), join_(join) {}

    // Places one pass from s; false when the music is complete or the pass gained no time.
    bool Pass(REFERENCE_TIME* s, std::vector<MusicPlacement>* placed) const {
        const REFERENCE_TIME passStart = *s;
        for (std::size_t i = 0; i < lengths_.size(); ++i) {
            if (lengths_[i] <= 0) continue;
            const REFERENCE_TIME e = lengths_[i] >= end_ - *s ? end_ : *s + lengths_[i];
            placed->push_back({i, *s, e});
            if (e == end_) return false;
            *s = std::max<REFERENCE_TIME>(
                TruncateToInt64(static_cast<double>(e) - static_cast<double>(join_)), 0);
        }
        return *s > passStart;
    }

private:
    const std::vector<REFERENCE_TIME>& lengths_;
    REFERENCE_TIME end_, join_;
};

}  // namespace

MusicLoop PlanMusicLoop(const std::vector<REFERENCE_TIME>& lengths, REFERENCE_TIME end,
                        std::size_t listedAtLeast, REFERENCE_TIME join) {
    MusicLoop loop;
    if (end <= 0) return loop;
    const PassShape shape = ShapeOfPass(lengths, end, join);
    if (shape.items.empty()) return loop;
    const Placer placer(lengths, end, join);
    REFERENCE_TIME s = 0;
    for (;;) {
        // A pass that starts here is not cut at 0, moves on, and ends before the show does: so is
        // every pass after it, each the one before moved on by `advance`.
        const bool regular = s + shape.lowest >= 0 && shape.advance > 0 && s + shape.span < end;
        if (regular && loop.placed.size() >= listedAtLeast) break;
        if (!placer.Pass(&s, &loop.placed)) return loop;
    }
    loop.repeats = true;
    loop.passItems = shape.items;
    loop.passOffsets = shape.offsets;
    loop.nextPass = s;
    loop.period = shape.advance;
    return loop;
}

REFERENCE_TIME MusicJoin(const std::vector<REFERENCE_TIME>& lengths, double joinSec) {
    REFERENCE_TIME join = TruncateToInt64(std::clamp(joinSec, 0.0, 10.0) * kUnitsPerSecond);
    for (const REFERENCE_TIME length : lengths) {
        if (length > 0) join = std::min(join, length / 2);
    }
    return std::max(join, kMusicOverlap);
}
