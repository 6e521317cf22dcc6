#pragma once
// Command-line options of kavrel-render, parsed and checked against the same limits the
// program's dialogs apply.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/slideshow_project.h"

struct RenderOptions {
    std::string show;      // SHOW.kavrel: the show to render (or dump, or save) instead of photos
    std::string saveShow;  // --save-show FILE
    bool fitToMusic = false;
    bool fitToBeat = false;
    std::set<std::string> given;  // the options given, so that a show keeps what none overrides
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
    double musicFadeOutSec = kDefaultMusicFadeOutSec;  // 0: the music stops with the show
    MusicMix musicMix;  // --loudness, --join
    std::optional<std::uint32_t> seed;
    int motionPolicy = 0;  // MotionPolicy
    int sameMotion = 1;    // MotionKind of policy "same"
    int motionAmountPercent = 15;
    bool motionEased = false;
    bool facesAimed = true;  // --faces
    int framing = 0;  // Framing
    std::string title;             // --title: a title card before the photos
    double titleDurationSec = -1;  // --title-duration; below 0: the photo duration
    CaptionSource captionFrom = CaptionSource::None;
    CaptionOutput captionOutput = CaptionOutput::Both;
    std::string captionsFile;      // --captions: "PHOTO<tab>CAPTION" lines
    std::string subtitleLanguage;  // --subtitle-language
};

struct ParsedOptions {
    RenderOptions options;
    std::string error;  // empty when the arguments were good
};

// `args` without the program name. "@FILE" stands for the photos listed in FILE, one a line
// (blank lines and lines starting with "#" are skipped; relative paths are taken from the
// list's folder). An argument ending in ".kavrel" is a show file, which takes the place of
// the photos and of the options that choose each photo's values.
ParsedOptions ParseRenderOptions(const std::vector<std::string>& args);
std::string RenderUsage();
