// libFuzzer target: any bytes as a photo's JPEG markers.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/render/decode/jpeg_header.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    JpegHeader header;
    if (!ReadJpegHeader(std::string_view(reinterpret_cast<const char*>(data), size), &header)) return 0;
    if (header.width <= 0 || header.height <= 0) __builtin_trap();
    if (header.orientation < 1 || header.orientation > 8) __builtin_trap();
    return 0;
}
