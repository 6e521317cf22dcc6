// Times turning one photo into a frame as a conversion does (DecodePhotoFrame) and, in the same
// run, libheif decoding the same file to its own 4:2:0 planes, neither converted nor scaled: the
// decode-only limit. Prints the median and the fastest of the runs, the peak memory, and what the
// process still holds once the photos are gone.
//
// Usage: bench-heic-decode WIDTH HEIGHT RUNS PHOTO...

#include <libheif/heif.h>
#include <malloc.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/render/decode/photo_decoder.h"

namespace {

double Milliseconds(const std::function<bool()>& work, bool* ok) {
    const auto start = std::chrono::steady_clock::now();
    *ok = work() && *ok;
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

void Report(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("  %-28s median %7.1f ms   fastest %7.1f ms\n", what, ms[ms.size() / 2],
                ms.front());
}

bool DecodeOnly(const std::string& path) {
    heif_context* ctx = heif_context_alloc();
    heif_image_handle* handle = nullptr;
    heif_image* image = nullptr;
    bool ok =
        heif_context_read_from_file(ctx, path.c_str(), nullptr).code == heif_error_Ok &&
        heif_context_get_primary_image_handle(ctx, &handle).code == heif_error_Ok &&
        heif_decode_image(handle, &image, heif_colorspace_YCbCr, heif_chroma_420, nullptr).code ==
            heif_error_Ok;
    heif_image_release(image);
    heif_image_handle_release(handle);
    heif_context_free(ctx);
    return ok;
}

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s WIDTH HEIGHT RUNS PHOTO...\n", argv[0]);
        return 2;
    }
    const int width = std::atoi(argv[1]), height = std::atoi(argv[2]),
              runs = std::max(1, std::atoi(argv[3]));
    const long startKb = ResidentKb();
    bool ok = true;
    for (int p = 4; p < argc; ++p) {
        const std::string path = argv[p];
        std::printf("%s into %d x %d, %d runs:\n", path.c_str(), width, height, runs);
        std::vector<double> frame, limit;
        for (int r = 0; r < runs; ++r) {
            frame.push_back(Milliseconds(
                [&] {
                    FramePtr f;
                    std::string error;
                    if (!DecodePhotoFrame(path, width, height, &f, &error))
                        std::fprintf(stderr, "%s\n", error.c_str());
                    return f != nullptr;
                },
                &ok));
            malloc_trim(0);  // as the conversion's photo decoder does after each photo
            if (path.size() > 5 && path.substr(path.size() - 5) == ".heic") {
                limit.push_back(Milliseconds([&] { return DecodeOnly(path); }, &ok));
                malloc_trim(0);
            }
        }
        Report("photo to frame (Kavrel)", frame);
        if (!limit.empty()) Report("decode only (libheif, limit)", limit);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory %ld MB; held after the photos: %ld MB more than at the start\n",
                usage.ru_maxrss / 1024, (ResidentKb() - startKb) / 1024);
    return ok ? 0 : 1;
}
