#include "platform/audio/music_analysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>

#include "platform/audio/music_analysis_cache.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_media.h"

namespace {

constexpr int kRate = 44100;

std::vector<float> Sine(double peakDbfs, double seconds) {
    const double amplitude = std::pow(10.0, peakDbfs / 20);
    std::vector<float> sound(static_cast<std::size_t>(seconds * kRate) * 2);
    for (std::size_t i = 0; i < sound.size() / 2; ++i) {
        sound[2 * i] = sound[2 * i + 1] = static_cast<float>(amplitude * std::sin(2 * M_PI * 1000.0 * i / kRate));
    }
    return sound;
}

// Short decaying 2 kHz clicks over a noise floor at -60 dBFS, as a recorded click track has:
// aubio counts no beat in digital silence.
std::vector<float> ClickTrack(double bpm, double seconds, std::vector<double>* clicks) {
    std::vector<float> sound(static_cast<std::size_t>(seconds * kRate) * 2);
    std::mt19937 random(7);
    std::uniform_real_distribution<float> noise(-0.001f, 0.001f);
    for (float& sample : sound) sample = noise(random);
    const int clickFrames = kRate / 200;
    for (double at = 0; at + 0.01 < seconds; at += 60 / bpm) {
        const std::size_t start = static_cast<std::size_t>(std::lround(at * kRate));
        clicks->push_back(static_cast<double>(start) / kRate);
        for (int i = 0; i < clickFrames && start + i < sound.size() / 2; ++i) {
            const float v = static_cast<float>(0.8 * std::sin(2 * M_PI * 2000.0 * i / kRate) * std::exp(-5.0 * i / clickFrames));
            sound[2 * (start + i)] += v;
            sound[2 * (start + i) + 1] += v;
        }
    }
    return sound;
}

double Nearest(double time, const std::vector<double>& times) {
    double best = times.front();
    for (double t : times) {
        if (std::fabs(t - time) < std::fabs(best - time)) best = t;
    }
    return best;
}

}  // namespace

// A sine of peak A on both channels has a mean square of A² in all; the -0.691 dB of the loudness
// sum is what K-weighting adds at 1 kHz, so its loudness is 20·log10(A) LUFS (ffmpeg's ebur128
// filter agrees), and its true peak 20·log10(A) dBTP.
TEST(MusicAnalysis, ASinesLoudnessAndTruePeakFollowItsLevel) {
    TempDir dir;
    MusicAnalysisCache cache(dir.File("cache"));
    for (double level : {-3.0, -20.0, -32.0}) {
        SCOPED_TRACE(level);
        const std::string song = dir.File("sine" + std::to_string(static_cast<int>(level)) + ".wav");
        WriteStereoWav(song, Sine(level, 10));
        MusicAnalysis analysis;
        std::string error;
        ASSERT_TRUE(cache.Analyse(song, &analysis, &error)) << error;
        EXPECT_TRUE(analysis.measured);
        EXPECT_NEAR(analysis.integratedLufs, level, 0.2);
        EXPECT_NEAR(analysis.truePeakDbtp, level, 0.3);
    }
}

TEST(MusicAnalysis, SilenceAndSoundTooShortForALoudnessAreNotMeasured) {
    TempDir dir;
    MusicAnalysisCache cache(dir.File("cache"));
    const struct {
        const char* name;
        std::vector<float> sound;
    } cases[] = {
        {"silence", std::vector<float>(5 * kRate * 2, 0.0f)},
        {"a third of a second", Sine(-20, 0.3)},  // the gate's blocks are 0.4 s long
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string song = dir.File(std::string(c.name) + ".wav");
        WriteStereoWav(song, c.sound);
        MusicAnalysis analysis;
        std::string error;
        ASSERT_TRUE(cache.Analyse(song, &analysis, &error)) << error;
        EXPECT_FALSE(analysis.measured);
    }
}

TEST(MusicAnalysis, BeatsFallOnTheClicksOfAClickTrack) {
    TempDir dir;
    MusicAnalysisCache cache(dir.File("cache"));
    for (double bpm : {120.0, 97.0}) {
        SCOPED_TRACE(bpm);
        std::vector<double> clicks;
        const std::string song = dir.File("clicks" + std::to_string(static_cast<int>(bpm)) + ".wav");
        WriteStereoWav(song, ClickTrack(bpm, 30, &clicks));
        MusicAnalysis analysis;
        std::string error;
        ASSERT_TRUE(cache.Analyse(song, &analysis, &error)) << error;
        EXPECT_NEAR(analysis.tempoBpm, bpm, 1.0);
        ASSERT_FALSE(analysis.beats.empty());
        std::size_t onClicks = 0;
        for (std::size_t i = 0; i < analysis.beats.size(); ++i) {
            if (i > 0) {
                EXPECT_LT(analysis.beats[i - 1], analysis.beats[i]);
            }
            if (analysis.beats[i] < 2) continue;
            EXPECT_NEAR(analysis.beats[i], Nearest(analysis.beats[i], clicks), 0.010) << "beat " << i;
            ++onClicks;
        }
        // Hardly a click after the tracker has settled goes without its beat.
        const auto settledClicks = std::count_if(clicks.begin(), clicks.end(), [](double c) { return c >= 2; });
        EXPECT_GE(onClicks + 3, static_cast<std::size_t>(settledClicks));
    }
}

