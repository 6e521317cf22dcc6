#pragma once
// A title card as a picture for a box of the window, drawn by the same code as the show's frames
// (its background, its photo framed to fit, its text), in BGRA.

#include <string>

#include "platform/render/playback/preview_renderers.h"
#include "platform/render/text/text_items.h"

// `photoPath` is the card's photo (empty: none); width and height are rounded down to even.
bool DrawTitlePicture(const TitleCard& card, const std::string& photoPath, int width, int height,
                      VideoPicture* picture, std::string* error);
