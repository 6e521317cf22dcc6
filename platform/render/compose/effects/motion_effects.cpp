// Effects that blend, move or resample the pictures instead of choosing samples.

#include <algorithm>
#include <cmath>

#include "platform/render/compose/effects/effect_kinds.h"
#include "platform/render/compose/effects/row_kernels.h"

namespace effects {
namespace {

// w of B in 0..128. 16-bit arithmetic, so that the loops using it vectorise.
inline std::uint8_t Mix(std::uint16_t a, std::uint16_t b, std::uint16_t w) {
    return static_cast<std::uint8_t>(static_cast<std::uint16_t>(a * (128 - w) + b * w + 64) >> 7);
}

// Cross-dissolve: every sample (1 − p)·A + p·B.
class Fade final : public TransitionEffect {
public:
    void RenderRows(const FrameView& a, const FrameView& b, double p, const FrameView& out, int y0,
                    int y1) override {
        if (RenderEnds(a, b, p, out, y0, y1)) return;
        const auto w = static_cast<std::uint16_t>(BlendWeight(p));
        for (int i = 0; i < out.planeCount; ++i) {
            int r0, r1;
            PlaneRows(out, i, y0, y1, &r0, &r1);
            const int n = out.Plane(i).width;
            for (int r = r0; r < r1; ++r) {
                MixRow(a.Plane(i).Row(r), b.Plane(i).Row(r), w, out.Plane(i).Row(r), n);
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
                MixRowWeights(a.Plane(i).Row(r), b.Plane(i).Row(r), weights_.data(), plane.Row(r),
                              plane.width);
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
                // firstA >= 1 here, so i0 + 1 stays inside the row.
                MixRow(pa, pa + 1, static_cast<std::uint16_t>(wRight), po + firstA,
                       plane.width - firstA);
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
                std::memcpy(po, pa, static_cast<std::size_t>(stripBegin_));
                const std::uint16_t* left = left_.data();
                const std::uint16_t* right = right_.data();
                const std::uint8_t* weight = weight_.data();
                for (int x = stripBegin_; x < stripEnd_; ++x) {
                    po[x] = Mix(pb[left[x]], pb[right[x]], weight[x]);
                }
                std::memcpy(po + stripEnd_, pa + stripEnd_, static_cast<std::size_t>(plane.width - stripEnd_));
            }
        }
    }

private:
    // For each column of the strip: the B samples either side of its source and the weight of
    // the right one.
    void PrepareColumns(int frameWidth, const PlaneView& plane, double p) {
        left_.assign(static_cast<std::size_t>(plane.width), 0);
        right_.assign(static_cast<std::size_t>(plane.width), 0);
        weight_.assign(static_cast<std::size_t>(plane.width), 0);
        stripBegin_ = plane.width;
        stripEnd_ = plane.width;
        const double scale = 1 << plane.shiftX;
        for (int x = 0; x < plane.width; ++x) {
            double dx = (x + 0.5) * scale - frameWidth / 2.0;
            if (std::fabs(dx) >= p * frameWidth / 2) continue;
            double pos = (frameWidth / 2.0 + dx / p) / scale - 0.5;  // in B's samples
            pos = std::clamp(pos, 0.0, plane.width - 1.0);
            int i0 = static_cast<int>(std::floor(pos));
            left_[static_cast<std::size_t>(x)] = static_cast<std::uint16_t>(i0);
            right_[static_cast<std::size_t>(x)] =
                static_cast<std::uint16_t>(std::min(i0 + 1, plane.width - 1));
            weight_[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(BlendWeight(pos - i0));
            if (stripBegin_ == plane.width) stripBegin_ = x;
            stripEnd_ = x + 1;
        }
        if (stripBegin_ == plane.width) stripBegin_ = stripEnd_ = 0;
    }

    int stripBegin_ = 0, stripEnd_ = 0;  // the columns of the B strip
    std::vector<std::uint16_t> left_, right_;  // the two B samples of each strip column
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
    // Each sample belongs to the square of the full-size pixel at its top-left; squares are runs
    // of whole columns and rows of the plane.
    static std::vector<int> RunStarts(int samples, int shift, int size) {
        std::vector<int> starts{0};
        for (int i = 1; i < samples; ++i) {
            if ((i << shift) / size != ((i - 1) << shift) / size) starts.push_back(i);
        }
        starts.push_back(samples);
        return starts;
    }

    static void BlockMeans(const FrameView& src, const FrameView& out, int plane, int size, int y0,
                           int y1) {
        const PlaneView s = src.Plane(plane);
        const PlaneView o = out.Plane(plane);
        const std::vector<int> cols = RunStarts(s.width, s.shiftX, size);
        const std::vector<int> rows = RunStarts(s.height, s.shiftY, size);
        int r0, r1;
        PlaneRows(out, plane, y0, y1, &r0, &r1);
        if (cols.size() == static_cast<std::size_t>(s.width) + 1 &&
            rows.size() == static_cast<std::size_t>(s.height) + 1) {
            // Squares no larger than a subsampled sample: each is its own mean.
            for (int y = r0; y < r1; ++y) std::memcpy(o.Row(y), s.Row(y), static_cast<std::size_t>(o.width));
            return;
        }
        std::vector<std::uint16_t> columnSums(static_cast<std::size_t>(s.width));  // <= 50 × 255
        std::vector<std::uint8_t> blockMeans(cols.size() - 1);
        std::vector<std::uint16_t> blockOfColumn(static_cast<std::size_t>(s.width));
        for (std::size_t k = 0; k + 1 < cols.size(); ++k) {
            for (int x = cols[k]; x < cols[k + 1]; ++x) {
                blockOfColumn[static_cast<std::size_t>(x)] = static_cast<std::uint16_t>(k);
            }
        }
        std::vector<std::uint8_t> meanRow(static_cast<std::size_t>(s.width));
        for (std::size_t band = 0; band + 1 < rows.size(); ++band) {
            const int first = rows[band], end = rows[band + 1];
            if (end <= r0 || first >= r1) continue;
            // The whole band, even rows outside [r0, r1): the mean needs them.
            std::fill(columnSums.begin(), columnSums.end(), std::uint16_t{0});
            for (int y = first; y < end; ++y) AddRow(s.Row(y), columnSums.data(), s.width);
            Divider divide;
            for (std::size_t k = 0; k + 1 < cols.size(); ++k) {
                std::uint32_t sum = 0;
                for (int x = cols[k]; x < cols[k + 1]; ++x) sum += columnSums[static_cast<std::size_t>(x)];
                blockMeans[k] = static_cast<std::uint8_t>(
                    divide.RoundedQuotient(sum, static_cast<std::uint32_t>((cols[k + 1] - cols[k]) * (end - first))));
            }
            for (int x = 0; x < s.width; ++x) {
                meanRow[static_cast<std::size_t>(x)] = blockMeans[blockOfColumn[static_cast<std::size_t>(x)]];
            }
            for (int y = std::max(first, r0); y < std::min(end, r1); ++y) {
                std::memcpy(o.Row(y), meanRow.data(), static_cast<std::size_t>(o.width));
            }
        }
    }

    // (sum + n/2) / n by a multiply with the reciprocal of the last divisor: exact while
    // (sum + n/2) · n < 2^32, which blocks of at most 50 × 50 samples keep.
    struct Divider {
        std::uint32_t n = 0;
        std::uint64_t reciprocal = 0;
        std::uint32_t RoundedQuotient(std::uint32_t sum, std::uint32_t divisor) {
            if (divisor != n) {
                n = divisor;
                reciprocal = ((std::uint64_t{1} << 32) + n - 1) / n;
            }
            return static_cast<std::uint32_t>(((sum + n / 2) * reciprocal) >> 32);
        }
    };

    static void AddRow(const std::uint8_t* __restrict in, std::uint16_t* __restrict sums, int n) {
        for (int x = 0; x < n; ++x) sums[x] = static_cast<std::uint16_t>(sums[x] + in[x]);
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
