#pragma once
// The text file that keeps one song's analysis between runs, tagged with what identifies the song:
// its path, size and modification time. A file with another tag, or damaged, is not used.

#include <string>

#include "platform/audio/music_analysis.h"
#include "platform/shell/cache_entry.h"

std::string MusicAnalysisText(const FileKey& key, const MusicAnalysis& analysis);
// False when `text` is damaged or tagged with another key.
bool ParseMusicAnalysisText(const std::string& text, const FileKey& key, MusicAnalysis* analysis);
