// Shows on the command line: saved and read back to the same timeline, rendered with their own
// output settings after their folder moved, overridden by options, fitted to the music; and the
// compressors a show names, bound by the window's rules.

#include <gtest/gtest.h>

#include <filesystem>

#include "app/settings_table.h"
#include "app/show_output.h"
#include "platform/shell/profile_store.h"
#include "tests/support/kavrel_render_run.h"
#include "tests/support/media_reader.h"
#include "tests/support/recording_message_boxes.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_media.h"

namespace fs = std::filesystem;

namespace {

// Photos p0..p{count-1}.png of 96 x 64 and a tone of `toneSec` in `folder` below the test's folder.
void MakeMedia(const TempDir& dir, const std::string& folder, int count, double toneSec) {
    fs::create_directories(dir.path() / folder);
    for (int i = 0; i < count; ++i) {
        ASSERT_EQ(
            WritePhoto(dir.File(folder + "/p" + std::to_string(i) + ".png"), 96, 64, i, "png"), "");
    }
    WriteToneWav(dir.File(folder + "/tone.wav"), toneSec);
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

}  // namespace

TEST(ShowOnTheCommandLine, ASavedShowGivesTheTimelineOfItsArguments) {
    TempDir dir;
    MakeMedia(dir, "trip", 3, 2.0);
    const std::string show =
        "--policy random --seed 77 --motion random --motion-amount 30 --motion-pace eased "
        "--framing blur --fade-out 1.5 --photo-duration 2.5 --transition-duration 0.75 "
        "--size 1280x720 --music trip/tone.wav trip/p0.png trip/p1.png trip/p2.png trip/p0.png";
    const Outcome original = KavrelRender(dir, "--dump-timeline " + show);
    ASSERT_EQ(original.status, 0) << original.out;
    EXPECT_NE(original.out.find("name=\"" + dir.File("trip/p1.png") + "\""), std::string::npos)
        << original.out;

    const Outcome saved = KavrelRender(dir, "--save-show trip/trip.kavrel " + show);
    ASSERT_EQ(saved.status, 0) << saved.out;
    EXPECT_EQ(Slurp(dir.File("trip/trip.kavrel")).find(dir.path().string()), std::string::npos)
        << "the files below the show's folder are named relative to it";
    const Outcome reopened = KavrelRender(dir, "trip/trip.kavrel --dump-timeline");
    ASSERT_EQ(reopened.status, 0) << reopened.out;
    EXPECT_EQ(reopened.out, original.out);
}

TEST(ShowOnTheCommandLine, AMovedShowRendersWithItsOwnOutputSettings) {
    TempDir dir;
    MakeMedia(dir, "trip", 2, 1.0);
    const Outcome first =
        KavrelRender(dir,
                     "--photo-duration 1 --transition-duration 0.5 --size 96x64 "
                     "--video-compressor mjpeg --music trip/tone.wav "
                     "--save-show trip/trip.kavrel -o trip/show.avi trip/p0.png trip/p1.png");
    ASSERT_EQ(first.status, 0) << first.out;
    ASSERT_TRUE(fs::exists(dir.File("trip/show.avi")));
    fs::create_directories(dir.path() / "elsewhere");
    fs::rename(dir.path() / "trip", dir.path() / "elsewhere" / "trip");

    const Outcome kept = KavrelRender(dir, "elsewhere/trip/trip.kavrel");
    EXPECT_EQ(kept.status, 2);
    EXPECT_NE(kept.out.find("exists; give -o"), std::string::npos) << kept.out;
    fs::remove(dir.File("elsewhere/trip/show.avi"));
    const Outcome moved = KavrelRender(dir, "elsewhere/trip/trip.kavrel");
    ASSERT_EQ(moved.status, 0) << moved.out;
    const VideoReadBack back = ReadVideoFile(dir.File("elsewhere/trip/show.avi"), {});
    EXPECT_EQ(back.videoCodec, "mjpeg");
    EXPECT_EQ(back.width, 96);
    EXPECT_EQ(back.height, 64);
    EXPECT_EQ(back.frames, 48);
    EXPECT_EQ(back.decodeErrors, 0);

    const Outcome bigger =
        KavrelRender(dir, "elsewhere/trip/trip.kavrel --size 128x96 -o other.mkv");
    ASSERT_EQ(bigger.status, 0) << bigger.out;
    const VideoReadBack other = ReadVideoFile(dir.File("other.mkv"), {});
    EXPECT_EQ(other.width, 128);
    EXPECT_EQ(other.videoCodec, "mjpeg");  // the show's compressor, in the container -o names
    const Outcome filled =
        KavrelRender(dir, "elsewhere/trip/trip.kavrel --framing fill --dump-timeline");
    EXPECT_NE(filled.out.find("value=\"fill\""), std::string::npos) << filled.out;
}

TEST(ShowOnTheCommandLine, FitToTheMusicAndItsRefusal) {
    TempDir dir;
    MakeMedia(dir, "f", 4, 6.0);
    const Outcome fitted = KavrelRender(
        dir,
        "--fit-to-music --transition-duration 2 --music f/tone.wav --dump-timeline f/p0.png "
        "f/p1.png f/p2.png f/p3.png");
    ASSERT_EQ(fitted.status, 0) << fitted.out;
    EXPECT_NE(fitted.out.find("start=\"37500000\" stop=\"60000000\""), std::string::npos)
        << fitted.out;  // 1.5 s each
    EXPECT_EQ(Count(fitted.out, "tone.wav"), 1u) << "the music began again";

    std::string many;
    for (int i = 0; i < 13; ++i) many += " f/p0.png";
    const Outcome refused =
        KavrelRender(dir,
                     "--fit-to-music --transition-duration 0 --music f/tone.wav "
                     "--dump-timeline" +
                         many);
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.out.find("only 0.462 s, less than 0.5 s"), std::string::npos) << refused.out;
}

