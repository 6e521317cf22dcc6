#pragma once
// Where the faces are in a photo, so that the show's moves can aim at them.

#include <string>
#include <vector>

struct FaceBox {
    double x = 0, y = 0, w = 0, h = 0;  // fractions of the upright photo's width and height
    bool operator==(const FaceBox&) const = default;
};

struct PhotoFaces {
    bool read = false;           // false: the photo could not be read (then no faces)
    int width = 0, height = 0;   // the upright photo's full size in pixels (as the video shows it)
    std::vector<FaceBox> faces;  // largest first
    bool operator==(const PhotoFaces&) const = default;
};

// The faces of the photo at `path`, found once per file: kept in memory and in the user's cache
// folder ($XDG_CACHE_HOME/kavrel/faces, else ~/.cache/kavrel/faces), keyed by the file's path, size
// and modification time. A damaged or outdated entry is found again; a folder that cannot be
// written only costs the cache. Callable from any thread.
PhotoFaces FacesOfPhoto(const std::string& path);

// Finds the faces of those of `paths` not yet known, on `threads` threads (0: one per core), and
// returns when all are known: for a caller that waits for them.
void FindFacesAhead(const std::vector<std::string>& paths, int threads = 0);
