#include "platform/media/faces/photo_faces_file.h"

#include <charconv>
#include <sstream>
#include <sys/stat.h>

namespace {

constexpr const char* kHeading = "kavrel photo faces 1";
constexpr const char* kEnd = "end";  // a file cut short lacks it

std::string Number(double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;  // shortest exact form
    return std::string(text, end);
}

template <typename T>
bool ParseNumber(std::string_view text, T* value) {
    const auto [end, fault] = std::from_chars(text.data(), text.data() + text.size(), *value);
    return fault == std::errc() && end == text.data() + text.size();
}

// Reads "NAME VALUE" from the next line into *value.
bool Field(std::istream& in, const std::string& name, std::string* value) {
    std::string line;
    if (!std::getline(in, line) || line.compare(0, name.size() + 1, name + " ") != 0) return false;
    *value = line.substr(name.size() + 1);
    return true;
}

template <typename T>
bool NumberField(std::istream& in, const std::string& name, T* value) {
    std::string text;
    return Field(in, name, &text) && ParseNumber(text, value);
}

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

bool CurrentPhotoFileKey(const std::string& path, PhotoFileKey* key) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    key->path = path;
    key->size = static_cast<long long>(st.st_size);
    key->mtimeNs = static_cast<long long>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    return true;
}

std::string PhotoFacesText(const PhotoFileKey& key, const PhotoFaces& faces) {
    std::string text = std::string(kHeading) + "\npath " + key.path + "\nsize " + std::to_string(key.size) +
                       "\nmtime " + std::to_string(key.mtimeNs) + "\nread " + (faces.read ? "1" : "0") +
                       "\nwidth " + std::to_string(faces.width) + "\nheight " + std::to_string(faces.height) +
                       "\nfaces " + std::to_string(faces.faces.size()) + "\n";
    for (const FaceBox& box : faces.faces) {
        text += Number(box.x) + " " + Number(box.y) + " " + Number(box.w) + " " + Number(box.h) + "\n";
    }
    return text + kEnd + "\n";
}

bool ParsePhotoFacesText(const std::string& text, const PhotoFileKey& key, PhotoFaces* faces) {
    std::istringstream in(text);
    std::string line;
    PhotoFileKey found;
    PhotoFaces read;
    int wasRead = 0;
    std::size_t count = 0;
    if (!std::getline(in, line) || line != kHeading || !Field(in, "path", &found.path) ||
        !NumberField(in, "size", &found.size) || !NumberField(in, "mtime", &found.mtimeNs) || !(found == key) ||
        !NumberField(in, "read", &wasRead) || !NumberField(in, "width", &read.width) ||
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
    if (!std::getline(in, line) || line != kEnd || std::getline(in, line)) return false;
    *faces = std::move(read);
    return true;
}
