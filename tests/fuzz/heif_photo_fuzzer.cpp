// libFuzzer target: any bytes as a HEIC or AVIF file through libheif, probed and decoded at the
// size of a small frame (a thumbnail where one covers it).

#include <cstddef>
#include <cstdint>

#include "platform/render/decode/heif_photo.h"
#include "tests/fuzz/decoder_leaks.h"
#include "tests/fuzz/fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = WriteFuzzFile(data, size);
    if (!IsHeifFile(path)) return 0;
    int width = 0, height = 0;
    std::string error;
    if (ProbeHeifPhoto(path, &width, &height, &error) && (width <= 0 || height <= 0))
        __builtin_trap();
    HeifPicture picture;
    if (DecodeHeifPhoto(path, 64, 48, &picture, &error) &&
        (picture.frame == nullptr || picture.fullWidth <= 0 || picture.fullHeight <= 0)) {
        __builtin_trap();
    }
    return 0;
}
