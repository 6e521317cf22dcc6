#pragma once
// EBU R128 integrated loudness and true peak of the mix format's stereo floats, fed block by block.

#include <memory>

#include "platform/audio/music_analysis.h"

class LoudnessMeter {
public:
    LoudnessMeter();
    ~LoudnessMeter();
    LoudnessMeter(const LoudnessMeter&) = delete;
    LoudnessMeter& operator=(const LoudnessMeter&) = delete;

    void Add(const float* interleaved, int frames);
    // Sets measured, integratedLufs and truePeakDbtp; a silent or too short sound is not measured.
    void Finish(MusicAnalysis* result) const;

private:
    struct State;
    std::unique_ptr<State> state_;
};
