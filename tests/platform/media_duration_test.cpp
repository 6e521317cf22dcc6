#include "platform/media/media_duration.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/timeline_builder.h"
#include "platform/render/audio_mixer.h"
#include "tests/support/media_encoder.h"
#include "tests/support/media_reader.h"
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

namespace {

struct MusicCase {
    const char* file;
    const char* codec;
    // Where the container counts whole codec frames, the length may include the last one's
    // padding: up to 2048 samples for WMA, 4096 for ALAC, encoder delay and padding for MP3.
    double slack = 0.03;
};

// The length the duration probe gives, against the length of the sound that decoding yields.
void ExpectMeasuredAsDecoded(const std::string& file, const MusicCase& c) {
    const double measured = static_cast<double>(ProbeMediaDuration(file)) / kSecond;
    const double decoded = ReadVideoFile(file, {}).audioSeconds;
    ASSERT_GT(decoded, 0) << file;
    EXPECT_NEAR(measured, decoded, c.slack) << file;
    EXPECT_NEAR(measured, 4.0, c.slack + 0.03) << file;
}

std::string EncodeOrReport(const std::string& file, const MusicCase& c, const std::string& cover = {}) {
    std::string error = EncodeTone(file, 4.0, c.codec, cover);
    if (error.rfind("no encoder", 0) == 0) ADD_FAILURE() << "this FFmpeg has no " << c.codec;
    return error;
}

}  // namespace

TEST(MediaDuration, TodaysMusicIsMeasuredToItsSound) {
    const MusicCase cases[] = {
        {"tone.flac", "flac"},      {"tone.ogg", "libvorbis"},  {"tone.opus", "libopus"},
        {"tone.m4a", "aac"},        {"tone.aac", "aac"},        {"tone.mka", "libopus"},
        {"tone.wv", "wavpack"},     {"tone.tta", "tta"},        {"tone.ac3", "ac3"},
        {"tone.mp2", "mp2"},        {"tone.wma", "wmav2", 0.05}, {"tone.aiff", "pcm_s16be"},
        {"tone.au", "pcm_s16be"},   {"tone.caf", "alac", 0.1},  {"tone.w64", "pcm_s16le"},
        {"tone.m4b", "aac"},        {"tone.oga", "flac"},       {"tone.webm", "libopus"},
    };
    for (const MusicCase& c : cases) {
        TempDir dir;
        const std::string file = dir.File(c.file);
        if (!EncodeOrReport(file, c).empty()) continue;
        ExpectMeasuredAsDecoded(file, c);
    }
}

TEST(MediaDuration, MusicWithACoverPictureIsMusic) {
    TempDir dir;
    ASSERT_EQ(WritePhoto(dir.File("cover.jpg"), 64, 64, 1, "mjpeg"), "");
    const std::string cover = Slurp(dir.File("cover.jpg"));
    for (MusicCase c : {MusicCase{"cover.mp3", "libmp3lame", 0.06}, MusicCase{"cover.flac", "flac"},
                        MusicCase{"cover.m4a", "aac"}}) {
        const std::string file = dir.File(c.file);
        ASSERT_EQ(EncodeOrReport(file, c, cover), "") << c.file;
        ASSERT_EQ(ReadVideoFile(file, {}).frames, 1) << c.file << " holds no cover";
        ExpectMeasuredAsDecoded(file, c);
        std::string error;
        EXPECT_TRUE(ProbeMusic(file, &error)) << error;
        // It mixes as sound: the tone is heard, not the picture's single frame as silence.
        AudioMixer mixer({{file, 0, 4 * kSecond, 0}});
        std::vector<float> mixed(2 * 44100 * 2);
        ASSERT_TRUE(mixer.Mix(mixed.data(), 2 * 44100, &error)) << error;
        std::vector<float> mono;
        for (std::size_t i = 0; i < mixed.size(); i += 2) mono.push_back(mixed[i]);
        EXPECT_GT(Rms(mono, 1.0, 2.0), 0.1) << c.file;
    }
}
