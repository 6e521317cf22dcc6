#pragma once
// Moves that know where the faces are. A zoom-in ends on the faces, framed with room to spare, and
// a zoom-out starts there; a pan runs between the two places that still hold every face; a still
// photo under Fill is cropped around them. A move never goes further than keeps the faces whole:
// a zoom stops short, a pan runs a shorter way. Where the widest view cannot hold all the faces,
// it holds the largest ones that fit together.

#include <vector>

#include "platform/render/compose/motion_path.h"

struct AimedMove {
    PhotoMotion motion;  // with views where faces were found
    double reach = 1;    // how much of the asked move is left, 0 to 1 (1 where nothing was cut)
    bool keepsFaces = true;  // every face found is whole in every frame
};

// `faces` are in fractions of the upright photo; `g` carries the framing the photo is shown with
// (its own, else the show's). Without faces, or for a still photo that shows itself whole, the
// motion comes back unchanged.
AimedMove AimAtFaces(const PhotoGeometry& g, const PhotoMotion& motion, const std::vector<PhotoRect>& faces);

// The view the photo is shown through without any aiming, at the start of the move; for the
// dialog that draws a move from scratch.
PhotoRect PlainView(const PhotoGeometry& g, const PhotoMotion& motion, double progress);
