// Effects that blend, move or resample the pictures instead of choosing samples.

#include <algorithm>
#include <cmath>

#include "platform/render/effects/effect_kinds.h"

namespace effects {
namespace {

inline std::uint8_t Mix(int a, int b, int w) {  // w of B in 0..128
    return static_cast<std::uint8_t>((a * (128 - w) + b * w + 64) >> 7);
}

// Cross-dissolve: every sample (1 − p)·A + p·B.
class Fade final : public TransitionEffect {
public:
    void RenderRows(const FrameView& a, const FrameView& b, double p, const FrameView& out, int y0,
                    int y1) override {
        if (RenderEnds(a, b, p, out, y0, y1)) return;
        const std::uint16_t w = static_cast<std::uint16_t>(BlendWeight(p));
        const std::uint16_t wa = static_cast<std::uint16_t>(128 - w);
        for (int i = 0; i < out.planeCount; ++i) {
            int r0, r1;
            PlaneRows(out, i, y0, y1, &r0, &r1);
            const int n = out.Plane(i).width;
            for (int r = r0; r < r1; ++r) {
                const std::uint8_t* pa = a.Plane(i).Row(r);
                const std::uint8_t* pb = b.Plane(i).Row(r);
                std::uint8_t* po = out.Plane(i).Row(r);
                for (int x = 0; x < n; ++x) {
                    po[x] = static_cast<std::uint8_t>(
                        static_cast<std::uint16_t>(pa[x] * wa + pb[x] * w + 64) >> 7);
                }
            }
        }
    }
};

// A soft vertical band travelling left to right: weight of B = clamp((p·(1+s) − u)/s).
class SoftWipe final : public TransitionEffect {
public:
    explicit SoftWipe(double band) : band_(band > 0 ? band : 1e-6) {}

    void RenderRows(const FrameView& a, const FrameView& b, double p, const FrameView& out, int y0,
                    int y1) override {
        if (RenderEnds(a, b, p, out, y0, y1)) return;
        for (int i = 0; i < out.planeCount; ++i) {
            const PlaneView& plane = out.Plane(i);
            weights_.resize(static_cast<std::size_t>(plane.width));
            for (int x = 0; x < plane.width; ++x) {
                double u = (x + 0.5) * (1 << plane.shiftX) / out.width;
                weights_[static_cast<std::size_t>(x)] =
                    static_cast<std::uint8_t>(BlendWeight((p * (1 + band_) - u) / band_));
            }
            int r0, r1;
            PlaneRows(out, i, y0, y1, &r0, &r1);
            for (int r = r0; r < r1; ++r) {
                const std::uint8_t* pa = a.Plane(i).Row(r);
                const std::uint8_t* pb = b.Plane(i).Row(r);
                std::uint8_t* po = plane.Row(r);
                for (int x = 0; x < plane.width; ++x) po[x] = Mix(pa[x], pb[x], weights_[static_cast<std::size_t>(x)]);
            }
        }
    }

private:
    double band_;
    std::vector<std::uint8_t> weights_;
};

// A slides off to the right by p·W, uncovering B, which does not move.
class Slide final : public TransitionEffect {
public:
    void RenderRows(const FrameView& a, const FrameView& b, double p, const FrameView& out, int y0,
                    int y1) override {
        if (RenderEnds(a, b, p, out, y0, y1)) return;
        for (int i = 0; i < out.planeCount; ++i) {
            const PlaneView& plane = out.Plane(i);
            const double shift = p * out.width / (1 << plane.shiftX);
            const int firstA = std::min(plane.width, static_cast<int>(std::ceil(shift)));
            // A at x − shift lies between samples i0 = x − firstA and i0 + 1.
            const int wRight = BlendWeight(firstA - shift);
            int r0, r1;
            PlaneRows(out, i, y0, y1, &r0, &r1);
            for (int r = r0; r < r1; ++r) {
                const std::uint8_t* pa = a.Plane(i).Row(r);
                std::uint8_t* po = plane.Row(r);
                std::memcpy(po, b.Plane(i).Row(r), static_cast<std::size_t>(firstA));
                const int last = plane.width - 1;
                for (int x = firstA; x < plane.width; ++x) {
                    int i0 = x - firstA;
                    po[x] = Mix(pa[i0], pa[std::min(i0 + 1, last)], wRight);
                }
            }
        }
    }
};

// B squeezed to a strip p·W wide about the centre line, widening to the full frame; A stays.
class Stretch final : public TransitionEffect {
public:
    void RenderRows(const FrameView& a, const FrameView& b, double p, const FrameView& out, int y0,
                    int y1) override {
        if (RenderEnds(a, b, p, out, y0, y1)) return;
        for (int i = 0; i < out.planeCount; ++i) {
            const PlaneView& plane = out.Plane(i);
            PrepareColumns(out.width, plane, p);
            int r0, r1;
            PlaneRows(out, i, y0, y1, &r0, &r1);
            for (int r = r0; r < r1; ++r) {
                const std::uint8_t* pa = a.Plane(i).Row(r);
                const std::uint8_t* pb = b.Plane(i).Row(r);
                std::uint8_t* po = plane.Row(r);
                for (int x = 0; x < plane.width; ++x) {
                    int src = source_[static_cast<std::size_t>(x)];
                    po[x] = src < 0 ? pa[x] : Mix(pb[src], pb[std::min(src + 1, plane.width - 1)], weight_[static_cast<std::size_t>(x)]);
                }
            }
        }
    }

private:
    // For each column: the B sample to its left (or −1 for A) and the weight of the next one.
    void PrepareColumns(int frameWidth, const PlaneView& plane, double p) {
        source_.assign(static_cast<std::size_t>(plane.width), -1);
        weight_.assign(static_cast<std::size_t>(plane.width), 0);
        const double scale = 1 << plane.shiftX;
        for (int x = 0; x < plane.width; ++x) {
            double dx = (x + 0.5) * scale - frameWidth / 2.0;
            if (std::fabs(dx) >= p * frameWidth / 2) continue;
            double pos = (frameWidth / 2.0 + dx / p) / scale - 0.5;  // in B's samples
            pos = std::clamp(pos, 0.0, plane.width - 1.0);
            int i0 = static_cast<int>(std::floor(pos));
            source_[static_cast<std::size_t>(x)] = i0;
            weight_[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(BlendWeight(pos - i0));
        }
    }

    std::vector<int> source_;
    std::vector<std::uint8_t> weight_;
};

// A dissolves into ever larger flat squares up to MaxSquare pixels at p = ½, then B in squares
// that shrink back to single pixels. Squares start at the top-left corner.
class Pixelate final : public TransitionEffect {
public:
    explicit Pixelate(double maxSquare) : maxSquare_(std::clamp(maxSquare, 2.0, 50.0)) {}

