#include "platform/audio/music_analysis_cache.h"

#include <QCryptographicHash>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "platform/audio/music_measure.h"
#include "platform/render/write/replacing_file.h"

MusicAnalysisCache::MusicAnalysisCache(std::string folder) : folder_(std::move(folder)) {}

bool MusicAnalysisCache::Analyse(const std::string& path, MusicAnalysis* result, std::string* error) {
    std::error_code failed;
    const std::filesystem::path absolute = std::filesystem::absolute(path, failed);
    MusicFileKey key;
    // A file that cannot be looked at is left to the reader to explain.
    if (failed || !CurrentMusicFileKey(absolute.string(), &key)) return MeasureMusic(path, result, error);
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

std::string MusicAnalysisCache::FileOf(const std::string& path) const {
    const QByteArray md5 = QCryptographicHash::hash(QByteArray::fromStdString(path), QCryptographicHash::Md5);
    return folder_ + "/" + md5.toHex().toStdString() + ".txt";
}

bool MusicAnalysisCache::FindInMemory(const MusicFileKey& key, MusicAnalysis* result) {
    std::lock_guard lock(mutex_);
    const auto kept = memory_.find(key.path);
    if (kept == memory_.end() || !(kept->second.key == key)) return false;
    *result = kept->second.analysis;
    return true;
}

void MusicAnalysisCache::KeepInMemory(const MusicFileKey& key, const MusicAnalysis& analysis) {
    std::lock_guard lock(mutex_);
    memory_[key.path] = {key, analysis};
}

bool MusicAnalysisCache::FindOnDisk(const MusicFileKey& key, MusicAnalysis* result) const {
    std::ifstream in(FileOf(key.path), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return ParseMusicAnalysisText(text.str(), key, result);
}

void MusicAnalysisCache::KeepOnDisk(const MusicFileKey& key, const MusicAnalysis& analysis) const {
    std::error_code ignored;
    std::filesystem::create_directories(folder_, ignored);
    ReplacingFile file;
    std::string failure;
    if (!file.Create(FileOf(key.path), &failure) || !file.Write(MusicAnalysisText(key, analysis), &failure) ||
        !file.Commit(&failure)) {
        file.Discard();
    }
}
