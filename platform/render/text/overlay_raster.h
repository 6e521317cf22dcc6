#pragma once
// From Cairo's pictures to the frame's: the coverage blur of shadows, and the premultiplied RGB of
// a drawn overlay turned into premultiplied limited-range 4:2:0 in the matrix of the frame's height.

#include <cairo.h>

#include "platform/render/text/text_overlay.h"

// Three box passes of `radius` pixels over an A8 surface, about a Gaussian of sigma radius.
void BlurCoverage(cairo_surface_t* a8, int radius);
// `argb` (CAIRO_FORMAT_ARGB32, even width and height) drawn at (left, top) of a frame of
// `frameHeight` lines, cut to the even-aligned rectangle that holds its coverage.
void ToOverlay(cairo_surface_t* argb, int left, int top, int frameHeight, TextOverlay* overlay);
