#pragma once
// The text file that keeps one photo's faces between runs, tagged with what identifies the photo:
// its path, size and modification time. A file with another tag, or damaged, is not used.

#include <string>

#include "platform/media/faces/photo_faces.h"

struct PhotoFileKey {
    std::string path;
    long long size = 0;
    long long mtimeNs = 0;
    bool operator==(const PhotoFileKey&) const = default;
};

// The key of the file at `path` as it is now; false when it is no file that can be looked at.
bool CurrentPhotoFileKey(const std::string& path, PhotoFileKey* key);

std::string PhotoFacesText(const PhotoFileKey& key, const PhotoFaces& faces);
// False when `text` is damaged or tagged with another key.
bool ParsePhotoFacesText(const std::string& text, const PhotoFileKey& key, PhotoFaces* faces);
