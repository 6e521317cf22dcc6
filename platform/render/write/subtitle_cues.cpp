#include "platform/render/write/subtitle_cues.h"

#include <algorithm>

#include "platform/render/show_plan.h"

namespace {

constexpr REFERENCE_TIME kUnitsPerMs = 10000;

std::int64_t Milliseconds(REFERENCE_TIME t) {
    return (t >= 0 ? t + kUnitsPerMs / 2 : t - kUnitsPerMs / 2) / kUnitsPerMs;
}

}  // namespace

std::vector<SubtitleCue> SubtitleCues(const ShowPlan& plan) {
    std::vector<SubtitleCue> cues;
    if (plan.captionStyle.output == CaptionOutput::Picture) return cues;
    for (std::size_t i = 0; i < plan.clips.size(); ++i) {
        const VideoClip& clip = plan.clips[i];
        if (clip.caption.text.empty()) continue;
        REFERENCE_TIME stop = clip.stop;
        if (i + 1 < plan.clips.size()) stop = std::min(stop, plan.clips[i + 1].start);
        SubtitleCue cue{Milliseconds(clip.start), Milliseconds(stop), clip.caption.text};
        if (cue.stopMs > cue.startMs) cues.push_back(std::move(cue));
    }
    return cues;
}
