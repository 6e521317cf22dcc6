#pragma once
// A small show made for a test: photos drawn at the given sizes, shown `photoSeconds` each and
// entering with Fade over `transitionSeconds`, optionally a tone looped under them; its timeline
// is built by the program's own builder.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/slideshow_project.h"
#include "platform/timeline/timeline.h"
#include "tests/support/recording_message_boxes.h"
#include "tests/support/temp_dir.h"

struct TinyShow {
    TempDir dir;
    SlideshowProject project;
    RecordingMessageBoxes boxes;
    std::shared_ptr<IAMTimeline> timeline;

    // No photos and a tone: an audio-only show.
    TinyShow(std::vector<std::pair<int, int>> sizes, double photoSeconds, double transitionSeconds, bool withMusic,
             int outputWidth = 96, int outputHeight = 64);
};
