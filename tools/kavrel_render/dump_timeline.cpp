#include "tools/kavrel_render/dump_timeline.h"

#include <ctime>
#include <filesystem>

#include "app/file_refusals.h"
#include "app/slideshow_project.h"
#include "engine/timeline_builder.h"
#include "platform/shell/file_probe.h"
#include "platform/timeline/timeline_xml.h"
#include "tools/kavrel_render/caption_list.h"

namespace {

int Refuse(MessageBoxes& boxes, const std::string& text) {
    boxes.AppMessage(text);
    return 2;
}

void AddTitle(const RenderOptions& o, SlideshowProject& project) {
    PhotoItem card = project.MakePhotos({""}, 0).front();
    card.title = TitleCard();
    card.title->text = WithLineBreaks(o.title);
    if (o.titleDurationSec >= 0) card.durationSec = o.titleDurationSec;
    project.InsertPhotos({0}, {card});
}

int FillProject(const RenderOptions& o, SlideshowProject& project, MessageBoxes& boxes) {
    if (!o.title.empty()) AddTitle(o, project);
    for (const std::string& photo : o.photos) {
        if (project.AppendPhoto(AbsolutePath(photo)) == ProjectResult::PathTooLong) {
            return Refuse(boxes, "The path is longer than 259 bytes: " + photo);
        }
        if (!FileCanBeOpenedForReading(photo)) {
            return Refuse(boxes, CannotReadText("photo", photo));
        }
    }
    for (const std::string& music : o.music) {
        if (!FileCanBeOpenedForReading(music)) {
            return Refuse(boxes, CannotReadText("music", music));
        }
        REFERENCE_TIME length = MeasureMediaDuration(music);
        if (length <= 0) {
            return Refuse(boxes, "Cannot find the length of the music file " + music);
        }
        if (project.AppendMusic(AbsolutePath(music), length) == ProjectResult::PathTooLong) {
            return Refuse(boxes, "The path is longer than 259 bytes: " + music);
        }
    }
    return 0;
}

}  // namespace

int BuildShowProject(const RenderOptions& o, SlideshowProject* projectOut, MessageBoxes& boxes) {
    SlideshowProject& project = *projectOut;
    project.random().Seed(o.seed ? *o.seed : static_cast<std::uint32_t>(std::time(nullptr)));
    PhotoDefaults& d = project.defaults();
    d.photoDurationSec = o.photoDurationSec;
    d.transitionDurationSec = o.transitionDurationSec;
    d.policy = o.policy;
    d.sameIndex = o.sameIndex;
    d.motionPolicy = o.motionPolicy;
    d.sameMotion = MotionKindFromInt(o.sameMotion);
    d.motionAmountPercent = o.motionAmountPercent;
    d.motionEased = o.motionEased;
    d.facesAimed = o.facesAimed;
    d.framing = FramingFromInt(o.framing);
    project.output().width = o.width;
    project.output().height = o.height;
    project.setMusicFadeOutSec(o.musicFadeOutSec);
    project.musicMix() = o.musicMix;
    project.captionStyle().automatic = o.captionFrom;
    project.captionStyle().output = o.captionOutput;
    if (int status = FillProject(o, project, boxes)) return status;
    std::vector<std::string> given(o.title.empty() ? 0 : 1);
    given.insert(given.end(), o.photos.begin(), o.photos.end());
    return ApplyCaptions(o, given, project, boxes);
}

int ApplyCaptions(const RenderOptions& o, const std::vector<std::string>& givenPaths, SlideshowProject& project,
                  MessageBoxes& boxes) {
    if (o.captionsFile.empty()) return 0;
    const std::string problem = ApplyCaptionList(o.captionsFile, givenPaths, &project);
    return problem.empty() ? 0 : Refuse(boxes, problem);
}

std::string AbsolutePath(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.string();
}

int RunDumpTimeline(const RenderOptions& o, SlideshowProject& project, std::FILE* out, MessageBoxes& boxes) {
    std::shared_ptr<IAMTimeline> timeline;
    TimelineBuildEnv env{boxes, nullptr, nullptr, nullptr, o.subtitleLanguage};
    if (FAILED(BuildTimeline(project, env, &timeline))) return 1;
    return WriteTimelineXml(*timeline, out) ? 0 : 1;
}
