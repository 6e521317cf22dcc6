#include "app/slideshow_project.h"

#include <gtest/gtest.h>

#include "engine/transition_catalogue.h"

namespace {

std::vector<std::string> Paths(const SlideshowProject& project) {
    std::vector<std::string> paths;
    for (const auto& p : project.photos()) paths.push_back(p.path);
    return paths;
}

SlideshowProject TenPhotos() {
    SlideshowProject project;
    project.defaults().policy = kPolicySequence;
    for (int i = 0; i < 10; ++i) project.AppendPhoto("/p/" + std::to_string(i) + ".jpg");
    return project;
}

}  // namespace

TEST(SlideshowProject, AppendedPhotosTakeTheDefaultsAndThePolicy) {
    SlideshowProject project;
    project.defaults() = {5.5, 1.25, kPolicySame, 9};
    ASSERT_EQ(project.AppendPhoto("/a.jpg"), ProjectResult::Ok);
    project.defaults().policy = kPolicySequence;
    project.AppendPhoto("/b.jpg");
    project.AppendPhoto("/c.jpg");
    ASSERT_EQ(project.photoCount(), 3);
    const PhotoItem& a = project.photos()[0];
    EXPECT_EQ(a.path, "/a.jpg");
    EXPECT_DOUBLE_EQ(a.durationSec, 5.5);
    EXPECT_DOUBLE_EQ(a.transitionDurationSec, 1.25);
    EXPECT_EQ(a.transition, 9);
    // Sequence uses the position the photo takes: the count before the append.
    EXPECT_EQ(project.photos()[1].transition, 1);
    EXPECT_EQ(project.photos()[2].transition, 2);
}

TEST(SlideshowProject, RandomPolicyFollowsTheSeed) {
    SlideshowProject a, b;
    a.random().Seed(2024);
    b.random().Seed(2024);
    for (int i = 0; i < 20; ++i) {
        a.AppendPhoto("/x.jpg");
        b.AppendPhoto("/x.jpg");
    }
    for (int i = 0; i < 20; ++i) EXPECT_EQ(a.photos()[i].transition, b.photos()[i].transition);
}

TEST(SlideshowProject, PathsLongerThanTheSlotAreRefused) {
    SlideshowProject project;
    std::string fits = "/" + std::string(258, 'a');  // 259 bytes
    std::string tooLong = fits + "b";
    EXPECT_EQ(project.AppendPhoto(fits), ProjectResult::Ok);
    EXPECT_EQ(project.AppendPhoto(tooLong), ProjectResult::PathTooLong);
    EXPECT_EQ(project.AppendMusic(tooLong, 10), ProjectResult::PathTooLong);
    EXPECT_EQ(project.photoCount(), 1);
    EXPECT_EQ(project.musicCount(), 0);

    PhotoItem changed = project.photos()[0];
    changed.path = tooLong;
    EXPECT_EQ(project.SetPhoto(0, changed), ProjectResult::PathTooLong);
    EXPECT_EQ(project.photos()[0].path, fits);
    EXPECT_EQ(project.SetPhoto(1, changed), ProjectResult::NoSuchItem);
}

TEST(SlideshowProject, ListsGrowPastTheirLimitsForConvertToRefuse) {
    SlideshowProject project;
    for (int i = 0; i < kMaxPhotos + 5; ++i) ASSERT_EQ(project.AppendPhoto("/p.jpg"), ProjectResult::Ok);
    for (int i = 0; i < kMaxMusic + 5; ++i) ASSERT_EQ(project.AppendMusic("/m.wav", 1), ProjectResult::Ok);
    EXPECT_EQ(project.photoCount(), 1005);
    EXPECT_EQ(project.musicCount(), 105);
}

TEST(SlideshowProject, RemovingASelectionKeepsTheOthersInOrder) {
    SlideshowProject project = TenPhotos();
    project.RemovePhotos({2, 3, 7});
    EXPECT_EQ(Paths(project), (std::vector<std::string>{"/p/0.jpg", "/p/1.jpg", "/p/4.jpg",
                                                        "/p/5.jpg", "/p/6.jpg", "/p/8.jpg",
                                                        "/p/9.jpg"}));
    // Every field travels with its item.
    EXPECT_EQ(project.photos()[2].transition, 4);

    SlideshowProject music;
    for (int i = 0; i < 5; ++i) music.AppendMusic("/m" + std::to_string(i), i * 10);
    music.RemoveMusicItems({1, 3});
    ASSERT_EQ(music.musicCount(), 3);
    EXPECT_EQ(music.music()[1].path, "/m2");
    EXPECT_EQ(music.music()[2].length, 40);
    EXPECT_EQ(music.RemoveMusic(3), ProjectResult::NoSuchItem);
}

