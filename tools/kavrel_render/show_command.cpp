#include "tools/kavrel_render/show_command.h"

#include <filesystem>
#include <map>

#include "app/file_refusals.h"
#include "app/fit_to_beat.h"
#include "app/fit_to_music.h"
#include "app/path_rules.h"
#include "app/show_messages.h"
#include "app/show_output.h"
#include "app/show_project.h"
#include "engine/container_compressors.h"
#include "engine/song_analysis.h"
#include "engine/timeline_builder.h"
#include "platform/shell/file_probe.h"
#include "platform/shell/message_boxes.h"
#include "tools/kavrel_render/dump_timeline.h"
#include "tools/kavrel_render/render_show.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kNoFormat =
    "Give the output's container with --format, or an output name ending in .avi, .wmv, .mkv, .asf, "
    ".mp4 or .ogm";

int Refuse(MessageBoxes& boxes, const std::string& text, int status = 2) {
    boxes.AppMessage(text);
    return status;
}

// The container --format or -o's extension names; -1 when neither does.
int FormatOf(const RenderOptions& o) {
    static const std::map<std::string, int> kFormats{{"avi", kFormatAvi},
                                                     {"wmv", kFormatWmv},
                                                     {"mkv", kFormatMkv},
                                                     {"asf", kFormatAsf},
                                                     {"mp4", kFormatMp4},
                                                     {"ogm", kFormatOgm}};
    std::string name = o.format;
    if (name.empty()) {
        const std::string file = FileNamePart(o.output);
        const std::size_t dot = file.rfind('.');
        name = dot == std::string::npos ? "" : file.substr(dot + 1);
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    const auto it = kFormats.find(name);
    return it == kFormats.end() ? -1 : it->second;
}

ShowOutput OutputOfOptions(const RenderOptions& o) {
    ShowOutput out;
    out.path = o.output.empty() ? "" : AbsolutePath(o.output);
    out.format = FormatOf(o);
    if (out.format < 0 && o.output.empty())
        out.format = kFormatWmv;  // nothing names one: the program's default
    out.width = o.width;
    out.height = o.height;
    out.videoCompressor = o.videoCompressor;
    out.audioCompressor = o.audioCompressor;
    out.videoBitrate = o.videoBitrate;
    out.audioBitrate = o.audioBitrate;
    return out;
}

void OverrideOutput(const RenderOptions& o, ShowOutput* out) {
    auto given = [&](const char* option) { return o.given.count(option) != 0; };
    if (given("--size")) {
        out->width = o.width;
        out->height = o.height;
    }
    if (given("--video-compressor")) out->videoCompressor = o.videoCompressor;
    if (given("--audio-compressor")) out->audioCompressor = o.audioCompressor;
    if (given("--video-bitrate")) out->videoBitrate = o.videoBitrate;
    if (given("--audio-bitrate")) out->audioBitrate = o.audioBitrate;
    if (given("-o")) {
        out->path = AbsolutePath(o.output);
        out->format = FormatOf(o);
    } else if (given("--format")) {
        out->format = FormatOf(o);
        if (!out->path.empty())
            out->path = fs::path(out->path).replace_extension(o.format).string();
    }
}

// What the options given say in place of what the show says.
void OverrideShow(const RenderOptions& o, Show* show) {
    auto given = [&](const char* option) { return o.given.count(option) != 0; };
    if (given("--music")) {
        show->music.clear();
        for (const std::string& music : o.music) show->music.push_back({AbsolutePath(music), 0, {}});
    }
    if (given("--fade-out")) show->musicFadeOutSec = o.musicFadeOutSec;
    if (given("--loudness")) {
        show->musicMix.evenLoudness = o.musicMix.evenLoudness;
        show->musicMix.loudnessTargetLufs = o.musicMix.loudnessTargetLufs;
    }
    if (given("--join")) show->musicMix.joinSec = o.musicMix.joinSec;
    if (given("--framing")) show->framing = FramingFromInt(o.framing);
    if (given("--motion-amount")) show->motionAmountPercent = o.motionAmountPercent;
    if (given("--motion-pace")) show->motionEased = o.motionEased;
    if (given("--faces")) show->facesAimed = o.facesAimed;
    if (given("--caption-from")) show->captionStyle.automatic = o.captionFrom;
    if (given("--captions-in")) show->captionStyle.output = o.captionOutput;
    OverrideOutput(o, &show->output);
}

int CheckShowFiles(const Show& show, MessageBoxes& boxes) {
    for (const PhotoItem& photo : show.photos) {
        if (!photo.path.empty() && !FileCanBeOpenedForReading(photo.path))
            return Refuse(boxes, CannotReadText("photo", photo.path));
    }
    for (const MusicItem& music : show.music) {
        if (!FileCanBeOpenedForReading(music.path))
            return Refuse(boxes, CannotReadText("music", music.path));
    }
    return 0;
}

int ReadShowInput(const RenderOptions& o, SlideshowProject* project, ShowOutput* output,
                  MessageBoxes& boxes) {
    Show show;
    if (ShowFileError error = ReadShowFile(o.show, &show))
        return Refuse(boxes, ShowOpenErrorText(o.show, error));
    OverrideShow(o, &show);
    if (int status = CheckShowFiles(show, boxes)) return status;
    PutShowInProject(show, project,
                     [](const std::string& path) { return MeasureMediaDuration(path); });
    for (const MusicItem& music : project->music()) {
        if (music.length <= 0)
            return Refuse(boxes, "Cannot find the length of the music file " + music.path);
    }
    PutShowOutput(show.output, &project->output());
    *output = show.output;
    std::vector<std::string> given;
    for (const PhotoItem& photo : show.photos) given.push_back(photo.path);
    return ApplyCaptions(o, given, *project, boxes);
}

int MakeShow(const RenderOptions& o, SlideshowProject* project, ShowOutput* output,
             MessageBoxes& boxes) {
    int status = 0;
    if (!o.show.empty()) {
        status = ReadShowInput(o, project, output, boxes);
    } else {
        status = BuildShowProject(o, project, boxes);
        *output = OutputOfOptions(o);
    }
    if (status != 0) return status;
    if (o.fitToBeat) {
        const BeatFitResult fit = FitPhotosToBeat(*project, BeatsOfSong);
        return fit.outcome == BeatFitOutcome::Fitted ? 0 : Refuse(boxes, BeatFitRefusalText(fit, *project));
    }
    if (!o.fitToMusic) return 0;
    const FitResult fit = FitPhotosToMusic(*project);
    return fit.outcome == FitOutcome::Fitted ? 0
                                             : Refuse(boxes, FitRefusalText(fit, project->music()));
}

// The compressor a saved show names: the one the render would take, so that the window takes it
// too.
std::string SavedCompressorName(const CompressorServices& s, bool video, const std::string& name,
                                int format) {
    if (!name.empty()) return name;
    const std::string byFormat = FormatDefaultCompressor(video, format);
    return byFormat.empty() ? CompressorNameInUse(s, video, -2, true) : byFormat;
}

int SaveShow(const RenderOptions& o, const SlideshowProject& project, const ShowOutput& output,
             MessageBoxes& boxes) {
    if (output.format < 0) return Refuse(boxes, kNoFormat);
    Show show = ShowOfProject(project);
    show.output = output;
    const CompressorServices services{boxes, nullptr};
    show.output.videoCompressor =
        SavedCompressorName(services, true, output.videoCompressor, output.format);
    show.output.audioCompressor =
        SavedCompressorName(services, false, output.audioCompressor, output.format);
    if (ShowFileError error = WriteShowFile(o.saveShow, show)) {
        return Refuse(boxes, ShowSaveErrorText(o.saveShow, error), 1);
    }
    std::fprintf(stderr, "Saved. %s\n", o.saveShow.c_str());
    return 0;
}

int Render(const RenderOptions& o, SlideshowProject& project, const ShowOutput& output,
           MessageBoxes& boxes) {
    if (output.format < 0) return Refuse(boxes, kNoFormat);
    if (output.path.empty()) return Refuse(boxes, "The show names no output file; give -o FILE");
    if (std::string refusal = OutputRefusalText(output.path); !refusal.empty()) return Refuse(boxes, refusal);
    // A show file may come from anywhere: the file it names is replaced only when -o names it too.
    std::error_code ec;
    if (!o.show.empty() && o.output.empty() && fs::exists(fs::symlink_status(output.path, ec))) {
        return Refuse(boxes, "The show's output file " + output.path + " exists; give -o " +
                                 output.path + " to replace it");
    }
    return RunRender(project, output, o, boxes);
}

}  // namespace

int RunShowCommand(const RenderOptions& o, std::FILE* out, MessageBoxes& boxes) {
    SlideshowProject project;
    ShowOutput output;
    if (int status = MakeShow(o, &project, &output, boxes); status != 0) return status;
    if (!o.saveShow.empty()) {
        if (int status = SaveShow(o, project, output, boxes); status != 0) return status;
    }
    if (o.dumpTimeline) return RunDumpTimeline(o, project, out, boxes);
    if (!o.saveShow.empty() && o.output.empty()) return 0;  // saved instead of rendered
    return Render(o, project, output, boxes);
}
