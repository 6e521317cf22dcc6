#include "platform/render/audio_mixer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

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
