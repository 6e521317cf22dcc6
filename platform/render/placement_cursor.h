#pragma once
// The music placements of a show in start order, from a list and a run of tracks made on demand
// (see track_run.h), without listing the run: each item of the run's pass gives placements in
// start order on its own, and the cursor merges these few orders. Ties keep the timeline's order.

#include <cstdint>
#include <memory>
#include <queue>
#include <vector>

#include "platform/render/audio_mixer.h"
#include "platform/timeline/track_run.h"

class PlacementCursor {
public:
    // `listed` in start order; `run` may be null.
    PlacementCursor(const std::vector<AudioPlacement>* listed, std::shared_ptr<const TrackRun> run);
    // Passes over the run's placements that stop at or before `t`; only before the first Take().
    // Listed placements stay: the caller passes over those itself.
    void SkipEndedBy(REFERENCE_TIME t);
    bool done() const { return heads_.empty(); }
    // The next placement's start; only when not done().
    REFERENCE_TIME nextStart() const { return heads_.top().start; }
    // The next placement, and moves past it; only when not done().
    AudioPlacement Take();

private:
    struct Head {
        REFERENCE_TIME start;
        std::int64_t order;  // listed placements first, then the run's in its numbering
        bool operator>(const Head& o) const { return start != o.start ? start > o.start : order > o.order; }
    };
    void Restart(REFERENCE_TIME endedBy);
    void PushListed(std::size_t index);
    void PushRun(std::int64_t index);

    const std::vector<AudioPlacement>* listed_;
    std::shared_ptr<const TrackRun> run_;
    std::priority_queue<Head, std::vector<Head>, std::greater<Head>> heads_;
};
