#include "platform/media/faces/photo_faces_cache.h"

#include <QCryptographicHash>
#include <QThread>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <thread>

#include "platform/render/write/replacing_file.h"

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
    PhotoFileKey key;
    // A file that cannot be looked at is searched (and found unreadable) each time it is asked for.
    if (!CurrentPhotoFileKey(AbsolutePath(path), &key)) return search_(path);
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
        PhotoFileKey key;
        PhotoFaces ignored;
        if (!CurrentPhotoFileKey(AbsolutePath(path), &key) || !Known(key, &ignored)) unknown.push_back(path);
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

std::string PhotoFacesCache::FileOf(const std::string& path) const {
    const QByteArray md5 = QCryptographicHash::hash(QByteArray::fromStdString(AbsolutePath(path)), QCryptographicHash::Md5);
    return folder_ + "/" + md5.toHex().toStdString() + ".txt";
}

bool PhotoFacesCache::Known(const PhotoFileKey& key, PhotoFaces* faces) {
    if (FindInMemory(key, faces)) return true;
    if (!FindOnDisk(key, faces)) return false;
    KeepInMemory(key, *faces);
    return true;
}

bool PhotoFacesCache::FindInMemory(const PhotoFileKey& key, PhotoFaces* faces) {
    std::lock_guard lock(mutex_);
    const auto kept = memory_.find(key.path);
    if (kept == memory_.end() || !(kept->second.key == key)) return false;
    *faces = kept->second.faces;
    return true;
}

void PhotoFacesCache::KeepInMemory(const PhotoFileKey& key, const PhotoFaces& faces) {
    std::lock_guard lock(mutex_);
    memory_[key.path] = {key, faces};
}

bool PhotoFacesCache::FindOnDisk(const PhotoFileKey& key, PhotoFaces* faces) const {
    std::ifstream in(FileOf(key.path), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return ParsePhotoFacesText(text.str(), key, faces);
}

void PhotoFacesCache::KeepOnDisk(const PhotoFileKey& key, const PhotoFaces& faces) const {
    std::error_code ignored;
    std::filesystem::create_directories(folder_, ignored);
    ReplacingFile file;
    std::string failure;
    if (!file.Create(FileOf(key.path), &failure) || !file.Write(PhotoFacesText(key, faces), &failure) ||
        !file.Commit(&failure)) {
        file.Discard();
    }
}
