#include "platform/render/audio_mixer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "platform/render/placement_cursor.h"
#include "tests/support/media_reader.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_media.h"

namespace {
constexpr REFERENCE_TIME kSecond = 10'000'000;
}

TEST(AudioMixer, TheVolumeEnvelopeJumpsAndRampsOnTheShowsTimeLine) {
    TempDir dir;
    WriteToneWav(dir.File("tone.wav"), 4.0);
    // Half volume from 0.5 s, a ramp to silence from 1 s to 2 s, and full volume again at 3 s.
    const VolumeEnvelope volume{{kSecond / 2, 0.5, false},
                                {kSecond, 0.5, false},
                                {2 * kSecond, 0.0, true},
                                {3 * kSecond, 1.0, false}};
    AudioMixer mixer({{dir.File("tone.wav"), 0, 4 * kSecond, 0}}, volume);
    std::vector<float> mono;
    std::string error;
    std::vector<float> block(2 * 1000);
    for (int i = 0; i < 4 * 44; ++i) {  // 4 s in blocks of 1000 sample frames, as a player asks
        ASSERT_TRUE(mixer.Mix(block.data(), 1000, &error)) << error;
        for (std::size_t s = 0; s < block.size(); s += 2) mono.push_back(block[s]);
    }
    const double full = 8000.0 / 32768 / std::sqrt(2.0);
    EXPECT_NEAR(Rms(mono, 0.1, 0.4), 0.5 * full, 0.01);  // before the first key, its gain
    EXPECT_NEAR(Rms(mono, 0.6, 0.9), 0.5 * full, 0.01);
    EXPECT_NEAR(Rms(mono, 1.45, 1.55), 0.25 * full, 0.01);  // half way down the ramp
    EXPECT_LT(Rms(mono, 2.0, 2.9), 1e-6);
    EXPECT_NEAR(Rms(mono, 3.1, 3.9), full, 0.01);
}

namespace {
std::vector<float> MixAll(AudioMixer& mixer, REFERENCE_TIME length) {
    std::vector<float> all(static_cast<std::size_t>(SampleAt(length)) * kMixChannels);
    std::string error;
    for (std::size_t at = 0; at < all.size(); at += 2 * 1000) {
        const int frames = static_cast<int>(std::min<std::size_t>(1000, (all.size() - at) / 2));
        EXPECT_TRUE(mixer.Mix(all.data() + at, frames, &error)) << error;
    }
    return all;
}
}  // namespace

// A short music file placed every few milliseconds is decoded once for the whole show, and every
// placement still plays it from its start: the sum equals the placements' sound laid end to end.
TEST(AudioMixer, AShortFilePlacedAgainAndAgainIsDecodedOnce) {
    TempDir dir;
    const std::string tone = dir.File("short.wav");
    WriteToneWav(tone, 0.21);
    AudioMixer single({{tone, 0, 2'100'000, 0}});
    const std::vector<float> once = MixAll(single, 2'100'000);

    std::vector<AudioPlacement> placements;
    const REFERENCE_TIME step = 100'000;  // 10 ms apart: each overlaps the next by 0.2 s
    for (REFERENCE_TIME s = 0; s < 3 * kSecond; s += step) placements.push_back({tone, s, s + 2'100'000, 0});
    AudioMixer mixer(placements);
    const std::vector<float> mixed = MixAll(mixer, 3 * kSecond);
    EXPECT_EQ(mixer.filesDecoded(), 1);
    EXPECT_EQ(mixer.soundsOpened(), static_cast<int>(placements.size()));

    // Unclipped while at most a few overlap: the first 30 ms hold placements 0, 1 and 2.
    const std::size_t step10ms = static_cast<std::size_t>(SampleAt(step)) * kMixChannels;
    for (std::size_t i = 0; i < 3 * step10ms; i += 7) {
        float expected = 0;
        for (std::size_t k = 0; k * step10ms <= i; ++k) expected += once[i - k * step10ms];
        ASSERT_NEAR(mixed[i], std::clamp(expected, -1.0f, 1.0f), 1e-6) << i;
    }
}

// A 0.201 s sound placed every millisecond, the first placements listed and the rest a run made
// on demand: the mixer plays exactly what it plays from the whole list, and the sum holds.
TEST(AudioMixer, ARunOfPlacementsPlaysAsTheListedPlacements) {
    TempDir dir;
    const std::string tone = dir.File("beep.wav");
    WriteToneWav(tone, 0.201);
    const REFERENCE_TIME step = 10'000, length = 2'010'000, end = kSecond;
    auto run = std::make_shared<TrackRun>(std::vector<RunItem>{{tone, 0, length}}, 5 * step, step, end);
    std::vector<AudioPlacement> listed, all;
    for (REFERENCE_TIME s = 0; s < 5 * step; s += step) listed.push_back({tone, s, s + length, 0});
    all = listed;
    for (std::int64_t i = 0; i < run->count(); ++i) all.push_back({tone, run->At(i).start, run->At(i).stop, 0});
    ASSERT_EQ(all.back().stop, end);

    AudioMixer fromList(all), fromRun(listed, {}, run);
    const std::vector<float> expected = MixAll(fromList, end), mixed = MixAll(fromRun, end);
    EXPECT_EQ(fromRun.soundsOpened(), static_cast<int>(all.size()));
    ASSERT_EQ(mixed, expected);

    // Started part-way (a preview resumed there), it plays what it plays from the start.
    const std::int64_t from = SampleAt(kSecond / 2) + 7;
    AudioMixer resumed(listed, {}, run);
    resumed.StartAt(from);
    const std::vector<float> tail = MixAll(resumed, end - kSecond / 2 - 2000);
    ASSERT_TRUE(std::equal(tail.begin(), tail.end(), expected.begin() + from * kMixChannels));

    AudioMixer single({{tone, 0, length, 0}});
    const std::vector<float> once = MixAll(single, length);
    const std::size_t stepFloats = static_cast<std::size_t>(SampleAt(step)) * kMixChannels;
    for (std::size_t i : {std::size_t{0}, std::size_t{31}, stepFloats + 3, 2 * stepFloats + 17, 3 * stepFloats - 1}) {
        float sum = 0;
        for (std::size_t k = 0; k * stepFloats <= i; ++k) sum += once[i - k * stepFloats];
        EXPECT_NEAR(mixed[i], std::clamp(sum, -1.0f, 1.0f), 1e-6) << i;
    }
}

