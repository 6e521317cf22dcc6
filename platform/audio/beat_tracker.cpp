#include "platform/audio/beat_tracker.h"

#include <algorithm>
#include <aubio/aubio.h>
#include <limits>

#include "platform/audio/mix_format.h"

namespace {

constexpr unsigned kWindow = 1024;
constexpr unsigned kHop = 512;
// aubio's tracker predicts beats from a period it knows to a fraction of a hop and finds their
// phase again every 1.5 s, so they wander: on a steady click track from 30 ms early to 5 ms late,
// no fixed latency. Each is moved onto the sharpest attack this close to it, if there is one.
constexpr double kAttackReach = 0.04;

double MedianInterval(const std::vector<double>& beats) {
    std::vector<double> intervals;
    for (std::size_t i = 1; i < beats.size(); ++i) intervals.push_back(beats[i] - beats[i - 1]);
    std::nth_element(intervals.begin(), intervals.begin() + intervals.size() / 2, intervals.end());
    return intervals[intervals.size() / 2];
}

}  // namespace

struct BeatTracker::Aubio {
    Aubio() : tempo(new_aubio_tempo("default", kWindow, kHop, kMixRate)), found(new_fvec(1)) {}
    ~Aubio() {
        if (tempo != nullptr) del_aubio_tempo(tempo);
        if (found != nullptr) del_fvec(found);
    }
    aubio_tempo_t* tempo;
    fvec_t* found;
};

BeatTracker::BeatTracker() : aubio_(std::make_unique<Aubio>()), hop_(kHop) {}

BeatTracker::~BeatTracker() = default;

void BeatTracker::Add(const float* interleaved, int frames) {
    for (int i = 0; i < frames; ++i) {
        hop_[filled_++] = 0.5f * (interleaved[2 * i] + interleaved[2 * i + 1]);
        if (filled_ == kHop) Track();
    }
}

void BeatTracker::Track() {
    filled_ = 0;
    attacks_.Add(hop_.data(), kHop);
    if (aubio_->tempo == nullptr || aubio_->found == nullptr) return;
    fvec_t in{kHop, hop_.data()};
    aubio_tempo_do(aubio_->tempo, &in, aubio_->found);
    if (aubio_->found->data[0] != 0) found_.push_back(aubio_tempo_get_last_s(aubio_->tempo));
    Place(attacks_.Heard());
}

void BeatTracker::Place(double heard) {
    while (!found_.empty() && found_.front() + kAttackReach <= heard) {
        const double beat = attacks_.Near(found_.front(), kAttackReach);
        found_.pop_front();
        if (placed_.empty() || beat > placed_.back()) placed_.push_back(beat);
    }
}

void BeatTracker::Finish(MusicAnalysis* result) {
    Place(std::numeric_limits<double>::infinity());
    result->beats = placed_;
    // The beats' own spacing, not aubio's period, which is as coarse as their placing.
    result->tempoBpm = placed_.size() >= 2 ? 60 / MedianInterval(placed_) : 0;
}
