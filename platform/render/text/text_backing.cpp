#include "platform/render/text/text_backing.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

#include <pango/pangocairo.h>

#include "platform/render/text/overlay_raster.h"
#include "platform/render/text/text_layout.h"

namespace {

// In ems, with a floor in pixels for small text: a halo thinner than a few pixels lets a
// bright background show between it and the glyphs.
struct ShadowShape {
    double haloRadius, haloRadiusMinPixels, haloBlur, haloOpacity;
    double dropX, dropY, dropBlur, dropOpacity;
};
constexpr ShadowShape kCaptionShadow{0.08, 2.5, 0.025, 0.85, 0.035, 0.055, 0.07, 0.6};
constexpr ShadowShape kTitleShadow{0.02, 0.0, 0.04, 0.45, 0.03, 0.05, 0.08, 0.6};

constexpr double kBoxPadX = 0.3, kBoxPadY = 0.08, kBoxRadius = 0.2, kBoxOpacity = 0.8;

struct SurfaceDestroy {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDestroy {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDestroy>;
using ContextPtr = std::unique_ptr<cairo_t, ContextDestroy>;

double Channel(std::uint32_t colour, int shift) { return ((colour >> shift) & 0xFF) / 255.0; }

double Linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double RelativeLuminance(std::uint32_t colour) {
    return 0.2126 * Linear(Channel(colour, 16)) + 0.7152 * Linear(Channel(colour, 8)) +
           0.0722 * Linear(Channel(colour, 0));
}

void SetColour(cairo_t* cr, std::uint32_t colour, double opacity) {
    cairo_set_source_rgba(cr, Channel(colour, 16), Channel(colour, 8), Channel(colour, 0), opacity);
}

std::uint32_t BackingColour(std::uint32_t text) { return BacksWithBlack(text) ? 0x000000 : 0xFFFFFF; }

int BlurPixels(double ems, double em) { return std::max(1, static_cast<int>(std::lround(ems * em))); }

double HaloRadius(const ShadowShape& shape, double em) {
    return std::max(shape.haloRadius * em, shape.haloRadiusMinPixels);
}

// The glyphs' coverage grown by `radius` pixels, on an A8 surface the size of `target`'s.
SurfacePtr HaloCoverage(cairo_surface_t* target, PangoLayout* layout, double x, double y, double radius) {
    SurfacePtr halo(cairo_image_surface_create(CAIRO_FORMAT_A8, cairo_image_surface_get_width(target),
                                               cairo_image_surface_get_height(target)));
    ContextPtr cr(cairo_create(halo.get()));
    cairo_translate(cr.get(), x, y);
    if (radius > 0) {
        cairo_move_to(cr.get(), 0, 0);
        pango_cairo_layout_path(cr.get(), layout);
        cairo_set_line_width(cr.get(), 2 * radius);
        cairo_set_line_join(cr.get(), CAIRO_LINE_JOIN_ROUND);
        cairo_stroke_preserve(cr.get());
        cairo_fill(cr.get());
    }
    // Bitmap glyphs (colour emoji) may have no outline: their own coverage counts as well.
    cairo_move_to(cr.get(), 0, 0);
    pango_cairo_show_layout(cr.get(), layout);
    return halo;
}

SurfacePtr BlurredCopy(cairo_surface_t* a8, int radius) {
    SurfacePtr copy(cairo_image_surface_create(CAIRO_FORMAT_A8, cairo_image_surface_get_width(a8),
                                               cairo_image_surface_get_height(a8)));
    ContextPtr cr(cairo_create(copy.get()));
    cairo_set_source_surface(cr.get(), a8, 0, 0);
    cairo_paint(cr.get());
    cr.reset();
    BlurCoverage(copy.get(), radius);
    return copy;
}

void DrawShadow(cairo_t* cr, PangoLayout* layout, double x, double y, const TextLook& look,
                const ShadowShape& shape) {
    SurfacePtr halo = HaloCoverage(cairo_get_target(cr), layout, x, y, HaloRadius(shape, look.em));
    SurfacePtr drop = BlurredCopy(halo.get(), BlurPixels(shape.dropBlur, look.em));
    BlurCoverage(halo.get(), BlurPixels(shape.haloBlur, look.em));
    const std::uint32_t colour = BackingColour(look.colour);
    SetColour(cr, colour, shape.dropOpacity);
    cairo_mask_surface(cr, drop.get(), shape.dropX * look.em, shape.dropY * look.em);
    SetColour(cr, colour, shape.haloOpacity);
    cairo_mask_surface(cr, halo.get(), 0, 0);
}

void AddRoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    r = std::min({r, w / 2, h / 2});
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -std::numbers::pi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, std::numbers::pi / 2);
    cairo_arc(cr, x + r, y + h - r, r, std::numbers::pi / 2, std::numbers::pi);
    cairo_arc(cr, x + r, y + r, r, std::numbers::pi, 3 * std::numbers::pi / 2);
    cairo_close_path(cr);
}

// One path of all lines' boxes, filled once, so that where they overlap they are not darker.
void DrawBoxes(cairo_t* cr, PangoLayout* layout, double x, double y, const TextLook& look) {
    const double padX = kBoxPadX * look.em, padY = kBoxPadY * look.em;
    for (const TextRect& line : LineRects(layout)) {
        AddRoundedRect(cr, x + line.x - padX, y + line.y - padY, line.width + 2 * padX,
                       line.height + 2 * padY, kBoxRadius * look.em);
    }
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    SetColour(cr, BackingColour(look.colour), kBoxOpacity);
    cairo_fill(cr);
}

double ShadowReach(const ShadowShape& shape, double em) {
    const double haloReach = HaloRadius(shape, em) + 3 * BlurPixels(shape.haloBlur, em);
    const double dropReach = HaloRadius(shape, em) + 3 * BlurPixels(shape.dropBlur, em) +
                             std::max(shape.dropX, shape.dropY) * em;
    return std::max(haloReach, dropReach) + 1;
}

}  // namespace

bool BacksWithBlack(std::uint32_t colour) {
    // The contrast with black, (L + 0.05) / 0.05, against that with white, 1.05 / (L + 0.05).
    const double l = RelativeLuminance(colour);
    return (l + 0.05) * (l + 0.05) >= 0.05 * 1.05;
}

double BackingReach(const TextLook& look) {
    switch (look.backing) {
        case Backing::Shadow:
            return ShadowReach(kCaptionShadow, look.em);
        case Backing::SoftShadow:
            return ShadowReach(kTitleShadow, look.em);
        case Backing::Box:
            return (kBoxPadX + kBoxPadY) * look.em + 1;
        case Backing::None:
            break;
    }
    return 1;
}

void DrawLookedText(cairo_t* cr, PangoLayout* layout, double x, double y, const TextLook& look) {
    switch (look.backing) {
        case Backing::Shadow:
            DrawShadow(cr, layout, x, y, look, kCaptionShadow);
            break;
        case Backing::SoftShadow:
            DrawShadow(cr, layout, x, y, look, kTitleShadow);
            break;
        case Backing::Box:
            DrawBoxes(cr, layout, x, y, look);
            break;
        case Backing::None:
            break;
    }
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_move_to(cr, 0, 0);
    SetColour(cr, look.colour, 1.0);
    pango_cairo_show_layout(cr, layout);
    cairo_restore(cr);
}
