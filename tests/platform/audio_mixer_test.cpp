#include "platform/render/audio_mixer.h"

#include <gtest/gtest.h>

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
