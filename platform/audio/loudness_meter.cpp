#include "platform/audio/loudness_meter.h"

#include <algorithm>
#include <cmath>
#include <ebur128.h>

#include "platform/audio/mix_format.h"

struct LoudnessMeter::State {
    State() : ebur(ebur128_init(kMixChannels, kMixRate, EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK)) {}
    ~State() {
        if (ebur != nullptr) ebur128_destroy(&ebur);
    }
    ebur128_state* ebur;
};

LoudnessMeter::LoudnessMeter() : state_(std::make_unique<State>()) {}

LoudnessMeter::~LoudnessMeter() = default;

void LoudnessMeter::Add(const float* interleaved, int frames) {
    if (state_->ebur != nullptr) ebur128_add_frames_float(state_->ebur, interleaved, static_cast<std::size_t>(frames));
}

void LoudnessMeter::Finish(MusicAnalysis* result) const {
    double lufs = -HUGE_VAL;
    if (state_->ebur == nullptr || ebur128_loudness_global(state_->ebur, &lufs) != EBUR128_SUCCESS || !std::isfinite(lufs)) {
        result->measured = false;
        return;
    }
    double peak = 0;
    for (unsigned channel = 0; channel < kMixChannels; ++channel) {
        double channelPeak = 0;
        if (ebur128_true_peak(state_->ebur, channel, &channelPeak) == EBUR128_SUCCESS) peak = std::max(peak, channelPeak);
    }
    result->measured = true;
    result->integratedLufs = lufs;
    // A sound loud enough to gate is never without a peak; the floor only keeps the figure finite.
    result->truePeakDbtp = 20 * std::log10(std::max(peak, 1e-10));
}
