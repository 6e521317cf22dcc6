#include "tools/kavrel_render/render_options.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <functional>
#include <map>
#include <set>

#include "app/path_rules.h"
#include "app/show_file.h"
#include "app/slideshow_project.h"
#include "engine/motion_choice.h"
#include "engine/transition_catalogue.h"

namespace {

bool ParseDouble(const std::string& text, double* out) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, *out);
    return ec == std::errc() && ptr == end;
}

template <class Int>
bool ParseInt(const std::string& text, Int* out) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, *out);
    return ec == std::errc() && ptr == end;
}

std::string ReadPhotoList(const std::string& listPath, std::vector<std::string>* photos) {
    std::ifstream in(listPath);
    if (!in) return "cannot read the photo list " + listPath;
    std::string folder = FolderWithTrailingSlash(listPath);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        photos->push_back(line[0] == '/' ? line : JoinFolderAndName(folder, line));
    }
    return {};
}

// The frame sizes a screen or a phone has, by the names people know them by.
bool NamedSize(const std::string& text, RenderOptions* o) {
    static const std::map<std::string, std::pair<int, int>> kNamed{
        {"720p", {1280, 720}}, {"1080p", {1920, 1080}}, {"2160p", {3840, 2160}}};
    auto it = kNamed.find(text);
    if (it == kNamed.end()) return false;
    o->width = it->second.first;
    o->height = it->second.second;
    return true;
}

std::string ParseSize(const std::string& text, RenderOptions* o) {
    if (NamedSize(text, o)) return {};
    std::size_t x = text.find('x');
    int w = 0, h = 0;
    if (x == std::string::npos || !ParseInt(text.substr(0, x), &w) ||
        !ParseInt(text.substr(x + 1), &h)) {
        return "--size takes WIDTHxHEIGHT (for example 1080x1920), 720p, 1080p or 2160p";
    }
    bool original = w == 0 && h == 0;
    bool fits = w >= 16 && h >= 16 && w <= 8192 && h <= 8192 && w % 2 == 0 && h % 2 == 0;
    if (!original && !fits) {
        return "--size needs even numbers from 16 to 8192 (or 0x0 for the first photo's size)";
    }
    o->width = w;
    o->height = h;
    return {};
}

std::string ParsePolicy(const std::string& text, RenderOptions* o) {
    static const std::map<std::string, int> kPolicies{
        {"random", kPolicyRandom}, {"sequence", kPolicySequence}, {"same", kPolicySame}};
    auto it = kPolicies.find(text);
    if (it == kPolicies.end()) return "--policy takes random, sequence or same";
    o->policy = it->second;
    return {};
}

std::string ParseMotionPolicy(const std::string& text, RenderOptions* o) {
    static const std::map<std::string, int> kPolicies{
        {"none", kMotionPolicyNone}, {"random", kMotionPolicyRandom}, {"same", kMotionPolicySame}};
    auto it = kPolicies.find(text);
    if (it == kPolicies.end()) return "--motion takes none, random or same";
    o->motionPolicy = it->second;
    return {};
}

std::string ParseSameMotion(const std::string& text, RenderOptions* o) {
    std::optional<MotionKind> kind = MotionKindFromName(text);
    if (!kind || *kind == MotionKind::None) {
        return "--same-motion takes zoom-in, zoom-out, pan-left, pan-right, pan-up or pan-down";
    }
    o->sameMotion = static_cast<int>(*kind);
    return {};
}

std::string ParseMotionAmount(const std::string& text, RenderOptions* o) {
    int percent = 0;
    if (!ParseInt(text, &percent) || percent < kMinMotionAmountPercent || percent > kMaxMotionAmountPercent) {
        return "--motion-amount takes a percentage from 1 to 100";
    }
    o->motionAmountPercent = percent;
    return {};
}

std::string ParseFaces(const std::string& text, RenderOptions* o) {
    if (text != "on" && text != "off") return "--faces takes on or off";
    o->facesAimed = text == "on";
    return {};
}

std::string ParseMotionPace(const std::string& text, RenderOptions* o) {
    if (text != "constant" && text != "eased") return "--motion-pace takes constant or eased";
    o->motionEased = text == "eased";
    return {};
}

