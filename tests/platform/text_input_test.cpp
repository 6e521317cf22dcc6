// What reaches Pango of a show's words, and drawing from input no one should give.

#include "platform/render/text/text_input.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include <glib.h>

#include "platform/render/text/text_overlay.h"

namespace {

TEST(TextInput, TextIsValidBoundedUtf8) {
    const std::string longAscii(kMaxTextBytes - 1, 'a');
    struct Case {
        std::string given, usable;
    } cases[] = {
        {"Café", "Café"},
        {"a\xff" "b", "a\uFFFD" "b"},
        {"\xc3", "\uFFFD"},                    // a character cut in two
        {"\xed\xa0\x80", "\uFFFD\uFFFD\uFFFD"},  // a UTF-16 surrogate is no character
        {std::string("a\0b", 3), "ab"},
        {"a\r\nb\rc\x07", "a\nb\nc"},
        {"tab\there", "tab\there"},
        {longAscii + "é", longAscii},          // cut before the character that would not fit
        {longAscii + "ab", longAscii + "a"},
    };
    for (const Case& c : cases) {
        const std::string usable = UsableText(c.given);
        EXPECT_EQ(usable, c.usable);
        EXPECT_TRUE(g_utf8_validate(usable.data(), static_cast<gssize>(usable.size()), nullptr));
    }
    EXPECT_EQ(UsableText(std::string(100000, '\xff')).size(), kMaxTextBytes - kMaxTextBytes % 3);
}

TEST(TextInput, SizesStayUsable) {
    EXPECT_EQ(UsableSize(0.05, 0.1), 0.05);
    EXPECT_EQ(UsableSize(1e9, 0.1), kMaxTextSize);
    EXPECT_EQ(UsableSize(-3, 0.1), kMinTextSize);
    EXPECT_EQ(UsableSize(std::nan(""), 0.1), 0.1);
    EXPECT_EQ(UsableSize(std::numeric_limits<double>::infinity(), 0.1), 0.1);
}

// Nothing given crashes, the overlay stays in the frame, and blending it writes only the frame.
TEST(TextInput, BadInputIsDrawnOrRefusedWithoutHarm) {
    std::string huge;
    for (int i = 0; i < 5000; ++i) huge += "é字";
    struct Case {
        const char* what;
        std::string text, font;
        double size;
        int width, height;
        bool drawn, empty;
    } cases[] = {
        {"empty", "", "Sans", 0.05, 1280, 720, true, true},
        {"blank", " \n\t\n ", "Sans", 0.05, 1280, 720, true, true},
        {"huge size", "Big words", "Sans", 1e9, 1280, 720, true, false},
        {"negative size", "Small", "Sans", -1, 1280, 720, true, false},
        {"no number", "NaN", "Sans", std::nan(""), 1280, 720, true, false},
        {"too long", huge, "Sans", 0.5, 1920, 1080, true, false},
        {"bad UTF-8", "\xff\xfe photo \xc3", "Sans", 0.05, 1280, 720, true, false},
        {"unknown font", "Fallback", "No Such Family 12 Bold", 0.05, 1280, 720, true, false},
        {"empty font", "Fallback", "", 0.05, 1280, 720, true, false},
        {"tiny frame", "Tiny", "Sans", 0.05, 16, 16, true, false},
        {"odd frame", "Odd", "Sans", 0.3, 17, 15, true, false},
        {"odd large frame", "Odd", "Sans", 0.1, 1919, 1079, true, false},
        {"no frame", "None", "Sans", 0.05, 0, 0, false, true},
        {"negative frame", "None", "Sans", 0.05, -4, 720, false, true},
    };
    for (const Case& c : cases) {
        const Caption caption{c.text, CaptionPlace::Bottom};
        CaptionStyle style;
        style.font = c.font;
        style.size = c.size;
        TitleCard card;
        card.text = c.text;
        card.font = c.font;
        card.size = c.size;
        TextOverlay fromCaption, fromCard;
        std::string error;
        EXPECT_EQ(DrawCaption(caption, style, c.width, c.height, &fromCaption, &error), c.drawn) << c.what;
        EXPECT_EQ(DrawTitleText(card, c.width, c.height, &fromCard, &error), c.drawn) << c.what;
        if (!c.drawn) {
            EXPECT_FALSE(error.empty()) << c.what;
        }
        for (const TextOverlay* o : {&fromCaption, &fromCard}) {
            EXPECT_EQ(o->Empty(), c.empty) << c.what;
            if (o->Empty() || !c.drawn) continue;
            EXPECT_TRUE(o->left >= 0 && o->top >= 0 && o->left % 2 == 0 && o->top % 2 == 0) << c.what;
            EXPECT_LE(o->left + o->width, c.width + 1) << c.what;
            EXPECT_LE(o->top + o->height, c.height + 1) << c.what;
            FramePtr frame(av_frame_alloc());
            frame->format = AV_PIX_FMT_YUV420P;
            frame->width = c.width;
            frame->height = c.height;
            ASSERT_EQ(av_frame_get_buffer(frame.get(), 32), 0);
            BlendOverlay(*o, frame.get());
        }
    }
}

}  // namespace
