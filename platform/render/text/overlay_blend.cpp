// BlendOverlay: the part of the text drawing that runs for every frame.

#include <algorithm>
#include <cstdint>

#include "platform/render/text/text_overlay.h"

namespace {

using Spans = std::vector<std::pair<int, int>>;

// out = out - out × a / 255 + premultiplied, the division rounded; written for the vectoriser.
void BlendRun(std::uint8_t* out, const std::uint8_t* premultiplied, const std::uint8_t* alpha, int count) {
    for (int i = 0; i < count; ++i) {
        const std::uint16_t o = out[i];
        std::uint16_t scaled = static_cast<std::uint16_t>(o * alpha[i] + 128);
        scaled = static_cast<std::uint16_t>((scaled + (scaled >> 8)) >> 8);
        const std::uint16_t sum = static_cast<std::uint16_t>(o - scaled + premultiplied[i]);
        out[i] = static_cast<std::uint8_t>(std::min<std::uint16_t>(sum, 255));
    }
}

struct PlaneArea {
    std::uint8_t* data;
    int stride, width, height;
};

void BlendPlane(const std::uint8_t* premultiplied, const std::uint8_t* alpha, const Spans& spans, int width,
                int height, int left, int top, PlaneArea plane) {
    const bool hasSpans = spans.size() == static_cast<std::size_t>(height);
    const int firstRow = std::max(0, -top), endRow = std::min(height, plane.height - top);
    for (int row = firstRow; row < endRow; ++row) {
        auto [first, end] = hasSpans ? spans[static_cast<std::size_t>(row)] : std::pair{0, width};
        first = std::max(first, -left);
        end = std::min(end, plane.width - left);
        if (end <= first) continue;
        const std::ptrdiff_t at = static_cast<std::ptrdiff_t>(row) * width + first;
        std::uint8_t* out = plane.data + static_cast<std::ptrdiff_t>(top + row) * plane.stride + left + first;
        BlendRun(out, premultiplied + at, alpha + at, end - first);
    }
}

bool IsWellFormed(const TextOverlay& o) {
    const auto luma = static_cast<std::size_t>(o.width) * static_cast<std::size_t>(o.height);
    const auto chroma = static_cast<std::size_t>(o.width / 2) * static_cast<std::size_t>(o.height / 2);
    return o.width > 0 && o.height > 0 && o.left % 2 == 0 && o.top % 2 == 0 && o.y.size() == luma &&
           o.alpha.size() == luma && o.u.size() == chroma && o.v.size() == chroma && o.chromaAlpha.size() == chroma;
}

}  // namespace

void BlendOverlay(const TextOverlay& overlay, AVFrame* frame) {
    if (frame == nullptr || !IsWellFormed(overlay)) return;
    if (frame->format != AV_PIX_FMT_YUV420P && frame->format != AV_PIX_FMT_YUVJ420P) return;
    const PlaneArea luma{frame->data[0], frame->linesize[0], frame->width, frame->height};
    BlendPlane(overlay.y.data(), overlay.alpha.data(), overlay.lumaSpans, overlay.width, overlay.height,
               overlay.left, overlay.top, luma);
    const int cw = overlay.width / 2, ch = overlay.height / 2, cl = overlay.left / 2, ct = overlay.top / 2;
    const int planeWidth = (frame->width + 1) / 2, planeHeight = (frame->height + 1) / 2;
    BlendPlane(overlay.u.data(), overlay.chromaAlpha.data(), overlay.chromaSpans, cw, ch, cl, ct,
               {frame->data[1], frame->linesize[1], planeWidth, planeHeight});
    BlendPlane(overlay.v.data(), overlay.chromaAlpha.data(), overlay.chromaSpans, cw, ch, cl, ct,
               {frame->data[2], frame->linesize[2], planeWidth, planeHeight});
}
