#include "platform/render/text/overlay_raster.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/render/compose/video_colour.h"

namespace {

constexpr int kBoxPasses = 3;

// One box pass of 2 × radius + 1 samples along a row; outside is clear.
void BoxPassAlongRow(std::uint8_t* row, int count, int radius, std::vector<int>& copy) {
    copy.assign(row, row + count);
    const int scale = (1 << 16) / (2 * radius + 1);
    int sum = 0;
    for (int i = 0; i < std::min(radius, count); ++i) sum += copy[static_cast<std::size_t>(i)];
    for (int i = 0; i < count; ++i) {
        if (i + radius < count) sum += copy[static_cast<std::size_t>(i + radius)];
        if (i - radius - 1 >= 0) sum -= copy[static_cast<std::size_t>(i - radius - 1)];
        row[i] = static_cast<std::uint8_t>(std::min(255, (sum * scale + (1 << 15)) >> 16));
    }
}

// The same down the columns, a row at a time so that memory is read in order.
void BoxPassDownColumns(std::uint8_t* data, int stride, int width, int height, int radius,
                        std::vector<std::uint8_t>& copy, std::vector<int>& sums) {
    copy.assign(data, data + static_cast<std::ptrdiff_t>(stride) * height);
    sums.assign(static_cast<std::size_t>(width), 0);
    const int scale = (1 << 16) / (2 * radius + 1);
    auto addRow = [&](int y, int sign) {
        const std::uint8_t* row = copy.data() + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < width; ++x) sums[static_cast<std::size_t>(x)] += sign * row[x];
    };
    for (int y = 0; y < std::min(radius, height); ++y) addRow(y, 1);
    for (int y = 0; y < height; ++y) {
        if (y + radius < height) addRow(y + radius, 1);
        if (y - radius - 1 >= 0) addRow(y - radius - 1, -1);
        std::uint8_t* out = data + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            out[x] = static_cast<std::uint8_t>(std::min(255, (sums[static_cast<std::size_t>(x)] * scale + (1 << 15)) >> 16));
        }
    }
}

struct LumaWeights {
    double kr, kg, kb;
};

// The weights of the matrix the frame's height calls for, read back from swscale's table (its
// entries are 2(1 - Kr) and 2(1 - Kb) scaled to limited range in 16.16).
LumaWeights WeightsFor(int frameHeight) {
    const int* table = MatrixCoefficients(VideoColourFor(frameHeight).matrix);
    const double toFull = 224.0 / 255.0 / 65536.0 / 2.0;
    const double kr = 1.0 - table[0] * toFull;
    const double kb = 1.0 - table[1] * toFull;
    return {kr, 1.0 - kr - kb, kb};
}

std::uint8_t Sample(double value) { return static_cast<std::uint8_t>(std::clamp(value + 0.5, 0.0, 255.0)); }

struct Premultiplied {
    double a, r, g, b;  // 0..255, colour already multiplied by a
};

Premultiplied PixelAt(const std::uint8_t* data, int stride, int x, int y) {
    const auto pixel = *reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride + 4 * x);
    return {static_cast<double>(pixel >> 24), static_cast<double>((pixel >> 16) & 0xFF),
            static_cast<double>((pixel >> 8) & 0xFF), static_cast<double>(pixel & 0xFF)};
}

struct Bounds {
    int left, top, right, bottom;  // right and bottom one past
};

// The even-aligned rectangle around every pixel with coverage; empty when there is none.
Bounds CoveredBounds(const std::uint8_t* data, int stride, int width, int height) {
    Bounds b{width, height, 0, 0};
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < width; ++x) {
            if ((row[x] >> 24) == 0) continue;
            b.left = std::min(b.left, x);
            b.right = std::max(b.right, x + 1);
            b.top = std::min(b.top, y);
            b.bottom = std::max(b.bottom, y + 1);
        }
    }
    if (b.right == 0) return {0, 0, 0, 0};
    b.left &= ~1;
    b.top &= ~1;
    b.right = std::min((b.right + 1) & ~1, width);
    b.bottom = std::min((b.bottom + 1) & ~1, height);
    return b;
}