    void RenderRows(const FrameView& a, const FrameView& b, double p, const FrameView& out, int y0,
                    int y1) override {
        if (RenderEnds(a, b, p, out, y0, y1)) return;
        const FrameView& src = p < 0.5 ? a : b;
        const int size = static_cast<int>(
            std::floor(1 + (maxSquare_ - 1) * (1 - std::fabs(2 * p - 1)) + 0.5));
        if (size <= 1) {
            CopyRows(src, out, y0, y1);
            return;
        }
        for (int i = 0; i < out.planeCount; ++i) BlockMeans(src, out, i, size, y0, y1);
    }

private:
    // Each sample belongs to the square of the full-size pixel at its top-left.
    static void BlockMeans(const FrameView& src, const FrameView& out, int plane, int size, int y0,
                           int y1) {
        const PlaneView& s = src.Plane(plane);
        const PlaneView& o = out.Plane(plane);
        auto blockOfColumn = [&](int x) { return (x << s.shiftX) / size; };
        auto blockOfRow = [&](int y) { return (y << s.shiftY) / size; };
        const int blocksAcross = blockOfColumn(s.width - 1) + 1;
        std::vector<std::uint32_t> sum(static_cast<std::size_t>(blocksAcross));
        std::vector<std::uint32_t> count(static_cast<std::size_t>(blocksAcross));
        std::vector<std::uint8_t> mean(static_cast<std::size_t>(blocksAcross));
        int r0, r1;
        PlaneRows(out, plane, y0, y1, &r0, &r1);
        int row = r0;
        while (row < r1) {
            // The whole band of rows of this block, even beyond [r0, r1): its mean needs them.
            int band = blockOfRow(row);
            int first = row, last = row;
            while (first > 0 && blockOfRow(first - 1) == band) --first;
            while (last + 1 < s.height && blockOfRow(last + 1) == band) ++last;
            std::fill(sum.begin(), sum.end(), 0u);
            std::fill(count.begin(), count.end(), 0u);
            for (int y = first; y <= last; ++y) {
                const std::uint8_t* in = s.Row(y);
                for (int x = 0; x < s.width; ++x) {
                    int bx = blockOfColumn(x);
                    sum[static_cast<std::size_t>(bx)] += in[x];
                    ++count[static_cast<std::size_t>(bx)];
                }
            }
            for (int bx = 0; bx < blocksAcross; ++bx) {
                std::uint32_t c = count[static_cast<std::size_t>(bx)];
                mean[static_cast<std::size_t>(bx)] =
                    static_cast<std::uint8_t>(c ? (sum[static_cast<std::size_t>(bx)] + c / 2) / c : 0);
            }
            for (int y = row; y <= last && y < r1; ++y) {
                std::uint8_t* po = o.Row(y);
                for (int x = 0; x < o.width; ++x) po[x] = mean[static_cast<std::size_t>(blockOfColumn(x))];
            }
            row = last + 1;
        }
    }

    double maxSquare_;
};

}  // namespace

std::unique_ptr<TransitionEffect> MakeFade() { return std::make_unique<Fade>(); }
std::unique_ptr<TransitionEffect> MakeSoftWipe(double gradientSize) {
    return std::make_unique<SoftWipe>(gradientSize);
}
std::unique_ptr<TransitionEffect> MakeSlide() { return std::make_unique<Slide>(); }
std::unique_ptr<TransitionEffect> MakeStretch() { return std::make_unique<Stretch>(); }
std::unique_ptr<TransitionEffect> MakePixelate(double maxSquare) {
    return std::make_unique<Pixelate>(maxSquare);
}

}  // namespace effects
