#include "platform/audio/music_analysis.h"

#include "platform/audio/music_analysis_cache.h"
#include "platform/shell/user_folders.h"

bool AnalyseMusic(const std::string& path, MusicAnalysis* result, std::string* error) {
    static MusicAnalysisCache cache(UserCacheFolder() + "/kavrel/music");
    return cache.Analyse(path, result, error);
}
