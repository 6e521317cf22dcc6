#pragma once
// Pango layouts that scale exactly with the frame: the em is given in pixels, glyphs are
// anti-aliased in grey without hinting, and neither metrics nor glyph positions are rounded, so
// a text at twice the size is the same picture at twice the size.

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <pango/pangocairo.h>

struct GObjectUnref {
    void operator()(void* object) const { g_object_unref(object); }
};
using LayoutPtr = std::unique_ptr<PangoLayout, GObjectUnref>;

// In pixels, relative to the layout's origin.
struct TextRect {
    double x = 0, y = 0, width = 0, height = 0;
    double Right() const { return x + width; }
    double Bottom() const { return y + height; }
};

// An empty layout in `font` ("Family Style…"; a size in it is overridden) at an em of `emPixels`,
// the fonts coming from this thread's font map.
// Pango and its font map are used by one thread at a time: whoever lays out or draws text holds this.
std::mutex& TextMutex();
LayoutPtr MakeLayout(const std::string& font, double emPixels);
TextRect LogicalRect(PangoLayout* layout);
TextRect InkRect(PangoLayout* layout);
// The logical rectangle of each line that holds any text.
std::vector<TextRect> LineRects(PangoLayout* layout);
