#include "platform/render/decode/photo_picture.h"

#include "platform/render/playback/bgra_converter.h"
#include "platform/render/decode/photo_decoder.h"
#include "platform/render/compose/video_colour.h"
#include "platform/shell/file_probe.h"

extern "C" {
#include <libswscale/swscale.h>
}

BgraConverter::BgraConverter(int width, int height)
    : width_(width), height_(height),
      sws_(sws_getContext(width, height, AV_PIX_FMT_YUV420P, width, height, AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr,
                          nullptr, nullptr)) {}

BgraConverter::~BgraConverter() { sws_freeContext(sws_); }

void BgraConverter::FollowTags(const AVFrame* frame) {
    if (sws_ == nullptr || (frame->colorspace == matrix_ && frame->color_range == range_)) return;
    matrix_ = frame->colorspace;
    range_ = frame->color_range;
    const int* coefficients = MatrixCoefficients(matrix_);
    sws_setColorspaceDetails(sws_, coefficients, range_ == AVCOL_RANGE_JPEG ? 1 : 0, coefficients, 1, 0, 1 << 16,
                             1 << 16);
}

VideoPicture BgraConverter::Convert(const AVFrame* frame, std::int64_t n) {
    FollowTags(frame);
    VideoPicture p;
    p.width = width_;
    p.height = height_;
    // The scaler's vector code writes whole blocks: rows aligned, and room after the last one.
    p.stride = (width_ * 4 + 63) & ~63;
    auto pixels = std::make_shared<std::vector<std::uint8_t>>(static_cast<std::size_t>(p.stride) * height_ + 256);
    std::uint8_t* dst[] = {pixels->data(), nullptr, nullptr, nullptr};
    int dstStride[] = {p.stride, 0, 0, 0};
    if (sws_ != nullptr) sws_scale(sws_, frame->data, frame->linesize, 0, height_, dst, dstStride);
    p.pixels = std::move(pixels);
    p.frame = n;
    return p;
}

bool DecodePhotoPicture(const std::string& path, int width, int height, VideoPicture* picture, std::string* error) {
    width = std::max(2, width & ~1);
    height = std::max(2, height & ~1);
    if (KindOfPath(path) != PathKind::File) {  // a pipe would be waited on
        *error = "Cannot read the photo file " + path;
        return false;
    }
    FramePtr frame;
    if (!DecodePhotoFrame(path, width, height, &frame, error)) return false;
    *picture = BgraConverter(width, height).Convert(frame.get(), 0);
    return true;
}
