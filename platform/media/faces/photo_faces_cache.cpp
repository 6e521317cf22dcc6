#include "platform/media/faces/photo_faces_cache.h"

#include <QThread>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <system_error>
#include <thread>

namespace {

std::string AbsolutePath(const std::string& path) {
    std::error_code failed;
    const std::filesystem::path absolute = std::filesystem::absolute(path, failed);
    return failed ? path : absolute.lexically_normal().string();
}

}  // namespace

PhotoFacesCache::PhotoFacesCache(std::string folder, Search search)
    : folder_(std::move(folder)), search_(std::move(search)) {}

PhotoFaces PhotoFacesCache::Faces(const std::string& path) {
    FileKey key;
    // A file that cannot be looked at is searched (and found unreadable) each time it is asked for.
    if (!CurrentFileKey(AbsolutePath(path), &key)) return search_(path);
    PhotoFaces faces;
    if (Known(key, &faces)) return faces;
    faces = search_(path);
    KeepInMemory(key, faces);
    KeepOnDisk(key, faces);
    return faces;
}

void PhotoFacesCache::FindAhead(const std::vector<std::string>& paths, int threads) {
    std::vector<std::string> unknown;
    for (const std::string& path : paths) {
        FileKey key;
        PhotoFaces ignored;
        if (!CurrentFileKey(AbsolutePath(path), &key) || !Known(key, &ignored)) unknown.push_back(path);
    }
    const std::size_t count =
        std::min<std::size_t>(threads <= 0 ? QThread::idealThreadCount() : threads, unknown.size());
    std::atomic<std::size_t> next = 0;
    std::vector<std::thread> workers;
    for (std::size_t i = 0; i < count; ++i) {
        workers.emplace_back([&] {
            for (std::size_t at = next++; at < unknown.size(); at = next++) Faces(unknown[at]);
        });
    }
    for (std::thread& worker : workers) worker.join();
}

std::string PhotoFacesCache::FileOf(const std::string& path) const { return EntryFile(folder_, AbsolutePath(path)); }

bool PhotoFacesCache::Known(const FileKey& key, PhotoFaces* faces) {
    if (FindInMemory(key, faces)) return true;
    if (!FindOnDisk(key, faces)) return false;
    KeepInMemory(key, *faces);
    return true;
}

bool PhotoFacesCache::FindInMemory(const FileKey& key, PhotoFaces* faces) {
    std::lock_guard lock(mutex_);
    const auto kept = memory_.find(key.path);
    if (kept == memory_.end() || !(kept->second.key == key)) return false;
    *faces = kept->second.faces;
    return true;
}

void PhotoFacesCache::KeepInMemory(const FileKey& key, const PhotoFaces& faces) {
    std::lock_guard lock(mutex_);
    memory_[key.path] = {key, faces};
}

bool PhotoFacesCache::FindOnDisk(const FileKey& key, PhotoFaces* faces) const {
    return ParsePhotoFacesText(ReadEntryFile(FileOf(key.path)), key, faces);
}

void PhotoFacesCache::KeepOnDisk(const FileKey& key, const PhotoFaces& faces) const {
    WriteEntryFile(FileOf(key.path), PhotoFacesText(key, faces));
}
