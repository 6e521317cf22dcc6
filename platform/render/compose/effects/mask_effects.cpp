// Effects that choose, sample by sample, A or B: shaped masks and the two random ones.

#include <algorithm>
#include <cmath>
#include <numeric>

#include "platform/render/compose/effects/effect_kinds.h"
#include "platform/render/compose/effects/row_kernels.h"
#include "platform/render/compose/effects/threshold_map.h"

namespace effects {
namespace {

class MaskEffect final : public TransitionEffect {
public:
    MaskEffect(std::string shapeName, std::vector<double> params)
        : shapeName_(std::move(shapeName)), shape_(FindMapShape(shapeName_)),
          params_(std::move(params)) {}

    void RenderRows(const FrameView& a, const FrameView& b, double p, const FrameView& out, int y0,
                    int y1) override {
        if (RenderEnds(a, b, p, out, y0, y1)) return;
        Prepare(out);
        const std::uint16_t t = ThresholdFor(p);
        for (int i = 0; i < out.planeCount; ++i) {
            const ThresholdMap& map = *maps_[static_cast<std::size_t>(i)];
            int r0, r1;
            PlaneRows(out, i, y0, y1, &r0, &r1);
            for (int r = r0; r < r1; ++r) {
                SelectRow(a.Plane(i).Row(r), b.Plane(i).Row(r),
                          map.values.data() + static_cast<std::size_t>(r) * map.width, t,
                          out.Plane(i).Row(r), map.width);
            }
        }
    }

private:
    void Prepare(const FrameView& f) {
        if (prepared_.SameGeometry(f) && !maps_.empty()) return;
        maps_.clear();
        for (int i = 0; i < f.planeCount; ++i) {
            maps_.push_back(GetThresholdMap(shapeName_, shape_, params_, f.width, f.height, f.Plane(i)));
        }
        prepared_ = f;
    }

    std::string shapeName_;
    MapShape shape_;
    std::vector<double> params_;
    FrameView prepared_;
    std::vector<std::shared_ptr<const ThresholdMap>> maps_;
};

// SplitMix64: a small, well-mixed generator, so patterns do not depend on the C runtime.
class SplitMix64 {
public:
    explicit SplitMix64(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, n).
    std::uint32_t Below(std::uint32_t n) {
        return static_cast<std::uint32_t>((Next() >> 32) * n >> 32);
    }

private:
    std::uint64_t state_;
};

// A random order of 0..n-1, the same for the same seed.
std::vector<std::uint32_t> Permutation(std::uint32_t n, std::uint64_t seed, std::uint64_t salt) {
    std::vector<std::uint32_t> ranks(n);
    std::iota(ranks.begin(), ranks.end(), 0u);
    SplitMix64 random(seed * 0x2545F4914F6CDD1Dull + salt);
    for (std::uint32_t i = n; i > 1; --i) std::swap(ranks[i - 1], ranks[random.Below(i)]);
    return ranks;
}

// How many of n ranks show B at progress p: ceil(p·n).
std::uint32_t RankThreshold(double p, std::uint32_t n) {
    return static_cast<std::uint32_t>(std::ceil(p * n - 1e-9));
}

// Full-width lines of B in a random order, drawn once for the transition.
class RandomBars final : public TransitionEffect {
public:
    explicit RandomBars(std::uint64_t seed) : seed_(seed) {}

    void RenderRows(const FrameView& a, const FrameView& b, double p, const FrameView& out, int y0,
                    int y1) override {
        if (RenderEnds(a, b, p, out, y0, y1)) return;
        if (static_cast<int>(rowRank_.size()) != out.height) {
            rowRank_ = Permutation(static_cast<std::uint32_t>(out.height), seed_, 0xBA5);
        }
        const std::uint32_t t = RankThreshold(p, static_cast<std::uint32_t>(out.height));
        for (int i = 0; i < out.planeCount; ++i) {
            const PlaneView& plane = out.Plane(i);
            int r0, r1;
            PlaneRows(out, i, y0, y1, &r0, &r1);
            for (int r = r0; r < r1; ++r) {
                // A chroma row follows the luma row at its top.
                bool showB = rowRank_[static_cast<std::size_t>(r << plane.shiftY)] < t;
                const FrameView& src = showB ? b : a;
                std::memcpy(plane.Row(r), src.Plane(i).Row(r), static_cast<std::size_t>(plane.width));
            }
        }
    }

private:
    std::uint64_t seed_;
    std::vector<std::uint32_t> rowRank_;
};

// Single pixels of B at random places, drawn once for the transition. Exactly ceil(p·W·H) pixels
// show B: a 16-bit map of rank buckets decides all but the pixels of one bucket, which the
// inverse order (pixels by rank) then settles one by one.
class RandomDissolve final : public TransitionEffect {
public:
    explicit RandomDissolve(std::uint64_t seed) : seed_(seed) {}

