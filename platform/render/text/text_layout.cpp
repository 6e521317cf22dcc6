#include "platform/render/text/text_layout.h"

#ifdef KAVREL_SANITIZE
// fontconfig keeps its patterns behind offsets rather than pointers, which a leak checker cannot
// follow: what it holds reads as lost.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif

namespace {

struct FontDescriptionFree {
    void operator()(PangoFontDescription* d) const { pango_font_description_free(d); }
};

TextRect FromPango(const PangoRectangle& r) {
    const double unit = PANGO_SCALE;
    return {r.x / unit, r.y / unit, r.width / unit, r.height / unit};
}

void SetUnhintedOptions(PangoContext* context) {
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
    pango_context_set_round_glyph_positions(context, FALSE);
}

}  // namespace

std::mutex& TextMutex() {
    static std::mutex mutex;
    return mutex;
}

LayoutPtr MakeLayout(const std::string& font, double emPixels) {
    // One font map for the program's life, used under TextMutex(): a map per thread would load
    // the fonts again for every thread that draws text.
    static PangoFontMap* const map = pango_cairo_font_map_new();
    PangoContext* context = pango_font_map_create_context(map);
    SetUnhintedOptions(context);
    LayoutPtr layout(pango_layout_new(context));
    g_object_unref(context);

    std::unique_ptr<PangoFontDescription, FontDescriptionFree> description(
        pango_font_description_from_string(font.c_str()));
    if (pango_font_description_get_family(description.get()) == nullptr) {
        pango_font_description_set_family(description.get(), "Sans");
    }
    pango_font_description_set_absolute_size(description.get(), emPixels * PANGO_SCALE);
    pango_layout_set_font_description(layout.get(), description.get());
    return layout;
}

TextRect LogicalRect(PangoLayout* layout) {
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    return FromPango(logical);
}

TextRect InkRect(PangoLayout* layout) {
    PangoRectangle ink;
    pango_layout_get_extents(layout, &ink, nullptr);
    return FromPango(ink);
}

std::vector<TextRect> LineRects(PangoLayout* layout) {
    std::vector<TextRect> rects;
    PangoLayoutIter* iter = pango_layout_get_iter(layout);
    do {
        PangoLayoutLine* line = pango_layout_iter_get_line_readonly(iter);
        PangoRectangle logical;
        pango_layout_iter_get_line_extents(iter, nullptr, &logical);
        if (line != nullptr && line->length > 0) rects.push_back(FromPango(logical));
    } while (pango_layout_iter_next_line(iter));
    pango_layout_iter_free(iter);
    return rects;
}
