#pragma once
// 4:2:0 frames of one size whose memory is handed back to the pool when the last reference to a
// frame goes, on whatever thread that is. Composing a transition needs a new frame for every
// frame of it; taking fresh memory from the system each time costs a page fault per 4 KB.

#include <cstddef>

#include "platform/media/ffmpeg_handles.h"

extern "C" {
#include <libavutil/buffer.h>
}

// The bytes of one such frame's pictures, at least 1: what budgets of frames are counted in.
inline std::size_t FrameBytes(int width, int height) {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3 / 2 + 1;
}

class FramePool {
public:
    FramePool(int width, int height);
    ~FramePool();
    FramePool(const FramePool&) = delete;
    FramePool& operator=(const FramePool&) = delete;

    // A frame laid out as av_frame_get_buffer(…, 32) would lay it out; null when out of memory.
    FramePtr Get();

private:
    const int width_, height_;
    int linesize_[4] = {};
    std::size_t planeOffset_[3] = {};
    AVBufferPool* pool_ = nullptr;
};
