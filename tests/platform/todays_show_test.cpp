// A show of today's photos and music, written by kavrel-render in every container and read back
// as a player reads it; and the music's fade-out at its end.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "tests/support/kavrel_render_run.h"
#include "tests/support/media_encoder.h"
#include "tests/support/media_reader.h"
#include "tests/support/photo_files.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_media.h"

namespace {

constexpr int kW = 160, kH = 120;

int Luma(const std::vector<std::uint8_t>& frame, int x, int y) {
    return frame[static_cast<std::size_t>(y) * kW + x];
}

// A 2:1 photo lies between bars above and below, a 1:2 one between bars left and right; upright,
// its white quarter is at its top left.
void ExpectPhoto(const std::vector<std::uint8_t>& frame, bool wide, const std::string& what) {
    const int left = wide ? 0 : 50, top = wide ? 20 : 0, w = wide ? 160 : 60, h = wide ? 80 : 120;
    const int barX = wide ? 80 : 20, barY = wide ? 8 : 60;
    EXPECT_LT(Luma(frame, barX, barY), 32) << what << ": bar";
    EXPECT_LT(Luma(frame, kW - 1 - barX, kH - 1 - barY), 32) << what << ": bar";
    EXPECT_GT(Luma(frame, left + w / 4, top + h / 4), 190) << what << ": white quarter";
    for (auto [qx, qy] : {std::pair{3, 1}, std::pair{1, 3}, std::pair{3, 3}}) {
        EXPECT_NEAR(Luma(frame, left + w * qx / 4, top + h * qy / 4), 126, 30)
            << what << ": grey quarter";
    }
}

struct Photo {
    const char* file;
    bool wide;
};

// Six photos of one kind each, 2:1 and 1:2 by turns; the JPEG stored turned, with EXIF
// orientation 6.
void WritePhotos(const TempDir& dir, const std::vector<Photo>& photos) {
    ASSERT_EQ(HeifEnc(dir.File(photos[0].file), Quadrants(160, 80)), "");
    ASSERT_EQ(HeifEnc(dir.File(photos[1].file), Quadrants(80, 160)), "");
    ASSERT_EQ(WritePicture(dir.File(photos[2].file), Quadrants(160, 80), "libwebp"), "");
    ASSERT_EQ(WritePicture(dir.File(photos[3].file), Quadrants(80, 160), "png"), "");
    ASSERT_EQ(WritePicture(dir.File(photos[4].file), Quadrants(160, 80), "tiff"), "");
    ASSERT_EQ(WritePicture(dir.File("stored.jpg"), Quadrants(80, 160).TurnedLeft(), "mjpeg"), "");
    std::ofstream(dir.File(photos[5].file), std::ios::binary)
        << WithExifOrientation(Slurp(dir.File("stored.jpg")), 6);
}

}  // namespace

TEST(TodaysShow, PhotosAndMusicOfTodayRenderInEveryContainerAndPlay) {
    TempDir dir;
    const std::vector<Photo> photos{{"a.heic", true}, {"b.avif", false}, {"c.webp", true},
                                    {"d.png", false}, {"e.tif", true},   {"f.jpg", false}};
    WritePhotos(dir, photos);
    ASSERT_EQ(EncodeTone(dir.File("one.flac"), 2.5, "flac"), "");
    ASSERT_EQ(EncodeTone(dir.File("two.opus"), 2.5, "libopus"), "");
    ASSERT_EQ(EncodeTone(dir.File("three.m4a"), 2.5, "aac"), "");
    std::string names;
    for (const Photo& p : photos) names += std::string(" ") + p.file;
    // Each photo 1 s, entering with a Fade of 0.25 s; frame 24·i + 12 is the middle of photo i.
    std::vector<int> middles;
    for (int i = 0; i < 6; ++i) middles.push_back(static_cast<int>((i + 0.5) * 24000 / 1001));
    for (const char* ext : {"avi", "wmv", "mkv", "asf", "mp4"}) {
        const std::string out = dir.File(std::string("today.") + ext);
        const Outcome run =
            KavrelRender(dir,
                         "--photo-duration 1 --transition-duration 0.25 --policy same --same 3 "
                         "--size 160x120 --music one.flac --music two.opus --music three.m4a -o " +
                             out + names);
        ASSERT_EQ(run.status, 0) << ext << ": " << run.out;
        const VideoReadBack back = ReadVideoFile(out, middles);
        EXPECT_EQ(back.decodeErrors, 0) << ext;
        EXPECT_EQ(back.frames, 144) << ext;  // ceil(6 · 24000/1001)
        EXPECT_NEAR(back.audioSeconds, 6.0, 0.1) << ext;
        EXPECT_GT(Rms(back.audioMono, 0.5, 5.0), 0.05) << ext << ": the music plays";
        ASSERT_EQ(back.lumaOfFrames.size(), photos.size()) << ext;
        for (std::size_t i = 0; i < photos.size(); ++i) {
            ExpectPhoto(back.lumaOfFrames[i], photos[i].wide,
                        std::string(ext) + " " + photos[i].file);
        }
    }
}

namespace {

// Decibels of the show's last tenth of a second against a second of music before any fade.
double LastTenthAgainstMusic(const TempDir& dir, const std::string& fadeOption) {
    const Outcome run =
        KavrelRender(dir,
                     "--photo-duration 3 --transition-duration 0 --policy same --same 0 "
                     "--size 160x120 --music tone.wav --audio-compressor none " +
                         fadeOption + " -o fade.avi photo.png photo.png");
    EXPECT_EQ(run.status, 0) << run.out;
    const VideoReadBack back = ReadVideoFile(dir.File("fade.avi"), {});
    return 20 * std::log10(Rms(back.audioMono, 5.9, 6.0) / Rms(back.audioMono, 2.5, 3.5));
}

}  // namespace

TEST(TodaysShow, TheMusicFadesOutAtTheEndUnlessTheFadeIsZero) {
    TempDir dir;
    ASSERT_EQ(WritePicture(dir.File("photo.png"), Quadrants(160, 80), "png"), "");
    WriteToneWav(dir.File("tone.wav"), 10.0);
    EXPECT_LT(LastTenthAgainstMusic(dir, "--fade-out 2"), -30);
    EXPECT_LT(LastTenthAgainstMusic(dir, ""), -30);  // 2 s unless told
    EXPECT_LT(LastTenthAgainstMusic(dir, "--fade-out 0.5"), -30);
    // Without a fade-out only its last 20 ms fall to silence: the last tenth is 0.6 dB down.
    EXPECT_NEAR(LastTenthAgainstMusic(dir, "--fade-out 0"), -0.6, 0.3);
}
