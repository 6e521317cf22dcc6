#include "platform/render/compose/blurred_backdrop.h"

#include <algorithm>
#include <vector>

extern "C" {
#include <libswscale/swscale.h>
}

namespace {

// Blurring at a twelfth of the frame's size costs little, and the bicubic enlargement that
// follows smooths what is left of the box filter's steps.
constexpr int kReduction = 12;
constexpr int kBoxPasses = 3;

struct SwsDeleter {
    void operator()(SwsContext* c) const { sws_freeContext(c); }
};

FramePtr NewFrame(int width, int height) {
    FramePtr f(av_frame_alloc());
    f->format = AV_PIX_FMT_YUV420P;
    f->width = width;
    f->height = height;
    if (av_frame_get_buffer(f.get(), 32) < 0) return nullptr;
    f->color_range = AVCOL_RANGE_MPEG;
    f->colorspace = AVCOL_SPC_BT470BG;
    return f;
}

// Scales the part of `src` at (x, y) of w × h (even numbers) to all of `dst`.
void ScaleRegion(const AVFrame* src, int x, int y, int w, int h, AVFrame* dst, int flags) {
    std::unique_ptr<SwsContext, SwsDeleter> sws(sws_getContext(w, h, AV_PIX_FMT_YUV420P, dst->width,
                                                               dst->height, AV_PIX_FMT_YUV420P,
                                                               flags, nullptr, nullptr, nullptr));
    const std::uint8_t* planes[4] = {};
    for (int p = 0; p < 3; ++p) {
        const int shift = p == 0 ? 0 : 1;
        planes[p] = src->data[p] + static_cast<std::ptrdiff_t>(y >> shift) * src->linesize[p] +
                    (x >> shift);
    }
    sws_scale(sws.get(), planes, src->linesize, 0, h, dst->data, dst->linesize);
}

// One pass of a 3-sample box along rows and along columns, edges repeated.
void BoxBlur(std::uint8_t* data, int stride, int width, int height) {
    std::vector<std::uint8_t> copy(static_cast<std::size_t>(std::max(width, height)));
    auto at = [&](int x, int y) -> std::uint8_t& {
        return data[static_cast<std::ptrdiff_t>(y) * stride + x];
    };
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) copy[static_cast<std::size_t>(x)] = at(x, y);
        for (int x = 0; x < width; ++x) {
            at(x, y) = static_cast<std::uint8_t>(
                (copy[static_cast<std::size_t>(std::max(x - 1, 0))] +
                 copy[static_cast<std::size_t>(x)] +
                 copy[static_cast<std::size_t>(std::min(x + 1, width - 1))] + 1) /
                3);
        }
    }
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y) copy[static_cast<std::size_t>(y)] = at(x, y);
        for (int y = 0; y < height; ++y) {
            at(x, y) = static_cast<std::uint8_t>(
                (copy[static_cast<std::size_t>(std::max(y - 1, 0))] +
                 copy[static_cast<std::size_t>(y)] +
                 copy[static_cast<std::size_t>(std::min(y + 1, height - 1))] + 1) /
                3);
        }
    }
}

// Luma toward black, colour toward grey.
void Darken(AVFrame* f) {
    for (int p = 0; p < 3; ++p) {
        const int shift = p == 0 ? 0 : 1;
        const int neutral = p == 0 ? 16 : 128, keep = p == 0 ? 140 : 205;  // of 256
        for (int y = 0; y < (f->height + shift) >> shift; ++y) {
            std::uint8_t* row = f->data[p] + static_cast<std::ptrdiff_t>(y) * f->linesize[p];
            for (int x = 0; x < (f->width + shift) >> shift; ++x) {
                row[x] = static_cast<std::uint8_t>(neutral + ((row[x] - neutral) * keep) / 256);
            }
        }
    }
}

}  // namespace

FramePtr BlurredBackdrop(const AVFrame* picture, int width, int height) {
    // The largest part of the picture with the frame's shape, centred.
    const double frameShape = static_cast<double>(width) / height;
    int cropW = picture->width, cropH = picture->height;
    if (static_cast<double>(cropW) / cropH > frameShape) {
        cropW = std::max(2, static_cast<int>(cropH * frameShape) & ~1);
    } else {
        cropH = std::max(2, static_cast<int>(cropW / frameShape) & ~1);
    }
    const int x = ((picture->width - cropW) / 2) & ~1, y = ((picture->height - cropH) / 2) & ~1;
    FramePtr small =
        NewFrame(std::max(8, width / kReduction) & ~1, std::max(8, height / kReduction) & ~1);
    FramePtr out = NewFrame(width, height);
    if (small == nullptr || out == nullptr) return nullptr;
    ScaleRegion(picture, x, y, cropW, cropH, small.get(), SWS_AREA);
    for (int p = 0; p < 3; ++p) {
        const int shift = p == 0 ? 0 : 1;
        for (int pass = 0; pass < kBoxPasses; ++pass) {
            BoxBlur(small->data[p], small->linesize[p], small->width >> shift,
                    small->height >> shift);
        }
    }
    Darken(small.get());
    ScaleRegion(small.get(), 0, 0, small->width, small->height, out.get(), SWS_BICUBIC);
    return out;
}
