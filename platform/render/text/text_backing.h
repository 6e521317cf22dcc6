#pragma once
// What is drawn behind the glyphs so that they read over any picture: a dark (or, behind dark
// text, light) shadow hugging the glyphs, or a translucent rounded box behind each line.

#include <cstdint>

#include <cairo.h>
#include <pango/pango.h>

enum class Backing {
    None,
    Shadow,      // a dense halo around the glyphs and a soft drop shadow: captions
    SoftShadow,  // the drop shadow and a faint halo: large titles
    Box,
};

struct TextLook {
    std::uint32_t colour = 0xFFFFFF;
    Backing backing = Backing::None;
    double em = 0;  // pixels
};

// Black behind light text, white behind dark text: whichever stands out more from the colour.
bool BacksWithBlack(std::uint32_t colour);
// How far the backing reaches beyond the layout's ink (or, for a box, its lines), in pixels.
double BackingReach(const TextLook& look);
// Draws the backing and then the text of `layout`, its origin at (x, y) of `cr`'s surface.
void DrawLookedText(cairo_t* cr, PangoLayout* layout, double x, double y, const TextLook& look);
