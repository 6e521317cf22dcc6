// Searches photos for faces with the program's detector (dlib's HOG frontal face detector) and,
// where built with OpenCV, with OpenCV's cascades, each on the same reduced picture (long edge
// kFaceSearchEdge), and prints per photo and in all the CPU milliseconds of one core each search
// took (decoding not counted) and what each found against the faces known to be there.
//
// Usage: bench-face-detect [--truth FILE] [--cascade XML]... PHOTO...
//   FILE has a line "NAME X Y W H" per known face (fractions of the photo, NAME its file name) and
//   "NAME none" for a photo known to have none; photos it does not name are counted, not judged.

#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/media/faces/face_search.h"
#include "platform/media/thumbnails/thumbnail_picture.h"

#ifdef KAVREL_BENCH_OPENCV
#include <opencv2/imgproc.hpp>
#include <opencv2/objdetect.hpp>
#endif

namespace {

double ThreadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct Truth {
    bool known = false;
    std::vector<FaceBox> faces;
};

std::map<std::string, Truth> ReadTruth(const std::string& file) {
    std::map<std::string, Truth> truth;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string name, first;
        if (!(words >> name >> first)) continue;
        Truth& t = truth[name];
        t.known = true;
        if (first == "none") continue;
        FaceBox box{std::stod(first)};
        words >> box.y >> box.w >> box.h;
        t.faces.push_back(box);
    }
    return truth;
}

// A found box is the known face when their centres are within half the face's width and their
// widths within a factor of two: detectors frame a face more or less tightly.
bool Same(const FaceBox& found, const FaceBox& known) {
    const double dx = (found.x + found.w / 2) - (known.x + known.w / 2);
    const double dy = (found.y + found.h / 2) - (known.y + known.h / 2);
    const double ratio = found.w / known.w;
    return std::hypot(dx, dy * known.h / known.w) < known.w / 2 && ratio > 0.5 && ratio < 2;
}

struct Score {
    int hits = 0, falses = 0, misses = 0;
};

Score Judge(const std::vector<FaceBox>& found, const Truth& truth) {
    Score score;
    std::vector<bool> taken(truth.faces.size());
    for (const FaceBox& f : found) {
        bool hit = false;
        for (std::size_t i = 0; i < truth.faces.size() && !hit; ++i) {
            if (!taken[i] && Same(f, truth.faces[i])) taken[i] = hit = true;
        }
        hit ? ++score.hits : ++score.falses;
    }
    score.misses = static_cast<int>(std::count(taken.begin(), taken.end(), false));
    return score;
}

struct Detector {
    using Search = std::function<std::vector<FaceBox>(const ThumbnailPicture&)>;
    Detector(std::string n, Search s) : name(std::move(n)), search(std::move(s)) {}
    std::string name;
    Search search;
    Score total;
    double ms = 0, worstMs = 0;
    int photos = 0, found = 0;
};

#ifdef KAVREL_BENCH_OPENCV
// The same grey picture at the search size as the program's detector sees, its histogram
// equalised as OpenCV's cascades expect; the smallest face is about the smallest dlib finds.
std::vector<FaceBox> CascadeFaces(cv::CascadeClassifier& cascade, const ThumbnailPicture& picture) {
    const cv::Mat rgba(picture.height, picture.width, CV_8UC4, const_cast<std::uint8_t*>(picture.rgba.data()));
    cv::Mat grey, sized, equalised;
    cv::cvtColor(rgba, grey, cv::COLOR_RGBA2GRAY);
    const double scale = static_cast<double>(kFaceSearchEdge) / std::max(picture.width, picture.height);
    cv::resize(grey, sized, cv::Size(), scale, scale, cv::INTER_LINEAR);
    cv::equalizeHist(sized, equalised);
    std::vector<cv::Rect> rects;
    cascade.detectMultiScale(equalised, rects, 1.1, 5, 0, cv::Size(kFaceSearchEdge / 16, kFaceSearchEdge / 16));
    std::vector<FaceBox> faces;
    for (const cv::Rect& r : rects) {
        faces.push_back({double(r.x) / sized.cols, double(r.y) / sized.rows, double(r.width) / sized.cols,
                         double(r.height) / sized.rows});
    }
    return faces;
}
#endif

std::string NameOf(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

void PrintTotal(const Detector& d) {
    const Score& s = d.total;
    std::printf("  %-44s %3d of %3d known faces found, %3d false faces, %3d found in unjudged photos; "
                "mean %6.1f ms, worst %6.1f ms of one core\n",
                d.name.c_str(), s.hits, s.hits + s.misses, s.falses, d.found, d.ms / std::max(1, d.photos), d.worstMs);
}

}  // namespace

int main(int argc, char** argv) {
    std::map<std::string, Truth> truth;
    std::vector<Detector> detectors{Detector("dlib HOG frontal face", FacesInPicture)};
#ifdef KAVREL_BENCH_OPENCV
    std::vector<std::unique_ptr<cv::CascadeClassifier>> cascades;
#endif
    std::vector<std::string> photos;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--truth" && i + 1 < argc) {
            truth = ReadTruth(argv[++i]);
        } else if (arg == "--cascade" && i + 1 < argc) {
#ifdef KAVREL_BENCH_OPENCV
            cascades.push_back(std::make_unique<cv::CascadeClassifier>(argv[++i]));
            if (cascades.back()->empty()) {
                std::fprintf(stderr, "cannot load %s\n", argv[i]);
                return 1;
            }
            cv::CascadeClassifier* cascade = cascades.back().get();
            detectors.emplace_back("OpenCV " + NameOf(argv[i]),
                                   [cascade](const ThumbnailPicture& p) { return CascadeFaces(*cascade, p); });
#else
            std::fprintf(stderr, "built without OpenCV: %s not measured\n", argv[++i]);
#endif
        } else {
            photos.push_back(arg);
        }
    }
    std::printf("search picture: long edge %d px; per photo: faces known, then found/false/ms per detector\n",
                kFaceSearchEdge);
    for (const std::string& path : photos) {
        ThumbnailPicture picture;
        std::string error;
        if (!MakeThumbnail(path, kFaceSearchEdge, &picture, &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        const Truth& known = truth[NameOf(path)];
        std::printf("%-28s %5s", NameOf(path).c_str(),
                    known.known ? std::to_string(known.faces.size()).c_str() : "?");
        for (Detector& d : detectors) {
            d.search(picture);  // the first call on a thread sets the detector up
            const double start = ThreadCpuMs();
            const std::vector<FaceBox> found = d.search(picture);
            const double ms = ThreadCpuMs() - start;
            d.ms += ms;
            d.worstMs = std::max(d.worstMs, ms);
            ++d.photos;
            if (known.known) {
                const Score s = Judge(found, known);
                d.total.hits += s.hits;
                d.total.falses += s.falses;
                d.total.misses += s.misses;
                std::printf(" | %2d/%d %6.1f", s.hits, s.falses, ms);
            } else {
                d.found += static_cast<int>(found.size());
                std::printf(" | %2zu?  %6.1f", found.size(), ms);
            }
        }
        std::printf("\n");
    }
    std::printf("in all, %zu photos:\n", photos.size());
    for (const Detector& d : detectors) PrintTotal(d);
    return 0;
}
