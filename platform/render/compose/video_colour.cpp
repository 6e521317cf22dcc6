#include "platform/render/compose/video_colour.h"

extern "C" {
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

VideoColour VideoColourFor(int frameHeight) {
    VideoColour c;
    c.matrix = frameHeight >= kHdLines ? AVCOL_SPC_BT709 : AVCOL_SPC_SMPTE170M;
    return c;
}

void TagFrame(AVFrame* frame, const VideoColour& colour) {
    frame->colorspace = colour.matrix;
    frame->color_primaries = colour.primaries;
    frame->color_trc = colour.transfer;
    frame->color_range = colour.range;
}

void TagEncoder(AVCodecContext* encoder, const VideoColour& colour) {
    encoder->colorspace = colour.matrix;
    encoder->color_primaries = colour.primaries;
    encoder->color_trc = colour.transfer;
    encoder->color_range = colour.range;
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(encoder->pix_fmt);
    if (desc != nullptr && (desc->flags & AV_PIX_FMT_FLAG_RGB)) {
        encoder->colorspace = AVCOL_SPC_RGB;
        encoder->color_range = AVCOL_RANGE_JPEG;
    }
    switch (encoder->pix_fmt) {
        case AV_PIX_FMT_YUVJ420P:
        case AV_PIX_FMT_YUVJ422P:
        case AV_PIX_FMT_YUVJ444P:
            encoder->color_range = AVCOL_RANGE_JPEG;
            break;
        default:
            break;
    }
}

const int* MatrixCoefficients(AVColorSpace matrix) {
    // swscale numbers its tables as the tags are numbered and falls back to BT.601 itself.
    return sws_getCoefficients(matrix);
}
