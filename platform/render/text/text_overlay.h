#pragma once
// Text laid out by Pango and drawn by Cairo (fontconfig picks the fonts and their fallbacks) once
// per item into a premultiplied overlay in the frame's 4:2:0 layout; blending it onto a frame is
// then a few integer operations per covered pixel. Sizes follow the frame's height; a block's
// place is kept below the pixel, so the same text on frames of other sizes or at other offsets
// lands where its geometry says, not on the nearest pixel.
//
// Safe to call from any thread; each call works on its own objects.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/media/ffmpeg_handles.h"
#include "platform/render/text/text_items.h"

// Premultiplied samples over a rectangle of the frame: luma and its coverage at full size,
// chroma and its coverage at half size (4:2:0). `left` and `top` are even.
struct TextOverlay {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<std::uint8_t> y, alpha;       // width × height
    std::vector<std::uint8_t> u, v, chromaAlpha;  // (width / 2) × (height / 2)

    bool Empty() const { return width == 0 || height == 0; }
};

// The caption of a frame of frameWidth × frameHeight in `style`, at its place. An empty text gives
// an empty overlay. False with *error only when the text cannot be drawn at all.
bool DrawCaption(const Caption& caption, const CaptionStyle& style, int frameWidth, int frameHeight,
                 TextOverlay* overlay, std::string* error);
// The text of a title card over a frame of frameWidth × frameHeight, centred as a block and
// aligned within it.
bool DrawTitleText(const TitleCard& card, int frameWidth, int frameHeight, TextOverlay* overlay,
                   std::string* error);
// Blends `overlay` onto a 4:2:0 frame at its place (the part outside the frame is left out).
void BlendOverlay(const TextOverlay& overlay, AVFrame* frame);

// Glyphs of `text` in `font` that no installed font has (shown as boxes); 0 when all are found.
int UnknownGlyphs(const std::string& text, const std::string& font);