namespace {

// Writes `sound` over `song` and leaves its modification time as it was.
void ReplaceKeepingTime(const std::string& song, const std::vector<float>& sound) {
    const auto time = std::filesystem::last_write_time(song);
    WriteStereoWav(song, sound);
    std::filesystem::last_write_time(song, time);
}

double Lufs(MusicAnalysisCache& cache, const std::string& song) {
    MusicAnalysis analysis;
    std::string error;
    EXPECT_TRUE(cache.Analyse(song, &analysis, &error)) << error;
    return analysis.integratedLufs;
}

}  // namespace

// A song of the same path, size and time is taken from memory, then from the folder in the next
// run, even when its sound has changed; a new time has it measured again.
TEST(MusicAnalysis, ASongIsMeasuredAgainOnlyWhenItsSizeOrTimeChanges) {
    TempDir dir;
    const std::string song = dir.File("song.wav");
    WriteStereoWav(song, Sine(-20, 3));
    MusicAnalysisCache thisRun(dir.File("cache"));
    EXPECT_NEAR(Lufs(thisRun, song), -20, 0.2);

    ReplaceKeepingTime(song, Sine(-32, 3));
    EXPECT_NEAR(Lufs(thisRun, song), -20, 0.2);
    MusicAnalysisCache nextRun(dir.File("cache"));
    EXPECT_NEAR(Lufs(nextRun, song), -20, 0.2);

    std::filesystem::last_write_time(song, std::filesystem::last_write_time(song) + std::chrono::milliseconds(1));
    EXPECT_NEAR(Lufs(thisRun, song), -32, 0.2);
    MusicAnalysisCache runAfter(dir.File("cache"));
    EXPECT_NEAR(Lufs(runAfter, song), -32, 0.2);
}

TEST(MusicAnalysis, ADamagedCacheFileIsMeasuredAgainAndRewritten) {
    TempDir dir;
    std::vector<double> clicks;
    const std::string song = dir.File("song.wav");
    WriteStereoWav(song, ClickTrack(120, 6, &clicks));
    MusicAnalysis first;
    std::string error;
    ASSERT_TRUE(MusicAnalysisCache(dir.File("cache")).Analyse(song, &first, &error)) << error;
    ASSERT_GE(first.beats.size(), 4u);
    const std::string file = MusicAnalysisCache(dir.File("cache")).FileOf(song);
    const std::string whole = Slurp(file);
    ASSERT_FALSE(whole.empty());
    FileKey key;
    ASSERT_TRUE(CurrentFileKey(song, &key));
    MusicAnalysis reversed = first;
    std::reverse(reversed.beats.begin(), reversed.beats.end());
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = whole;
        return text.replace(text.find(from), from.size(), to);
    };
    const struct {
        const char* name;
        std::string text;
    } damages[] = {
        {"empty", ""},
        {"cut among the beats", whole.substr(0, whole.size() - 8)},
        {"a beat too many", whole + "29.5\n"},
        {"a figure not a number", replaced("\nlufs ", "\nlufs x")},
        {"beats out of order", MusicAnalysisText(key, reversed)},
        {"another heading", replaced("1\n", "2\n")},
    };
    for (const auto& damage : damages) {
        SCOPED_TRACE(damage.name);
        { std::ofstream(file, std::ios::binary) << damage.text; }
        MusicAnalysis again;
        ASSERT_TRUE(MusicAnalysisCache(dir.File("cache")).Analyse(song, &again, &error)) << error;
        EXPECT_EQ(again.beats, first.beats);
        EXPECT_EQ(again.integratedLufs, first.integratedLufs);
        EXPECT_EQ(Slurp(file), whole);
    }
}

TEST(MusicAnalysis, AFolderThatCannotBeWrittenOnlyCostsTheCache) {
    TempDir dir;
    const std::string song = dir.File("song.wav");
    WriteStereoWav(song, Sine(-20, 3));
    MusicAnalysisCache cache(dir.Write("not-a-folder", "") + "/music");
    EXPECT_NEAR(Lufs(cache, song), -20, 0.2);
}

TEST(MusicAnalysis, AFileWithoutSoundIsRefusedWithTheReadersReason) {
    TempDir dir;
    const struct {
        const char* name;
        std::string path;
    } cases[] = {
        {"missing", dir.File("missing.mp3")},
        {"text", dir.Write("notes.mp3", "not a sound at all, only words\n")},
        {"folder", dir.path().string()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MusicAnalysis analysis;
        std::string error;
        EXPECT_FALSE(AnalyseMusic(c.path, &analysis, &error));
        EXPECT_NE(error.find(c.path), std::string::npos) << error;
    }
}
