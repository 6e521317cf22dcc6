// A title card drawn for a box of the window, through the show's own drawing.

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/render/compose/title_picture.h"
#include "tests/support/media_reader.h"
#include "tests/support/temp_dir.h"

namespace {

// (R, G, B) of pixel (x, y) of a BGRA picture.
std::array<int, 3> Rgb(const VideoPicture& p, int x, int y) {
    const std::uint8_t* px = p.pixels->data() + static_cast<std::ptrdiff_t>(y) * p.stride + 4 * x;
    return {px[2], px[1], px[0]};
}

bool Near(std::array<int, 3> a, std::array<int, 3> b) {
    for (int i = 0; i < 3; ++i) {
        if (std::abs(a[i] - b[i]) > 6) return false;
    }
    return true;
}

TEST(TitlePicture, ItsBackgroundIsTheColourOrThePhotoBehindIt) {
    TempDir dir;
    const std::string green = dir.File("green.png");
    ASSERT_EQ(WritePixelPhoto(green, 64, 36, "png", [](int, int) { return std::array<std::uint8_t, 3>{0, 200, 0}; }),
              "");
    struct Case {
        const char* what;
        TitleBackground background;
        std::string photo;
        std::array<int, 3> corner;
    };
    const Case cases[] = {
        {"a colour", TitleBackground::Colour, green, {200, 40, 40}},
        {"over the photo", TitleBackground::OverPhoto, green, {0, 200, 0}},
        {"over a photo that is not there: the colour", TitleBackground::OverPhoto, dir.File("gone.png"), {200, 40, 40}},
        {"over a folder: the colour, without waiting on it", TitleBackground::BlurredPhoto, dir.path().string(),
         {200, 40, 40}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TitleCard card;
        card.background = c.background;
        card.backgroundColour = 0xC82828;
        VideoPicture picture;
        std::string error;
        ASSERT_TRUE(DrawTitlePicture(card, c.photo, 65, 37, &picture, &error)) << error;
        EXPECT_EQ(picture.width, 64);
        EXPECT_EQ(picture.height, 36);
        EXPECT_TRUE(Near(Rgb(picture, 1, 1), c.corner));
    }
}

}  // namespace