std::string ParseFraming(const std::string& text, RenderOptions* o) {
    std::optional<Framing> framing = FramingFromName(text);
    if (!framing) return "--framing takes fit, blur or fill";
    o->framing = static_cast<int>(*framing);
    return {};
}

std::string ParseCaptionFrom(const std::string& text, RenderOptions* o) {
    std::optional<CaptionSource> source = CaptionSourceFromName(text);
    if (!source) return "--caption-from takes date, name or none";
    o->captionFrom = *source;
    return {};
}

std::string ParseCaptionOutput(const std::string& text, RenderOptions* o) {
    std::optional<CaptionOutput> output = CaptionOutputFromName(text);
    if (!output) return "--captions-in takes picture, subtitles or both";
    o->captionOutput = *output;
    return {};
}

std::string ParseTitle(const std::string& text, RenderOptions* o) {
    if (text.empty() || text.size() > kMaxTextBytes)
        return "--title takes a text of 1 to " + std::to_string(kMaxTextBytes) + " bytes";
    o->title = text;
    return {};
}

std::string ParseTitleDuration(const std::string& text, RenderOptions* o) {
    double d = 0;
    if (!ParseDouble(text, &d) || !(d >= 0.001 && d <= 65535)) return "--title-duration takes seconds from 0.001 to 65535";
    o->titleDurationSec = d;
    return {};
}

// ISO 639 codes: two or three small letters.
std::string ParseSubtitleLanguage(const std::string& text, RenderOptions* o) {
    const bool letters = std::all_of(text.begin(), text.end(), [](char c) { return c >= 'a' && c <= 'z'; });
    if (!letters || text.size() < 2 || text.size() > 3)
        return "--subtitle-language takes a language code such as en, de or fra";
    o->subtitleLanguage = text;
    return {};
}

// A loudness target in LUFS, or off.
std::string ParseLoudness(const std::string& text, RenderOptions* o) {
    double target = 0;
    if (text == "off") {
        o->musicMix.evenLoudness = false;
    } else if (ParseDouble(text, &target) && target >= kMinLoudnessTarget && target <= kMaxLoudnessTarget) {
        o->musicMix.evenLoudness = true;
        o->musicMix.loudnessTargetLufs = target;
    } else {
        return "--loudness takes a loudness from -36 to -6 (LUFS) or off";
    }
    return {};
}

