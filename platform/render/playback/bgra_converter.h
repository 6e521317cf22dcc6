#pragma once
// 4:2:0 frames to BGRA pictures for drawing, each in the matrix and range it is tagged with. Not
// for use above the platform layer.

#include "platform/media/ffmpeg_handles.h"
#include "platform/render/playback/preview_renderers.h"

struct SwsContext;

class BgraConverter {
public:
    BgraConverter(int width, int height);
    ~BgraConverter();
    BgraConverter(const BgraConverter&) = delete;
    BgraConverter& operator=(const BgraConverter&) = delete;
    VideoPicture Convert(const AVFrame* frame, std::int64_t n);

private:
    void FollowTags(const AVFrame* frame);

    int width_, height_;
    SwsContext* sws_;
    AVColorSpace matrix_ = AVCOL_SPC_UNSPECIFIED;
    AVColorRange range_ = AVCOL_RANGE_UNSPECIFIED;
};
