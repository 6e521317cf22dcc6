// libFuzzer target: any bytes read as a show, then built into its timeline and read back for
// rendering. Each music file's length comes from its name, short sounds included, so a show can ask
// for billions of placements: the build must stay quick, every placement must lie inside the show,
// and a loop described by its rule must place what placing one by one does.
//   cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DKAVREL_FUZZERS=ON
//   cmake --build build-fuzz --target show_timeline_fuzzer && build-fuzz/tests/show_timeline_fuzzer

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <string_view>

#include "app/show_file.h"
#include "app/show_project.h"
#include "engine/timeline_builder.h"
#include "platform/render/placement_cursor.h"
#include "platform/render/show_plan.h"

namespace {

class SilentBoxes final : public MessageBoxes {
public:
    MessageAnswer Show(const MessageRequest&) override { return MessageAnswer::Ok; }
};

// 0.2 s and a little more for one name in four (the loop's hardest case), else up to 30 s.
REFERENCE_TIME LengthOfName(const std::string& path) {
    const std::size_t h = std::hash<std::string>()(path);
    if (h % 4 == 0) return 2'000'000 + static_cast<REFERENCE_TIME>(h / 4 % 20'000);
    return 1 + static_cast<REFERENCE_TIME>(h / 4 % 300'000'000);
}

void Check(bool holds) {
    if (!holds) __builtin_trap();
}

// Every placement lies in the show; the cursor hands the first of them out in start order.
void CheckMusic(const ShowPlan& plan, REFERENCE_TIME end) {
    for (const AudioPlacement& p : plan.music) Check(p.start >= 0 && p.start < p.stop && p.stop <= end);
    if (plan.musicRun) {
        const TrackRun& run = *plan.musicRun;
        Check(run.At(run.count() - 1).stop == end);
        for (std::int64_t i = 0; i < std::min<std::int64_t>(run.count(), 64); ++i) {
            const RunSource s = run.At(i);
            Check(s.start >= 0 && s.start < s.stop && s.stop <= end);
        }
    }
    PlacementCursor cursor(&plan.music, plan.musicRun);
    REFERENCE_TIME last = std::numeric_limits<REFERENCE_TIME>::min();
    for (int i = 0; i < 10'000 && !cursor.done(); ++i) {
        const AudioPlacement p = cursor.Take();
        Check(p.start >= last);
        last = p.start;
    }
}

// Where the whole loop is small enough to list, the built timeline holds exactly that list.
void CheckAgainstOneByOne(const SlideshowProject& project, const ShowPlan& plan, REFERENCE_TIME end) {
    const std::vector<REFERENCE_TIME> lengths = PlayedLengths(project.music());
    const std::int64_t count = static_cast<std::int64_t>(plan.music.size()) +
                               (plan.musicRun ? plan.musicRun->count() : 0);
    if (count > 20'000) return;
    const MusicLoop listed = PlanMusicLoop(lengths, end, std::numeric_limits<std::size_t>::max(),
                                           MusicJoin(lengths, project.musicMix().joinSec));
    Check(static_cast<std::int64_t>(listed.placed.size()) == count);
    for (std::size_t i = 0; i < listed.placed.size(); ++i) {
        const MusicPlacement& p = listed.placed[i];
        REFERENCE_TIME start = 0, stop = 0;
        if (i < plan.music.size()) {
            start = plan.music[i].start;
            stop = plan.music[i].stop;
        } else {
            const RunSource s = plan.musicRun->At(static_cast<std::int64_t>(i - plan.music.size()));
            start = s.start;
            stop = s.stop;
        }
        Check(p.start == start && p.stop == stop);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Show show;
    if (ParseShow(bytes, "/shows/holiday", &show)) return 0;
    SlideshowProject project;
    PutShowInProject(show, &project, LengthOfName);
    SilentBoxes boxes;
    TimelineBuildEnv env{boxes, nullptr, nullptr};
    env.levelOf = [](const std::string&) { return std::optional<MusicLevel>(); };  // files are named, not read
    env.facesOf = [](const std::string&) { return FoundFaces{true, 4000, 3000, {{0.02, 0.3, 0.1, 0.12}}}; };
    std::shared_ptr<IAMTimeline> timeline;
    Check(SUCCEEDED(BuildTimeline(project, env, &timeline)));
    ShowPlan plan;
    ReadShowPlan(*timeline, &plan);
    const REFERENCE_TIME end = static_cast<REFERENCE_TIME>(project.showLengthSec() * kUnitsPerSecond);
    CheckMusic(plan, end);
    CheckAgainstOneByOne(project, plan, end);
    return 0;
}