// Each option that takes a value, and what it does with it.
using ValueHandler = std::function<std::string(const std::string&, RenderOptions*)>;
const std::map<std::string, ValueHandler>& ValueOptions() {
    static const std::map<std::string, ValueHandler> kOptions{
        {"--music",
         [](const std::string& v, RenderOptions* o) {
             o->music.push_back(v);
             return std::string();
         }},
        {"--photo-duration",
         [](const std::string& v, RenderOptions* o) {
             double d = 0;
             if (!ParseDouble(v, &d) || !(d >= 0.001 && d <= 65535)) {
                 return std::string("--photo-duration takes seconds from 0.001 to 65535");
             }
             o->photoDurationSec = d;
             return std::string();
         }},
        {"--transition-duration",
         [](const std::string& v, RenderOptions* o) {
             double d = 0;
             if (!ParseDouble(v, &d) || !(d >= 0 && d <= 600)) {
                 return std::string("--transition-duration takes seconds from 0 to 600");
             }
             o->transitionDurationSec = d;
             return std::string();
         }},
        {"--fade-out",
         [](const std::string& v, RenderOptions* o) {
             double d = 0;
             if (!ParseDouble(v, &d) || !(d >= 0 && d <= 600)) {
                 return std::string("--fade-out takes seconds from 0 to 600");
             }
             o->musicFadeOutSec = d;
             return std::string();
         }},
        {"--loudness", ParseLoudness},
        {"--join",
         [](const std::string& v, RenderOptions* o) {
             double d = 0;
             if (!ParseDouble(v, &d) || !(d >= kMinJoinSec && d <= kMaxJoinSec)) {
                 return std::string("--join takes seconds from 0.2 to 10");
             }
             o->musicMix.joinSec = d;
             return std::string();
         }},
        {"--policy", ParsePolicy},
        {"--same",
         [](const std::string& v, RenderOptions* o) {
             int n = 0;
             if (!ParseInt(v, &n) || n < 0 || n >= kTransitionCount) {
                 return std::string("--same takes a transition number from 0 to 46 "
                                    "(see --list-transitions)");
             }
             o->sameIndex = n;
             return std::string();
         }},
        {"--size", ParseSize},
        {"--motion", ParseMotionPolicy},
        {"--same-motion", ParseSameMotion},
        {"--motion-amount", ParseMotionAmount},
        {"--motion-pace", ParseMotionPace},
        {"--faces", ParseFaces},
        {"--framing", ParseFraming},
        {"--title", ParseTitle},
        {"--title-duration", ParseTitleDuration},
        {"--caption-from", ParseCaptionFrom},
        {"--captions-in", ParseCaptionOutput},
        {"--captions", [](const std::string& v, RenderOptions* o) { o->captionsFile = v; return std::string(); }},
        {"--subtitle-language", ParseSubtitleLanguage},
        {"-o", [](const std::string& v, RenderOptions* o) { o->output = v; return std::string(); }},
        {"--format",
         [](const std::string& v, RenderOptions* o) {
             static const std::set<std::string> kFormats{"avi", "wmv", "mkv", "asf", "mp4", "ogm"};
             if (!kFormats.count(v)) return std::string("--format takes avi, wmv, mkv, asf, mp4 or ogm");
             o->format = v;
             return std::string();
         }},
        {"--option",
         [](const std::string& v, RenderOptions* o) {
             std::size_t colon = v.find(':'), eq = v.find('=', colon == std::string::npos ? 0 : colon);
             if (colon == std::string::npos || eq == std::string::npos || colon == 0 || eq == colon + 1) {
                 return std::string("--option takes FILTER:NAME=VALUE, for example VideoCompressor:crf=18");
             }
             o->filterSettings.push_back({v.substr(0, colon), v.substr(colon + 1, eq - colon - 1), v.substr(eq + 1)});
             return std::string();
         }},
        {"--save-show",
         [](const std::string& v, RenderOptions* o) {
             if (!IsShowFileName(v)) return std::string("--save-show takes a file name ending in .kavrel");
             o->saveShow = v;
             return std::string();
         }},
        {"--video-compressor", [](const std::string& v, RenderOptions* o) { o->videoCompressor = v; return std::string(); }},
        {"--audio-compressor", [](const std::string& v, RenderOptions* o) { o->audioCompressor = v; return std::string(); }},
        {"--video-bitrate",
         [](const std::string& v, RenderOptions* o) {
             if (!ParseInt(v, &o->videoBitrate) || o->videoBitrate <= 0) {
                 return std::string("--video-bitrate takes bits per second, for example 2048000");
             }
             return std::string();
         }},
        {"--audio-bitrate",
         [](const std::string& v, RenderOptions* o) {
             if (!ParseInt(v, &o->audioBitrate) || !IsAudioBitrate(o->audioBitrate)) {
                 return std::string("--audio-bitrate takes bits per second: 64000, 128000, 192000 or 320000");
             }
             return std::string();
         }},
        {"--seed",
         [](const std::string& v, RenderOptions* o) {
             std::uint32_t n = 0;
             if (!ParseInt(v, &n)) return std::string("--seed takes a number from 0 to 4294967295");
             o->seed = n;
             return std::string();
         }},
    };
    return kOptions;
}

// The options that choose each photo's values, which a show file keeps for every photo.
std::string ShowConflict(const RenderOptions& o) {
    if (!o.photos.empty()) return "give either a show file or photos, not both";
    for (const char* option : {"--photo-duration", "--transition-duration", "--policy", "--same", "--seed", "--motion",
                               "--same-motion", "--title", "--title-duration"}) {
        if (o.given.count(option)) {
            return std::string(option) + " does not apply to a show file, whose photos keep their own values";
        }
    }
    return {};
}

std::string CheckArguments(const RenderOptions& o) {
    if (o.fitToMusic && o.fitToBeat) return "give --fit-to-music or --fit-to-beat, not both";
    if (!o.show.empty()) return ShowConflict(o);
    if (o.transitionDurationSec > o.photoDurationSec) {
        return "The Photo Duration must be bigger than the Transition Duration!";
    }
    if (o.photos.empty() && o.title.empty()) return "no photos given";
    if (!o.dumpTimeline && o.output.empty() && o.saveShow.empty()) {
        return "no output file given (-o FILE), nor --dump-timeline or --save-show";
    }
    return {};
}

}  // namespace

