// Times the timeline build of the largest show the program accepts (1000 photos and 100 music
// files; prints the median of several builds), then of shows over a 0.201 s beep, which is placed
// every millisecond: 60 photos of 8 s (about 480,000 placements; build, then the whole dump) and
// 1000 photos of 65535 s (about 6.6e10 placements; build and the read for rendering).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "app/slideshow_project.h"
#include "engine/timeline_builder.h"
#include "platform/render/show_plan.h"
#include "platform/shell/console_message_boxes.h"
#include "platform/timeline/timeline_xml.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point t0) { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }

// Tracks held one by one plus those of a run, over every group.
std::int64_t TrackCount(const IAMTimeline& timeline, int groupIndex) {
    TimelineObjPtr group;
    if (FAILED(timeline.GetGroup(&group, groupIndex))) return 0;
    auto comp = std::dynamic_pointer_cast<IAMTimelineComp>(group);
    int listed = 0;
    comp->VTrackGetCount(&listed);
    auto run = comp->GetTrackRun();
    return listed + (run ? run->count() : 0);
}

void LargestShow(int runs, ConsoleMessageBoxes& boxes) {
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
    TimelineBuildEnv env{boxes, nullptr, nullptr};
    std::vector<double> ms;
    std::int64_t tracks = 0;
    for (int r = 0; r < runs; ++r) {
        std::shared_ptr<IAMTimeline> timeline;
        auto t0 = Clock::now();
        BuildTimeline(project, env, &timeline);
        ms.push_back(MsSince(t0));
        tracks = TrackCount(*timeline, 1);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("timeline build, %d photos + %d music files (%lld music placements): "
                "median %.2f ms, min %.2f ms, max %.2f ms over %d runs\n",
                kMaxPhotos, kMaxMusic, static_cast<long long>(tracks), ms[ms.size() / 2], ms.front(), ms.back(),
                runs);
}

SlideshowProject BeepShow(int photos, double seconds) {
    SlideshowProject project;
    project.defaults().photoDurationSec = seconds;
    project.defaults().transitionDurationSec = 1;
    for (int i = 0; i < photos; ++i) project.AppendPhoto("/nonexistent/bench/photo" + std::to_string(i) + ".jpg");
    project.AppendMusic("/nonexistent/bench/beep.wav", 2'010'000);
    return project;
}

void BeepShows(ConsoleMessageBoxes& boxes) {
    TimelineBuildEnv env{boxes, nullptr, nullptr};
    {
        SlideshowProject project = BeepShow(60, 8);
        std::shared_ptr<IAMTimeline> timeline;
        auto t0 = Clock::now();
        BuildTimeline(project, env, &timeline);
        const double build = MsSince(t0);
        std::FILE* sink = std::fopen("/dev/null", "w");
        t0 = Clock::now();
        WriteTimelineXml(*timeline, sink);
        const double dump = MsSince(t0);
        std::fclose(sink);
        std::printf("60 photos x 8 s over a 0.201 s beep (%lld music placements): build %.1f ms, dump %.1f ms, "
                    "together %.1f ms\n",
                    static_cast<long long>(TrackCount(*timeline, 1)), build, dump, build + dump);
    }
    {
        SlideshowProject project = BeepShow(kMaxPhotos, 65535);
        std::shared_ptr<IAMTimeline> timeline;
        auto t0 = Clock::now();
        BuildTimeline(project, env, &timeline);
        const double build = MsSince(t0);
        ShowPlan plan;
        t0 = Clock::now();
        ReadShowPlan(*timeline, &plan);
        std::printf("1000 photos x 65535 s over a 0.201 s beep (%lld music placements): build %.1f ms, "
                    "read for rendering %.1f ms\n",
                    static_cast<long long>(TrackCount(*timeline, 1)), build, MsSince(t0));
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    ConsoleMessageBoxes boxes("bench-timeline-build");
    LargestShow(runs, boxes);
    BeepShows(boxes);
    return 0;
}
