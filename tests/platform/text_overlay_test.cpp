// Captions and title text drawn on the installed fonts (Noto, with its CJK and colour emoji
// families) and blended onto 4:2:0 frames.

#include "platform/render/text/text_overlay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>

#include "platform/render/text/text_layout.h"

namespace {

constexpr int kBlack16 = 16, kWhite235 = 235;

FramePtr GreyFrame(int width, int height, const std::function<int(int, int)>& luma) {
    FramePtr f(av_frame_alloc());
    f->format = AV_PIX_FMT_YUV420P;
    f->width = width;
    f->height = height;
    EXPECT_EQ(av_frame_get_buffer(f.get(), 32), 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) f->data[0][y * f->linesize[0] + x] = static_cast<std::uint8_t>(luma(x, y));
    }
    for (int p = 1; p < 3; ++p) {
        for (int y = 0; y < (height + 1) / 2; ++y) std::fill_n(f->data[p] + y * f->linesize[p], (width + 1) / 2, 128);
    }
    return f;
}

FramePtr FlatFrame(int width, int height, int luma) {
    return GreyFrame(width, height, [luma](int, int) { return luma; });
}

int LumaAt(const AVFrame* f, int x, int y) { return f->data[0][y * f->linesize[0] + x]; }

TextOverlay Caption(const std::string& text, int width, int height, CaptionStyle style = {},
                    CaptionPlace place = CaptionPlace::Bottom) {
    TextOverlay overlay;
    std::string error;
    EXPECT_TRUE(DrawCaption({text, place}, style, width, height, &overlay, &error)) << error;
    return overlay;
}

double CoveredShare(const TextOverlay& o, int frameWidth, int frameHeight) {
    double sum = 0;
    for (std::uint8_t a : o.alpha) sum += a / 255.0;
    return sum / (static_cast<double>(frameWidth) * frameHeight);
}

// The coverage-weighted mean column and row, in frame pixels (a pixel's centre at +0.5).
std::pair<double, double> CoverageCentroid(const TextOverlay& o) {
    double sum = 0, sx = 0, sy = 0;
    for (int y = 0; y < o.height; ++y) {
        for (int x = 0; x < o.width; ++x) {
            const double a = o.alpha[static_cast<std::size_t>(y * o.width + x)];
            sum += a;
            sx += a * (o.left + x + 0.5);
            sy += a * (o.top + y + 0.5);
        }
    }
    return {sx / sum, sy / sum};
}

