#include "platform/render/compose/placed_picture.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/render/compose/resample_rows.h"

namespace {

constexpr int kWeightBits = 14;
constexpr int kOne = 1 << kWeightBits;
constexpr int kFullCover = 256;
// The vertical pass keeps 6 fractional bits in 16-bit samples.
constexpr int kVerticalShift = 8;
constexpr int kHorizontalShift = 2 * kWeightBits - kVerticalShift;

// Rounds `weights` to integers summing exactly to kOne; what rounding lost goes to the largest.
void Quantize(const std::vector<double>& weights, std::int16_t* out) {
    double sum = 0;
    for (double w : weights) sum += w;
    int total = 0;
    std::size_t largest = 0;
    for (std::size_t k = 0; k < weights.size(); ++k) {
        out[k] = static_cast<std::int16_t>(std::lround(weights[k] / sum * kOne));
        total += out[k];
        if (weights[k] > weights[largest]) largest = k;
    }
    out[largest] = static_cast<std::int16_t>(out[largest] + kOne - total);
}

std::int16_t Cover(int pixel, double start, double end) {
    const double covered =
        std::clamp(std::min(pixel + 1.0, end) - std::max<double>(pixel, start), 0.0, 1.0);
    return static_cast<std::int16_t>(std::lround(covered * kFullCover));
}

// A pixel of a picture shown at under a quarter of its size reads more than four samples.
void FilterManyTaps(const std::int16_t* line, int lineStart, const PlacedPicture::Axis& x,
                    std::uint8_t* out) {
    for (int u = x.coveredBegin; u < x.coveredEnd; ++u) {
        const std::int16_t* w =
            &x.weights[static_cast<std::size_t>(u) * static_cast<std::size_t>(x.taps)];
        const std::int16_t* s = line + (x.first[static_cast<std::size_t>(u)] - lineStart);
        int acc = 1 << (kHorizontalShift - 1);
        for (int k = 0; k < x.taps; ++k) acc += w[k] * s[k];
        out[u] = static_cast<std::uint8_t>(std::clamp(acc >> kHorizontalShift, 0, 255));
    }
}

// The axis's weights as four a pixel, the unused ones zero; none where a pixel needs more.
std::vector<std::int16_t> FourTapWeights(const PlacedPicture::Axis& a) {
    if (a.taps > 4) return {};
    std::vector<std::int16_t> four(a.first.size() * 4, 0);
    for (std::size_t u = 0; u < a.first.size(); ++u) {
        for (int k = 0; k < a.taps; ++k)
            four[u * 4 + static_cast<std::size_t>(k)] =
                a.weights[u * static_cast<std::size_t>(a.taps) + static_cast<std::size_t>(k)];
    }
    return four;
}

std::uint8_t Blend(int value, int background, int cover) {
    return static_cast<std::uint8_t>(
        (value * cover + background * (kFullCover - cover) + kFullCover / 2) / kFullCover);
}

}  // namespace

PlacedPicture::Axis PlacedPicture::MakeAxis(int outCount, int sourceCount, double placeStart,
                                            double placeExtent) {
    Axis a;
    const double scale = sourceCount / placeExtent;  // source samples per output pixel
    const double radius = std::max(1.0, scale);
    a.taps = std::min(sourceCount, static_cast<int>(std::ceil(2 * radius)));
    a.first.resize(static_cast<std::size_t>(outCount));
    a.weights.assign(static_cast<std::size_t>(outCount) * static_cast<std::size_t>(a.taps), 0);
    a.cover.resize(static_cast<std::size_t>(outCount));
    std::vector<double> w(static_cast<std::size_t>(a.taps));
    a.coveredBegin = outCount;
    for (int u = 0; u < outCount; ++u) {
        const double centre = (u + 0.5 - placeStart) * scale - 0.5;  // in source samples
        const int first =
            std::clamp(static_cast<int>(std::floor(centre - radius)) + 1, 0, sourceCount - a.taps);
        std::fill(w.begin(), w.end(), 0.0);
        for (int i = static_cast<int>(std::floor(centre - radius)) + 1; i < centre + radius; ++i) {
            const int at = std::clamp(std::clamp(i, 0, sourceCount - 1), first, first + a.taps - 1);
            w[static_cast<std::size_t>(at - first)] +=
                std::max(0.0, 1 - std::abs(i - centre) / radius);
        }
        if (std::all_of(w.begin(), w.end(), [](double v) { return v == 0; })) w[0] = 1;
        a.first[static_cast<std::size_t>(u)] = first;
        Quantize(w, &a.weights[static_cast<std::size_t>(u) * static_cast<std::size_t>(a.taps)]);
        a.cover[static_cast<std::size_t>(u)] = Cover(u, placeStart, placeStart + placeExtent);
        if (a.cover[static_cast<std::size_t>(u)] > 0) {
            a.coveredBegin = std::min(a.coveredBegin, u);
            a.coveredEnd = u + 1;
        }
    }
    if (a.coveredEnd == 0) a.coveredBegin = 0;
    a.fullBegin = a.coveredBegin;
    while (a.fullBegin < a.coveredEnd &&
           a.cover[static_cast<std::size_t>(a.fullBegin)] < kFullCover)
        ++a.fullBegin;
    a.fullEnd = a.coveredEnd;
    while (a.fullEnd > a.fullBegin && a.cover[static_cast<std::size_t>(a.fullEnd - 1)] < kFullCover)
        --a.fullEnd;
    return a;
}

