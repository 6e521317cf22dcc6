#pragma once
// Faces found with dlib's HOG frontal face detector (trained into the library, nothing to load) on
// a grey copy of the photo whose long edge is kFaceSearchEdge pixels: faces down to about a
// thirteenth of the long edge are found, at about 60 ms of one core a photo (bench/face-detect.sh).
//
// Safe to call from any thread; each thread keeps a detector of its own.

#include <string>
#include <vector>

#include "platform/media/faces/photo_faces.h"

struct ThumbnailPicture;

inline constexpr int kFaceSearchEdge = 1024;

// The faces in `picture`, an upright photo of any size, largest first.
std::vector<FaceBox> FacesInPicture(const ThumbnailPicture& picture);

// The photo at `path` decoded at reduced size and searched, without any cache.
PhotoFaces SearchPhotoForFaces(const std::string& path);
