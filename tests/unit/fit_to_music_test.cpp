// Fit to the music: the show ends where the music list played once ends, to the 100 ns unit the
// timeline cuts at, and a fit that cannot be made changes nothing.

#include "app/fit_to_music.h"

#include <gtest/gtest.h>

#include "app/show_messages.h"
#include "engine/time_arithmetic.h"
#include "engine/timeline_builder.h"
#include "engine/transition_catalogue.h"
#include "tests/support/recording_message_boxes.h"
#include "tests/support/timeline_reader.h"

namespace {

constexpr REFERENCE_TIME kSecond = 10'000'000;

SlideshowProject Project(int photos, std::vector<REFERENCE_TIME> music, double transitionSec = 4) {
    SlideshowProject project;
    project.defaults().policy = kPolicySame;
    project.defaults().sameIndex = 3;
    project.defaults().transitionDurationSec = transitionSec;
    for (int i = 0; i < photos; ++i) project.AppendPhoto("/photos/" + std::to_string(i) + ".jpg");
    for (std::size_t i = 0; i < music.size(); ++i)
        project.AppendMusic("/music/" + std::to_string(i) + ".wav", music[i]);
    return project;
}

REFERENCE_TIME ShowEnd(const SlideshowProject& project) {
    return TruncateToInt64(project.ComputeShowLength() * kUnitsPerSecond);
}

}  // namespace

TEST(FitToMusic, TheMusicListPlayedOnceEndsAfterItsOverlaps) {
    int unknown = -1;
    EXPECT_EQ(MusicListEnd({{"a", 30 * kSecond}}, &unknown), 30 * kSecond);
    EXPECT_EQ(MusicListEnd({{"a", 30 * kSecond}, {"b", 20 * kSecond}, {"c", kSecond}}, &unknown),
              51 * kSecond - 2 * kMusicOverlap);
    EXPECT_EQ(MusicListEnd({{"a", 30 * kSecond}, {"b", -1}}, &unknown), -1);
    EXPECT_EQ(MusicListEnd({{"a", INT64_MAX - 1}, {"b", INT64_MAX}}, &unknown), INT64_MAX);
    // A trim places less of a song, and a longer join overlaps more.
    EXPECT_EQ(MusicListEnd({{"a", 30 * kSecond, {10 * kSecond, 0, 0, 0}}, {"b", 20 * kSecond}}, &unknown, 4),
              36 * kSecond);
    EXPECT_EQ(unknown, 1);
}

// The timeline then places each music file once and stops at the last one's end: a show a hair
// longer would start the list again for a moment.
TEST(FitToMusic, TheShowEndsWithTheLastNote) {
    const REFERENCE_TIME a = 301'234'567, b = 450'000'003;
    SlideshowProject project = Project(7, {a, b});
    const FitResult fit = FitPhotosToMusic(project);
    ASSERT_EQ(fit.outcome, FitOutcome::Fitted);
    const REFERENCE_TIME end = a + b - kMusicOverlap;
    for (const PhotoItem& photo : project.photos()) {
        EXPECT_EQ(photo.durationSec, fit.photoDurationSec);
        EXPECT_EQ(photo.transitionDurationSec, 4);
    }
    EXPECT_LE(ShowEnd(project), end);
    EXPECT_GE(ShowEnd(project), end - 10);

    RecordingMessageBoxes boxes;
    std::shared_ptr<IAMTimeline> timeline;
    ASSERT_EQ(BuildTimeline(project, {boxes, nullptr, nullptr}, &timeline), S_OK);
    const std::vector<GroupView> groups = ReadTimeline(*timeline);
    ASSERT_EQ(groups.size(), 2u);
    ASSERT_EQ(groups[1].tracks.size(), 2u) << "the music list began again";
    EXPECT_EQ(groups[1].tracks[1].sources.at(0).name, "/music/1.wav");
    EXPECT_GE(groups[1].tracks[1].sources[0].stop, end - 10);
}

