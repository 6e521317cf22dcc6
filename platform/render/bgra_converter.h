#pragma once
// 4:2:0 frames to BGRA pictures for drawing. Not for use above the platform layer.

#include "platform/media/ffmpeg_handles.h"
#include "platform/render/preview_renderers.h"

struct SwsContext;

class BgraConverter {
public:
    BgraConverter(int width, int height);
    ~BgraConverter();
    BgraConverter(const BgraConverter&) = delete;
    BgraConverter& operator=(const BgraConverter&) = delete;
    VideoPicture Convert(const AVFrame* frame, std::int64_t n);

private:
    int width_, height_;
    SwsContext* sws_;
};
