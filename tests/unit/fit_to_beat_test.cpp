// Fit to the beat: every transition starts on a beat of the music as the timeline places it, each
// photo lasts a whole number of beats near its share of the music, and the show ends with the
// music list played once.

#include "app/fit_to_beat.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "engine/time_arithmetic.h"
#include "engine/timeline_builder.h"
#include "tests/support/recording_message_boxes.h"
#include "tests/support/timeline_reader.h"

namespace {

constexpr REFERENCE_TIME kSecond = 10'000'000;

std::vector<double> Beats(double first, double every, double until) {
    std::vector<double> beats;
    for (double t = first; t < until; t += every) beats.push_back(t);
    return beats;
}

struct Music {
    REFERENCE_TIME length;
    std::vector<double> beats;  // in the file
    REFERENCE_TIME trimStart = 0;
};

SlideshowProject Project(const std::vector<double>& durations, const std::vector<Music>& music, double joinSec = 0.2) {
    SlideshowProject project;
    project.defaults().transitionDurationSec = 1;
    for (std::size_t i = 0; i < durations.size(); ++i) {
        project.defaults().photoDurationSec = durations[i];
        project.AppendPhoto("/photos/" + std::to_string(i) + ".jpg");
    }
    for (std::size_t i = 0; i < music.size(); ++i) {
        project.AppendMusic("/music/" + std::to_string(i) + ".mp3", music[i].length);
        project.SetSong(static_cast<int>(i), {music[i].trimStart, 0, 0, 0});
    }
    project.musicMix().joinSec = joinSec;
    return project;
}

BeatsOfFile BeatsOf(const std::vector<Music>& music) {
    return [music](const std::string& path, std::vector<double>* beats) {
        const std::size_t i = std::stoul(path.substr(7));
        if (i >= music.size()) return false;
        *beats = music[i].beats;
        return true;
    };
}

// Where the built timeline starts each photo's transition after the first, in ms.
std::vector<std::int64_t> TransitionStarts(SlideshowProject& project) {
    RecordingMessageBoxes boxes;
    TimelineBuildEnv env{boxes, nullptr, nullptr};
    std::shared_ptr<IAMTimeline> timeline;
    EXPECT_EQ(BuildTimeline(project, env, &timeline), S_OK);
    std::vector<std::int64_t> starts;
    const std::vector<GroupView> groups = ReadTimeline(*timeline);
    for (std::size_t t = 1; t < groups.at(0).tracks.size(); ++t)
        starts.push_back(groups[0].tracks[t].transitions.at(0).start / 10'000);
    return starts;
}

}  // namespace

// Each case's beats in show time (ms) are where the transitions may start.
TEST(FitToBeat, EveryTransitionStartsOnABeatAndTheShowEndsWithTheMusic) {
    const struct {
        const char* what;
        std::vector<double> durations;
        std::vector<Music> music;
        double joinSec;
        std::set<std::int64_t> beatsMs;
        REFERENCE_TIME musicEnd;
    } cases[] = {
        {"120 BPM", std::vector<double>(6, 8), {{60 * kSecond, Beats(0.25, 0.5, 60)}}, 0.2,
         [] { std::set<std::int64_t> s; for (int k = 0; k < 120; ++k) s.insert(250 + 500 * k); return s; }(),
         60 * kSecond},
        {"200 BPM: at least two beats a photo", std::vector<double>(40, 1), {{30 * kSecond, Beats(0.1, 0.3, 30)}}, 0.2,
         [] { std::set<std::int64_t> s; for (int k = 0; k < 100; ++k) s.insert(100 + 300 * k); return s; }(),
         30 * kSecond},
        {"uneven photos, two trimmed songs over a 4 s join", {2, 10, 4, 4, 12, 3},
         {{40 * kSecond, Beats(0, 0.6, 40), 10 * kSecond}, {20 * kSecond, Beats(0.5, 0.4, 20)}}, 4,
         // The first song plays 30 s from 10 s into its file (its beat at 10.2 s falls at 0.2 s);
         // the second starts at 26 s; the join's middle, 28 s, hands over from one song's beats to
         // the other's.
         [] { std::set<std::int64_t> s;
              for (int k = 0; 200 + 600 * k < 28000; ++k) s.insert(200 + 600 * k);
              for (int k = 0; 26500 + 400 * k < 46000; ++k) if (26500 + 400 * k >= 28000) s.insert(26500 + 400 * k);
              return s; }(),
         46 * kSecond},
    };
    for (const auto& c : cases) {
        SlideshowProject project = Project(c.durations, c.music, c.joinSec);
        const BeatFitResult fit = FitPhotosToBeat(project, BeatsOf(c.music));
        ASSERT_EQ(fit.outcome, BeatFitOutcome::Fitted) << c.what;
        for (const std::int64_t start : TransitionStarts(project)) EXPECT_EQ(c.beatsMs.count(start), 1u) << c.what << ": " << start;
        const REFERENCE_TIME end = TruncateToInt64(project.ComputeShowLength() * kUnitsPerSecond);
        EXPECT_LE(end, c.musicEnd) << c.what;
        EXPECT_GE(end, c.musicEnd - 10'000) << c.what;
        for (const PhotoItem& photo : project.photos()) {
            EXPECT_GE(photo.durationSec, 0.5) << c.what;
            EXPECT_LE(photo.transitionDurationSec, photo.durationSec) << c.what;
        }
    }
}

// Each photo keeps its share of the music to within a beat: the 120 BPM show of six 8 s photos
// over a minute gives each 10 s, its transition on the beat nearest that.
TEST(FitToBeat, EachPhotoKeepsItsShareToWithinABeat) {
    const std::vector<Music> music{{60 * kSecond, Beats(0.25, 0.5, 60)}};
    SlideshowProject project = Project({8, 8, 16, 8, 8, 12}, music);
    ASSERT_EQ(FitPhotosToBeat(project, BeatsOf(music)).outcome, BeatFitOutcome::Fitted);
    const double share[] = {8, 8, 16, 8, 8, 12};
    double target = -0.5, at = -0.5;  // the first transition starts half of it early
    for (std::size_t i = 0; i + 1 < project.photos().size(); ++i) {
        target += share[i];
        at += project.photos()[i].durationSec;
        EXPECT_NEAR(at, target, 0.25 + 1e-9) << i;
    }
}

TEST(FitToBeat, AFitThatCannotBeMadeChangesNothing) {
    const std::vector<Music> noBeats{{60 * kSecond, {}}}, beats{{10 * kSecond, Beats(0, 0.5, 10)}};
    const struct {
        const char* what;
        SlideshowProject project;
        std::vector<Music> music;
        BeatFitOutcome outcome;
        int musicIndex;
    } cases[] = {
        {"no photos", Project({}, beats), beats, BeatFitOutcome::NoPhotos, -1},
        {"no music", Project({5}, {}), {}, BeatFitOutcome::NoMusic, -1},
        {"no beat", Project({5, 5}, noBeats), noBeats, BeatFitOutcome::NoBeats, -1},
        {"a song not measured", Project({5}, {{-1, {}}}), {}, BeatFitOutcome::UnknownLength, 0},
        {"a song that cannot be read", Project({5}, beats), {}, BeatFitOutcome::CannotRead, 0},
        {"more photos than the beats hold", Project(std::vector<double>(25, 5), beats), beats,
         BeatFitOutcome::TooShort, -1},
    };
    for (const auto& c : cases) {
        SlideshowProject project = c.project;
        const BeatFitResult fit = FitPhotosToBeat(project, BeatsOf(c.music));
        EXPECT_EQ(fit.outcome, c.outcome) << c.what;
        EXPECT_EQ(fit.musicIndex, c.musicIndex) << c.what;
        EXPECT_EQ(project.photos(), c.project.photos()) << c.what;
    }
}
