// Show files: every value back exactly, paths that move with their folder, files refused with a
// reason and nothing changed, and writing that never leaves half a file.

#include "app/show_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>

#include "tests/support/pipe_guard.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

Show FullShow(const std::string& folder) {
    Show show;
    show.photos = {{folder + "/a/one.jpg", 1.0 / 3, 46, 0.1 + 0.2, MotionKind::PanUp},
                   {folder + "/two.jpg", 65535.999, 0, 0, MotionKind::None},
                   {"/elsewhere/three.heic", 0.001, 17, 600, MotionKind::ZoomOut},
                   // The extremes the photo dialog takes: what truncates to 65535 or to 0, what is
                   // 600 or 0 in single precision.
                   {"/four.png", std::nextafter(65536.0, 0.0), 1, 600.00003, MotionKind::None},
                   {"/five.png", -1e-300, 2, -1e-300, MotionKind::None}};
    show.music = {{folder + "/music/song.mp3", 0, {12'500'000, 1'800'000'000, -6.5, 3}},
                  {"/elsewhere/b.flac", 0, {}}};
    show.musicMix = {true, -23, 4.5};
    show.framing = Framing::Blur;
    show.motionAmountPercent = 37;
    show.motionEased = true;
    show.musicFadeOutSec = 2.5;
    show.facesAimed = true;
    show.photos[0].framing = {Framing::Fill, 60, PhotoRect{-0.25, 0.1, 1.5, 0.5625}, PhotoRect{0.3, 1.0 / 3, 0.2, 0.2}};
    show.photos[2].framing.framing = Framing::Fit;
    show.photos[1].caption = {"Beach at dawn\nПривет — 你好", CaptionPlace::Top};
    PhotoItem card = show.photos[0];
    card.path.clear();
    card.title = TitleCard{"Summer\nItaly", "Serif Italic", 0.125, 0xFFCC00, TextAlign::Right,
                           TitleBackground::Colour, 0x102030};
    show.photos.push_back(card);
    show.photos[2].title = TitleCard{"Over it", "Sans", 0.05, 0x000000, TextAlign::Left,
                                     TitleBackground::BlurredPhoto, 0x000000};
    show.captionStyle = {"DejaVu Serif", 0.0625, 0x00FF80, CaptionBacking::Box, true, CaptionSource::Date,
                         CaptionOutput::Subtitles};
    show.output = {kFormatMkv,
                   folder + "/out/show.mkv",
                   1280,
                   720,
                   "MPEG-4 part 2 (mpeg4)",
                   kNoCompressorName,
                   5120,
                   320000};
    return show;
}

void ExpectSameShow(const Show& a, const Show& b) {
    ASSERT_EQ(a.photos.size(), b.photos.size());
    for (std::size_t i = 0; i < a.photos.size(); ++i) {
        EXPECT_EQ(a.photos[i].path, b.photos[i].path);
        EXPECT_EQ(a.photos[i].durationSec, b.photos[i].durationSec) << i;  // exactly, not nearly
        EXPECT_EQ(a.photos[i].transition, b.photos[i].transition);
        EXPECT_EQ(a.photos[i].transitionDurationSec, b.photos[i].transitionDurationSec) << i;
        EXPECT_EQ(a.photos[i].motion, b.photos[i].motion);
        EXPECT_EQ(a.photos[i].title, b.photos[i].title) << i;
        EXPECT_EQ(a.photos[i].caption, b.photos[i].caption) << i;
        EXPECT_EQ(a.photos[i].framing, b.photos[i].framing) << i;
    }
    EXPECT_EQ(a.captionStyle, b.captionStyle);
    EXPECT_EQ(a.music, b.music);
    EXPECT_EQ(a.framing, b.framing);
    EXPECT_EQ(a.motionAmountPercent, b.motionAmountPercent);
    EXPECT_EQ(a.motionEased, b.motionEased);
    EXPECT_EQ(a.facesAimed, b.facesAimed);
    EXPECT_EQ(a.musicFadeOutSec, b.musicFadeOutSec);
    EXPECT_EQ(a.musicMix, b.musicMix);
    EXPECT_EQ(a.output.format, b.output.format);
    EXPECT_EQ(a.output.path, b.output.path);
    EXPECT_EQ(a.output.width, b.output.width);
    EXPECT_EQ(a.output.height, b.output.height);
    EXPECT_EQ(a.output.videoCompressor, b.output.videoCompressor);
    EXPECT_EQ(a.output.audioCompressor, b.output.audioCompressor);
    EXPECT_EQ(a.output.videoBitrate, b.output.videoBitrate);
    EXPECT_EQ(a.output.audioBitrate, b.output.audioBitrate);
}

// A show the tests can tell apart from anything a file holds.
Show Untouched() {
    Show show;
    show.music = {{"/untouched.wav", 0, {}}};
    return show;
}

}  // namespace

TEST(ShowFile, EveryValueComesBackExactly) {
    TempDir dir;
    const Show show = FullShow(dir.path().string());
    const std::string file = dir.File("holiday.kavrel");
    ASSERT_FALSE(WriteShowFile(file, show));
    Show read;
    ASSERT_FALSE(ReadShowFile(file, &read));
    ExpectSameShow(show, read);

    // Nothing chosen falls back to what a show without those values has.
    Show bare;
    ASSERT_FALSE(
        ParseShow(R"({"type":"kavrel-show","version":1,"photos":[{"path":"/p.jpg","duration":5}]})",
                  "/f", &bare));
    EXPECT_EQ(bare.photos.at(0).transition, 0);
    EXPECT_EQ(bare.photos[0].motion, MotionKind::None);
    EXPECT_TRUE(bare.music.empty());
    EXPECT_EQ(bare.framing, Framing::Fit);
    EXPECT_EQ(bare.musicFadeOutSec, kDefaultMusicFadeOutSec);
    EXPECT_EQ(bare.musicMix, kMusicMixOfOldShows);
    EXPECT_FALSE(bare.facesAimed);  // kept before faces were looked for: moves as it did
    EXPECT_EQ(bare.photos[0].framing, PhotoFraming());
    EXPECT_EQ(bare.output.format, kFormatWmv);
    EXPECT_TRUE(bare.output.videoCompressor.empty());
    EXPECT_EQ(bare.captionStyle, CaptionStyle());  // a show of before captions has none
    EXPECT_FALSE(bare.photos[0].IsTitle());
}

TEST(ShowFile, PathsBelowTheShowsFolderMoveWithIt) {
    TempDir dir;
    const fs::path original = dir.path() / "trip";
    fs::create_directories(original);
    Show show = FullShow(original.string());
    show.photos[1].path =
        original.string() + "/sub/../../outside.jpg";  // leaves the folder: kept whole
    ASSERT_FALSE(WriteShowFile((original / "trip.kavrel").string(), show));
    const std::string text = Slurp((original / "trip.kavrel").string());
    EXPECT_NE(text.find("\"a/one.jpg\""), std::string::npos) << text;
    EXPECT_NE(text.find("\"music/song.mp3\""), std::string::npos);
    EXPECT_NE(text.find("\"out/show.mkv\""), std::string::npos);
    EXPECT_NE(text.find("\"/elsewhere/three.heic\""), std::string::npos);
    EXPECT_NE(text.find("\"" + original.string() + "/sub/../../outside.jpg\""), std::string::npos);

    const fs::path moved = dir.path() / "copied" / "trip";
    fs::create_directories(moved.parent_path());
    fs::rename(original, moved);
    Show read;
    ASSERT_FALSE(ReadShowFile((moved / "trip.kavrel").string(), &read));
    EXPECT_EQ(read.photos.at(0).path, moved.string() + "/a/one.jpg");
    EXPECT_EQ(read.photos[1].path, show.photos[1].path);
    EXPECT_EQ(read.photos[2].path, "/elsewhere/three.heic");
    EXPECT_EQ(read.music[0].path, moved.string() + "/music/song.mp3");
    EXPECT_EQ(read.music[1].path, "/elsewhere/b.flac");
    EXPECT_EQ(read.output.path, moved.string() + "/out/show.mkv");
    // A show named through "." or ".." resolves from the folder it is really in.
    EXPECT_EQ(ShowFolderOf(moved.string() + "/./x/../trip.kavrel"), moved.string());
}

TEST(ShowFile, WhatIsNotAUsableShowIsRefusedWithItsReason) {
    const std::string head = R"({"type":"kavrel-show","version":1,)";
    const std::string photo = R"("photos":[{"path":"/p.jpg","duration":5}])";
    const std::string kBadSize = "output.width and height must be even numbers from 16 to 8192, or both 0";
    std::string thousandAndOne = head + "\"photos\":[";
    for (int i = 0; i < 1001; ++i)
        thousandAndOne += std::string(i ? "," : "") + R"({"path":"/p.jpg","duration":1})";
    thousandAndOne += "]}";
    struct Case {
        std::string bytes;
        ShowFileProblem problem;
        std::string detail;  // empty: any
    };
    const std::vector<Case> cases = {
        {"", ShowFileProblem::Damaged, ""},
        {head + photo, ShowFileProblem::Damaged, ""},  // cut short
        {"\xFF\xD8\xFF\xE0 a photo", ShowFileProblem::Damaged, ""},
        {"[1, 2]", ShowFileProblem::Foreign, ""},
        {R"({"type":"playlist","version":1})", ShowFileProblem::Foreign, ""},
        {R"({"photos":[]})", ShowFileProblem::Foreign, ""},
        {R"({"type":"kavrel-show","version":3,"photos":[]})", ShowFileProblem::NewerVersion, "3"},
        // A field of a later Kavrel is refused, never dropped on the next save.
        {head + photo + R"(,"loudness":-16})", ShowFileProblem::BadValue,
         "loudness is not a field this Kavrel knows"},
        {head + R"("photos":[{"path":"/p.jpg","duration":5,"focus":[1,2]}]})", ShowFileProblem::BadValue,
         "photos[1].focus is not a field this Kavrel knows"},
        {head + photo + R"(,"captions":{"font":"Sans","shadowBlur":3}})", ShowFileProblem::BadValue,
         "captions.shadowBlur is not a field this Kavrel knows"},
        {head + R"("photos":[{"duration":5}]})", ShowFileProblem::BadValue, "photos[1].path is missing"},
        {head + R"("photos":[{"duration":5,"title":{"text":"Hi","background":"over-photo"}}]})",
         ShowFileProblem::BadValue, "photos[1].path is missing: the title's background is a photo"},
        {head + R"("photos":[{"duration":5,"title":{"font":"Sans"}}]})", ShowFileProblem::BadValue,
         "photos[1].title.text is missing"},
        {head + R"("photos":[{"path":"/p.jpg","duration":5,"caption":{"text":"a\nb\nc"}}]})",
         ShowFileProblem::BadValue, "photos[1].caption.text has more than 2 lines"},
        {head + R"("photos":[{"duration":5,"title":{"text":"Hi","colour":"red"}}]})", ShowFileProblem::BadValue,
         "photos[1].title.colour is not a name Kavrel knows"},
        {head + photo + R"(,"captions":{"size":0.9}})", ShowFileProblem::BadValue,
         "captions.size must be a number from 0.01 to 0.5"},
        {head + photo + R"(,"captions":{"moveWithPhoto":"yes"}})", ShowFileProblem::BadValue,
         "captions.moveWithPhoto must be true or false"},
        {R"({"type":"kavrel-show","version":"1","photos":[]})", ShowFileProblem::BadValue,
         "version must be a whole number from 1"},
        {R"({"type":"kavrel-show","version":1.5,"photos":[]})", ShowFileProblem::BadValue, ""},
        {R"({"type":"kavrel-show","version":1})", ShowFileProblem::BadValue, "photos is missing"},
        {head + R"("photos":[{"path":"/p.jpg","duration":-1}]})", ShowFileProblem::BadValue,
         "photos[1].duration must be a number from 0 up to below 65536"},
        {head + R"("photos":[{"path":"/p.jpg","duration":65536}]})", ShowFileProblem::BadValue,
         "photos[1].duration must be a number from 0 up to below 65536"},
        {head + R"("photos":[{"path":"/p.jpg","duration":9,"transitionDuration":600.001}]})",
         ShowFileProblem::BadValue, "photos[1].transitionDuration must be a number from 0 to 600"},
        {head + R"("photos":[{"path":"/p.jpg"}]})", ShowFileProblem::BadValue,
         "photos[1].duration is missing"},
        {head + R"("photos":[{"path":"/p.jpg","duration":5},{"path":"","duration":5}]})",
         ShowFileProblem::BadValue, "photos[2].path is empty"},
        {head + R"("photos":[{"path":"/p.jpg","duration":5,"transition":47}]})",
         ShowFileProblem::BadValue, "photos[1].transition must be a whole number from 0 to 46"},
        {head + R"("photos":[{"path":"/p.jpg","duration":5,"motion":"spin"}]})",
         ShowFileProblem::BadValue, "photos[1].motion is not a name Kavrel knows"},
        {head + R"("photos":[{"path":"/p\u0000.jpg","duration":5}]})", ShowFileProblem::BadValue,
         "photos[1].path holds a zero character"},
        {head + R"("photos":[{"path":")" + std::string(300, 'x') + R"(","duration":5}]})",
         ShowFileProblem::BadValue, "photos[1].path is longer than 259 bytes"},
        {head + R"("photos":["/p.jpg"]})", ShowFileProblem::BadValue,
         "photos[1] must be an object"},
        {thousandAndOne, ShowFileProblem::BadValue, "photos holds more than 1000 items"},
        {head + photo + R"(,"music":[{"path":5}]})", ShowFileProblem::BadValue,
         "music[1].path must be a text"},
        {head + photo + R"(,"music":[{"path":"/a.mp3","start":30,"end":30}]})", ShowFileProblem::BadValue,
         "music[1].end must come after the start"},
        {head + photo + R"(,"music":[{"path":"/a.mp3","volume":21}]})", ShowFileProblem::BadValue,
         "music[1].volume must be a number from -40 to 20"},
        {head + photo + R"(,"music":[{"path":"/a.mp3","fadeIn":-1}]})", ShowFileProblem::BadValue,
         "music[1].fadeIn must be a number from 0 to 60"},
        {head + photo + R"(,"mix":{"loudness":"loud"}})", ShowFileProblem::BadValue,
         "mix.loudness must be \"off\" or a number from -36 to -6"},
        {head + photo + R"(,"mix":{"loudness":-40}})", ShowFileProblem::BadValue,
         "mix.loudness must be a number from -36 to -6"},
        {head + photo + R"(,"mix":{"join":0.1}})", ShowFileProblem::BadValue,
         "mix.join must be a number from 0.2 to 10"},
        {head + photo + R"(,"framing":2})", ShowFileProblem::BadValue, "framing must be a text"},
        {head + R"("photos":[{"path":"/p.jpg","duration":5,"from":{"x":0,"y":0,"w":1,"h":1}}]})",
         ShowFileProblem::BadValue, "photos[1].to is missing: a drawn move has both views"},
        {head + R"("photos":[{"path":"/p.jpg","duration":5,"from":{"x":0,"y":0,"w":0,"h":1},"to":{"x":0,"y":0,"w":1,"h":1}}]})",
         ShowFileProblem::BadValue, "photos[1].from.w must be a number from 0.001 to 100"},
        {head + R"("photos":[{"path":"/p.jpg","duration":5,"framing":"crop"}]})", ShowFileProblem::BadValue,
         "photos[1].framing is not a name Kavrel knows"},
        {head + photo + R"(,"output":{"width":9000}})", ShowFileProblem::BadValue,
         "output.width must be a whole number from 0 to 8192"},
        // Frames and bitrates the encoders cannot take.
        {head + photo + R"(,"output":{"width":1,"height":1}})", ShowFileProblem::BadValue, kBadSize},
        {head + photo + R"(,"output":{"width":3,"height":3}})", ShowFileProblem::BadValue, kBadSize},
        {head + photo + R"(,"output":{"width":0,"height":480}})", ShowFileProblem::BadValue, kBadSize},
        {head + photo + R"(,"output":{"width":8,"height":8}})", ShowFileProblem::BadValue, kBadSize},
        {head + photo + R"(,"output":{"videoBitrate":-2048000}})", ShowFileProblem::BadValue,
         "output.videoBitrate must be a whole number from 1 to 2147483647"},
        {head + photo + R"(,"output":{"audioBitrate":96000}})", ShowFileProblem::BadValue,
         "output.audioBitrate must be 64000, 128000, 192000 or 320000"},
        {head + photo + R"(,"output":{"format":"mov"}})", ShowFileProblem::BadValue,
         "output.format is not a name Kavrel knows"},
    };
    for (const Case& c : cases) {
        Show show = Untouched();
        const ShowFileError error = ParseShow(c.bytes, "/f", &show);
        EXPECT_EQ(error.problem, c.problem) << c.bytes.substr(0, 120);
        if (!c.detail.empty()) {
            EXPECT_EQ(error.detail, c.detail);
        }
        EXPECT_EQ(show.music, Untouched().music) << c.bytes.substr(0, 120);
        EXPECT_TRUE(show.photos.empty());
    }
}

TEST(ShowFile, AFileThatCannotBeReadOrIsTooLarge) {
    TempDir dir;
    Show show = Untouched();
    EXPECT_EQ(ReadShowFile(dir.File("gone.kavrel"), &show).problem, ShowFileProblem::CannotRead);
    const std::string big = dir.Write("big.kavrel", "{");
    fs::resize_file(big, kMaxShowFileBytes + 1);
    EXPECT_EQ(ReadShowFile(big, &show).problem, ShowFileProblem::TooLarge);
    EXPECT_EQ(show.music, Untouched().music);
}

TEST(ShowFile, NeitherReadFromNorWrittenOntoWhatIsNoFile) {
    TempDir dir;
    PipeGuard pipe(dir.File("pipe.kavrel"));
    ASSERT_TRUE(pipe.made());
    struct Case {
        std::string path;
        bool (*stillThere)(const fs::path&);
    };
    const Case cases[] = {{pipe.path(), [](const fs::path& p) { return fs::is_fifo(p); }},
                          {dir.path().string(), [](const fs::path& p) { return fs::is_directory(p); }},
                          {"/dev/null", [](const fs::path& p) { return fs::is_character_file(p); }}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        Show show = Untouched();
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(ReadShowFile(c.path, &show).problem, ShowFileProblem::NotAFile);
        EXPECT_EQ(WriteShowFile(c.path, FullShow("/a")).problem, ShowFileProblem::NotAFile);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
        EXPECT_TRUE(c.stillThere(c.path));
        EXPECT_EQ(show.music, Untouched().music);
    }
}

TEST(ShowFile, WritingReplacesTheOldFileWholeOrLeavesIt) {
    TempDir dir;
    const std::string file = dir.File("show.kavrel");
    ASSERT_FALSE(WriteShowFile(file, FullShow("/a")));
    const std::string before = Slurp(file);

    // The file system refuses the write part way (a file size limit): the old show stays whole.
    Show large = FullShow("/a");
    large.photos.assign(1000, large.photos[0]);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = before.size() + 100;
    setrlimit(RLIMIT_FSIZE, &small);
    const ShowFileError failed = WriteShowFile(file, large);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, SIG_DFL);
    EXPECT_EQ(failed.problem, ShowFileProblem::CannotWrite);
    EXPECT_EQ(failed.detail, std::strerror(EFBIG));  // the system's own words, as for a full disk
    EXPECT_EQ(Slurp(file), before);

    ASSERT_FALSE(WriteShowFile(file, large));
    Show read;
    ASSERT_FALSE(ReadShowFile(file, &read));
    EXPECT_EQ(read.photos.size(), 1000u);
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 1) << "a temporary file was left behind";

    EXPECT_EQ(WriteShowFile(dir.File("no/such/folder/show.kavrel"), large).problem,
              ShowFileProblem::CannotWrite);
}
