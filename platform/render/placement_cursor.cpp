#include "platform/render/placement_cursor.h"

#include <limits>

PlacementCursor::PlacementCursor(const std::vector<AudioPlacement>* listed,
                                 std::shared_ptr<const TrackRun> run)
    : listed_(listed), run_(std::move(run)) {
    Restart(std::numeric_limits<REFERENCE_TIME>::min());
}

void PlacementCursor::SkipEndedBy(REFERENCE_TIME t) { Restart(t); }

// Each item of the run's pass from its first pass that stops after `endedBy`.
void PlacementCursor::Restart(REFERENCE_TIME endedBy) {
    heads_ = {};
    PushListed(0);
    if (!run_) return;
    const auto items = static_cast<std::int64_t>(run_->pattern().size());
    for (std::int64_t j = 0; j < items; ++j) {
        const RunItem& item = run_->pattern()[static_cast<std::size_t>(j)];
        const REFERENCE_TIME firstStop = run_->firstPass() + item.offset + item.length;
        const std::int64_t pass = firstStop > endedBy ? 0 : (endedBy - firstStop) / run_->period() + 1;
        if (pass <= (run_->count() - j) / items) PushRun(pass * items + j);
    }
}

void PlacementCursor::PushListed(std::size_t index) {
    if (index < listed_->size()) heads_.push({(*listed_)[index].start, static_cast<std::int64_t>(index)});
}

void PlacementCursor::PushRun(std::int64_t index) {
    if (index < run_->count()) heads_.push({run_->At(index).start, static_cast<std::int64_t>(listed_->size()) + index});
}

AudioPlacement PlacementCursor::Take() {
    const Head head = heads_.top();
    heads_.pop();
    const auto listedCount = static_cast<std::int64_t>(listed_->size());
    if (head.order < listedCount) {
        PushListed(static_cast<std::size_t>(head.order) + 1);
        return (*listed_)[static_cast<std::size_t>(head.order)];
    }
    const std::int64_t index = head.order - listedCount;
    const RunSource s = run_->At(index);
    // The same item of the next pass: the run's numbering goes pass by pass.
    PushRun(index + static_cast<std::int64_t>(run_->pattern().size()));
    return {*s.name, s.start, s.stop, s.mediaStart, s.shape};
}
