#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/recent_shows.h"
#include "app/settings_table.h"
#include "platform/shell/divx_feedback.h"
#include "platform/shell/profile_store.h"
#include "settings/output_extension.h"
#include "tests/support/recording_message_boxes.h"
#include "tests/support/temp_dir.h"

namespace {

void ExpectDefaults(const ProfileStore& store) {
    using namespace settings;
    EXPECT_EQ(ReadText(store, kOutputName), "");
    EXPECT_EQ(ReadInt(store, kOutputWidth), 640);
    EXPECT_EQ(ReadInt(store, kOutputHeight), 480);
    EXPECT_EQ(ReadInt(store, kOutputFormat), 1);
    EXPECT_EQ(ReadInt(store, kVideoBitrate), 2048000);
    EXPECT_EQ(ReadInt(store, kAudioBitrate), 192000);
    EXPECT_EQ(ReadInt(store, kFileProfile), 0);
    EXPECT_EQ(ReadInt(store, kVideoCompressor), -2);
    EXPECT_EQ(ReadInt(store, kAudioCompressor), -2);
    EXPECT_EQ(ReadText(store, kCurrentLanguage), "english");
    EXPECT_EQ(ReadText(store, kLastPhotoFolder), "");
    PhotoDefaults d = ReadPhotoDefaults(store);
    EXPECT_DOUBLE_EQ(d.photoDurationSec, 8);
    EXPECT_DOUBLE_EQ(d.transitionDurationSec, 4);
    EXPECT_EQ(d.policy, 0);
    EXPECT_EQ(d.sameIndex, 0);
    EXPECT_DOUBLE_EQ(ReadMusicFadeOut(store), 2);
}

}  // namespace

TEST(SettingsStore, EmptyStoreGivesEveryDefault) {
    TempDir dir;
    ProfileStore store(dir.File("kavrel.ini"));
    ExpectDefaults(store);
    EXPECT_FALSE(std::filesystem::exists(dir.File("kavrel.ini")));  // reading writes nothing
}

TEST(SettingsStore, ValuesSurviveARestart) {
    TempDir dir;
    {
        ProfileStore store(dir.File("kavrel.ini"));
        WriteText(store, settings::kOutputName, "/home/me/Videos/show, final.avi");
        WriteInt(store, settings::kOutputWidth, 1280);
        WriteInt(store, settings::kVideoCompressor, -1);
        WriteText(store, settings::kLastPhotoFolder, "/home/me/Pictures/");
        WritePhotoDefaults(store, {8, 2, 2, 3});
    }
    ProfileStore store(dir.File("kavrel.ini"));
    EXPECT_EQ(ReadText(store, settings::kOutputName), "/home/me/Videos/show, final.avi");
    EXPECT_EQ(ReadInt(store, settings::kOutputWidth), 1280);
    EXPECT_EQ(ReadInt(store, settings::kVideoCompressor), -1);  // "none", not "choose"
    EXPECT_EQ(ReadInt(store, settings::kAudioCompressor), -2);
    EXPECT_EQ(ReadText(store, settings::kLastPhotoFolder), "/home/me/Pictures/");
    PhotoDefaults d = ReadPhotoDefaults(store);
    EXPECT_DOUBLE_EQ(d.transitionDurationSec, 2);
    EXPECT_EQ(d.policy, 2);
    EXPECT_EQ(d.sameIndex, 3);
    std::string file = Slurp(dir.File("kavrel.ini"));
    EXPECT_NE(file.find("[TransitionSettings]"), std::string::npos) << file;
    EXPECT_NE(file.find("mf_PhotoDuration=8.000000"), std::string::npos) << file;
    EXPECT_NE(file.find("mf_TransitionDuration=2.000000"), std::string::npos) << file;
    EXPECT_EQ(file.find("b_file_profile"), std::string::npos);
}

TEST(SettingsStore, GarbageYieldsDefaults) {
    TempDir dir;
    std::string bytes = "\x7f" "ELF\x01\x02[Settings\n\0\0OutputWidth==\xff\xfe\n[";
    bytes += std::string(100000, 'x');
    ProfileStore binary(dir.Write("garbage.ini", bytes));
    ExpectDefaults(binary);

    ProfileStore wrongTypes(dir.Write("types.ini",
                                      "[Settings]\nOutputWidth=wide\nOutputHigh=4294967296\n"
                                      "n_video_bitrate=12abc\n[TransitionSettings]\n"
                                      "mf_PhotoDuration=long\nmf_TransitionDuration=2.5s\n"));
    EXPECT_EQ(ReadInt(wrongTypes, settings::kOutputWidth), 640);
    EXPECT_EQ(ReadInt(wrongTypes, settings::kOutputHeight), 480);
    EXPECT_EQ(ReadInt(wrongTypes, settings::kVideoBitrate), 2048000);
    PhotoDefaults d = ReadPhotoDefaults(wrongTypes);
    EXPECT_DOUBLE_EQ(d.photoDurationSec, 0);  // not a number reads as 0, as strtod does
    EXPECT_DOUBLE_EQ(d.transitionDurationSec, 2.5);

    std::filesystem::create_directory(dir.File("folder.ini"));
    ProfileStore folder(dir.File("folder.ini"));
    ExpectDefaults(folder);
    WriteInt(folder, settings::kOutputWidth, 800);  // lost silently
}

