#pragma once
// How loud each song plays: the gain that brings its measured loudness to the show's target,
// lowered where that would take its true peak above kPeakCeilingDbtp (no limiter is used), plus
// the song's own volume.

#include <functional>
#include <optional>
#include <string>

#include "app/slideshow_project.h"

inline constexpr double kPeakCeilingDbtp = -1;

struct MusicLevel {
    double integratedLufs = 0;
    double truePeakDbtp = 0;
};
// A song's measured level; none when it cannot be measured (silence, an unreadable file).
using MusicLevelOf = std::function<std::optional<MusicLevel>(const std::string& path)>;

struct LoudnessGain {
    double gainDb = 0;
    bool heldByPeak = false;  // below the target, so that the true peak stays at the ceiling
};
LoudnessGain GainToTarget(const MusicLevel& level, double targetLufs);

// The gain the show gives `item`: to the target when the mix evens loudness out and the song
// could be measured, then the song's own volume.
double SongGainDb(const MusicItem& item, const MusicMix& mix, const MusicLevelOf& levelOf);