TEST(SlideshowProject, SwapExchangesEveryField) {
    SlideshowProject project = TenPhotos();
    PhotoItem second = project.photos()[1];
    second.durationSec = 2;
    project.SetPhoto(1, second);
    ASSERT_EQ(project.SwapPhotos(1, 0), ProjectResult::Ok);
    EXPECT_EQ(project.photos()[0].path, "/p/1.jpg");
    EXPECT_DOUBLE_EQ(project.photos()[0].durationSec, 2);
    EXPECT_EQ(project.photos()[0].transition, 1);
    EXPECT_DOUBLE_EQ(project.photos()[1].durationSec, 8);
    EXPECT_EQ(project.SwapPhotos(9, 10), ProjectResult::NoSuchItem);

    project.AppendMusic("/a", 1);
    project.AppendMusic("/b", 2);
    project.SwapMusic(0, 1);
    EXPECT_EQ(project.music()[0].path, "/b");
    EXPECT_EQ(project.music()[0].length, 2);
}

TEST(SlideshowProject, ClearingOneListLeavesEverythingElse) {
    SlideshowProject project = TenPhotos();
    project.AppendMusic("/m.wav", 30'000'000);
    project.output().width = 720;
    project.defaults().photoDurationSec = 3;
    project.ClearPhotos();
    EXPECT_EQ(project.photoCount(), 0);
    EXPECT_EQ(project.musicCount(), 1);
    EXPECT_EQ(project.output().width, 720);
    EXPECT_DOUBLE_EQ(project.defaults().photoDurationSec, 3);
    EXPECT_DOUBLE_EQ(project.ComputeShowLength(), 0);
    project.ClearMusic();
    EXPECT_EQ(project.musicCount(), 0);
}

TEST(SlideshowProject, ShowLengthIsTheSumOfDurations) {
    SlideshowProject project;
    EXPECT_DOUBLE_EQ(project.ComputeShowLength(), 0);
    project.defaults().photoDurationSec = 2.5;
    project.AppendPhoto("/a");
    project.defaults().photoDurationSec = 4;
    project.AppendPhoto("/b");
    EXPECT_DOUBLE_EQ(project.ComputeShowLength(), 6.5);
}

TEST(SlideshowProject, WhenNewDefaultsOfferARefresh) {
    SlideshowProject project;
    project.defaults() = {8, 4, kPolicyRandom, 0};
    PhotoDefaults same = project.defaults();
    EXPECT_FALSE(project.NewDefaultsChangePhotos({8, 4, kPolicySequence, 0}));  // empty list
    project.AppendPhoto("/a");
    EXPECT_FALSE(project.NewDefaultsChangePhotos(same));
    EXPECT_FALSE(project.NewDefaultsChangePhotos({8, 4, kPolicyRandom, 5}));  // index alone
    EXPECT_TRUE(project.NewDefaultsChangePhotos({8, 4, kPolicySequence, 0}));
    EXPECT_TRUE(project.NewDefaultsChangePhotos({8, 3, kPolicyRandom, 0}));
    project.defaults().policy = kPolicySame;
    EXPECT_TRUE(project.NewDefaultsChangePhotos({8, 4, kPolicySame, 5}));
    EXPECT_FALSE(project.NewDefaultsChangePhotos({8, 4, kPolicySame, 0}));
}

TEST(SlideshowProject, RefreshAppliesDurationsAndThePolicy) {
    SlideshowProject project = TenPhotos();  // Sequence: transitions 0..9
    project.TakeOverDefaults({3, 1, kPolicySame, 5}, true);
    for (const PhotoItem& p : project.photos()) {
        EXPECT_DOUBLE_EQ(p.durationSec, 3);
        EXPECT_DOUBLE_EQ(p.transitionDurationSec, 1);
        EXPECT_EQ(p.transition, 5);
    }
    EXPECT_EQ(project.defaults().policy, kPolicySame);
    EXPECT_EQ(project.defaults().sameIndex, 5);
}

TEST(SlideshowProject, RandomThatStaysRandomKeepsEachTransition) {
    SlideshowProject project;
    project.random().Seed(5);
    for (int i = 0; i < 30; ++i) project.AppendPhoto("/x");
    std::vector<int> before;
    for (const auto& p : project.photos()) before.push_back(p.transition);
    project.TakeOverDefaults({2, 1, kPolicyRandom, 0}, true);
    for (int i = 0; i < 30; ++i) {
        EXPECT_EQ(project.photos()[i].transition, before[i]);
        EXPECT_DOUBLE_EQ(project.photos()[i].durationSec, 2);
    }

    // Changing to Random draws anew, in list order, from the generator.
    project.TakeOverDefaults({2, 1, kPolicySequence, 0}, true);
    CrtRandom expected;
    expected.Seed(77);
    project.random().Seed(77);
    project.TakeOverDefaults({2, 1, kPolicyRandom, 0}, true);
    for (int i = 0; i < 30; ++i) EXPECT_EQ(project.photos()[i].transition, expected.Next() % 47);
}

TEST(SlideshowProject, DeclinedRefreshStillTakesOverTheDefaults) {
    SlideshowProject project = TenPhotos();
    project.TakeOverDefaults({3, 1, kPolicySame, 5}, false);
    EXPECT_DOUBLE_EQ(project.photos()[4].durationSec, 8);
    EXPECT_EQ(project.photos()[4].transition, 4);
    EXPECT_DOUBLE_EQ(project.defaults().photoDurationSec, 3);
    EXPECT_EQ(project.defaults().policy, kPolicySame);
    project.AppendPhoto("/new");
    EXPECT_EQ(project.photos().back().transition, 5);
}
