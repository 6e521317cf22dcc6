// Plays a show in the preview player, headless (any Qt platform, offscreen too), and reports the
// frames shown and dropped, the worst lateness and how soon after the player opened the first
// picture was shown.
//
// Usage: bench-preview-play WIDTH HEIGHT PHOTO_SECONDS TRANSITION_SECONDS [--startup-only] [--motion]
//        [--music FILE] PHOTO...
// --motion gives every photo a random pan or zoom (seed 1); --music loops FILE under the show.
// With --startup-only it also reports how long Stop took.

#include <QApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "engine/photo_faces.h"
#include "engine/preview_rendering.h"
#include "engine/timeline_builder.h"
#include "engine/transition_catalogue.h"
#include "platform/render/playback/playback.h"
#include "platform/shell/console_message_boxes.h"
#include "player/qt_preview_renderers.h"
#include "player/vcd_core.h"

namespace {
std::int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 6) {
        std::fprintf(stderr,
                     "usage: %s WIDTH HEIGHT PHOTO_SECONDS TRANSITION_SECONDS [--startup-only] [--motion] [--music FILE] PHOTO...\n",
                     argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    InstallQtPreviewRenderers();
    ConsoleMessageBoxes boxes("bench-preview-play");
    SlideshowProject project;
    project.defaults() = {std::atof(argv[3]), std::atof(argv[4]), kPolicySame, 3};  // every transition a Fade
    int first = 5;
    bool startupOnly = false, motion = false;
    const char* music = nullptr;
    for (; first < argc; ++first) {
        if (std::strcmp(argv[first], "--music") == 0 && first + 1 < argc) {
            music = argv[++first];
        } else if (std::strcmp(argv[first], "--startup-only") == 0) {
            startupOnly = true;
        } else if (std::strcmp(argv[first], "--motion") == 0) {
            motion = true;
        } else {
            break;
        }
    }
    project.random().Seed(1);
    if (motion) project.defaults().motionPolicy = kMotionPolicyRandom;
    for (int i = first; i < argc; ++i) project.AppendPhoto(argv[i]);
    if (music != nullptr) project.AppendMusic(music, MeasureMediaDuration(music));
    project.output().width = std::atoi(argv[1]);
    project.output().height = std::atoi(argv[2]);
    // The window looks for faces as photos join the list, long before Preview is pressed.
    std::vector<std::string> paths;
    for (const PhotoItem& photo : project.photos()) paths.push_back(photo.path);
    FindFacesOfAll(paths);
    const std::int64_t previewAt = NowNs();  // the timeline's build is part of Preview
    std::shared_ptr<IAMTimeline> timeline;
    TimelineBuildEnv buildEnv{boxes, nullptr, nullptr};
    if (FAILED(BuildTimeline(project, buildEnv, &timeline))) return 1;

    QWidget owner;
    owner.setGeometry(0, 700, 400, 100);
    owner.show();
    std::int64_t openAt = 0;
    PreviewObjects objects;
    PreviewEnv env{boxes, [&] {
                       openAt = NowNs();
                       return std::make_unique<CVcdCore>(&owner, boxes, nullptr);
                   },
                   nullptr};
    if (FAILED(RenderPreview(timeline, env, &objects))) return 1;
    auto* player = static_cast<CVcdCore*>(objects.player.get());
    PlaybackStats stats;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        GetPlaybackStats(objects.graph, &stats);
        if ((startupOnly && stats.firstFrameSteadyNs != 0) || player->state() == CVcdCore::PlayState::Stopped) {
            QCoreApplication::exit(0);  // quit() would ask the player window to close, which it declines
        }
    });
    poll.start(5);
    app.exec();
    GetPlaybackStats(objects.graph, &stats);
    REFERENCE_TIME length = 0;
    if (auto seeking = std::dynamic_pointer_cast<IMediaSeeking>(objects.graph)) seeking->GetDuration(&length);
    const std::int64_t stopAt = NowNs();
    EndPreview(&objects);
    const double stopMs = (NowNs() - stopAt) / 1e6;
    std::printf("photos %zu, show %.1f s at %sx%s\n", project.photos().size(), length / 1e7, argv[1], argv[2]);
    std::printf("first picture %.0f ms after CVcdCore::Open (%.0f ms after the preview was asked for)\n",
                (stats.firstFrameSteadyNs - openAt) / 1e6, (stats.firstFrameSteadyNs - previewAt) / 1e6);
    if (startupOnly) std::printf("stopped %.0f ms after Stop\n", stopMs);
    if (!startupOnly) {
        std::printf("frames shown %lld, dropped %lld, worst lateness %.1f ms\n",
                    static_cast<long long>(stats.framesShown), static_cast<long long>(stats.framesDropped),
                    stats.worstLateness / 1e4);
    }
    return 0;
}
