#pragma once
// The text file that keeps one song's analysis between runs, tagged with what identifies the song:
// its path, size and modification time. A file with another tag, or damaged, is not used.

#include <string>

#include "platform/audio/music_analysis.h"

struct MusicFileKey {
    std::string path;
    long long size = 0;
    long long mtimeNs = 0;
    bool operator==(const MusicFileKey&) const = default;
};

// The key of the file at `path` as it is now; false when it cannot be read.
bool CurrentMusicFileKey(const std::string& path, MusicFileKey* key);

std::string MusicAnalysisText(const MusicFileKey& key, const MusicAnalysis& analysis);
// False when `text` is damaged or tagged with another key.
bool ParseMusicAnalysisText(const std::string& text, const MusicFileKey& key, MusicAnalysis* analysis);
