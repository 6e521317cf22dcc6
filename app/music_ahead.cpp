#include "app/music_ahead.h"

#include "engine/song_analysis.h"

MusicAhead::MusicAhead() {
    pool_.setMaxThreadCount(1);
    pool_.setThreadPriority(QThread::LowPriority);
}

MusicAhead::~MusicAhead() {
    pool_.clear();
    pool_.waitForDone();
}

void MusicAhead::Analyse(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        pool_.start([path] { LevelOfSong(path); });
    }
}
