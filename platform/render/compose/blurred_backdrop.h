#pragma once
// The backdrop of "Fit on a blurred copy": the photo scaled to cover the frame, blurred far
// beyond recognition and darkened, so the fitted photo in front of it stands out.

#include "platform/media/ffmpeg_handles.h"

// A new 4:2:0 frame of width × height from `picture` (4:2:0); null when out of memory.
FramePtr BlurredBackdrop(const AVFrame* picture, int width, int height);
