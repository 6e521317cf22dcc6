// libFuzzer target: any bytes as a photo file, probed and decoded into a small frame by whichever
// decoder its first bytes choose (FFmpeg, libtiff, libwebp, libheif). A decoded frame has the
// frame's size; a failure says which file.

#include <cstddef>
#include <cstdint>

#include "platform/render/decode/photo_decoder.h"
#include "tests/fuzz/decoder_leaks.h"
#include "tests/fuzz/fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = WriteFuzzFile(data, size);
    PhotoSize shown;
    std::string error;
    if (ProbePhoto(path, &shown, &error) && (shown.width <= 0 || shown.height <= 0))
        __builtin_trap();
    FramePtr frame;
    if (DecodePhotoFrame(path, 64, 48, &frame, &error)) {
        if (frame->width != 64 || frame->height != 48) __builtin_trap();
    } else if (error.find(path) == std::string::npos) {
        __builtin_trap();
    }
    return 0;
}
