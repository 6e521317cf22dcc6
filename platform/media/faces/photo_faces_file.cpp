#include "platform/media/faces/photo_faces_file.h"

#include <sstream>

namespace {

constexpr const char* kHeading = "kavrel photo faces 1";

// Within the photo, give or take the rounding of a sum.
bool Fraction(double value) { return value >= 0 && value <= 1 + 1e-9; }

// "X Y W H", a box inside the photo.
bool ParseFace(const std::string& line, FaceBox* box) {
    std::istringstream words(line);
    std::string x, y, w, h, more;
    if (!(words >> x >> y >> w >> h) || (words >> more)) return false;
    if (!ParseNumber(x, &box->x) || !ParseNumber(y, &box->y) || !ParseNumber(w, &box->w) || !ParseNumber(h, &box->h)) {
        return false;
    }
    return Fraction(box->x) && Fraction(box->y) && box->w > 0 && box->h > 0 && Fraction(box->x + box->w) &&
           Fraction(box->y + box->h);
}

}  // namespace

std::string PhotoFacesText(const FileKey& key, const PhotoFaces& faces) {
    std::string text = EntryHead(kHeading, key) + "read " + (faces.read ? "1" : "0") +
                       "\nwidth " + std::to_string(faces.width) + "\nheight " + std::to_string(faces.height) +
                       "\nfaces " + std::to_string(faces.faces.size()) + "\n";
    for (const FaceBox& box : faces.faces) {
        text += ExactNumber(box.x) + " " + ExactNumber(box.y) + " " + ExactNumber(box.w) + " " + ExactNumber(box.h) + "\n";
    }
    return text + kEntryEnd + "\n";
}

bool ParsePhotoFacesText(const std::string& text, const FileKey& key, PhotoFaces* faces) {
    std::istringstream in(text);
    std::string line;
    PhotoFaces read;
    int wasRead = 0;
    std::size_t count = 0;
    if (!ReadEntryHead(in, kHeading, key) || !NumberField(in, "read", &wasRead) || !NumberField(in, "width", &read.width) ||
        !NumberField(in, "height", &read.height) || !NumberField(in, "faces", &count)) {
        return false;
    }
    read.read = wasRead == 1;
    if (read.read != (read.width > 0 && read.height > 0) || (!read.read && count > 0)) return false;
    for (std::size_t i = 0; i < count; ++i) {
        FaceBox box;
        if (!std::getline(in, line) || !ParseFace(line, &box)) return false;
        read.faces.push_back(box);
    }
    if (!ReadEntryEnd(in)) return false;
    *faces = std::move(read);
    return true;
}
