// HEIC and AVIF photos, made by heif-enc and libheif from the tests' own pictures.

#include "platform/render/decode/heif_photo.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/render/decode/photo_decoder.h"
#include "platform/render/decode/photo_picture.h"
#include "tests/support/photo_files.h"
#include "tests/support/temp_dir.h"

namespace {

int Luma(const AVFrame* f, int x, int y) { return f->data[0][y * f->linesize[0] + x]; }

// A 2:1 photo with its white quarter at the top left, letterboxed into 160 × 120: bars of 20
// lines above and below.
void ExpectUprightInLetterbox(const std::string& file) {
    FramePtr f;
    std::string error;
    ASSERT_TRUE(DecodePhotoFrame(file, 160, 120, &f, &error)) << file << ": " << error;
    EXPECT_EQ(Luma(f.get(), 80, 8), 16) << file;           // bar above
    EXPECT_EQ(Luma(f.get(), 80, 112), 16) << file;         // bar below
    EXPECT_GT(Luma(f.get(), 40, 40), 220) << file;         // white quarter, top left
    EXPECT_NEAR(Luma(f.get(), 120, 40), 126, 12) << file;  // grey elsewhere
    EXPECT_NEAR(Luma(f.get(), 40, 80), 126, 12) << file;
    EXPECT_NEAR(Luma(f.get(), 120, 80), 126, 12) << file;
}

}  // namespace

TEST(HeifPhoto, HeicAndAvifAreLetterboxedLikeAnyPhoto) {
    TempDir dir;
    for (const char* name : {"photo.heic", "photo.avif"}) {
        const std::string file = dir.File(name);
        ASSERT_EQ(HeifEnc(file, Quadrants(160, 80)), "") << name;
        EXPECT_TRUE(IsHeifFile(file)) << name;
        PhotoSize size;
        std::string error;
        ASSERT_TRUE(ProbePhoto(file, &size, &error)) << error;
        EXPECT_EQ(size.width, 160) << name;
        EXPECT_EQ(size.height, 80) << name;
        ExpectUprightInLetterbox(file);
    }
}

TEST(HeifPhoto, TheKindIsTakenFromTheFileNotItsName) {
    TempDir dir;
    ASSERT_EQ(HeifEnc(dir.File("a.heic"), Quadrants(160, 80)), "");
    std::filesystem::copy_file(dir.File("a.heic"), dir.File("misnamed.jpg"));
    std::filesystem::copy_file(dir.File("a.heic"), dir.File("no-extension"));
    ASSERT_EQ(WritePicture(dir.File("jpeg.heic"), Quadrants(160, 80), "mjpeg"), "");
    for (const char* name : {"misnamed.jpg", "no-extension", "jpeg.heic"})
        ExpectUprightInLetterbox(dir.File(name));
    EXPECT_FALSE(IsHeifFile(dir.File("jpeg.heic")));
}

TEST(HeifPhoto, TheFilesOwnTurnIsAppliedAndItsExifOrientationNotAgain) {
    // As a phone held upright writes it: the sensor's picture turned left, a rotation that turns
    // it back, and Exif orientation 6 saying the same. Applying both would lay it on its side.
    TempDir dir;
    const std::string file = dir.File("phone.heic");
    ASSERT_EQ(WriteTurnedHeic(file, Quadrants(160, 80).TurnedLeft(), 6), "");
    PhotoSize size;
    std::string error;
    ASSERT_TRUE(ProbePhoto(file, &size, &error)) << error;
    EXPECT_EQ(size.width, 160);
    EXPECT_EQ(size.height, 80);
    ExpectUprightInLetterbox(file);
}

TEST(HeifPhoto, ASmallPlaceIsFilledFromTheThumbnailThatCoversIt) {
    TempDir dir;
    const std::string file = dir.File("big.heic");
    ASSERT_EQ(HeifEnc(file, Quadrants(640, 320), "-t 64"), "");
    HeifPicture picture;
    std::string error;
    // Shown 64 × 32 in 64 × 48: the 64 × 32 thumbnail covers it.
    ASSERT_TRUE(DecodeHeifPhoto(file, 64, 48, &picture, &error)) << error;
    EXPECT_EQ(picture.frame->width, 64);
    EXPECT_EQ(picture.fullWidth, 640);
    EXPECT_EQ(picture.fullHeight, 320);
    // Shown 160 × 80: only the photo itself covers that.
    ASSERT_TRUE(DecodeHeifPhoto(file, 160, 120, &picture, &error)) << error;
    EXPECT_EQ(picture.frame->width, 640);
    ASSERT_TRUE(DecodeHeifPhoto(file, 0, 0, &picture, &error)) << error;
    EXPECT_EQ(picture.frame->width, 640);
    ExpectUprightInLetterbox(file);
}

TEST(HeifPhoto, TransparencyLiesOverBlack) {
    TempDir dir;
    ASSERT_EQ(WriteHalfClearPng(dir.File("clear.png"), 32, 32), "");
    ASSERT_EQ(HeifEncFile(dir.File("clear.heic"), dir.File("clear.png")), "");
    FramePtr f;
    std::string error;
    ASSERT_TRUE(DecodePhotoFrame(dir.File("clear.heic"), 32, 32, &f, &error)) << error;
    EXPECT_LT(Luma(f.get(), 4, 16), 24);    // clear: black
    EXPECT_GT(Luma(f.get(), 28, 16), 220);  // opaque white
}

TEST(HeifPhoto, TheWindowsPhotoBoxShowsAHeic) {
    TempDir dir;
    const std::string file = dir.File("box.heic");
    ASSERT_EQ(HeifEnc(file, Quadrants(160, 80)), "");
    VideoPicture picture;
    std::string error;
    ASSERT_TRUE(DecodePhotoPicture(file, 160, 120, &picture, &error)) << error;
    auto bgra = [&](int x, int y) { return picture.pixels->data() + y * picture.stride + 4 * x; };
    EXPECT_LT(bgra(80, 8)[1], 8);     // bar
    EXPECT_GT(bgra(40, 40)[1], 240);  // white quarter
    EXPECT_NEAR(bgra(120, 80)[1], 128, 12);
}

TEST(HeifPhoto, ABrokenFileIsRefusedWithItsName) {
    TempDir dir;
    ASSERT_EQ(HeifEnc(dir.File("whole.heic"), Quadrants(160, 80)), "");
    std::string bytes = Slurp(dir.File("whole.heic"));
    const std::string cut = dir.Write("cut.heic", bytes.substr(0, bytes.size() / 2));
    EXPECT_TRUE(IsHeifFile(cut));
    FramePtr f;
    std::string error;
    EXPECT_FALSE(DecodePhotoFrame(cut, 160, 120, &f, &error));
    EXPECT_NE(error.find("cut.heic"), std::string::npos) << error;
    const std::string header = dir.Write("header.heic", bytes.substr(0, 40));
    PhotoSize size;
    EXPECT_FALSE(ProbePhoto(header, &size, &error));
    EXPECT_NE(error.find("header.heic"), std::string::npos) << error;
}
