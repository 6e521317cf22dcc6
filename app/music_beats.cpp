#include "app/music_beats.h"

#include "platform/audio/music_analysis.h"

bool BeatsOfMusicFile(const std::string& path, std::vector<double>* beats) {
    MusicAnalysis analysis;
    std::string error;
    if (!AnalyseMusic(path, &analysis, &error)) return false;
    *beats = std::move(analysis.beats);
    return true;
}
