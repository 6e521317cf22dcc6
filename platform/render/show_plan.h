#pragma once
// A timeline read into plain values for rendering: the photos in track order (later on top) with
// the transition leading into each, the music placements, the frame size, and the output timing:
// 24000/1001 frames a second, frame n starting at n·1001/24000 s.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/render/audio_mixer.h"
#include "platform/render/compose/effects/transition_effect.h"
#include "platform/render/compose/photo_motion.h"
#include "platform/render/text/text_items.h"
#include "platform/timeline/timeline.h"

inline constexpr std::int64_t kFpsNum = 24000;
inline constexpr std::int64_t kFpsDen = 1001;

REFERENCE_TIME FrameStart(std::int64_t n);
// ceil(length · 24000/1001): the frames of a show of that length.
std::int64_t FrameCount(REFERENCE_TIME length);

struct VideoClip {
    std::string path;
    REFERENCE_TIME start = 0, stop = 0;
    int stretchMode = 2;
    bool hasTransition = false;
    GUID effect;
    EffectProperties properties;
    REFERENCE_TIME transitionStart = 0, transitionStop = 0;
    PhotoMotion motion;  // over [start, stop): the photo keeps moving through both transitions
    std::optional<TitleCard> title;  // a title card: its photo, if any, is `path`
    Caption caption;  // no text: none
};

struct ShowPlan {
    bool hasVideo = false, hasAudio = false;
    int width = 0, height = 0;  // 0 × 0: the first photo's size
    Framing framing = Framing::Fit;
    CaptionStyle captionStyle;
    std::string subtitleLanguage;  // an ISO 639 code for the subtitle track; empty: none given
    std::vector<VideoClip> clips;
    std::vector<AudioPlacement> music;
    std::shared_ptr<const TrackRun> musicRun;  // the placements after `music`, made on demand
    VolumeEnvelope musicVolume;  // the audio group's "Vol" keys: the fade-out at the end
    REFERENCE_TIME length = 0;  // the end of the last video source, or of the music without video
};

HRESULT ReadShowPlan(const IAMTimeline& timeline, ShowPlan* plan);