// Placements come out in start order even where a later pass of the run begins before an earlier
// one ends, and where the list and the run interleave.
TEST(PlacementCursor, MergesTheListAndTheRunInStartOrder) {
    auto run = std::make_shared<TrackRun>(
        std::vector<RunItem>{{"a", 0, 1'000'000}, {"b", -1'500'000, 2'600'000}}, 2'000'000, 300'000, 9 * kSecond);
    const std::vector<AudioPlacement> listed{{"x", 0, 2'000'000, 0}, {"y", 2'500'000, 3'000'000, 0}};
    PlacementCursor cursor(&listed, run);
    std::vector<std::pair<REFERENCE_TIME, std::string>> order;
    while (!cursor.done()) {
        const REFERENCE_TIME start = cursor.nextStart();
        const AudioPlacement p = cursor.Take();
        EXPECT_EQ(p.start, start);
        order.emplace_back(p.start, p.path);
    }
    ASSERT_EQ(order.size(), listed.size() + static_cast<std::size_t>(run->count()));
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end(),
                               [](const auto& a, const auto& b) { return a.first < b.first; }));
    EXPECT_EQ(order.front(), std::make_pair(REFERENCE_TIME{0}, std::string("x")));
    EXPECT_EQ(order[1], std::make_pair(REFERENCE_TIME{500'000}, std::string("b")));
}

namespace {
// Noise at -12 dBFS RMS, the same on both channels, different for each seed.
std::vector<float> Noise(double seconds, unsigned seed) {
    std::vector<float> samples(static_cast<std::size_t>(seconds * kMixRate) * kMixChannels);
    std::uint32_t state = seed;
    for (std::size_t i = 0; i < samples.size(); i += 2) {
        state = state * 1664525u + 1013904223u;
        samples[i] = samples[i + 1] = 0.25f * std::sqrt(3.0f) * (static_cast<float>(state >> 8) / 8388608.0f - 1.0f);
    }
    return samples;
}

std::vector<float> Left(const std::vector<float>& stereo) {
    std::vector<float> mono;
    for (std::size_t s = 0; s < stereo.size(); s += 2) mono.push_back(stereo[s]);
    return mono;
}

double Db(double ratio) { return 20 * std::log10(ratio); }
}  // namespace

// A placement's own shape: its gain, its fade-in from silence, and an equal-power crossfade with
// the next over their overlap, where two unrelated sounds keep the level of one (summed, they
// would rise 3 dB).
TEST(AudioMixer, SongsAreGainedFadedInAndCrossfadedAtEqualPower) {
    TempDir dir;
    WriteStereoWav(dir.File("a.wav"), Noise(4, 1));
    WriteStereoWav(dir.File("b.wav"), Noise(4, 2));
    SongShape first{-6, kSecond, 0, 2 * kSecond}, second{-6, 0, 2 * kSecond, 0};
    AudioMixer mixer({{dir.File("a.wav"), 0, 4 * kSecond, 0, first}, {dir.File("b.wav"), 2 * kSecond, 6 * kSecond, 0, second}});
    const std::vector<float> mono = Left(MixAll(mixer, 6 * kSecond));
    const double alone = Rms(mono, 1.2, 1.9);
    EXPECT_NEAR(Db(alone / 0.25), -6, 0.2);
    EXPECT_LT(Rms(mono, 0, 0.01), alone * 0.01);          // the fade-in starts from silence,
    EXPECT_NEAR(Db(Rms(mono, 0.45, 0.55) / alone), Db(0.25), 0.3);  // at its middle a square's quarter
    for (double at = 2.0; at < 4.0; at += 0.25) {
        EXPECT_NEAR(Db(Rms(mono, at, at + 0.25) / alone), 0, 0.6) << "the join at " << at << " s";
    }
    EXPECT_NEAR(Db(Rms(mono, 4.2, 5.9) / alone), 0, 0.2);
}

// Where the sound is cut short it falls to silence over the block asked for, without a click.
TEST(AudioMixer, TheSoundFadesOutWhereItIsCutShort) {
    TempDir dir;
    WriteStereoWav(dir.File("a.wav"), Noise(1, 3));
    AudioMixer mixer({{dir.File("a.wav"), 0, kSecond, 0}});
    std::vector<float> block(882 * kMixChannels);
    std::string error;
    ASSERT_TRUE(mixer.Mix(block.data(), 882, &error));
    ASSERT_TRUE(mixer.MixFadingOut(block.data(), 882, &error));
    const std::vector<float> mono = Left(block);
    EXPECT_EQ(mono.back(), 0.0f);
    EXPECT_GT(Rms(mono, 0, 0.002), 0.1);
    EXPECT_LT(Rms(mono, 0.018, 0.02), 0.02);
}