TEST(ShowOnTheCommandLine, ShowsThatCannotBeUsedAreRefused) {
    TempDir dir;
    MakeMedia(dir, "s", 1, 1.0);
    dir.Write("cut.kavrel", R"({"type":"kavrel-show","version":1,"photos":[{"path":"s/p0.png",)");
    dir.Write("new.kavrel", R"({"type":"kavrel-show","version":7,"photos":[]})");
    dir.Write(
        "gone.kavrel",
        R"({"type":"kavrel-show","version":1,"photos":[{"path":"s/nope.png","duration":1}]})");
    const Outcome cut = KavrelRender(dir, "cut.kavrel --dump-timeline");
    EXPECT_EQ(cut.status, 2);
    EXPECT_NE(
        cut.out.find("The show cut.kavrel cannot be opened.\nThe file is damaged or incomplete"),
        std::string::npos)
        << cut.out;
    const Outcome newer = KavrelRender(dir, "new.kavrel --dump-timeline");
    EXPECT_NE(newer.out.find("saved by a newer Kavrel (show format 7)"), std::string::npos)
        << newer.out;
    const Outcome gone = KavrelRender(dir, "gone.kavrel --dump-timeline");
    EXPECT_EQ(gone.status, 2);
    EXPECT_NE(gone.out.find("Cannot read the photo file " + dir.File("s/nope.png")),
              std::string::npos)
        << gone.out;
    const Outcome mixed = KavrelRender(dir, "gone.kavrel --transition-duration 1");
    EXPECT_EQ(mixed.status, 2);
    EXPECT_NE(mixed.out.find("Try 'kavrel-render --help'."), std::string::npos);
    const Outcome help = KavrelRender(dir, "--help");
    for (const char* option : {"SHOW.kavrel", "--save-show", "--fit-to-music"}) {
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    }
}

// The names a show keeps for compressors come back as the same Compressor numbers.
TEST(ShowOutput, CompressorsByNameAndBackAsTheWindowBindsThem) {
    RecordingMessageBoxes boxes;
    const CompressorServices s{boxes, nullptr};
    const std::vector<std::string> video = FillVideoCompressorList(s);
    ASSERT_GT(video.size(), 3u);
    for (int n = 0; n + 1 < static_cast<int>(video.size()); ++n) {
        const std::string name = CompressorNameInUse(s, true, n, true);
        EXPECT_EQ(name, video[static_cast<std::size_t>(n) + 1]);
        EXPECT_EQ(CompressorNumberOfName(s, true, name), n) << name;
    }
    int divx = -1;
    ASSERT_TRUE(FindDivXCompressor(s, &divx));
    EXPECT_EQ(CompressorNameInUse(s, true, -2, true), video[static_cast<std::size_t>(divx) + 1]);
    EXPECT_EQ(CompressorNameInUse(s, true, 3, false), kNoCompressorName);
    EXPECT_EQ(CompressorNumberOfName(s, false, kNoCompressorName), -1);
    EXPECT_EQ(CompressorNumberOfName(s, false, ""), -2);
    EXPECT_EQ(CompressorNumberOfName(s, true, "no such codec"), std::nullopt);
    int x264 = -1;
    ASSERT_TRUE(FindCompressorByName(s, true, "libx264", &x264));
    EXPECT_EQ(CompressorNumberOfName(s, true, "libx264"), x264);  // as kavrel-render names it

    TempDir dir;
    ProfileStore store(dir.File("settings.ini"));
    OutputSettings out;
    out.path = "/v/show.mkv";
    out.format = 2;
    out.width = 320;
    HeldCompressors held;
    StoreOutputSettings(store, s, x264, -1, &out, &held);
    EXPECT_EQ(ReadInt(store, settings::kVideoCompressor), x264);
    EXPECT_EQ(ReadInt(store, settings::kAudioCompressor), -1);
    EXPECT_EQ(ReadText(store, settings::kOutputName), "/v/show.mkv");
    EXPECT_EQ(ReadInt(store, settings::kOutputFormat), 2);
    EXPECT_EQ(ReadInt(store, settings::kOutputWidth), 320);
    EXPECT_EQ(out.useVideoCompressor, 1);
    EXPECT_NE(held.video.filter, nullptr);
    EXPECT_EQ(out.useAudioCompressor, 0);
    held.audio.use = false;
    StoreOutputSettings(store, s, -2, -2, &out, &held);  // the defaults, found again
    EXPECT_EQ(out.useAudioCompressor, 1);
    EXPECT_TRUE(boxes.shown.empty());
}
