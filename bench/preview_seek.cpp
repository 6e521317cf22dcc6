// Plays a show in the preview player, headless, seeks it as a user would (the player's own keys:
// 5 s forward and back, the start, and jumps far away), playing and held, and reports for each
// seek the time from the request to the first picture at the new place, then the median and the
// worst.
//
// Usage: bench-preview-seek WIDTH HEIGHT PHOTO_SECONDS TRANSITION_SECONDS PHOTO...

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "engine/preview_rendering.h"
#include "engine/timeline_builder.h"
#include "engine/transition_catalogue.h"
#include "platform/render/playback/playback.h"
#include "platform/render/show_plan.h"
#include "platform/shell/console_message_boxes.h"
#include "player/qt_preview_renderers.h"
#include "player/vcd_core.h"

namespace {

std::int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

struct Seek {
    const char* what;
    std::function<void(CVcdCore&)> act;
};

std::vector<Seek> Seeks() {
    constexpr REFERENCE_TIME kSecond = kUnitsPerSecond;
    auto by = [](REFERENCE_TIME s) { return [s](CVcdCore& c) { c.SeekBy(s); }; };
    auto to = [](REFERENCE_TIME t) { return [t](CVcdCore& c) { c.SeekTo(t); }; };
    auto held = [](REFERENCE_TIME s) { return [s](CVcdCore& c) { c.Pause(); c.SeekBy(s); }; };
    auto heldTo = [](REFERENCE_TIME t) { return [t](CVcdCore& c) { c.Pause(); c.SeekTo(t); }; };
    return {{"playing, 5 s forward", by(5 * kSecond)},  {"playing, 5 s forward", by(5 * kSecond)},
            {"playing, 5 s back", by(-5 * kSecond)},    {"playing, 5 s back", by(-5 * kSecond)},
            {"playing, 5 s forward", by(5 * kSecond)},  {"playing, jump to 33.5 s", to(335 * kSecond / 10)},
            {"playing, 5 s back", by(-5 * kSecond)},    {"playing, 5 s forward", by(5 * kSecond)},
            {"playing, to the start", to(0)},           {"playing, jump to 50.2 s", to(502 * kSecond / 10)},
            {"playing, 5 s forward", by(5 * kSecond)},  {"playing, 5 s back", by(-5 * kSecond)},
            {"held, 5 s back", held(-5 * kSecond)},     {"held, 5 s back", held(-5 * kSecond)},
            {"held, 5 s forward", held(5 * kSecond)},   {"held, jump to 21.3 s", heldTo(213 * kSecond / 10)}};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 6) {
        std::fprintf(stderr, "usage: %s WIDTH HEIGHT PHOTO_SECONDS TRANSITION_SECONDS PHOTO...\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    InstallQtPreviewRenderers();
    ConsoleMessageBoxes boxes("bench-preview-seek");
    SlideshowProject project;
    project.defaults() = {std::atof(argv[3]), std::atof(argv[4]), kPolicySame, 3};  // every transition a Fade
    for (int i = 5; i < argc; ++i) project.AppendPhoto(argv[i]);
    project.output().width = std::atoi(argv[1]);
    project.output().height = std::atoi(argv[2]);
    std::shared_ptr<IAMTimeline> timeline;
    TimelineBuildEnv buildEnv{boxes, nullptr, nullptr};
    if (FAILED(BuildTimeline(project, buildEnv, &timeline))) return 1;

    QWidget owner;
    owner.setGeometry(0, 700, 400, 100);
    owner.show();
    PreviewObjects objects;
    PreviewEnv env{boxes, [&] { return std::make_unique<CVcdCore>(&owner, boxes, nullptr); }, nullptr};
    if (FAILED(RenderPreview(timeline, env, &objects))) return 1;
    auto* player = static_cast<CVcdCore*>(objects.player.get());
    auto seeking = std::dynamic_pointer_cast<IMediaSeeking>(objects.graph);

    const std::vector<Seek> seeks = Seeks();
    std::vector<double> latencies;
    std::size_t next = 0;
    std::int64_t askedAt = 0, settledAt = NowNs() + 1'500'000'000;  // the first after 1.5 s of play
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        PlaybackStats stats;
        GetPlaybackStats(objects.graph, &stats);
        if (askedAt != 0 && stats.stretchFirstSteadyNs > askedAt) {
            const double ms = (stats.stretchFirstSteadyNs - askedAt) / 1e6;
            latencies.push_back(ms);
            std::printf("%-26s frame %5lld (%6.2f s): first picture %6.1f ms\n", seeks[next - 1].what,
                        static_cast<long long>(stats.stretchFirstFrame), FrameStart(stats.stretchFirstFrame) / 1e7, ms);
            askedAt = 0;
            settledAt = NowNs() + 800'000'000;  // let it play on before the next
        }
        if (askedAt != 0 && NowNs() - askedAt > 5'000'000'000) {
            std::printf("%s: no picture within 5 s\n", seeks[next - 1].what);
            QCoreApplication::exit(1);
        }
        if (askedAt != 0 || NowNs() < settledAt) return;
        if (next == seeks.size()) {
            QCoreApplication::exit(0);
            return;
        }
        if (player->state() == CVcdCore::PlayState::Paused && std::string(seeks[next].what).rfind("playing", 0) == 0) {
            player->Play();
        }
        askedAt = NowNs();
        seeks[next++].act(*player);
    });
    poll.start(1);
    const int status = app.exec();
    EndPreview(&objects);
    if (status != 0 || latencies.empty()) return 1;
    std::vector<double> sorted = latencies;
    std::sort(sorted.begin(), sorted.end());
    std::printf("seeks %zu: median %.1f ms, worst %.1f ms\n", sorted.size(), sorted[sorted.size() / 2], sorted.back());
    return 0;
}
