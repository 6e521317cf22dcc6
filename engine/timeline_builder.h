#pragma once
// Turns a slideshow project into an editing timeline: a video group of one track per photo, each
// with its photo and the transition that leads into it, and an audio group of one track per music
// placement, the music list looped under the show with overlaps of the join (0.2 s unless the show
// sets more), each song gained and crossfaded as the show says, fading out at its end.
//
// Runs on the thread that owns the project; every failure is reported through `boxes` with its
// own text, and failures below the group level never stop the build.

#include <memory>

#include "app/slideshow_project.h"
#include "engine/caption_texts.h"
#include "engine/motion_aiming.h"
#include "engine/music_levels.h"
#include "engine/music_loop.h"
#include "platform/shell/message_boxes.h"
#include "platform/timeline/timeline.h"

inline constexpr double kTimelineFps = 23.976;
// The music's fade-out is a volume envelope ("Vol") on the audio group: full volume until the
// fade begins, then the square of the time left, in this many straight steps, to silence at the
// show's end. A square falls fast at the end, so the last tenth of a second is near silent.
inline constexpr const char* kVolumeProperty = "Vol";
inline constexpr int kFadeOutSteps = 8;

struct TimelineBuildEnv {
    MessageBoxes& boxes;
    std::shared_ptr<FaultPlan> faults;  // null in the program
    IMediaLocator* locator = nullptr;   // offered the sources whose file is missing
    DateWords dateWords = nullptr;      // how captions write a date; none: the C library's locale
    std::string subtitleLanguage = {};  // the subtitle track's language code; empty: none named
    MusicLevelOf levelOf = nullptr;     // each song's measured level; none: the music's analysis
    FacesOf facesOf = nullptr;          // each photo's faces; none: the photos' own search
};

// Music placements up to this many are tracks of their own; a longer loop continues as a run of
// tracks made on demand (see music_loop.h).
inline constexpr std::size_t kMusicTracksListed = 4096;

// Builds a new timeline into *timeline and stores the show length in the project. Returns the
// failure of the timeline's creation, else S_OK (a group that failed was already reported).
HRESULT BuildTimeline(SlideshowProject& project, const TimelineBuildEnv& env,
                      std::shared_ptr<IAMTimeline>* timeline);

// Whether some photo lasts a frame (1001/24000 s) or more, as the timeline places it; a show
// whose photos are all shorter would show nothing and is refused before anything is written.
bool ShowHasAPicture(const std::vector<PhotoItem>& photos);

// A music file's play length: -1 when it cannot be measured, 0 when no measuring graph could be
// made (only through `faults`).
REFERENCE_TIME MeasureMediaDuration(const std::string& path,
                                    const std::shared_ptr<FaultPlan>& faults = nullptr);
