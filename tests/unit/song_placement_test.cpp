#include <gtest/gtest.h>

#include <cmath>

#include "app/show_messages.h"
#include "engine/timeline_builder.h"
#include "platform/render/placement_cursor.h"
#include "platform/render/show_plan.h"
#include "tests/support/recording_message_boxes.h"

namespace {

constexpr REFERENCE_TIME kSecond = 10'000'000;

struct Song {
    REFERENCE_TIME length;
    SongSettings settings = {};
};

// One photo as long as the show, and the songs under it.
SlideshowProject ShowOf(double seconds, const std::vector<Song>& songs, MusicMix mix = {}) {
    SlideshowProject project;
    project.defaults().photoDurationSec = seconds;
    project.defaults().transitionDurationSec = 0;
    project.AppendPhoto("/photos/a.jpg");
    for (std::size_t i = 0; i < songs.size(); ++i) {
        project.AppendMusic("/music/" + std::to_string(i) + ".mp3", songs[i].length);
        project.SetSong(static_cast<int>(i), songs[i].settings);
    }
    project.musicMix() = mix;
    return project;
}

// The placements as the mixer gets them from the built timeline, listed tracks and run alike.
std::vector<AudioPlacement> Placed(SlideshowProject project, const MusicLevelOf& levelOf) {
    RecordingMessageBoxes boxes;
    TimelineBuildEnv env{boxes, nullptr, nullptr};
    env.levelOf = levelOf;
    std::shared_ptr<IAMTimeline> timeline;
    EXPECT_EQ(BuildTimeline(project, env, &timeline), S_OK);
    ShowPlan plan;
    EXPECT_EQ(ReadShowPlan(*timeline, &plan), S_OK);
    PlacementCursor cursor(&plan.music, plan.musicRun);
    std::vector<AudioPlacement> placed;
    while (!cursor.done()) placed.push_back(cursor.Take());
    return placed;
}

std::optional<MusicLevel> Unmeasured(const std::string&) { return std::nullopt; }

struct Expected {
    REFERENCE_TIME start, stop, mediaStart, joinIn, joinOut;
};

}  // namespace

// Where songs meet they crossfade over the join, which is 0.2 s unless the show sets more, never
// more than half the shortest song; a song shorter than twice the join is summed as placed; a trim
// places only its part of the file; the last placement, cut at the show's end, has no join out.
TEST(SongPlacement, SongsMeetOverTheJoinAndPlayWithinTheirTrim) {
    const REFERENCE_TIME j = 2'000'000;
    const struct {
        const char* what;
        SlideshowProject project;
        std::vector<Expected> expected;
    } cases[] = {
        {"the 0.2 s join, crossfaded", ShowOf(60, {{30 * kSecond}, {20 * kSecond}}),
         {{0, 30 * kSecond, 0, 0, j},
          {30 * kSecond - j, 50 * kSecond - j, 0, j, j},
          {50 * kSecond - 2 * j, 60 * kSecond, 0, j, 0}}},
        {"a longer join moves each song on", ShowOf(50, {{30 * kSecond}, {20 * kSecond}}, {false, -16, 4}),
         {{0, 30 * kSecond, 0, 0, 4 * kSecond},
          {26 * kSecond, 46 * kSecond, 0, 4 * kSecond, 4 * kSecond},
          {42 * kSecond, 50 * kSecond, 0, 4 * kSecond, 0}}},
        {"a join at most half the shortest song", ShowOf(30, {{30 * kSecond}, {10 * kSecond}}, {false, -16, 9}),
         {{0, 30 * kSecond, 0, 0, 0}}},
        {"a join at most half the shortest song, placed", ShowOf(40, {{30 * kSecond}, {10 * kSecond}}, {false, -16, 9}),
         {{0, 30 * kSecond, 0, 0, 5 * kSecond}, {25 * kSecond, 35 * kSecond, 0, 5 * kSecond, 5 * kSecond},
          {30 * kSecond, 40 * kSecond, 0, 5 * kSecond, 0}}},
        {"a song shorter than two joins is summed", ShowOf(6, {{5 * kSecond}, {3'000'000}}),
         {{0, 5 * kSecond, 0, 0, 0}, {5 * kSecond - j, 5 * kSecond + 1'000'000, 0, 0, 0},
          {5 * kSecond - 1'000'000, 6 * kSecond, 0, 0, 0}}},
        {"a trimmed song plays its part only", ShowOf(18, {{30 * kSecond, {5 * kSecond, 15 * kSecond, 0, 0}}}),
         {{0, 10 * kSecond, 5 * kSecond, 0, j}, {10 * kSecond - j, 18 * kSecond, 5 * kSecond, j, 0}}},
        {"a trim past the file's end stops at it", ShowOf(39, {{30 * kSecond, {20 * kSecond, 90 * kSecond, 0, 0}}}),
         {{0, 10 * kSecond, 20 * kSecond, 0, j}, {10 * kSecond - j, 20 * kSecond - j, 20 * kSecond, j, j},
          {20 * kSecond - 2 * j, 30 * kSecond - 2 * j, 20 * kSecond, j, j},
          {30 * kSecond - 3 * j, 39 * kSecond, 20 * kSecond, j, 0}}},
    };
    for (const auto& c : cases) {
        const std::vector<AudioPlacement> placed = Placed(c.project, Unmeasured);
        ASSERT_EQ(placed.size(), c.expected.size()) << c.what;
        for (std::size_t i = 0; i < placed.size(); ++i) {
            const Expected& e = c.expected[i];
            EXPECT_EQ(placed[i].start, e.start) << c.what << ", placement " << i;
            EXPECT_EQ(placed[i].stop, e.stop) << c.what << ", placement " << i;
            EXPECT_EQ(placed[i].mediaStart, e.mediaStart) << c.what << ", placement " << i;
            EXPECT_EQ(placed[i].shape.joinIn, e.joinIn) << c.what << ", placement " << i;
            EXPECT_EQ(placed[i].shape.joinOut, e.joinOut) << c.what << ", placement " << i;
        }
    }
}

