#pragma once
// Command-line options of kavrel-render, parsed and checked against the same limits the
// program's dialogs apply.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct RenderOptions {
    bool help = false;
    bool version = false;
    bool dumpTimeline = false;
    bool listTransitions = false;
    bool listCompressors = false;
    std::string output;             // -o
    std::string format;             // avi, wmv, mkv, asf, mp4; empty: from the output's extension
    std::string videoCompressor;    // a friendly or encoder name, "none", or empty for the default
    std::string audioCompressor;
    int videoBitrate = 2048000;     // for WMV and ASF
    int audioBitrate = 192000;
    struct FilterSetting {
        std::string filter, name, value;
    };
    std::vector<FilterSetting> filterSettings;  // --option FILTER:NAME=VALUE
    std::vector<std::string> photos;
    std::vector<std::string> music;
    double photoDurationSec = 8;
    double transitionDurationSec = 4;
    int policy = 0;  // TransitionPolicy
    int sameIndex = 0;
    int width = 640;  // 0 x 0: the first photo's size
    int height = 480;
    std::optional<std::uint32_t> seed;
};

struct ParsedOptions {
    RenderOptions options;
    std::string error;  // empty when the arguments were good
};

// `args` without the program name. "@FILE" stands for the photos listed in FILE, one a line
// (blank lines and lines starting with "#" are skipped; relative paths are taken from the
// list's folder).
ParsedOptions ParseRenderOptions(const std::vector<std::string>& args);
std::string RenderUsage();
