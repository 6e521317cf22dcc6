#pragma once
// A clip of the show made ready for its frames: a photo as PreparePhoto makes it, or a title card's
// picture (its text on a colour, on a blurred copy of its photo, or over the photo), with its
// caption burned in where the show wants captions in the picture. A caption that stays still
// while its photo moves is kept apart and blended onto each drawn frame; one that moves with its
// photo is drawn into the photo's picture.
//
// Prepared on the decoding thread, like PreparePhoto.

#include <string>

#include "platform/render/compose/prepared_photo.h"
#include "platform/render/show_plan.h"

bool PrepareClip(const VideoClip& clip, const ShowPlan& plan, int width, int height, const FramePtr& black,
                 PreparedPhoto* photo, std::string* error);

// Photo `photo` drawn at `progress` into `out`, with its still caption on top.
void DrawMovingClip(const PreparedPhoto& photo, double progress, AVFrame* out, int threads = 1);
