// The show's sound as written: each song at the show's loudness after the lossy encoding,
// measured with the same meter that measured the songs; joins without a bump; an end without a
// click.

#include <gtest/gtest.h>

#include <cmath>

#include "platform/audio/loudness_meter.h"
#include "tests/support/kavrel_render_run.h"
#include "tests/support/media_reader.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_media.h"

namespace {

// Noise of `rmsDb` dBFS on both channels.
std::vector<float> Noise(double seconds, double rmsDb, unsigned seed) {
    std::vector<float> samples(static_cast<std::size_t>(seconds * 44100) * 2);
    const float scale = static_cast<float>(std::pow(10.0, rmsDb / 20) * std::sqrt(3.0));
    std::uint32_t state = seed;
    for (std::size_t i = 0; i < samples.size(); i += 2) {
        state = state * 1664525u + 1013904223u;
        samples[i] = samples[i + 1] = scale * (static_cast<float>(state >> 8) / 8388608.0f - 1.0f);
    }
    return samples;
}

// Loudness and true peak, from `from` to `to` seconds, of a file's sound whose two channels are
// the same: the reader's mono is their sum over √2.
MusicAnalysis Measure(const std::vector<float>& mono, double from, double to) {
    std::vector<float> stereo;
    for (auto i = static_cast<std::size_t>(from * 44100); i < static_cast<std::size_t>(to * 44100) && i < mono.size(); ++i) {
        stereo.push_back(mono[i] / std::sqrt(2.0f));
        stereo.push_back(mono[i] / std::sqrt(2.0f));
    }
    LoudnessMeter meter;
    meter.Add(stereo.data(), static_cast<int>(stereo.size() / 2));
    MusicAnalysis result;
    meter.Finish(&result);
    return result;
}

double RmsDb(const std::vector<float>& mono, double from, double to) { return 20 * std::log10(Rms(mono, from, to)); }

// One photo as long as the songs of noise at `levelsDb` (each `seconds` long), rendered to `output`
// with `options`; the file's sound read back.
VideoReadBack RenderNoiseSongs(const std::vector<double>& levelsDb, double seconds, const std::string& options,
                               const std::string& output) {
    TempDir dir;
    WritePhoto(dir.File("a.jpg"), 160, 120, 1, "mjpeg");
    std::string music;
    for (std::size_t i = 0; i < levelsDb.size(); ++i) {
        const std::string song = "song" + std::to_string(i) + ".wav";
        WriteStereoWav(dir.File(song), Noise(seconds, levelsDb[i], static_cast<unsigned>(i + 1)));
        music += " --music " + song;
    }
    const double length = seconds * static_cast<double>(levelsDb.size());
    const Outcome run = KavrelRender(dir, "--photo-duration " + std::to_string(length) +
                                              " --transition-duration 0 --fade-out 0 --size 160x120 " + options + music +
                                              " -o " + output + " a.jpg");
    EXPECT_EQ(run.status, 0) << run.out;
    return ReadVideoFile(dir.File(output), {});
}

}  // namespace

TEST(MusicMix, SongsMasteredApartPlayAtTheShowsLoudnessAndJoinWithoutABump) {
    const VideoReadBack file = RenderNoiseSongs({-12, -24, -36}, 8, "", "show.mp4");
    // The songs start at 0, 7.8 and 15.6 s (0.2 s joins); each is measured away from its joins.
    const double sections[][2] = {{0.5, 7.5}, {8.3, 15.3}, {16.1, 23.1}};
    for (const auto& s : sections) {
        const MusicAnalysis song = Measure(file.audioMono, s[0], s[1]);
        ASSERT_TRUE(song.measured);
        EXPECT_NEAR(song.integratedLufs, -16, 1) << "from " << s[0] << " s";
    }
    EXPECT_LE(Measure(file.audioMono, 0, 24).truePeakDbtp, -0.5);
    // Momentary loudness (400 ms) across each join stays within 1 dB of the louder side.
    for (const double join : {7.8, 15.6, 23.4}) {
        const double sides = std::max(RmsDb(file.audioMono, join - 0.6, join - 0.2), RmsDb(file.audioMono, join + 0.2, std::min(join + 0.6, 23.98)));
        for (double at = join - 0.3; at < join + 0.1; at += 0.05)
            EXPECT_LE(RmsDb(file.audioMono, at, at + 0.4 > 24 ? 24 : at + 0.4), sides + 1) << "the join at " << join << " s";
    }
}

// Loudness off keeps each song as it was mastered, 12 dB apart; without a fade-out the sound still
// ends in silence, not with a click (the sound as mixed: uncompressed).
TEST(MusicMix, LoudnessOffKeepsTheSongsAsMastered) {
    const VideoReadBack file = RenderNoiseSongs({-12, -24}, 4, "--loudness off --audio-compressor none", "show.mkv");
    EXPECT_NEAR(RmsDb(file.audioMono, 0.5, 3.5) - RmsDb(file.audioMono, 4.3, 7.3), 12, 0.5);
    EXPECT_TRUE(EndsInAFade(file.audioMono));
}

// Photos fitted to a click track by its beats: every transition of the dumped timeline starts
// within 10 ms of a click.
TEST(MusicMix, FitToTheBeatPutsEveryTransitionOnAClick) {
    TempDir dir;
    WritePhoto(dir.File("a.jpg"), 160, 120, 1, "mjpeg");
    std::vector<float> clicks = Noise(30, -60, 4);  // a tracker hears nothing in digital silence
    const double every = 60.0 / 97, first = 0.3;
    for (double t = first; t < 30; t += every) {
        for (int i = 0; i < 220; ++i) {
            const auto at = static_cast<std::size_t>(t * 44100 + i) * 2;
            clicks[at] = clicks[at + 1] = static_cast<float>(0.8 * std::sin(i * 0.3) * std::exp(-i / 60.0));
        }
    }
    WriteStereoWav(dir.File("clicks.wav"), clicks);
    std::string photos;
    for (int i = 0; i < 7; ++i) photos += " a.jpg";
    const Outcome run = KavrelRender(dir, "--fit-to-beat --transition-duration 0.5 --music clicks.wav --dump-timeline" + photos);
    ASSERT_EQ(run.status, 0) << run.out;
    int transitions = 0;
    for (std::size_t at = run.out.find("<transition "); at != std::string::npos; at = run.out.find("<transition ", at + 1)) {
        const std::size_t from = run.out.find("start=\"", at) + 7;
        const double start = std::stod(run.out.substr(from, run.out.find('"', from) - from)) / 1e7;
        if (start <= 0) continue;  // the first photo's, at the show's start
        const double beats = (start - first) / every;
        EXPECT_NEAR(beats, std::round(beats), 0.010 / every) << "a transition at " << start << " s";
        ++transitions;
    }
    EXPECT_EQ(transitions, 6);
}
