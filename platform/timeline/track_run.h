#pragma once
// A run of one-source tracks too many to hold one by one (a short sound looped under a long
// show), each made when it is asked for. The run plays `pattern` in passes: pass p starts at
// firstPass + p·period, and item j of a pass starts `offset` after the pass's start and lasts its
// `length`. Sources are numbered pass by pass; the run ends with the first source that reaches
// `end`, which is cut there (and so has no crossfade into a next one). Every source plays its file
// from its item's `mediaStart`, shaped by its item's `shape`.
//
// Immutable once made, apart from the file names (replaced when a missing file is located).

#include <cstdint>
#include <string>
#include <vector>

#include "platform/com/hresult.h"
#include "platform/timeline/song_shape.h"

struct RunItem {
    std::string name;
    REFERENCE_TIME offset = 0;  // from the pass's start; may be negative
    REFERENCE_TIME length = 0;  // more than 0
    REFERENCE_TIME mediaStart = 0;
    SongShape shape = {};
};

struct RunSource {
    const std::string* name = nullptr;
    REFERENCE_TIME start = 0, stop = 0;
    REFERENCE_TIME mediaStart = 0;
    SongShape shape = {};
};

class TrackRun {
public:
    // Needs period > 0, 0 <= firstPass < end, and a non-empty pattern whose items start in
    // [0, end) in the first pass and last from 1 unit to `end`; anything else is an empty run.
    TrackRun(std::vector<RunItem> pattern, REFERENCE_TIME firstPass, REFERENCE_TIME period,
             REFERENCE_TIME end);

    std::int64_t count() const { return count_; }
    // The index-th source, 0 <= index < count().
    RunSource At(std::int64_t index) const;
    const std::vector<RunItem>& pattern() const { return pattern_; }
    std::vector<RunItem>& pattern() { return pattern_; }
    REFERENCE_TIME firstPass() const { return firstPass_; }
    REFERENCE_TIME period() const { return period_; }
    REFERENCE_TIME end() const { return end_; }

private:
    std::int64_t CountSources() const;

    std::vector<RunItem> pattern_;
    REFERENCE_TIME firstPass_, period_, end_;
    std::int64_t count_ = 0;
};
