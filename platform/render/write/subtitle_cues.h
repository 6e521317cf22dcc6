#pragma once
// The captions of a show as a soft subtitle track: each from its photo's start until the next
// photo starts to enter, so two never show at once, timed in whole milliseconds.

#include <cstdint>
#include <string>
#include <vector>

struct ShowPlan;

struct SubtitleCue {
    std::int64_t startMs = 0, stopMs = 0;
    std::string text;  // lines split by '\n'
    bool operator==(const SubtitleCue&) const = default;
};

// None when the captions go only into the picture.
std::vector<SubtitleCue> SubtitleCues(const ShowPlan& plan);
