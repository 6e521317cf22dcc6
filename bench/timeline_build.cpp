// Times the timeline build of the largest show the program accepts: 1000 photos and 100 music
// files. Prints the median of several builds in milliseconds.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "app/slideshow_project.h"
#include "engine/timeline_builder.h"
#include "platform/shell/console_message_boxes.h"

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    SlideshowProject project;
    project.defaults().photoDurationSec = 3;
    project.defaults().transitionDurationSec = 1;
    project.defaults().policy = 1;  // Sequence: wipes with their property setters too
    for (int i = 0; i < kMaxPhotos; ++i) {
        project.AppendPhoto("/nonexistent/bench/photo" + std::to_string(i) + ".jpg");
    }
    for (int i = 0; i < kMaxMusic; ++i) {
        // 2.5 s to 12.4 s: the music list loops a few times under the 50-minute show.
        project.AppendMusic("/nonexistent/bench/music" + std::to_string(i) + ".mp3",
                            25'000'000 + i * 1'000'000);
    }
    ConsoleMessageBoxes boxes("bench-timeline-build");
    TimelineBuildEnv env{boxes, nullptr, nullptr};
    std::vector<double> ms;
    int tracks = 0;
    for (int r = 0; r < runs; ++r) {
        std::shared_ptr<IAMTimeline> timeline;
        auto t0 = std::chrono::steady_clock::now();
        BuildTimeline(project, env, &timeline);
        auto t1 = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        TimelineObjPtr audio;
        if (SUCCEEDED(timeline->GetGroup(&audio, 1))) {
            std::dynamic_pointer_cast<IAMTimelineComp>(audio)->VTrackGetCount(&tracks);
        }
    }
    std::sort(ms.begin(), ms.end());
    std::printf("timeline build, %d photos + %d music files (%d music placements): "
                "median %.2f ms, min %.2f ms, max %.2f ms over %d runs\n",
                kMaxPhotos, kMaxMusic, tracks, ms[ms.size() / 2], ms.front(), ms.back(), runs);
    return 0;
}
