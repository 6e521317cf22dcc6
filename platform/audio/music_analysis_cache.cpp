#include "platform/audio/music_analysis_cache.h"

#include <filesystem>
#include <system_error>

#include "platform/audio/music_measure.h"

MusicAnalysisCache::MusicAnalysisCache(std::string folder) : folder_(std::move(folder)) {}

bool MusicAnalysisCache::Analyse(const std::string& path, MusicAnalysis* result, std::string* error) {
    std::error_code failed;
    const std::filesystem::path absolute = std::filesystem::absolute(path, failed);
    FileKey key;
    // A file that cannot be looked at is left to the reader to explain.
    if (failed || !CurrentFileKey(absolute.string(), &key)) return MeasureMusic(path, result, error);
    if (FindInMemory(key, result)) return true;
    if (FindOnDisk(key, result)) {
        KeepInMemory(key, *result);
        return true;
    }
    if (!MeasureMusic(path, result, error)) return false;
    KeepInMemory(key, *result);
    KeepOnDisk(key, *result);
    return true;
}

std::string MusicAnalysisCache::FileOf(const std::string& path) const { return EntryFile(folder_, path); }

bool MusicAnalysisCache::FindInMemory(const FileKey& key, MusicAnalysis* result) {
    std::lock_guard lock(mutex_);
    const auto kept = memory_.find(key.path);
    if (kept == memory_.end() || !(kept->second.key == key)) return false;
    *result = kept->second.analysis;
    return true;
}

void MusicAnalysisCache::KeepInMemory(const FileKey& key, const MusicAnalysis& analysis) {
    std::lock_guard lock(mutex_);
    memory_[key.path] = {key, analysis};
}

bool MusicAnalysisCache::FindOnDisk(const FileKey& key, MusicAnalysis* result) const {
    return ParseMusicAnalysisText(ReadEntryFile(FileOf(key.path)), key, result);
}

void MusicAnalysisCache::KeepOnDisk(const FileKey& key, const MusicAnalysis& analysis) const {
    WriteEntryFile(FileOf(key.path), MusicAnalysisText(key, analysis));
}