PlacedPicture::PlacedPicture(const AVFrame* picture, const FrameRect& place,
                             const AVFrame* background, AVFrame* out) {
    for (int i = 0; i < 3; ++i) {
        const int shift = i == 0 ? 0 : 1;
        const double scale = 1.0 / (1 << shift);
        Plane& p = planes_[i];
        p.source = picture->data[i];
        p.sourceStride = picture->linesize[i];
        p.background = background->data[i];
        p.backgroundStride = background->linesize[i];
        p.out = out->data[i];
        p.outStride = out->linesize[i];
        p.width = (out->width + shift) >> shift;
        const int height = (out->height + shift) >> shift;
        p.x =
            MakeAxis(p.width, (picture->width + shift) >> shift, place.x * scale, place.w * scale);
        p.y =
            MakeAxis(height, (picture->height + shift) >> shift, place.y * scale, place.h * scale);
        p.xFour = FourTapWeights(p.x);
    }
}

void PlacedPicture::DrawRows(int begin, int end) const {
    Scratch scratch;
    for (int i = 0; i < 3; ++i) {
        const int shift = i == 0 ? 0 : 1;
        const int last =
            std::min<int>(static_cast<int>(planes_[i].y.cover.size()), (end + shift) >> shift);
        for (int row = begin >> shift; row < last; ++row) DrawRow(planes_[i], row, scratch);
    }
}

void PlacedPicture::DrawRow(const Plane& p, int row, Scratch& scratch) const {
    std::uint8_t* out = p.out + static_cast<std::ptrdiff_t>(row) * p.outStride;
    const std::uint8_t* background =
        p.background + static_cast<std::ptrdiff_t>(row) * p.backgroundStride;
    const int coverY = p.y.cover[static_cast<std::size_t>(row)];
    const Axis& x = p.x;
    if (coverY == 0 || x.coveredEnd == 0) {
        std::memcpy(out, background, static_cast<std::size_t>(p.width));
        return;
    }
    const int lineStart = x.first[static_cast<std::size_t>(x.coveredBegin)];
    const int lineEnd = x.first[static_cast<std::size_t>(x.coveredEnd - 1)] + x.taps;
    const int width = lineEnd - lineStart;
    const std::int16_t* wy =
        &p.y.weights[static_cast<std::size_t>(row) * static_cast<std::size_t>(p.y.taps)];
    const int firstRow = p.y.first[static_cast<std::size_t>(row)];
    scratch.rows.resize(static_cast<std::size_t>(p.y.taps));
    for (int k = 0; k < p.y.taps; ++k)
        scratch.rows[static_cast<std::size_t>(k)] =
            p.source + static_cast<std::ptrdiff_t>(firstRow + k) * p.sourceStride + lineStart;
    scratch.sums.resize(static_cast<std::size_t>(width));
    scratch.line.resize(static_cast<std::size_t>(width) + 3, 0);  // four-tap reads run over
    BlendRows(scratch.rows.data(), wy, p.y.taps, width, kVerticalShift, scratch.sums.data(),
              scratch.line.data());
    if (p.xFour.empty()) {
        FilterManyTaps(scratch.line.data(), lineStart, x, out);
    } else {
        FilterFourTaps(scratch.line.data(), lineStart, x.first.data(), p.xFour.data(),
                       x.coveredBegin, x.coveredEnd, kHorizontalShift, out);
    }
    std::memcpy(out, background, static_cast<std::size_t>(x.coveredBegin));
    std::memcpy(out + x.coveredEnd, background + x.coveredEnd,
                static_cast<std::size_t>(p.width - x.coveredEnd));
    // Only the pixels the picture's edge crosses are blended.
    auto blend = [&](int from, int to) {
        for (int u = from; u < to; ++u) {
            const int cover = x.cover[static_cast<std::size_t>(u)] * coverY / kFullCover;
            out[u] = Blend(out[u], background[u], cover);
        }
    };
    if (coverY < kFullCover) {
        blend(x.coveredBegin, x.coveredEnd);
    } else {
        blend(x.coveredBegin, x.fullBegin);
        blend(x.fullEnd, x.coveredEnd);
    }
}
