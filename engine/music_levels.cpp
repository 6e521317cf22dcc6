#include "engine/music_levels.h"

LoudnessGain GainToTarget(const MusicLevel& level, double targetLufs) {
    const double gain = targetLufs - level.integratedLufs;
    if (level.truePeakDbtp + gain <= kPeakCeilingDbtp) return {gain, false};
    return {kPeakCeilingDbtp - level.truePeakDbtp, true};
}

double SongGainDb(const MusicItem& item, const MusicMix& mix, const MusicLevelOf& levelOf) {
    double gain = item.song.volumeDb;
    if (mix.evenLoudness && levelOf) {
        if (const std::optional<MusicLevel> level = levelOf(item.path)) {
            gain += GainToTarget(*level, mix.loudnessTargetLufs).gainDb;
        }
    }
    return gain;
}