std::vector<std::pair<int, int>> SpansOf(const std::vector<std::uint8_t>& alpha, int width, int height) {
    std::vector<std::pair<int, int>> spans(static_cast<std::size_t>(height), {0, 0});
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = alpha.data() + static_cast<std::ptrdiff_t>(y) * width;
        int first = 0, end = width;
        while (first < width && row[first] == 0) ++first;
        while (end > first && row[end - 1] == 0) --end;
        spans[static_cast<std::size_t>(y)] = {first, end};
    }
    return spans;
}

}  // namespace

void BlurCoverage(cairo_surface_t* a8, int radius) {
    if (radius < 1) return;
    cairo_surface_flush(a8);
    std::uint8_t* data = cairo_image_surface_get_data(a8);
    const int stride = cairo_image_surface_get_stride(a8);
    const int width = cairo_image_surface_get_width(a8);
    const int height = cairo_image_surface_get_height(a8);
    std::vector<int> rowCopy, sums;
    std::vector<std::uint8_t> planeCopy;
    for (int pass = 0; pass < kBoxPasses; ++pass) {
        for (int y = 0; y < height; ++y) {
            BoxPassAlongRow(data + static_cast<std::ptrdiff_t>(y) * stride, width, radius, rowCopy);
        }
        BoxPassDownColumns(data, stride, width, height, radius, planeCopy, sums);
    }
    cairo_surface_mark_dirty(a8);
}

void ToOverlay(cairo_surface_t* argb, int left, int top, int frameHeight, TextOverlay* overlay) {
    *overlay = TextOverlay{};
    cairo_surface_flush(argb);
    const std::uint8_t* data = cairo_image_surface_get_data(argb);
    const int stride = cairo_image_surface_get_stride(argb);
    const Bounds b = CoveredBounds(data, stride, cairo_image_surface_get_width(argb),
                                   cairo_image_surface_get_height(argb));
    if (b.right <= b.left || b.bottom <= b.top) return;

    const LumaWeights k = WeightsFor(frameHeight);
    const int w = b.right - b.left, h = b.bottom - b.top;
    overlay->left = left + b.left;
    overlay->top = top + b.top;
    overlay->width = w;
    overlay->height = h;
    overlay->y.resize(static_cast<std::size_t>(w) * h);
    overlay->alpha.resize(overlay->y.size());
    const std::size_t chromaSize = static_cast<std::size_t>(w / 2) * (h / 2);
    overlay->u.resize(chromaSize);
    overlay->v.resize(chromaSize);
    overlay->chromaAlpha.resize(chromaSize);

    for (int cy = 0; cy < h / 2; ++cy) {
        for (int cx = 0; cx < w / 2; ++cx) {
            Premultiplied sum{0, 0, 0, 0};
            for (int dy = 0; dy < 2; ++dy) {
                for (int dx = 0; dx < 2; ++dx) {
                    const int x = 2 * cx + dx, y = 2 * cy + dy;
                    const Premultiplied p = PixelAt(data, stride, b.left + x, b.top + y);
                    const double luma = k.kr * p.r + k.kg * p.g + k.kb * p.b;
                    const std::size_t i = static_cast<std::size_t>(y) * w + x;
                    overlay->y[i] = Sample((16.0 * p.a + 219.0 * luma) / 255.0);
                    overlay->alpha[i] = static_cast<std::uint8_t>(p.a);
                    sum = {sum.a + p.a, sum.r + p.r, sum.g + p.g, sum.b + p.b};
                }
            }
            const Premultiplied mean{sum.a / 4, sum.r / 4, sum.g / 4, sum.b / 4};
            const double luma = k.kr * mean.r + k.kg * mean.g + k.kb * mean.b;
            const std::size_t c = static_cast<std::size_t>(cy) * (w / 2) + cx;
            overlay->u[c] = Sample((128.0 * mean.a + 224.0 * (mean.b - luma) / (2.0 * (1.0 - k.kb))) / 255.0);
            overlay->v[c] = Sample((128.0 * mean.a + 224.0 * (mean.r - luma) / (2.0 * (1.0 - k.kr))) / 255.0);
            overlay->chromaAlpha[c] = Sample(mean.a);
        }
    }
    overlay->lumaSpans = SpansOf(overlay->alpha, w, h);
    overlay->chromaSpans = SpansOf(overlay->chromaAlpha, w / 2, h / 2);
}
