#pragma once
// The motion each photo is drawn with: its kind, the show's amount and pace, its own framing and
// amount, and the views of its move: the ones the user drew, else, where the show keeps faces in
// the frame, ones aimed at the faces found in it. Under Random, a photo whose faces its drawn
// move would cut takes one of the moves that keep them whole.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/slideshow_project.h"
#include "platform/render/compose/photo_motion.h"

struct FoundFaces {
    bool read = false;
    int width = 0, height = 0;     // the upright photo, in pixels
    std::vector<PhotoRect> faces;  // in fractions of it
};
using FacesOf = std::function<FoundFaces(const std::string& path)>;

struct MotionContext {
    const PhotoDefaults& defaults;
    std::uint32_t seed = 0;                // the show's, as ChooseMotion takes it
    int frameWidth = 0, frameHeight = 0;   // 0 × 0: the first photo's own size
    FacesOf facesOf;                       // null: no faces are looked for
};

// A move is chosen among those that keep the faces only where it keeps at least this share of
// the asked amount.
inline constexpr double kLeastReach = 0.5;

// The motion of `photo` at list position `position`, after a photo that moves as `previous`.
PhotoMotion MotionOfPhoto(const PhotoItem& photo, int position, const MotionContext& context,
                          MotionKind previous);

// Whether the photo's move or crop is aimed at its faces: the show keeps faces in the frame, and
// the photo moves or is cropped by Fill, with no views drawn for it. Only those photos are searched.
bool AimsAtFaces(const PhotoItem& photo, const PhotoDefaults& defaults);

// The context the timeline plans `project`'s motions in: a video of the output's size, or where
// that is 0 × 0 the first photo's.
MotionContext MotionContextOf(const SlideshowProject& project, FacesOf facesOf);

// Whether the photo's source needs a motion effect: it moves, or has views or a framing of its own.
bool NeedsMotionEffect(const PhotoMotion& motion);
