#include "platform/media/encoder_opening.h"

#ifdef KAVREL_SANITIZE
#include <sanitizer/lsan_interface.h>
#endif

int OpenEncoder(AVCodecContext* context, const AVCodec* codec, AVDictionary** options) {
#ifdef KAVREL_SANITIZE
    // x265 3.5 and one of FFmpeg 5.1's encoders keep a little of every opening for good: their
    // leak, which the leak checker is not to blame on us. The context itself is still checked.
    __lsan::ScopedDisabler notOurs;
#endif
    return avcodec_open2(context, codec, options);
}
