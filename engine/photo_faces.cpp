#include "engine/photo_faces.h"

#include "platform/media/faces/photo_faces.h"

FoundFaces FacesOfFile(const std::string& path) {
    const PhotoFaces found = FacesOfPhoto(path);
    FoundFaces faces{found.read, found.width, found.height, {}};
    for (const FaceBox& box : found.faces) faces.faces.push_back({box.x, box.y, box.w, box.h});
    return faces;
}

void FindFacesOfAll(const std::vector<std::string>& paths) { FindFacesAhead(paths); }
