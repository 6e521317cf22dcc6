#pragma once
// A photo made ready for the frames it is on. A photo that does not move is one frame, shared by
// every frame that shows it whole; a moving photo keeps its picture at the largest size its path
// shows it, the backdrop around it, and its path, and is drawn anew for each frame. Transparent
// parts show the backdrop: black, or the blurred copy.
//
// Prepared on the decoding thread; drawn on the composing thread (or several).

#include <memory>
#include <string>

#include "platform/media/ffmpeg_handles.h"
#include "platform/render/compose/motion_path.h"
#include "platform/render/text/text_overlay.h"

struct PreparedPhoto {
    FramePtr still;  // set when the photo does not move
    FramePtr picture;   // transparent parts over black
    FramePtr alpha;     // their transparency (photo_decoder.h); set only over a blurred backdrop
    FramePtr backdrop;
    FramePtr black;     // set with alpha: the picture is drawn over it, then the backdrop added
    FramePtr clear;     // set with alpha: transparency 0, what the alpha is drawn over
    PhotoGeometry geometry;
    PhotoMotion motion;
    std::shared_ptr<const TextOverlay> caption;  // a still caption over a moving photo

    bool Moves() const { return still == nullptr; }
};

// `black` is a black frame of width × height, shared by the photos with bars. The motion's own
// framing, if any, wins over `framing`, the show's.
bool PreparePhoto(const std::string& path, const PhotoMotion& motion, Framing framing, int width,
                  int height, const FramePtr& black, PreparedPhoto* photo, std::string* error);

// Draws a moving photo at `progress` along its path into `out` (a frame of the show's size),
// splitting the rows among `threads` threads.
void DrawMovingPhoto(const PreparedPhoto& photo, double progress, AVFrame* out, int threads = 1);