ParsedOptions ParseRenderOptions(const std::vector<std::string>& args) {
    ParsedOptions parsed;
    RenderOptions& o = parsed.options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            o.help = true;
        } else if (arg == "--version") {
            o.version = true;
        } else if (arg == "--list-compressors") {
            o.listCompressors = true;
        } else if (arg == "--list-transitions") {
            o.listTransitions = true;
        } else if (arg == "--dump-timeline") {
            o.dumpTimeline = true;
        } else if (arg == "--fit-to-music") {
            o.fitToMusic = true;
        } else if (arg == "--fit-to-beat") {
            o.fitToBeat = true;
        } else if (auto it = ValueOptions().find(arg); it != ValueOptions().end()) {
            if (i + 1 >= args.size()) {
                parsed.error = arg + " needs a value";
                return parsed;
            }
            o.given.insert(arg);
            parsed.error = it->second(args[++i], &o);
        } else if (arg.size() > 1 && arg[0] == '@') {
            parsed.error = ReadPhotoList(arg.substr(1), &o.photos);
        } else if (arg.size() > 1 && arg[0] == '-') {
            parsed.error = "unknown option " + arg;
        } else if (IsShowFileName(arg)) {
            if (!o.show.empty()) parsed.error = "give one show file only";
            o.show = arg;
        } else {
            o.photos.push_back(arg);
        }
        if (!parsed.error.empty()) return parsed;
    }
    if (o.help || o.version || o.listTransitions || o.listCompressors) return parsed;
    parsed.error = CheckArguments(o);
    return parsed;
}

