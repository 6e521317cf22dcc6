#pragma once
// The text file that keeps one photo's faces between runs, tagged with what identifies the photo:
// its path, size and modification time. A file with another tag, or damaged, is not used.

#include <string>

#include "platform/media/faces/photo_faces.h"
#include "platform/shell/cache_entry.h"

std::string PhotoFacesText(const FileKey& key, const PhotoFaces& faces);
// False when `text` is damaged or tagged with another key.
bool ParsePhotoFacesText(const std::string& text, const FileKey& key, PhotoFaces* faces);
