#pragma once
// The beats of the mix format's stereo floats, fed block by block: aubio's tempo tracker on their
// mono downmix, each beat set on the attack next to it.

#include <deque>
#include <memory>
#include <vector>

#include "platform/audio/attack_finder.h"
#include "platform/audio/music_analysis.h"

class BeatTracker {
public:
    BeatTracker();
    ~BeatTracker();
    BeatTracker(const BeatTracker&) = delete;
    BeatTracker& operator=(const BeatTracker&) = delete;

    void Add(const float* interleaved, int frames);
    // Sets tempoBpm and beats.
    void Finish(MusicAnalysis* result);

private:
    struct Aubio;
    void Track();
    // Places the beats found whose surroundings have been heard up to `heard` seconds.
    void Place(double heard);

    std::unique_ptr<Aubio> aubio_;
    std::vector<float> hop_;
    std::size_t filled_ = 0;      // mono samples waiting in hop_
    AttackFinder attacks_;
    std::deque<double> found_;    // as aubio's tracker places them, waiting for the sound after them
    std::vector<double> placed_;  // on their attacks
};
