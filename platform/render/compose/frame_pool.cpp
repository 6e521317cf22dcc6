#include "platform/render/compose/frame_pool.h"

extern "C" {
#include <libavutil/imgutils.h>
}

namespace {
constexpr int kAlign = 32;
}

FramePool::FramePool(int width, int height) : width_(width), height_(height) {
    const int alignedWidth = (width + kAlign - 1) / kAlign * kAlign;
    av_image_fill_linesizes(linesize_, AV_PIX_FMT_YUV420P, alignedWidth);
    for (int& l : linesize_) l = (l + kAlign - 1) / kAlign * kAlign;
    const std::size_t lumaBytes = static_cast<std::size_t>(linesize_[0]) * static_cast<std::size_t>(height);
    const std::size_t chromaRows = static_cast<std::size_t>((height + 1) / 2);
    planeOffset_[1] = lumaBytes;
    planeOffset_[2] = lumaBytes + static_cast<std::size_t>(linesize_[1]) * chromaRows;
    // The padding av_frame_get_buffer adds, for code that reads a little past a row's end.
    const std::size_t total = planeOffset_[2] + static_cast<std::size_t>(linesize_[2]) * chromaRows + 16 + kAlign - 1;
    pool_ = av_buffer_pool_init(total, nullptr);
}

FramePool::~FramePool() { av_buffer_pool_uninit(&pool_); }

FramePtr FramePool::Get() {
    FramePtr f(av_frame_alloc());
    if (f == nullptr || pool_ == nullptr) return nullptr;
    f->buf[0] = av_buffer_pool_get(pool_);
    if (f->buf[0] == nullptr) return nullptr;
    f->format = AV_PIX_FMT_YUV420P;
    f->width = width_;
    f->height = height_;
    for (int p = 0; p < 3; ++p) {
        f->data[p] = f->buf[0]->data + planeOffset_[p];
        f->linesize[p] = linesize_[p];
    }
    f->extended_data = f->data;
    return f;
}
