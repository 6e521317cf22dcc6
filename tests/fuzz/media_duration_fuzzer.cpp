// libFuzzer target: any bytes as a music file whose play length is asked for.

#include <cstddef>
#include <cstdint>

#include "platform/media/media_duration.h"
#include "tests/fuzz/fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool quiet = (QuietMediaLibraryLog(), true);
    (void)quiet;
    const REFERENCE_TIME length = ProbeMediaDuration(WriteFuzzFile(data, size));
    if (length < -1) __builtin_trap();
    return 0;
}