// However the length divides, the show ends within one 100 ns unit of the music, never past it.
TEST(FitToMusic, AwkwardDivisionsEndWithinAUnitOfTheMusic) {
    for (int photos : {1, 3, 7, 997, 1000}) {
        for (REFERENCE_TIME music :
             {REFERENCE_TIME{1000 * kSecond + 1}, REFERENCE_TIME{3333 * kSecond + 7777}}) {
            SlideshowProject project = Project(photos, {music}, 0);
            ASSERT_EQ(FitPhotosToMusic(project).outcome, FitOutcome::Fitted);
            EXPECT_LE(ShowEnd(project), music) << photos;
            EXPECT_GE(ShowEnd(project), music - 1) << photos;
        }
    }
}

TEST(FitToMusic, NoTransitionOutlastsItsPhoto) {
    SlideshowProject project = Project(3, {6 * kSecond}, 1.5);
    PhotoItem slow = project.photos()[1];
    slow.transitionDurationSec = 5;
    project.SetPhoto(1, slow);
    ASSERT_EQ(FitPhotosToMusic(project).outcome, FitOutcome::Fitted);
    EXPECT_EQ(project.photos()[0].durationSec, 2);
    EXPECT_EQ(project.photos()[0].transitionDurationSec, 1.5);
    EXPECT_EQ(project.photos()[1].transitionDurationSec, 2);
}

TEST(FitToMusic, AFitThatCannotBeMadeChangesNothing) {
    struct Case {
        SlideshowProject project;
        FitOutcome outcome;
        std::string message;
    };
    std::vector<Case> cases;
    cases.push_back({Project(0, {30 * kSecond}), FitOutcome::NoPhotos,
                     "Add photos first: there is nothing to fit to the music."});
    cases.push_back({Project(3, {}), FitOutcome::NoMusic,
                     "Add music first: there is no music to fit the photos to."});
    cases.push_back({Project(3, {30 * kSecond, -1}), FitOutcome::UnknownLength,
                     "The length of the music file 1.wav is not known, so the photos cannot be "
                     "fitted to the music."});
    cases.push_back({Project(10, {49'900'000}), FitOutcome::TooShort,
                     "To end with the music, each photo would be shown for only 0.499 s, less than "
                     "0.5 s. Nothing "
                     "was changed."});
    // Two ten-hour files for one photo, and a file whose header claims 1558 hours for two.
    cases.push_back({Project(1, {36000 * kSecond, 36000 * kSecond}), FitOutcome::TooLong,
                     "To end with the music, each photo would be shown for 71999.800 s, but a photo "
                     "lasts less than 65536 s. Nothing was changed."});
    cases.push_back({Project(2, {5608800 * kSecond}), FitOutcome::TooLong, ""});
    for (Case& c : cases) {
        const std::vector<PhotoItem> before = c.project.photos();
        const FitResult fit = FitPhotosToMusic(c.project);
        EXPECT_EQ(fit.outcome, c.outcome);
        if (!c.message.empty()) {
            EXPECT_EQ(FitRefusalText(fit, c.project.music()), c.message);
        }
        for (std::size_t i = 0; i < before.size(); ++i) {
            EXPECT_EQ(c.project.photos()[i].durationSec, before[i].durationSec);
            EXPECT_EQ(c.project.photos()[i].transitionDurationSec, before[i].transitionDurationSec);
        }
    }
    SlideshowProject justEnough = Project(10, {5 * kSecond});
    EXPECT_EQ(FitPhotosToMusic(justEnough).outcome, FitOutcome::Fitted);
    EXPECT_EQ(justEnough.photos()[0].durationSec, 0.5);
    // The longest a photo can last, and no longer.
    SlideshowProject longest = Project(1, {655'359'999'999});
    EXPECT_EQ(FitPhotosToMusic(longest).outcome, FitOutcome::Fitted);
    EXPECT_LT(longest.photos()[0].durationSec, kPhotoDurationLimitSec);
    SlideshowProject tooLong = Project(1, {655'360'000'000});
    EXPECT_EQ(FitPhotosToMusic(tooLong).outcome, FitOutcome::TooLong);
}
