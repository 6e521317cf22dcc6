// Times a two-line caption on a 1920 × 1080 frame, on one core: drawing it (once per photo, the
// first time with the fonts still to be loaded) and blending it (every frame). Target: blending
// well under 0.5 ms a frame.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/render/text/text_overlay.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

FramePtr PaintedFrame(int width, int height) {
    FramePtr f(av_frame_alloc());
    f->format = AV_PIX_FMT_YUV420P;
    f->width = width;
    f->height = height;
    if (av_frame_get_buffer(f.get(), 32) < 0) std::exit(1);
    for (int p = 0; p < 3; ++p) {
        const int rows = p == 0 ? height : height / 2;
        for (int y = 0; y < rows; ++y) {
            for (int x = 0; x < f->linesize[p]; ++x) f->data[p][y * f->linesize[p] + x] = static_cast<std::uint8_t>(x ^ y);
        }
    }
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    const int width = 1920, height = 1080;
    const int frames = argc > 1 ? std::max(10, std::atoi(argv[1])) : 2000;
    const Caption caption{"The harbour at dusk, summer 1987\nWith Anna, Jörg and the dog", CaptionPlace::Bottom};
    FramePtr frame = PaintedFrame(width, height);
    std::printf("%-8s %14s %14s %14s %12s\n", "backing", "first draw ms", "draw ms", "blend ms", "overlay");
    for (CaptionBacking backing : {CaptionBacking::Shadow, CaptionBacking::Box}) {
        CaptionStyle style;
        style.backing = backing;
        TextOverlay overlay;
        std::vector<double> draws;
        for (int i = 0; i < 11; ++i) {
            const auto t0 = Clock::now();
            DrawCaption(caption, style, width, height, &overlay, nullptr);
            draws.push_back(Ms(t0, Clock::now()));
        }
        std::vector<double> blends;
        for (int i = 0; i < frames; ++i) {
            const auto t0 = Clock::now();
            BlendOverlay(overlay, frame.get());
            blends.push_back(Ms(t0, Clock::now()));
        }
        std::printf("%-8s %14.2f %14.2f %14.4f %5d × %4d\n", CaptionBackingName(backing), draws.front(),
                    Median({draws.begin() + 1, draws.end()}), Median(blends), overlay.width, overlay.height);
    }
    return 0;
}
