#include "platform/media/media_duration.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/timeline_builder.h"
#include "tests/support/media_encoder.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_media.h"

namespace {
constexpr REFERENCE_TIME kSecond = 10'000'000;
}

TEST(MediaDuration, WaveFileLengthIsExact) {
    TempDir dir;
    WriteToneWav(dir.File("three.wav"), 3.0);
    WriteToneWav(dir.File("half.wav"), 0.5, 22050, 1);
    EXPECT_EQ(ProbeMediaDuration(dir.File("three.wav")), 3 * kSecond);
    EXPECT_EQ(ProbeMediaDuration(dir.File("half.wav")), kSecond / 2);
    EXPECT_EQ(MeasureMediaDuration(dir.File("three.wav")), 3 * kSecond);
}

TEST(MediaDuration, StreamingWaveHeaderWithoutSize) {
    TempDir dir;
    WriteToneWav(dir.File("stream.wav"), 2.0, 44100, 2, true);
    EXPECT_NEAR(ProbeMediaDuration(dir.File("stream.wav")), 2 * kSecond, kSecond / 100);
}

TEST(MediaDuration, CompressedFormats) {
    struct Case {
        const char* file;
        const char* codec;
    };
    // MP3 without a Xing header and raw ADTS AAC give no duration in their headers.
    for (Case c : {Case{"tone.mp3", "libmp3lame"}, Case{"tone.aac", "aac"},
                   Case{"tone.m4a", "aac"}, Case{"tone.ogg", "libvorbis"},
                   Case{"tone.mka", "flac"}}) {
        TempDir dir;
        std::string file = dir.File(c.file);
        std::string error = EncodeTone(file, 4.0, c.codec);
        if (error.rfind("no encoder", 0) == 0) {
            ADD_FAILURE() << "this FFmpeg has no " << c.codec;
            continue;
        }
        ASSERT_EQ(error, "") << c.file;
        // Encoders add priming and padding of at most a few frames.
        EXPECT_NEAR(ProbeMediaDuration(file), 4 * kSecond, kSecond / 10) << c.file;
    }
}

TEST(MediaDuration, FilesWithoutPlayableStreamsAreMinusOne) {
    TempDir dir;
    EXPECT_EQ(ProbeMediaDuration(dir.Write("notes.txt", "just some words\nand more\n")), -1);
    EXPECT_EQ(ProbeMediaDuration(dir.Write("empty.wav", "")), -1);
    std::string garbage(4096, '\0');
    for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = char((i * 7919) % 251);
    EXPECT_EQ(ProbeMediaDuration(dir.Write("noise.mp3", garbage)), -1);
    EXPECT_EQ(ProbeMediaDuration(dir.File("missing.wav")), -1);
    EXPECT_EQ(ProbeMediaDuration(dir.path().string()), -1);  // a folder
}
