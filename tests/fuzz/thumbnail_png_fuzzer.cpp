// libFuzzer target: any bytes as a thumbnail file in the desktop's cache, which any program may
// have written.

#include <cstddef>
#include <cstdint>

#include "platform/media/thumbnails/thumbnail_png.h"
#include "tests/fuzz/fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PngTexts texts;
    ThumbnailPicture picture;
    if (!ReadThumbnailPng(WriteFuzzFile(data, size), &texts, &picture)) return 0;
    if (picture.width <= 0 || picture.height <= 0) __builtin_trap();
    if (picture.rgba.size() != static_cast<std::size_t>(picture.width) * picture.height * 4) __builtin_trap();
    return 0;
}
