// libFuzzer target: any bytes through the cutter of a progressive JPEG's AC scans. What it keeps
// is a JPEG no larger than the input, which the cutter takes back unchanged.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/render/decode/jpeg_dc_scans.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view jpeg(reinterpret_cast<const char*>(data), size);
    std::string kept = "untouched";
    if (!KeepDcScans(jpeg, &kept)) {
        if (kept != "untouched") __builtin_trap();
        return 0;
    }
    if (kept.size() > jpeg.size() || !kept.starts_with("\xFF\xD8") || !kept.ends_with("\xFF\xD9")) __builtin_trap();
    std::string again;
    if (!KeepDcScans(kept, &again) || again != kept) __builtin_trap();
    return 0;
}
