#include "tools/kavrel_render/dump_timeline.h"

#include <ctime>
#include <filesystem>

#include "app/file_refusals.h"
#include "app/slideshow_project.h"
#include "engine/timeline_builder.h"
#include "platform/shell/file_probe.h"
#include "platform/timeline/timeline_xml.h"

namespace {

int Refuse(MessageBoxes& boxes, const std::string& text) {
    boxes.AppMessage(text);
    return 2;
}

int FillProject(const RenderOptions& o, SlideshowProject& project, MessageBoxes& boxes) {
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
    d.framing = FramingFromInt(o.framing);
    project.output().width = o.width;
    project.output().height = o.height;
    project.setMusicFadeOutSec(o.musicFadeOutSec);
    return FillProject(o, project, boxes);
}

std::string AbsolutePath(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.string();
}

int RunDumpTimeline(SlideshowProject& project, std::FILE* out, MessageBoxes& boxes) {
    std::shared_ptr<IAMTimeline> timeline;
    TimelineBuildEnv env{boxes, nullptr, nullptr};
    if (FAILED(BuildTimeline(project, env, &timeline))) return 1;
    return WriteTimelineXml(*timeline, out) ? 0 : 1;
}
