#pragma once

#include <string>

#include "platform/timeline/timeline.h"

// The whole tree as XML: groups in order with their media type and frame rate, tracks in
// priority order, each source's start/stop and media times in 100-ns units, its stretch mode
// and file, each transition's class, start/stop and properties.
std::string DumpTimelineXml(const IAMTimeline& timeline);
