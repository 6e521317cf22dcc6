#pragma once
// Where a photo lies in the frame at any moment of its time on screen. The path is a pure
// function of the frame's time: no step is accumulated and nothing is rounded to whole pixels,
// so every frame sits exactly where the move puts it.
//
// Coordinates are continuous frame pixels: pixel (x, y) covers [x, x+1) × [y, y+1).

#include "platform/com/hresult.h"
#include "platform/render/compose/photo_motion.h"

struct FrameRect {
    double x = 0, y = 0, w = 0, h = 0;
};

struct PhotoGeometry {
    double photoWidth = 0, photoHeight = 0;  // upright, in any unit: only the shape counts
    int frameWidth = 0, frameHeight = 0;
    Framing framing = Framing::Fit;
};

// How far along its move a photo on screen over [start, stop) is at t: 0 to 1, eased or not.
double MotionProgress(REFERENCE_TIME t, REFERENCE_TIME start, REFERENCE_TIME stop, bool eased);

// Whether the photo moves inside itself, filling the frame (its shape within a factor 1.5 of the
// frame's, or Fill), rather than as a fitted picture with bars or the blurred copy around it.
bool MovesInsidePhoto(const PhotoGeometry& g);

// The rectangle the whole photo covers at `progress` (0 to 1). Without motion it is the photo
// fitted into the frame, or under Fill the photo covering it.
FrameRect PhotoPlacement(const PhotoGeometry& g, const PhotoMotion& motion, double progress);

// The largest size the photo is shown at along the move: decoding it larger gains nothing.
FrameRect LargestPlacement(const PhotoGeometry& g, const PhotoMotion& motion);
