#include "platform/audio/music_measure.h"

#include <vector>

#include "platform/audio/beat_tracker.h"
#include "platform/audio/loudness_meter.h"
#include "platform/audio/music_reader.h"

namespace {
constexpr int kBlockFrames = 8192;
}

bool MeasureMusic(const std::string& path, MusicAnalysis* result, std::string* error) {
    MusicReader reader;
    if (!reader.Open(path, error)) return false;
    LoudnessMeter loudness;
    BeatTracker beats;
    std::vector<float> block(static_cast<std::size_t>(kBlockFrames) * kMixChannels);
    for (int got = kBlockFrames; got == kBlockFrames;) {
        if (!reader.Read(block.data(), kBlockFrames, &got, error)) return false;
        loudness.Add(block.data(), got);
        beats.Add(block.data(), got);
    }
    *result = {};
    loudness.Finish(result);
    beats.Finish(result);
    return true;
}
