#include "platform/media/faces/face_search.h"

#include <dlib/image_processing/frontal_face_detector.h>
#include <dlib/image_transforms/interpolation.h>

#include <algorithm>
#include <cmath>

#include "platform/media/thumbnails/thumbnail_picture.h"
#include "platform/render/decode/photo_decoder.h"

namespace {

dlib::array2d<unsigned char> Grey(const ThumbnailPicture& picture) {
    dlib::array2d<unsigned char> grey(picture.height, picture.width);
    const std::uint8_t* p = picture.rgba.data();
    for (long y = 0; y < grey.nr(); ++y) {
        for (long x = 0; x < grey.nc(); ++x, p += 4) {
            grey[y][x] = static_cast<unsigned char>((77 * p[0] + 150 * p[1] + 29 * p[2]) >> 8);  // BT.601 luma
        }
    }
    return grey;
}

// Small photos are enlarged too, so that a face is found down to the same share of any photo.
dlib::array2d<unsigned char> AtSearchSize(dlib::array2d<unsigned char> grey) {
    const double scale = static_cast<double>(kFaceSearchEdge) / std::max(grey.nc(), grey.nr());
    const long width = std::max(1L, std::lround(grey.nc() * scale));
    const long height = std::max(1L, std::lround(grey.nr() * scale));
    if (width == grey.nc() && height == grey.nr()) return grey;
    dlib::array2d<unsigned char> sized(height, width);
    dlib::resize_image(grey, sized);
    return sized;
}

// The part of `r` inside a picture of width × height, in fractions of it.
FaceBox Fractions(const dlib::rectangle& r, long width, long height) {
    const double left = std::clamp<double>(r.left(), 0, width), right = std::clamp<double>(r.right() + 1, 0, width);
    const double top = std::clamp<double>(r.top(), 0, height), bottom = std::clamp<double>(r.bottom() + 1, 0, height);
    return {left / width, top / height, (right - left) / width, (bottom - top) / height};
}

}  // namespace

std::vector<FaceBox> FacesInPicture(const ThumbnailPicture& picture) {
    if (picture.width <= 0 || picture.height <= 0) return {};
    thread_local dlib::frontal_face_detector detector = dlib::get_frontal_face_detector();
    const dlib::array2d<unsigned char> grey = AtSearchSize(Grey(picture));
    std::vector<FaceBox> faces;
    for (const dlib::rectangle& found : detector(grey)) {
        const FaceBox box = Fractions(found, grey.nc(), grey.nr());
        if (box.w > 0 && box.h > 0) faces.push_back(box);
    }
    std::stable_sort(faces.begin(), faces.end(),
                     [](const FaceBox& a, const FaceBox& b) { return a.w * a.h > b.w * b.h; });
    return faces;
}

PhotoFaces SearchPhotoForFaces(const std::string& path) {
    PhotoSize size;
    ThumbnailPicture picture;
    std::string error;
    if (!ProbePhoto(path, &size, &error) || !MakeThumbnail(path, kFaceSearchEdge, &picture, &error)) return {};
    return {true, size.width, size.height, FacesInPicture(picture)};
}
