#include "engine/song_analysis.h"

#include "platform/audio/music_analysis.h"

std::optional<MusicLevel> LevelOfSong(const std::string& path) {
    MusicAnalysis analysis;
    std::string error;
    if (!AnalyseMusic(path, &analysis, &error) || !analysis.measured) return std::nullopt;
    return MusicLevel{analysis.integratedLufs, analysis.truePeakDbtp};
}

bool BeatsOfSong(const std::string& path, std::vector<double>* beats) {
    MusicAnalysis analysis;
    std::string error;
    if (!AnalyseMusic(path, &analysis, &error)) return false;
    *beats = std::move(analysis.beats);
    return true;
}
