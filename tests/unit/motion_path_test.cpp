// The pan-and-zoom path: where a photo lies at chosen moments, for each motion and framing.

#include "platform/render/compose/motion_path.h"

#include <gtest/gtest.h>

namespace {

constexpr double kExact = 1.0 / 64;  // pixels

PhotoGeometry Geometry(double photoW, double photoH, Framing framing = Framing::Fit) {
    return {photoW, photoH, 1280, 720, framing};
}

PhotoMotion Motion(MotionKind kind, double amount) { return PlainMotion(kind, amount); }

void ExpectRect(const FrameRect& r, double x, double y, double w, double h) {
    EXPECT_NEAR(r.x, x, kExact);
    EXPECT_NEAR(r.y, y, kExact);
    EXPECT_NEAR(r.w, w, kExact);
    EXPECT_NEAR(r.h, h, kExact);
}

}  // namespace

TEST(MotionPath, ProgressIsTheExactShareOfTheTimeOnScreen) {
    EXPECT_DOUBLE_EQ(MotionProgress(40'000'000, 0, 80'000'000, false), 0.5);
    // A frame time of n · 1001/24000 s, rounded to 100 ns, against a photo from 4.5 s to 12.5 s.
    EXPECT_DOUBLE_EQ(MotionProgress(83'416'667, 45'000'000, 125'000'000, false),
                     38'416'667.0 / 80'000'000);
    EXPECT_EQ(MotionProgress(-1, 0, 10, false), 0);
    EXPECT_EQ(MotionProgress(11, 0, 10, false), 1);
    EXPECT_EQ(MotionProgress(5, 10, 10, false), 0);  // nothing on screen
}

TEST(MotionPath, EasedProgressStartsAndEndsSlowly) {
    EXPECT_DOUBLE_EQ(MotionProgress(0, 0, 1000, true), 0);
    EXPECT_NEAR(MotionProgress(500, 0, 1000, true), 0.5, 1e-12);
    EXPECT_DOUBLE_EQ(MotionProgress(1000, 0, 1000, true), 1);
    EXPECT_LT(MotionProgress(10, 0, 1000, true), 0.001);
    EXPECT_GT(MotionProgress(990, 0, 1000, true), 0.999);
}

TEST(MotionPath, ZoomInGrowsAboutTheCentreAtAnEvenRatio) {
    const PhotoGeometry g = Geometry(1920, 1080);
    const PhotoMotion m = Motion(MotionKind::ZoomIn, 0.2);
    ExpectRect(PhotoPlacement(g, m, 0), 0, 0, 1280, 720);
    ExpectRect(PhotoPlacement(g, m, 0.5), -61.084874, -34.360241, 1402.169747, 788.720483);
    ExpectRect(PhotoPlacement(g, m, 1), -128, -72, 1536, 864);
}

TEST(MotionPath, ZoomOutIsZoomInBackwards) {
    const PhotoGeometry g = Geometry(1920, 1080);
    for (double p : {0.0, 0.3, 1.0}) {
        const FrameRect out = PhotoPlacement(g, Motion(MotionKind::ZoomOut, 0.2), p);
        const FrameRect in = PhotoPlacement(g, Motion(MotionKind::ZoomIn, 0.2), 1 - p);
        ExpectRect(out, in.x, in.y, in.w, in.h);
    }
}

TEST(MotionPath, APanOnAPhotoOfTheFramesShapeZoomsInFirstThenTravels) {
    const PhotoGeometry g = Geometry(1920, 1080);
    const PhotoMotion left = Motion(MotionKind::PanLeft, 0.15);
    // 15 % larger; the view starts at the photo's right edge and ends at its left edge, so the
    // picture drifts right.
    ExpectRect(PhotoPlacement(g, left, 0), -192, -54, 1472, 828);
    ExpectRect(PhotoPlacement(g, left, 0.25), -144, -54, 1472, 828);
    ExpectRect(PhotoPlacement(g, left, 1), 0, -54, 1472, 828);
    const PhotoMotion right = Motion(MotionKind::PanRight, 0.15);
    ExpectRect(PhotoPlacement(g, right, 0), 0, -54, 1472, 828);
    ExpectRect(PhotoPlacement(g, right, 1), -192, -54, 1472, 828);
}

