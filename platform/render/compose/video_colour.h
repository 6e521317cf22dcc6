#pragma once
// How the show's pictures hold colour: frames of 720 lines or more in the BT.709 matrix, smaller
// ones in BT.601's, always at studio (limited) range, and tagged so wherever a file can say it.
// Photos are sRGB, whose primaries and transfer are BT.709's, so those are tagged BT.709 at every
// size.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libavutil/pixfmt.h>
}

struct VideoColour {
    AVColorSpace matrix = AVCOL_SPC_SMPTE170M;
    AVColorPrimaries primaries = AVCOL_PRI_BT709;
    AVColorTransferCharacteristic transfer = AVCOL_TRC_BT709;
    AVColorRange range = AVCOL_RANGE_MPEG;
};

inline constexpr int kHdLines = 720;

VideoColour VideoColourFor(int frameHeight);
void TagFrame(AVFrame* frame, const VideoColour& colour);
// The encoder's tags; an encoder that takes RGB or full-range pictures is tagged as such.
void TagEncoder(AVCodecContext* encoder, const VideoColour& colour);
// swscale's YUV coefficients for a matrix tag; an unknown or missing tag gives BT.601's, as
// FFmpeg assumes for an untagged picture.
const int* MatrixCoefficients(AVColorSpace matrix);