// WCAG's relative luminance of a limited-range sample read from its luma alone: exact for grey
// (U = V = 128, where R = G = B), an approximation for the yellow text below.
double Luminance(int luma) {
    const double c = std::clamp((luma - 16) / 219.0, 0.0, 1.0);
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

TEST(TextOverlay, EveryScriptIsLaidOutWithoutMissingGlyphs) {
    const char* samples[] = {"Café déjà vu", "Привет, мир", "你好世界", "こんにちは世界", "مرحبا بالعالم",
                             "שלום עולם", "e\u0301 a\u0308", "🎉"};
    for (const char* font : {"Sans", "Serif Bold", "No Such Family"}) {
        for (const char* text : samples) EXPECT_EQ(UnknownGlyphs(text, font), 0) << font << ": " << text;
    }
    // A private-use character no font has: the count does see missing glyphs.
    EXPECT_GT(UnknownGlyphs("a\U000F0001b", "Sans"), 0);
}

TEST(TextOverlay, ColourEmojiAreDrawnInColour) {
    const TextOverlay o = Caption("🎉", 1280, 720);
    ASSERT_FALSE(o.Empty());
    int coloured = 0;
    for (std::size_t i = 0; i < o.u.size(); ++i) {
        if (o.chromaAlpha[i] == 255 && (std::abs(o.u[i] - 128) > 20 || std::abs(o.v[i] - 128) > 20)) ++coloured;
    }
    EXPECT_GT(coloured, 50);
}

TEST(TextOverlay, ArabicRunsFromRightToLeft) {
    LayoutPtr layout = MakeLayout("Sans", 40);
    const std::string text = "مرحبا بالعالم";
    pango_layout_set_text(layout.get(), text.c_str(), static_cast<int>(text.size()));
    PangoRectangle first;
    pango_layout_index_to_pos(layout.get(), 0, &first);
    EXPECT_GT(first.x / double(PANGO_SCALE), LogicalRect(layout.get()).width / 2);
}

// A fully covered sample takes the colour exactly, in the matrix of the frame's height.
TEST(TextOverlay, CoveredPixelsTakeTheColourInTheFramesMatrix) {
    struct Case {
        std::uint32_t colour;
        int height, luma, u, v;
    } cases[] = {
        {0xFFFFFF, 720, 235, 128, 128}, {0x000000, 720, 16, 128, 128},
        {0xFF0000, 720, 63, 102, 240},  {0xFF0000, 576, 81, 90, 240},  // BT.709 and BT.601 red
        {0x0000FF, 1080, 32, 240, 118}, {0x0000FF, 480, 41, 240, 110},
    };
    for (const Case& c : cases) {
        TitleCard card;
        card.text = "██";
        card.colour = c.colour;
        card.size = 0.2;
        TextOverlay o;
        std::string error;
        ASSERT_TRUE(DrawTitleText(card, c.height * 16 / 9, c.height, &o, &error)) << error;
        FramePtr frame = FlatFrame(c.height * 16 / 9, c.height, 126);
        BlendOverlay(o, frame.get());
        int lumaChecked = 0, chromaChecked = 0;
        for (int y = 0; y < o.height; ++y) {
            for (int x = 0; x < o.width; ++x) {
                if (o.alpha[static_cast<std::size_t>(y * o.width + x)] != 255) continue;
                ASSERT_EQ(LumaAt(frame.get(), o.left + x, o.top + y), c.luma) << std::hex << c.colour;
                ++lumaChecked;
            }
        }
        for (int y = 0; y < o.height / 2; ++y) {
            for (int x = 0; x < o.width / 2; ++x) {
                if (o.chromaAlpha[static_cast<std::size_t>(y * (o.width / 2) + x)] != 255) continue;
                const int at = (o.top / 2 + y) * frame->linesize[1] + o.left / 2 + x;
                ASSERT_NEAR(frame->data[1][at], c.u, 1) << std::hex << c.colour << std::dec << " " << c.height;
                ASSERT_NEAR(frame->data[2][at], c.v, 1) << std::hex << c.colour << std::dec << " " << c.height;
                ++chromaChecked;
            }
        }
        EXPECT_GT(lumaChecked, 1000);
        EXPECT_GT(chromaChecked, 250);
    }
}

TEST(TextOverlay, ACaptionCoversTheSameShareOfEveryFrameSize) {
    for (CaptionBacking backing : {CaptionBacking::Shadow, CaptionBacking::Box}) {
        CaptionStyle style;
        style.backing = backing;
        const std::string text = "The harbour at dusk, 1987\nWith Anna and Jörg";
        const double small = CoveredShare(Caption(text, 1280, 720, style), 1280, 720);
        const double large = CoveredShare(Caption(text, 3840, 2160, style), 3840, 2160);
        EXPECT_GT(small, 0.005);
        EXPECT_NEAR(large / small, 1.0, 0.03) << CaptionBackingName(backing);
    }
}

// Centring on a frame one pixel wider moves the caption half a pixel, not zero or one.
TEST(TextOverlay, ACaptionKeepsItsPlaceBelowThePixel) {
    const auto [baseX, baseY] = CoverageCentroid(Caption("Sub-pixel place", 1920, 1080));
    for (auto [width, shift] : {std::pair{1921, 0.5}, std::pair{1922, 1.0}, std::pair{1923, 1.5}}) {
        const auto [x, y] = CoverageCentroid(Caption("Sub-pixel place", width, 1080));
        EXPECT_NEAR(x - baseX, shift, 0.05) << width;
        EXPECT_NEAR(y, baseY, 0.01) << width;
    }
}

TEST(TextOverlay, CaptionsLandInTheThirdOfTheirPlace) {
    struct Case {
        CaptionPlace place;
        int third;
    } cases[] = {{CaptionPlace::Top, 0}, {CaptionPlace::Middle, 1}, {CaptionPlace::Bottom, 2}};
    for (const Case& c : cases) {
        const TextOverlay o = Caption("Placed\nin two lines", 1280, 720, {}, c.place);
        ASSERT_FALSE(o.Empty());
        EXPECT_GE(o.top, c.third * 240) << CaptionPlaceName(c.place);
        EXPECT_LE(o.top + o.height, (c.third + 1) * 240) << CaptionPlaceName(c.place);
        EXPECT_NEAR(o.left + o.width / 2.0, 640, 3);
    }
}

TEST(TextOverlay, CaptionsHoldTwoLinesAtMostWithin90PercentOfTheWidth) {
    const int twoLines = Caption("Hqj\nHqj", 1280, 720).height;
    EXPECT_GT(twoLines, Caption("Hqj", 1280, 720).height * 3 / 2);
    EXPECT_EQ(Caption("Hqj\nHqj\nHqj\nHqj", 1280, 720).height, twoLines);
    EXPECT_EQ(Caption("\n  \nHqj\n\nHqj", 1280, 720).height, twoLines);  // blank lines are no lines
    std::string longText;
    for (int i = 0; i < 300; ++i) longText += "Hqj ";
    const TextOverlay wrapped = Caption(longText, 1280, 720);
    EXPECT_NEAR(wrapped.height, twoLines, 4);
    EXPECT_LE(wrapped.width, 1280 * 0.9 + 2 * 0.045 * 720);  // the shadow may reach past the text
}

// An overlay drawn for a larger frame, or moved partly off the frame, is cut at the frame's edges.
TEST(TextOverlay, BlendingWritesOnlyInsideTheFrame) {
    TextOverlay o;
    ASSERT_TRUE(DrawCaption({"Cut at the edges", CaptionPlace::Bottom}, {}, 1920, 1080, &o, nullptr));
    const int guard = 64;
    FramePtr frame(av_frame_alloc());
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = 640 + guard;
    frame->height = 360 + guard;
    ASSERT_EQ(av_frame_get_buffer(frame.get(), 32), 0);
    for (int p = 0; p < 3; ++p) std::fill_n(frame->data[p], frame->linesize[p] * (p ? frame->height / 2 : frame->height), 77);
    // The frame is given as 640 × 360 with its guard rows and columns behind.
    frame->width = 640;
    frame->height = 360;
    for (auto [left, top] : {std::pair{-800, 300}, std::pair{300, -20}, std::pair{500, 340}}) {
        TextOverlay moved = o;
        moved.left = left;
        moved.top = top;
        BlendOverlay(moved, frame.get());
    }
    int changedInside = 0;
    for (int y = 0; y < 360 + guard; ++y) {
        for (int x = 0; x < 640 + guard; ++x) {
            const bool changed = frame->data[0][y * frame->linesize[0] + x] != 77;
            if (x >= 640 || y >= 360) {
                ASSERT_FALSE(changed) << x << "," << y;
            }
            changedInside += changed;
        }
    }
    EXPECT_GT(changedInside, 1000);
    for (int p = 1; p < 3; ++p) {
        for (int y = 0; y < (360 + guard) / 2; ++y) {
            for (int x = 0; x < (640 + guard) / 2; ++x) {
                if (x >= 320 || y >= 180) {
                    ASSERT_EQ(frame->data[p][y * frame->linesize[p] + x], 77) << p;
                }
            }
        }
    }
}

// The glyphs keep WCAG's 4.5:1 against the three pixels around them over any picture: white, black
// and busy, for light and dark text, with either backing. Glyph pixels are those the text itself
// covers by 80 % or more, read from a frame of the backing's own colour where only the text shows.
TEST(TextOverlay, CaptionsStayLegibleOverAnyPicture) {
    std::mt19937 noise(7);
    std::vector<int> busyLuma(1280 * 720);
    for (int& v : busyLuma) v = std::uniform_int_distribution<int>(16, 235)(noise);
    const std::function<int(int, int)> backgrounds[] = {
        [](int, int) { return kWhite235; },
        [](int, int) { return kBlack16; },
        [&](int x, int y) { return busyLuma[static_cast<std::size_t>(y * 1280 + x)]; },
        [](int x, int y) { return ((x / 3 + y / 3) % 2) != 0 ? kWhite235 : kBlack16; },
    };
    for (std::uint32_t colour : {kWhiteColour, kBlackColour, 0xFFD040u}) {
        for (CaptionBacking backing : {CaptionBacking::Shadow, CaptionBacking::Box}) {
            CaptionStyle style;
            style.colour = colour;
            style.backing = backing;
            const TextOverlay o = Caption("Legible over 1987's beach: Wgjy", 1280, 720, style);
            const bool lightText = colour != kBlackColour;
            const int backingLuma = lightText ? kBlack16 : kWhite235;
            FramePtr reference = FlatFrame(1280, 720, backingLuma);
            BlendOverlay(o, reference.get());
            std::vector<int> text(static_cast<std::size_t>(o.width * o.height));
            for (int y = 0; y < o.height; ++y) {
                for (int x = 0; x < o.width; ++x) {
                    text[static_cast<std::size_t>(y * o.width + x)] =
                        std::abs(LumaAt(reference.get(), o.left + x, o.top + y) - backingLuma);
                }
            }
            const int fullyCovered = *std::max_element(text.begin(), text.end());
            std::vector<char> glyph(text.size());
            for (std::size_t i = 0; i < text.size(); ++i) glyph[i] = text[i] >= 0.8 * fullyCovered;
            for (const auto& background : backgrounds) {
                FramePtr frame = GreyFrame(1280, 720, background);
                BlendOverlay(o, frame.get());
                double glyphSum = 0, ringSum = 0;
                int glyphs = 0, rings = 0;
                for (int y = 3; y < o.height - 3; ++y) {
                    for (int x = 3; x < o.width - 3; ++x) {
                        const double l = Luminance(LumaAt(frame.get(), o.left + x, o.top + y));
                        if (glyph[static_cast<std::size_t>(y * o.width + x)]) {
                            glyphSum += l;
                            ++glyphs;
                            continue;
                        }
                        bool nearGlyph = false;
                        for (int dy = -3; dy <= 3 && !nearGlyph; ++dy) {
                            for (int dx = -3; dx <= 3 && !nearGlyph; ++dx) {
                                nearGlyph = dx * dx + dy * dy <= 9 &&
                                            glyph[static_cast<std::size_t>((y + dy) * o.width + x + dx)];
                            }
                        }
                        if (nearGlyph) {
                            ringSum += l;
                            ++rings;
                        }
                    }
                }
                ASSERT_GT(glyphs, 500);
                const double lg = glyphSum / glyphs, lr = ringSum / rings;
                const double contrast = (std::max(lg, lr) + 0.05) / (std::min(lg, lr) + 0.05);
                EXPECT_GE(contrast, 4.5) << std::hex << colour << " " << CaptionBackingName(backing);
            }
        }
    }
}

}  // namespace
