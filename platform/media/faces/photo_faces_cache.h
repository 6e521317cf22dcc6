#pragma once
// Photos' faces kept in memory and as text files in a folder, keyed by the file's path, size and
// modification time. A photo missing from both, or changed since, is searched and kept in both; a
// folder that cannot be written only costs the next run a fresh search.
//
// Safe to call from any thread. Two threads asking for the same new photo at once both search it.

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/media/faces/photo_faces.h"
#include "platform/media/faces/photo_faces_file.h"

class PhotoFacesCache {
public:
    using Search = std::function<PhotoFaces(const std::string& path)>;
    // `search` finds the faces of a photo not kept yet (SearchPhotoForFaces, unless a test counts).
    explicit PhotoFacesCache(std::string folder, Search search);

    // As FacesOfPhoto.
    PhotoFaces Faces(const std::string& path);
    // As FindFacesAhead.
    void FindAhead(const std::vector<std::string>& paths, int threads);

    // The folder's file for `path`: the MD5 of its absolute path in hex.
    std::string FileOf(const std::string& path) const;

private:
    struct Kept {
        FileKey key;
        PhotoFaces faces;
    };
    bool Known(const FileKey& key, PhotoFaces* faces);
    bool FindInMemory(const FileKey& key, PhotoFaces* faces);
    void KeepInMemory(const FileKey& key, const PhotoFaces& faces);
    bool FindOnDisk(const FileKey& key, PhotoFaces* faces) const;
    void KeepOnDisk(const FileKey& key, const PhotoFaces& faces) const;

    std::string folder_;
    Search search_;
    std::mutex mutex_;
    std::map<std::string, Kept> memory_;  // by absolute path
};
