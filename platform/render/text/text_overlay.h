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
#include <utility>
#include <vector>

#include "platform/media/ffmpeg_handles.h"
#include "platform/render/text/text_items.h"

// Premultiplied samples over a rectangle of the frame: luma and its coverage at full size,
// chroma and its coverage at half size (4:2:0). `left`, `top`, `width` and `height` are even.
// Blending a sample is out = out - out × a / 255 + premultiplied, so the stored luma is the
// colour's limited-range Y × a / 255 (a fully covered sample becomes the colour's Y exactly) and
// the stored chroma is U or V × a / 255, 128 included. The colours are in the matrix of the frame
// height the overlay was drawn for (VideoColourFor).
struct TextOverlay {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<std::uint8_t> y, alpha;       // width × height
    std::vector<std::uint8_t> u, v, chromaAlpha;  // (width / 2) × (height / 2)
    // Per luma row and per chroma row, the columns [first, end) holding any coverage; filled by the
    // drawing, so that blending skips what is clear. Left empty, whole rows are blended.
    std::vector<std::pair<int, int>> lumaSpans, chromaSpans;

    bool Empty() const { return width == 0 || height == 0; }
};

// The caption of a frame of frameWidth × frameHeight in `style`, at its place. An empty text gives
// an empty overlay. False with *error only when the text cannot be drawn at all. `matrixHeight`,
// when given, is the height of the video whose colours the overlay takes (a picture larger than
// the video it moves in); else frameHeight.
bool DrawCaption(const Caption& caption, const CaptionStyle& style, int frameWidth, int frameHeight,
                 TextOverlay* overlay, std::string* error, int matrixHeight = 0);
// The text of a title card over a frame of frameWidth × frameHeight, centred as a block and
// aligned within it.
bool DrawTitleText(const TitleCard& card, int frameWidth, int frameHeight, TextOverlay* overlay,
                   std::string* error, int matrixHeight = 0);
// Blends `overlay` onto a 4:2:0 frame at its place (the part outside the frame is left out).
void BlendOverlay(const TextOverlay& overlay, AVFrame* frame);

// Glyphs of `text` in `font` that no installed font has (shown as boxes); 0 when all are found.
int UnknownGlyphs(const std::string& text, const std::string& font);