    void RenderRows(const FrameView& a, const FrameView& b, double p, const FrameView& out, int y0,
                    int y1) override {
        if (RenderEnds(a, b, p, out, y0, y1)) return;
        Prepare(out);
        const std::uint32_t t = RankThreshold(p, count_);
        const std::uint32_t bucket = Bucket(t);
        for (int i = 0; i < out.planeCount; ++i) {
            const std::vector<std::uint16_t>& map = planeBuckets_[static_cast<std::size_t>(i)];
            const int w = out.Plane(i).width;
            int r0, r1;
            PlaneRows(out, i, y0, y1, &r0, &r1);
            for (int r = r0; r < r1; ++r) {
                SelectRow(a.Plane(i).Row(r), b.Plane(i).Row(r),
                          map.data() + static_cast<std::size_t>(r) * w,
                          static_cast<std::uint16_t>(bucket), out.Plane(i).Row(r), w);
            }
        }
        // The pixels of the threshold's own bucket with a rank below it.
        for (std::uint32_t rank = BucketStart(bucket); rank < t; ++rank) {
            std::uint32_t pixel = byRank_[rank];
            int x = static_cast<int>(pixel % static_cast<std::uint32_t>(out.width));
            int y = static_cast<int>(pixel / static_cast<std::uint32_t>(out.width));
            for (int i = 0; i < out.planeCount; ++i) {
                PlaneView plane = out.Plane(i);
                // A subsampled sample follows the luma sample at its top-left.
                if ((x & ((1 << plane.shiftX) - 1)) || (y & ((1 << plane.shiftY) - 1))) continue;
                int px = x >> plane.shiftX, py = y >> plane.shiftY;
                if (py < (y0 >> plane.shiftY) || (y1 < out.height && py >= (y1 >> plane.shiftY))) continue;
                plane.Row(py)[px] = b.Plane(i).Row(py)[px];
            }
        }
    }

private:
    std::uint32_t Bucket(std::uint32_t rank) const {
        return static_cast<std::uint32_t>((std::uint64_t(rank) << 16) / count_);
    }
    // The lowest rank in bucket k.
    std::uint32_t BucketStart(std::uint32_t k) const {
        return static_cast<std::uint32_t>((std::uint64_t(k) * count_ + 65535) >> 16);
    }

    void Prepare(const FrameView& f) {
        if (prepared_.SameGeometry(f) && !planeBuckets_.empty()) return;
        count_ = static_cast<std::uint32_t>(f.width) * f.height;
        std::vector<std::uint32_t> rankOf = Permutation(count_, seed_, 0xD155);
        byRank_.assign(count_, 0);
        for (std::uint32_t pixel = 0; pixel < count_; ++pixel) byRank_[rankOf[pixel]] = pixel;
        planeBuckets_.assign(static_cast<std::size_t>(f.planeCount), {});
        for (int i = 0; i < f.planeCount; ++i) {
            const PlaneView p = f.Plane(i);
            std::vector<std::uint16_t>& map = planeBuckets_[static_cast<std::size_t>(i)];
            map.resize(static_cast<std::size_t>(p.width) * p.height);
            for (int y = 0; y < p.height; ++y) {
                for (int x = 0; x < p.width; ++x) {
                    std::size_t luma = static_cast<std::size_t>(y << p.shiftY) * f.width +
                                       static_cast<std::size_t>(x << p.shiftX);
                    map[static_cast<std::size_t>(y) * p.width + x] =
                        static_cast<std::uint16_t>(Bucket(rankOf[luma]));
                }
            }
        }
        prepared_ = f;
    }

    std::uint64_t seed_;
    std::uint32_t count_ = 0;
    FrameView prepared_;
    std::vector<std::uint32_t> byRank_;
    std::vector<std::vector<std::uint16_t>> planeBuckets_;
};

}  // namespace

std::unique_ptr<TransitionEffect> MakeMaskEffect(const std::string& shapeName,
                                                 std::vector<double> params) {
    return std::make_unique<MaskEffect>(shapeName, std::move(params));
}

std::unique_ptr<TransitionEffect> MakeRandomBars(std::uint64_t seed) {
    return std::make_unique<RandomBars>(seed);
}

std::unique_ptr<TransitionEffect> MakeRandomDissolve(std::uint64_t seed) {
    return std::make_unique<RandomDissolve>(seed);
}

}  // namespace effects
