#pragma once
// MPEG-4 part 2 says how its pictures hold colour in the visual object header, which FFmpeg's
// encoder writes as "no video signal type": an AVI file has no other place for it. These add the
// colour description there, so that players decode a BT.709 picture as BT.709.

#include <cstdint>
#include <vector>

#include "platform/render/compose/video_colour.h"

// `bytes` with the first visual object header that has no video signal type given one (video
// format unspecified, the range, primaries, transfer and matrix of `colour`). False, and *out
// untouched, when there is no such header.
bool AddMpeg4ColourDescription(const std::uint8_t* bytes, std::size_t size,
                               const VideoColour& colour, std::vector<std::uint8_t>* out);

// The same on an encoder's global header (extradata) and on a packet, in place.
bool AddMpeg4ColourDescription(AVCodecContext* encoder, const VideoColour& colour);
bool AddMpeg4ColourDescription(AVPacket* packet, const VideoColour& colour);
