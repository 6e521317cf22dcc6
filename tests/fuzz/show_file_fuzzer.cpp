// libFuzzer target: any bytes through the show file reader. What it accepts must write back and
// read again to the very same show, and what it refuses must leave the caller's show untouched.
//   cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DKAVREL_FUZZERS=ON
//   cmake --build build-fuzz --target show_file_fuzzer && build-fuzz/tests/show_file_fuzzer

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/show_file.h"

namespace {

Show Marker() {
    Show show;
    show.music = {{"/untouched.wav", 0, {}}};
    return show;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string folder = "/shows/holiday";
    Show show = Marker();
    if (ParseShow(bytes, folder, &show)) {
        if (SerializeShow(show, folder) != SerializeShow(Marker(), folder)) __builtin_trap();
        return 0;
    }
    const std::string written = SerializeShow(show, folder);
    Show again;
    if (ParseShow(written, folder, &again) || SerializeShow(again, folder) != written)
        __builtin_trap();
    return 0;
}