// Each song is gained to the target, less where its true peak would pass -1 dBTP; then its own
// volume; loudness off leaves the volume alone; a song that cannot be measured keeps its level.
TEST(SongPlacement, EachSongIsGainedToTheTargetUnderItsPeak) {
    const auto level = [](double lufs, double peak) {
        return [=](const std::string&) { return std::optional<MusicLevel>(MusicLevel{lufs, peak}); };
    };
    const struct {
        const char* what;
        MusicMix mix;
        double volumeDb;
        MusicLevelOf levelOf;
        double gainDb;
    } cases[] = {
        {"a quiet song is raised", {true, -16, 0.2}, 0, level(-28, -20), 12},
        {"a loud song is lowered", {true, -16, 0.2}, 0, level(-8, 0.5), -8},
        {"the peak holds it below the target", {true, -16, 0.2}, 0, level(-28, -5), 4},
        {"another target", {true, -23, 0.2}, 0, level(-28, -20), 5},
        {"then its own volume", {true, -16, 0.2}, -3, level(-28, -20), 9},
        {"loudness off: its volume only", {false, -16, 0.2}, -3, level(-28, -20), -3},
        {"not measured: its volume only", {true, -16, 0.2}, 2, Unmeasured, 2},
    };
    for (const auto& c : cases) {
        const std::vector<AudioPlacement> placed =
            Placed(ShowOf(20, {{30 * kSecond, {0, 0, c.volumeDb, 1.5}}}, c.mix), c.levelOf);
        ASSERT_EQ(placed.size(), 1u) << c.what;
        EXPECT_NEAR(placed[0].shape.gainDb, c.gainDb, 1e-9) << c.what;
        EXPECT_EQ(placed[0].shape.fadeIn, 15'000'000) << c.what;
    }
}

// A short song under a long show is placed as a run of tracks made on demand: every one of its
// placements keeps the song's trim, gain and joins, and the last one, cut at the end, joins out
// into nothing.
TEST(SongPlacement, ALongLoopKeepsEverySongsShape) {
    SlideshowProject project = ShowOf(1800, {{kSecond, {5'000'000, 0, -6, 0}}});
    const std::vector<AudioPlacement> placed = Placed(project, Unmeasured);
    ASSERT_GT(placed.size(), 4096u);
    for (std::size_t i = 0; i < placed.size(); ++i) {
        EXPECT_EQ(placed[i].mediaStart, 5'000'000);
        EXPECT_EQ(placed[i].shape.gainDb, -6);
        EXPECT_EQ(placed[i].shape.joinIn, i == 0 ? 0 : 2'000'000);
        EXPECT_EQ(placed[i].shape.joinOut, i + 1 == placed.size() ? 0 : 2'000'000) << i;
        if (HasFailure()) break;
    }
    EXPECT_EQ(placed.back().stop, 1800 * kSecond);
}

// The song's dialog says how loud the song was measured and what the show does with it.
TEST(SongPlacement, TheSongsDialogSaysWhatTheShowDoesWithItsLoudness) {
    const struct {
        std::optional<MusicLevel> level;
        MusicMix mix;
        std::string text;
    } cases[] = {
        {MusicLevel{-23.44, -9.2}, {true, -16, 0.2}, "-23.4 LUFS, true peak -9.2 dBTP: played +7.4 dB to reach -16.0 LUFS."},
        {MusicLevel{-23.44, -2}, {true, -16, 0.2},
         "-23.4 LUFS, true peak -2.0 dBTP: played +1.0 dB, below the -16.0 LUFS target, so that its peak stays under -1 dBTP."},
        {MusicLevel{-9, 0.3}, {false, -16, 0.2},
         "-9.0 LUFS, true peak 0.3 dBTP: played as mastered (the show does not even out loudness)."},
        {std::nullopt, {true, -16, 0.2}, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(SongLevelText(c.level, c.mix), c.text);
}
