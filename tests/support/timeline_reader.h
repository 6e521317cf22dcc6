#pragma once
// Reads a built timeline back into plain values for assertions.

#include <optional>
#include <string>
#include <vector>

#include "platform/timeline/timeline.h"

struct SourceView {
    REFERENCE_TIME start = 0, stop = 0, mediaStart = 0, mediaStop = 0;
    int stretchMode = 0;
    std::string name;
};

struct TransitionView {
    GUID clsid;
    REFERENCE_TIME start = 0, stop = 0;
    std::optional<int> maskNum;
    int propertyCount = 0;
};

struct TrackView {
    std::vector<SourceView> sources;
    std::vector<TransitionView> transitions;
};

struct GroupView {
    AM_MEDIA_TYPE mediaType;
    double fps = 0;
    std::vector<TrackView> tracks;
    std::vector<DEXTER_VALUE> volume;  // the "Vol" keys of the group's property setter
};

// A run of tracks is read as the tracks it makes.
std::vector<GroupView> ReadTimeline(const IAMTimeline& timeline);
