// libFuzzer target: kavrel-render's command line and the photo list it reads with @LIST. The
// bytes up to the first newline are the arguments (separated by NUL bytes), the rest the list.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "tools/kavrel_render/render_options.h"

namespace {

std::vector<std::string> Arguments(std::string_view line) {
    std::vector<std::string> args;
    for (std::size_t start = 0; start <= line.size();) {
        std::size_t end = std::min(line.find('\0', start), line.size());
        args.emplace_back(line.substr(start, end - start));
        start = end + 1;
    }
    return args;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t newline = std::min(bytes.find('\n'), bytes.size());
    static const std::string list =
        (std::filesystem::temp_directory_path() / ("kavrel-list-fuzz-" + std::to_string(getpid()) + ".txt")).string();
    std::ofstream(list, std::ios::binary) << bytes.substr(std::min(newline + 1, bytes.size()));
    std::vector<std::string> args = Arguments(bytes.substr(0, newline));
    args.push_back("@" + list);
    const ParsedOptions parsed = ParseRenderOptions(args);
    const RenderOptions& o = parsed.options;
    if (parsed.error.empty() && o.photos.empty() && o.title.empty() && !o.help && !o.version &&
        !o.listTransitions && !o.listCompressors) {
        __builtin_trap();  // a show with nothing to show passed as valid
    }
    return 0;
}
