// Views drawn on a photo keep the video's shape, stay inside the photo where the framing crops,
// and are centred across a fitted photo where they are larger than it.

#include "settings/photo_view_limits.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr double kWide = 16.0 / 9;
const ViewShape kLandscapeFilled{4.0 / 3, kWide, true};
const ViewShape kPortraitFitted{3.0 / 4, kWide, false};

void ExpectView(const PhotoRect& got, const PhotoRect& want) {
    EXPECT_NEAR(got.x, want.x, 1e-9);
    EXPECT_NEAR(got.y, want.y, 1e-9);
    EXPECT_NEAR(got.w, want.w, 1e-9);
    EXPECT_NEAR(got.h, want.h, 1e-9);
}

TEST(PhotoViewLimits, ViewsKeepTheirShapeAndBounds) {
    const double across = kWide / (3.0 / 4);  // the fitted portrait's view, in photo widths
    struct Case {
        const char* what;
        std::function<PhotoRect()> view;
        PhotoRect want;
    };
    const Case cases[] = {
        {"the largest crop is the photo's full width", [] { return LargestView(kLandscapeFilled); },
         {0, 0.125, 1, 0.75}},
        {"the largest fitted view shows the whole photo between bars", [] { return LargestView(kPortraitFitted); },
         {(1 - across) / 2, 0, across, 1}},
        {"a crop dragged past the edge stops at it",
         [] { return MovedView({0.5, 0.2, 0.5, 0.375}, 0.3, -0.5, kLandscapeFilled); }, {0.5, 0, 0.5, 0.375}},
        {"a view wider than the photo stays centred across it",
         [] { return MovedView({-0.2, 0.2, 1.4, 0.590625}, 0.4, 0.5, kPortraitFitted); },
         {-0.2, 1 - 0.590625, 1.4, 0.590625}},
        {"a view of another shape takes the video's, its centre and area kept",
         [] { return KeptView({0.25, 0.25, 0.5, 0.5}, kLandscapeFilled); },
         {0.5 - 0.57735026918962573 / 2, 0.5 - 0.4330127018922193 / 2, 0.57735026918962573, 0.4330127018922193}},
        {"a corner drags out the video's shape from the opposite corner",
         [] { return ResizedView({0.1, 0.1, 0.4, 0.3}, ViewCorner::BottomRight, 0.9, 0.5, kLandscapeFilled); },
         {0.1, 0.1, 0.8, 0.6}},
        {"a top-left corner keeps the bottom-right one",
         [] { return ResizedView({0.5, 0.5, 0.4, 0.3}, ViewCorner::TopLeft, 0.3, 0.45, kLandscapeFilled); },
         {0.3, 0.35, 0.6, 0.45}},
        {"a crop grows no larger than the photo",
         [] { return ResizedView({0.1, 0.1, 0.4, 0.3}, ViewCorner::BottomRight, 5, 5, kLandscapeFilled); },
         {0, 0.1, 1, 0.75}},
        {"a view shrinks to a tenth of the largest",
         [] { return ResizedView({0.1, 0.1, 0.4, 0.3}, ViewCorner::BottomRight, 0.1, 0.1, kLandscapeFilled); },
         {0.1, 0.1, 0.1, 0.075}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ExpectView(c.view(), c.want);
    }
}

}  // namespace
