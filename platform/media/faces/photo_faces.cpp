#include "platform/media/faces/photo_faces.h"

#include "platform/media/faces/face_search.h"
#include "platform/media/faces/photo_faces_cache.h"
#include "platform/shell/user_folders.h"

namespace {

PhotoFacesCache& TheCache() {
    static PhotoFacesCache cache(UserCacheFolder() + "/kavrel/faces", SearchPhotoForFaces);
    return cache;
}

}  // namespace

PhotoFaces FacesOfPhoto(const std::string& path) { return TheCache().Faces(path); }

void FindFacesAhead(const std::vector<std::string>& paths, int threads) { TheCache().FindAhead(paths, threads); }