std::string RenderUsage() {
    return R"(Usage: kavrel-render [OPTIONS] PHOTO... [@LIST]
       kavrel-render [OPTIONS] SHOW.kavrel

Builds a slideshow from photos and music the way Kavrel does: every photo is shown
for the photo duration and enters with its transition, the music is looped under
the whole show.

Photos:
  PHOTO                       a photo file (JPEG, HEIC, AVIF, PNG, WebP, TIFF, BMP,
                              GIF or TGA); give as many as you like, in show order
  @LIST                       the photos listed in the file LIST, one per line
                              (relative paths are taken from LIST's folder)
  --photo-duration SECONDS    how long each photo is shown (default 8)
  --transition-duration SECONDS
                              how long each transition lasts (default 4; at most
                              the photo duration)
  --policy random|sequence|same
                              how photos get their transitions (default random)
  --same N                    the transition of policy "same" (default 0, None)
  --seed N                    seed of the random transitions and motion: the same
                              seed repeats a show made with this version
  --list-transitions          print the transitions with their numbers
  --motion none|random|same   how photos move while on screen, their transitions
                              included (default none: they stand still); random
                              follows the seed and never repeats the move before
  --same-motion zoom-in|zoom-out|pan-left|pan-right|pan-up|pan-down
                              the motion of policy "same" (default zoom-in); a pan
                              moves the view toward that edge of the photo
  --motion-amount PERCENT     how much a zoom enlarges, 1 to 100 (default 15); a
                              pan on a photo of the frame's shape zooms in by it
                              first, to have room to travel
  --motion-pace constant|eased
                              an even pace, or starting and ending slowly
                              (default constant)
  --framing fit|blur|fill     how a photo fills the frame: whole with black bars
                              (default), whole on a blurred darkened copy of
                              itself, or cropped to fill it. A moving photo of
                              nearly the frame's shape moves inside itself, with
                              no bars
  --faces on|off              keep the faces found in the photos in the frame
                              (default on): a zoom ends on them, a pan runs only
                              as far as keeps them whole, random motion picks a
                              move that does, and fill crops around them

Words on the screen:
  --title TEXT                a title card before the photos: TEXT (\n starts a
                              new line) in white on black
  --title-duration SECONDS    how long the title card is shown (default: the
                              photo duration)
  --caption-from date|name|none
                              caption every photo without a caption of its own
                              with the date it was taken (EXIF, written as the
                              LC_TIME locale writes dates) or its file name
                              (default none)
  --captions FILE             captions from FILE: one line per photo, the photo's
                              path as given or its file name, a tab, the caption
                              (\n for a second line); a name given twice takes
                              its lines in list order
  --captions-in picture|subtitles|both
                              captions drawn in the picture, written as a
                              subtitle track a player can switch (MP4 and MKV),
                              or both (default both)
  --subtitle-language CODE    the subtitle track's language, such as en or de
                              (default: none named)

Shows:
  SHOW.kavrel                 a show saved by Kavrel or by --save-show: its photos
                              with their own durations, transitions and motions,
                              its music and its output settings. -o, --format,
                              --size, the compressors and bitrates, --music,
                              --fade-out, --loudness, --join, --framing, --faces,
                              --motion-amount, --motion-pace, --caption-from,
                              --captions-in and --captions override what it
                              says. The show's own output file is not replaced
                              when it exists: give -o to replace it
  --save-show FILE.kavrel     write the show described by the other arguments to
                              FILE, to open in Kavrel or render later; it is
                              rendered too only when -o is given
  --fit-to-music              give every photo the same duration, so that the
                              show ends where the music list played once ends
                              (refused when a photo would get less than 0.5 s,
                              or 65536 s and more)
  --fit-to-beat               give every photo a whole number of the music's
                              beats, as near as can be to its duration stretched
                              to the music, so that every transition starts on a
                              beat and the show ends with the music list played
                              once (refused when no beat is found, or a photo
                              would get less than 0.5 s)

Music:
  --music FILE                a music file (MP3, WAV, FLAC, Ogg, Opus, M4A, WMA and
                              whatever else FFmpeg plays); repeat for several, in
                              play order (with a show: in place of its music)
  --fade-out SECONDS          the music fades out over the show's last SECONDS
                              (default 2; 0: it stops with the last picture)
  --loudness LUFS|off         every song played at the same loudness, LUFS
                              (EBU R128; default -16); a song whose true peak
                              would pass -1 dBTP stays below it. off: each as
                              it was mastered (a show's own setting stays)
  --join SECONDS              songs that follow one another crossfade over
                              SECONDS (default 0.2, up to 10 and half the
                              shortest song)

Output:
  -o FILE                     the video file to write
  --format avi|wmv|mkv|asf|mp4|ogm
                              the container (default: from FILE's extension)
  --size WIDTHxHEIGHT         frame size (default 640x480; 0x0: the first photo's
                              size); 720p, 1080p and 2160p name the screen sizes,
                              1080x1920 is a phone held upright
  --video-compressor NAME|none
  --audio-compressor NAME|none
                              a compressor of --list-compressors, by its name or
                              its encoder's name (default: DivX-compatible MPEG-4
                              and Microsoft ADPCM; H.264 and AAC for MP4; Theora
                              and Vorbis for OGM); none writes uncompressed frames
                              or sound. A compressor the container cannot hold
                              that a show brings gives way to the container's
                              own, with a word; one given here is refused
  --video-bitrate BITS        for WMV and ASF (default 2048000)
  --audio-bitrate BITS        for WMV and ASF: 64000, 128000, 192000 or 320000
                              (default 192000)
  --option FILTER:NAME=VALUE  a setting of a filter of the graph, as its property
                              page would set it: VideoCompressor, AudioCompressor
                              or the multiplexer (for example
                              VideoCompressor:crf=18 or "MP4 Muxer:movflags=+faststart")
  --list-compressors          print the installed compressors
  --dump-timeline             print the show's editing timeline as XML instead

  -h, --help                  show this help
      --version               print the version

While writing, a progress bar shows how far it is. Ctrl-C stops and finishes the
file, which then plays up to where it stopped. SIGTERM or SIGHUP keeps the old
file and removes the unfinished one.

Exit status: 0 when the file is complete, 1 when writing failed or was stopped,
2 for bad arguments, a show with nothing to show, or input files that cannot be
read or decoded (a pipe, folder or device among them; found before or while
writing; an older output file stays), 128 + the signal's number when SIGTERM or
SIGHUP ended it.

Examples:
  kavrel-render --photo-duration 3 --transition-duration 1 --policy same --same 3 \
      --music song.mp3 -o show.mp4 *.jpg
  kavrel-render --music song.mp3 --fit-to-music --save-show holiday.kavrel *.jpg
  kavrel-render holiday.kavrel --size 1080p -o holiday-hd.mp4
)";
}