TEST(MotionPath, APanTravelsAcrossThePartTheFrameDoesNotShow) {
    // A 4:3 photo covers a 16:9 frame with 240 rows to spare: no zoom is needed.
    const PhotoGeometry g = Geometry(1600, 1200);
    const PhotoMotion up = Motion(MotionKind::PanUp, 0.15);
    ExpectRect(PhotoPlacement(g, up, 0), 0, -240, 1280, 960);
    ExpectRect(PhotoPlacement(g, up, 0.5), 0, -120, 1280, 960);
    ExpectRect(PhotoPlacement(g, up, 1), 0, 0, 1280, 960);
    ExpectRect(PhotoPlacement(g, Motion(MotionKind::PanDown, 0.15), 1), 0, -240, 1280, 960);
    // Across, there is nothing to spare: it zooms in by the amount first.
    ExpectRect(PhotoPlacement(g, Motion(MotionKind::PanRight, 0.15), 1), -192, -192, 1472, 1104);
}

TEST(MotionPath, APhotoFarFromTheFramesShapeMovesAsAFittedPicture) {
    const PhotoGeometry g = Geometry(1000, 2000);  // a portrait in a landscape frame
    EXPECT_FALSE(MovesInsidePhoto(g));
    const PhotoMotion m = Motion(MotionKind::ZoomIn, 0.2);
    ExpectRect(PhotoPlacement(g, m, 0), 460, 0, 360, 720);
    ExpectRect(PhotoPlacement(g, m, 1), 424, -72, 432, 864);
    // A pan slides the fitted picture, zoomed by the amount, across the frame.
    ExpectRect(PhotoPlacement(g, Motion(MotionKind::PanLeft, 0.2), 0), 296, -72, 432, 864);
    ExpectRect(PhotoPlacement(g, Motion(MotionKind::PanLeft, 0.2), 1), 552, -72, 432, 864);
}

TEST(MotionPath, ShapesWithinOneAndAHalfOfTheFramesMoveInsideThePhoto) {
    const double frame = 1280.0 / 720;
    EXPECT_TRUE(MovesInsidePhoto(Geometry(1.5 * frame * 1000, 1000)));
    EXPECT_TRUE(MovesInsidePhoto(Geometry(frame * 1000 / 1.5, 1000)));
    EXPECT_FALSE(MovesInsidePhoto(Geometry(1.51 * frame * 1000, 1000)));
    EXPECT_FALSE(MovesInsidePhoto(Geometry(frame * 1000 / 1.51, 1000)));
    EXPECT_TRUE(MovesInsidePhoto(Geometry(1000, 2000, Framing::Fill)));
}

TEST(MotionPath, StillPhotosFitOrFillByTheFraming) {
    const PhotoMotion none;
    ExpectRect(PhotoPlacement(Geometry(1000, 2000), none, 0.7), 460, 0, 360, 720);
    ExpectRect(PhotoPlacement(Geometry(1000, 2000, Framing::Blur), none, 0.7), 460, 0, 360, 720);
    ExpectRect(PhotoPlacement(Geometry(1000, 2000, Framing::Fill), none, 0.7), 0, -920, 1280, 2560);
    // A near shape without motion keeps its bars under Fit.
    ExpectRect(PhotoPlacement(Geometry(1600, 1200), none, 0), 160, 0, 960, 720);
    // No amount is no motion.
    ExpectRect(PhotoPlacement(Geometry(1600, 1200), Motion(MotionKind::ZoomIn, 0), 1), 160, 0, 960,
               720);
}

TEST(MotionPath, TheLargestPlacementIsWhereTheZoomEndsOrThePansSize) {
    const PhotoGeometry g = Geometry(1920, 1080);
    ExpectRect(LargestPlacement(g, Motion(MotionKind::ZoomIn, 0.2)), -128, -72, 1536, 864);
    ExpectRect(LargestPlacement(g, Motion(MotionKind::ZoomOut, 0.2)), -128, -72, 1536, 864);
    EXPECT_NEAR(LargestPlacement(g, Motion(MotionKind::PanUp, 0.15)).w, 1472, kExact);
    ExpectRect(LargestPlacement(g, PhotoMotion{}), 0, 0, 1280, 720);
}

TEST(MotionNames, ReadBackWhatTheyWrite) {
    for (int k = 0; k < kMotionKindCount; ++k) {
        const auto kind = static_cast<MotionKind>(k);
        EXPECT_EQ(MotionKindFromName(MotionKindName(kind)), kind);
    }
    for (Framing f : {Framing::Fit, Framing::Blur, Framing::Fill})
        EXPECT_EQ(FramingFromName(FramingName(f)), f);
    EXPECT_EQ(MotionKindFromName("zoom"), std::nullopt);
    EXPECT_EQ(MotionKindFromInt(7), MotionKind::None);
    EXPECT_EQ(FramingFromInt(-1), Framing::Fit);
}