TEST(SettingsStore, HandEditedTextWithCommasIsOneText) {
    TempDir dir;
    ProfileStore store(dir.Write("kavrel.ini", "[Settings]\nOutputName=/v/a, b, c.avi\n"));
    EXPECT_EQ(ReadText(store, settings::kOutputName), "/v/a, b, c.avi");
}

TEST(SettingsStore, FontValuesBelongToTheirLanguage) {
    TempDir dir;
    ProfileStore store(dir.File("kavrel.ini"));
    store.WriteProfileInt("German", "lfWeight", 700);
    store.WriteProfileString("German", "lfFaceName", "DejaVu Serif");
    EXPECT_EQ(store.GetProfileInt("German", "lfWeight", 400), 700);
    EXPECT_EQ(store.GetProfileInt("French", "lfWeight", 400), 400);
    EXPECT_EQ(store.GetProfileString("french", "lfFaceName", "Microsoft Sans Serif"),
              "Microsoft Sans Serif");
    ASSERT_EQ(settings::kInterfaceFont.size(), 13u);
    EXPECT_EQ(settings::kInterfaceFont[0].key, "lfHeight");
    EXPECT_EQ(settings::kInterfaceFont[0].intDefault, -11);
    EXPECT_EQ(settings::kInterfaceFont[8].intDefault, 1);  // lfCharSet
}

TEST(SettingsStore, ProgramStoreLivesAtTheConfigPlace) {
    auto store = ProfileStore::ForScope(kSettingsOrganization, "kavrel");
    std::string file = store->FileName();
    EXPECT_NE(file.find("/QuillfenStudio/kavrel.ini"), std::string::npos) << file;
}

TEST(SettingsStore, DefaultOutputNameIsInTheVideosFolder) {
    EXPECT_EQ(DefaultOutputName("/home/me/Videos", "/home/me"), "/home/me/Videos/photo.avi");
    EXPECT_EQ(DefaultOutputName("/home/me/Videos/", "/home/me"), "/home/me/Videos/photo.avi");
    EXPECT_EQ(DefaultOutputName("", "/home/me"), "/home/me/photo.avi");
    EXPECT_EQ(DefaultOutputName("", "/"), "/photo.avi");
    std::string real = DefaultOutputName();
    EXPECT_EQ(real.substr(real.size() - 10), "/photo.avi");
    EXPECT_EQ(real[0], '/');

    // A first start: the stored default format (WMV) gives the name its extension.
    TempDir dir;
    ProfileStore store(dir.File("kavrel.ini"));
    RecordingMessageBoxes boxes;
    std::string name;
    ASSERT_TRUE(ApplyOutputExtension(ReadInt(store, settings::kOutputFormat),
                                     DefaultOutputName("/home/me/Videos", "/home/me"), &name,
                                     boxes));
    EXPECT_EQ(name, "/home/me/Videos/photo.wmv");
}

TEST(SettingsStore, DurationTexts) {
    EXPECT_DOUBLE_EQ(ParseDurationText("8"), 8);
    EXPECT_DOUBLE_EQ(ParseDurationText(" 2.25 "), 2.25);
    EXPECT_DOUBLE_EQ(ParseDurationText("5s"), 5);
    EXPECT_DOUBLE_EQ(ParseDurationText(""), 0);
    EXPECT_DOUBLE_EQ(ParseDurationText("x5"), 0);
    EXPECT_EQ(FormatDurationText(8), "8.000000");
    EXPECT_EQ(FormatDurationText(0.001), "0.001000");
}

TEST(DivXFeedback, OnlyAnExistingValueIsTouched) {
    TempDir dir;
    {
        ProfileStore none(dir.File("none.ini"));
        DisableDivXFeedback(none);
        EXPECT_FALSE(none.Contains("", "Disable feedback"));
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("none.ini")));

    ProfileStore zero(dir.Write("zero.ini", "[General]\nDisable feedback=0\n"));
    DisableDivXFeedback(zero);
    EXPECT_EQ(zero.GetProfileInt("", "Disable feedback", -1), 1);

    ProfileStore wide(dir.Write("wide.ini", "[General]\nDisable feedback=512\n"));
    DisableDivXFeedback(wide);
    EXPECT_EQ(wide.GetProfileInt("", "Disable feedback", -1), 513);

    ProfileStore text(dir.Write("text.ini", "[General]\nDisable feedback=no\n"));
    DisableDivXFeedback(text);
    EXPECT_EQ(text.GetProfileString("", "Disable feedback", ""), "\x01o");
}

