#pragma once
// Music analyses kept in memory and as text files in a folder, keyed by the file's path, size and
// modification time. A song missing from both, or changed since, is measured and kept in both; a
// folder that cannot be written only costs the next run a fresh measurement.
//
// Safe to call from any thread. Two threads asking for the same new song at once both measure it.

#include <map>
#include <mutex>
#include <string>

#include "platform/audio/music_analysis.h"
#include "platform/audio/music_analysis_file.h"

class MusicAnalysisCache {
public:
    explicit MusicAnalysisCache(std::string folder);

    // As AnalyseMusic.
    bool Analyse(const std::string& path, MusicAnalysis* result, std::string* error);

    // The folder's file for `path`: the MD5 of the path in hex.
    std::string FileOf(const std::string& path) const;

private:
    struct Kept {
        FileKey key;
        MusicAnalysis analysis;
    };
    bool FindInMemory(const FileKey& key, MusicAnalysis* result);
    void KeepInMemory(const FileKey& key, const MusicAnalysis& analysis);
    bool FindOnDisk(const FileKey& key, MusicAnalysis* result) const;
    void KeepOnDisk(const FileKey& key, const MusicAnalysis& analysis) const;

    std::string folder_;
    std::mutex mutex_;
    std::map<std::string, Kept> memory_;  // by path
};
