#pragma once

#include <cstdio>
#include <string>

#include "platform/timeline/timeline.h"

// The whole tree as XML: groups in order with their media type and frame rate, tracks in
// priority order, each source's start/stop and media times in 100-ns units, its stretch mode
// and file, each transition's class, start/stop and properties.
// A run of tracks is written track by track, as if each were held on its own.
std::string DumpTimelineXml(const IAMTimeline& timeline);
// The same, written to `out` as it goes (a long run does not wait in memory); false when a write
// failed.
bool WriteTimelineXml(const IAMTimeline& timeline, std::FILE* out);