TEST(SettingsStore, TheMusicsFadeOutIsKeptBesideTheTransitionDefaults) {
    TempDir dir;
    {
        ProfileStore store(dir.File("kavrel.ini"));
        WriteMusicFadeOut(store, 3.5);
    }
    ProfileStore store(dir.File("kavrel.ini"));
    EXPECT_DOUBLE_EQ(ReadMusicFadeOut(store), 3.5);
    EXPECT_EQ(store.GetProfileString("TransitionSettings", "mf_MusicFadeOut", ""), "3.500000");
    WriteMusicFadeOut(store, 0);
    EXPECT_DOUBLE_EQ(ReadMusicFadeOut(store), 0);  // off
    WriteText(store, settings::kMusicFadeOut, "-4");
    EXPECT_DOUBLE_EQ(ReadMusicFadeOut(store), 0);
    WriteText(store, settings::kMusicFadeOut, "soft");
    EXPECT_DOUBLE_EQ(ReadMusicFadeOut(store), 0);
}

TEST(SettingsStore, MotionAndFramingAreKeptWithTheTransitionSettings) {
    TempDir dir;
    {
        ProfileStore store(dir.File("kavrel.ini"));
        const PhotoDefaults d = ReadPhotoDefaults(store);
        EXPECT_EQ(d.motionPolicy, kMotionPolicyNone);
        EXPECT_EQ(d.sameMotion, MotionKind::ZoomIn);
        EXPECT_EQ(d.motionAmountPercent, 15);
        EXPECT_FALSE(d.motionEased);
        EXPECT_EQ(d.framing, Framing::Fit);
        PhotoDefaults changed = d;
        changed.motionPolicy = kMotionPolicySame;
        changed.sameMotion = MotionKind::PanDown;
        changed.motionAmountPercent = 40;
        changed.motionEased = true;
        changed.framing = Framing::Blur;
        WritePhotoDefaults(store, changed);
    }
    ProfileStore store(dir.File("kavrel.ini"));
    const PhotoDefaults d = ReadPhotoDefaults(store);
    EXPECT_EQ(d.motionPolicy, kMotionPolicySame);
    EXPECT_EQ(d.sameMotion, MotionKind::PanDown);
    EXPECT_EQ(d.motionAmountPercent, 40);
    EXPECT_TRUE(d.motionEased);
    EXPECT_EQ(d.framing, Framing::Blur);
    const std::string file = Slurp(dir.File("kavrel.ini"));
    const std::size_t section = file.find("[TransitionSettings]");
    for (const char* line : {"MotionPolicy=2", "SameMotion=6", "MotionAmount=40", "MotionEasing=1", "Framing=1"}) {
        EXPECT_GT(file.find(line), section) << line << "\n" << file;
        EXPECT_NE(file.find(line), std::string::npos) << line << "\n" << file;
    }
}

TEST(SettingsStore, MotionValuesOutOfRangeReadAsTheirDefaults) {
    TempDir dir;
    ProfileStore store(dir.Write("kavrel.ini", "[TransitionSettings]\nMotionPolicy=9\nSameMotion=0\n"
                                               "MotionAmount=101\nMotionEasing=7\nFraming=-1\n"));
    const PhotoDefaults d = ReadPhotoDefaults(store);
    EXPECT_EQ(d.motionPolicy, kMotionPolicyNone);
    EXPECT_EQ(d.sameMotion, MotionKind::ZoomIn);
    EXPECT_EQ(d.motionAmountPercent, 15);
    EXPECT_FALSE(d.motionEased);
    EXPECT_EQ(d.framing, Framing::Fit);
}

TEST(SettingsStore, RecentShowsKeepTheLastEightNewestFirstWithoutRepeats) {
    TempDir dir;
    ProfileStore store(dir.File("kavrel.ini"));
    for (int i = 1; i <= 9; ++i) RememberRecentShow(store, "/shows/" + std::to_string(i) + ".kavrel");
    RememberRecentShow(store, "/shows/5.kavrel");
    const std::vector<std::string> expected{"/shows/5.kavrel", "/shows/9.kavrel", "/shows/8.kavrel",
                                            "/shows/7.kavrel", "/shows/6.kavrel", "/shows/4.kavrel",
                                            "/shows/3.kavrel", "/shows/2.kavrel"};
    EXPECT_EQ(ReadRecentShows(store), expected);
    EXPECT_EQ(ReadRecentShows(ProfileStore(dir.File("kavrel.ini"))), expected) << "kept in the file";
    ClearRecentShows(store);
    EXPECT_TRUE(ReadRecentShows(store).empty());
}
