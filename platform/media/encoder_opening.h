#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
}

// avcodec_open2 for an encoder, whatever it is opened for (a conversion, a settings page, a trial
// of whether it opens at all). FFmpeg's result code.
int OpenEncoder(AVCodecContext* context, const AVCodec* codec, AVDictionary** options);
