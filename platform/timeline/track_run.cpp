#include "platform/timeline/track_run.h"

#include <algorithm>
#include <limits>

namespace {

// The smallest p >= 0 with base + p·step >= target (step > 0).
std::int64_t PassesToReach(REFERENCE_TIME base, REFERENCE_TIME step, REFERENCE_TIME target) {
    if (base >= target) return 0;
    return (target - base + step - 1) / step;
}

}  // namespace

TrackRun::TrackRun(std::vector<RunItem> pattern, REFERENCE_TIME firstPass, REFERENCE_TIME period,
                   REFERENCE_TIME end)
    : pattern_(std::move(pattern)), firstPass_(firstPass), period_(period), end_(end) {
    bool valid = period_ > 0 && !pattern_.empty() && firstPass_ >= 0 && firstPass_ < end_;
    for (const RunItem& item : pattern_) {
        valid = valid && item.length > 0 && item.length <= end_ && item.offset >= -firstPass_ &&
                item.offset < end_ - firstPass_;
    }
    if (valid) count_ = CountSources();
}

// Item j of pass p reaches the end when firstPass + offset_j + length_j + p·period >= end; the run
// stops at the first such source in numbering order.
std::int64_t TrackRun::CountSources() const {
    const auto k = static_cast<std::int64_t>(pattern_.size());
    std::int64_t last = std::numeric_limits<std::int64_t>::max();
    for (std::int64_t j = 0; j < k; ++j) {
        const RunItem& item = pattern_[static_cast<std::size_t>(j)];
        const std::int64_t pass = PassesToReach(firstPass_ + item.offset + item.length, period_, end_);
        if (pass <= (last - j) / k) last = std::min(last, pass * k + j);
    }
    return last + 1;
}

RunSource TrackRun::At(std::int64_t index) const {
    const auto k = static_cast<std::int64_t>(pattern_.size());
    const RunItem& item = pattern_[static_cast<std::size_t>(index % k)];
    RunSource s;
    s.name = &item.name;
    s.start = firstPass_ + (index / k) * period_ + item.offset;
    s.stop = std::min(s.start + item.length, end_);
    s.mediaStart = item.mediaStart;
    s.shape = item.shape;
    if (s.stop < s.start + item.length) s.shape.joinOut = 0;
    return s;
}
