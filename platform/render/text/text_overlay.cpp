#include "platform/render/text/text_overlay.h"

#include <algorithm>
#include <cmath>

#include "platform/render/text/overlay_raster.h"
#include "platform/render/text/text_backing.h"
#include "platform/render/text/text_input.h"
#include "platform/render/text/text_layout.h"

namespace {

constexpr int kMaxFrameSide = 16384;
constexpr double kBlockWidth = 0.9;     // of the frame's width
constexpr double kCaptionMargin = 0.05;  // of the frame's height, from its edge
constexpr double kDefaultCaptionSize = 0.045, kDefaultTitleSize = 0.08;
constexpr int kGlyphCheckPixels = 32;

void Fail(std::string* error, const std::string& message) {
    if (error != nullptr) *error = message;
}

int FloorEven(double v) { return static_cast<int>(std::floor(v / 2)) * 2; }
int CeilEven(double v) { return static_cast<int>(std::ceil(v / 2)) * 2; }

bool UsableFrame(int width, int height, std::string* error) {
    if (width > 0 && height > 0 && width <= kMaxFrameSide && height <= kMaxFrameSide) return true;
    Fail(error, "text cannot be drawn on a frame of " + std::to_string(width) + "×" + std::to_string(height));
    return false;
}

void SetText(PangoLayout* layout, const std::string& text) {
    pango_layout_set_text(layout, text.c_str(), static_cast<int>(text.size()));
}

// Draws `layout` with its origin at (x, y) of the frame, a fraction of a pixel kept: the overlay's
// rectangle is aligned to even pixels, the drawing inside it is not.
bool DrawBlock(PangoLayout* layout, double x, double y, const TextLook& look, int frameWidth, int frameHeight,
               int matrixHeight, TextOverlay* overlay, std::string* error) {
    *overlay = TextOverlay{};
    const TextRect ink = InkRect(layout), logical = LogicalRect(layout);
    const double reach = BackingReach(look);
    const int left = std::max(0, FloorEven(x + std::min(ink.x, logical.x) - reach));
    const int top = std::max(0, FloorEven(y + std::min(ink.y, logical.y) - reach));
    const int right = std::min(CeilEven(frameWidth), CeilEven(x + std::max(ink.Right(), logical.Right()) + reach));
    const int bottom = std::min(CeilEven(frameHeight), CeilEven(y + std::max(ink.Bottom(), logical.Bottom()) + reach));
    if (right <= left || bottom <= top) return true;

    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, right - left, bottom - top);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        Fail(error, "no memory to draw the text");
        return false;
    }
    cairo_t* cr = cairo_create(surface);
    DrawLookedText(cr, layout, x - left, y - top, look);
    cairo_destroy(cr);
    ToOverlay(surface, left, top, matrixHeight > 0 ? matrixHeight : frameHeight, overlay);
    cairo_surface_destroy(surface);
    return true;
}

// The first kMaxCaptionLines lines that hold any text.
std::vector<std::string> CaptionLines(const std::string& text) {
    std::vector<std::string> lines = SplitLines(UsableText(text));
    std::erase_if(lines, IsBlank);
    if (lines.size() > static_cast<std::size_t>(kMaxCaptionLines)) lines.resize(kMaxCaptionLines);
    return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
    return text;
}

double CaptionTop(CaptionPlace place, const TextRect& logical, int frameHeight) {
    const double margin = kCaptionMargin * frameHeight;
    switch (place) {
        case CaptionPlace::Top:
            return margin - logical.y;
        case CaptionPlace::Middle:
            return frameHeight / 2.0 - (logical.y + logical.height / 2);
        case CaptionPlace::Bottom:
            break;
    }
    return frameHeight - margin - logical.Bottom();
}

PangoAlignment PangoAlignmentOf(TextAlign align) {
    switch (align) {
        case TextAlign::Left:
            return PANGO_ALIGN_LEFT;
        case TextAlign::Right:
            return PANGO_ALIGN_RIGHT;
        case TextAlign::Centre:
            break;
    }
    return PANGO_ALIGN_CENTER;
}

void WrapWithin(PangoLayout* layout, int frameWidth) {
    pango_layout_set_width(layout, static_cast<int>(kBlockWidth * frameWidth * PANGO_SCALE));
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
}

}  // namespace

bool DrawCaption(const Caption& caption, const CaptionStyle& style, int frameWidth, int frameHeight,
                 TextOverlay* overlay, std::string* error, int matrixHeight) {
    const std::lock_guard<std::mutex> lock(TextMutex());
    *overlay = TextOverlay{};
    if (!UsableFrame(frameWidth, frameHeight, error)) return false;
    const std::vector<std::string> lines = CaptionLines(caption.text);
    if (lines.empty()) return true;

    const double em = UsableSize(style.size, kDefaultCaptionSize) * frameHeight;
    LayoutPtr layout = MakeLayout(style.font, em);
    WrapWithin(layout.get(), frameWidth);
    pango_layout_set_alignment(layout.get(), PANGO_ALIGN_CENTER);
    pango_layout_set_ellipsize(layout.get(), PANGO_ELLIPSIZE_END);
    // A negative height counts lines per paragraph: one line may wrap once, two may not wrap.
    pango_layout_set_height(layout.get(), lines.size() == 1 ? -kMaxCaptionLines : -1);
    SetText(layout.get(), Joined(lines));

    const TextRect logical = LogicalRect(layout.get());
    const double x = frameWidth / 2.0 - (logical.x + logical.width / 2);
    const double y = CaptionTop(caption.place, logical, frameHeight);
    const TextLook look{style.colour, style.backing == CaptionBacking::Box ? Backing::Box : Backing::Shadow, em};
    return DrawBlock(layout.get(), x, y, look, frameWidth, frameHeight, matrixHeight, overlay, error);
}

bool DrawTitleText(const TitleCard& card, int frameWidth, int frameHeight, TextOverlay* overlay, std::string* error,
                   int matrixHeight) {
    const std::lock_guard<std::mutex> lock(TextMutex());
    *overlay = TextOverlay{};
    if (!UsableFrame(frameWidth, frameHeight, error)) return false;
    const std::string text = UsableText(card.text);
    const std::vector<std::string> lines = SplitLines(text);
    if (std::all_of(lines.begin(), lines.end(), IsBlank)) return true;

    const double em = UsableSize(card.size, kDefaultTitleSize) * frameHeight;
    LayoutPtr layout = MakeLayout(card.font, em);
    WrapWithin(layout.get(), frameWidth);
    pango_layout_set_alignment(layout.get(), PangoAlignmentOf(card.align));
    SetText(layout.get(), text);

    const TextRect logical = LogicalRect(layout.get());
    const double x = frameWidth / 2.0 - (logical.x + logical.width / 2);
    const double y = frameHeight / 2.0 - (logical.y + logical.height / 2);
    const TextLook look{card.colour, BacksWithBlack(card.colour) ? Backing::SoftShadow : Backing::None, em};
    return DrawBlock(layout.get(), x, y, look, frameWidth, frameHeight, matrixHeight, overlay, error);
}

int UnknownGlyphs(const std::string& text, const std::string& font) {
    const std::lock_guard<std::mutex> lock(TextMutex());
    LayoutPtr layout = MakeLayout(font, kGlyphCheckPixels);
    SetText(layout.get(), UsableText(text));
    return pango_layout_get_unknown_glyphs_count(layout.get());
}
