// Moves aimed at faces: each frame holds every face it can, a zoom ends on them, a pan stops short
// of cutting one, Fill crops around them; drawn views keep their place when the video's shape
// changes; Random picks among the moves that keep the faces.

#include "platform/render/compose/aimed_motion.h"

#include <gtest/gtest.h>

#include <array>
#include <set>

#include "engine/motion_aiming.h"
#include "engine/motion_choice.h"

namespace {

constexpr std::array kMovingKinds{MotionKind::ZoomIn, MotionKind::ZoomOut, MotionKind::PanLeft,
                                  MotionKind::PanRight, MotionKind::PanUp,  MotionKind::PanDown};

PhotoMotion Motion(MotionKind kind, double amount = 0.15) { return PlainMotion(kind, amount); }

// The part of the photo (in fractions) the frame shows at `progress`.
PhotoRect Seen(const PhotoGeometry& g, const PhotoMotion& m, double progress) {
    const FrameRect place = PhotoPlacement(g, m, progress);
    const double fx = g.photoWidth / place.w, fy = g.photoHeight / place.h;
    return {-place.x * fx / g.photoWidth, -place.y * fy / g.photoHeight, g.frameWidth * fx / g.photoWidth,
            g.frameHeight * fy / g.photoHeight};
}

bool Holds(const PhotoRect& view, const PhotoRect& face) {
    constexpr double kSlack = 1e-6;
    return view.x <= face.x + kSlack && view.y <= face.y + kSlack && view.x + view.w >= face.x + face.w - kSlack &&
           view.y + view.h >= face.y + face.h - kSlack;
}

void ExpectSame(const FrameRect& a, const FrameRect& b) {
    EXPECT_NEAR(a.x, b.x, 1e-6);
    EXPECT_NEAR(a.y, b.y, 1e-6);
    EXPECT_NEAR(a.w, b.w, 1e-6);
    EXPECT_NEAR(a.h, b.h, 1e-6);
}

struct Photo {
    const char* what;
    PhotoGeometry g;
    std::vector<PhotoRect> faces;
};

const std::vector<Photo>& Photos() {
    static const std::vector<Photo> photos{
        {"landscape, face at the left edge", {4000, 3000, 1920, 1080, Framing::Fit}, {{0.01, 0.30, 0.10, 0.14}}},
        {"landscape, two faces", {4000, 3000, 1920, 1080, Framing::Fit}, {{0.20, 0.15, 0.08, 0.11}, {0.62, 0.50, 0.10, 0.13}}},
        {"frame-shaped, face at the top right", {1920, 1080, 1920, 1080, Framing::Fit}, {{0.80, 0.02, 0.12, 0.2}}},
        {"portrait fitted, face at the top", {3000, 4000, 1920, 1080, Framing::Fit}, {{0.40, 0.03, 0.2, 0.15}}},
        {"portrait filled, face at the top", {3000, 4000, 1920, 1080, Framing::Fill}, {{0.40, 0.03, 0.2, 0.15}}},
        {"portrait blurred, face low", {3000, 4000, 1280, 720, Framing::Blur}, {{0.10, 0.80, 0.15, 0.12}}},
    };
    return photos;
}

}  // namespace

TEST(AimedMotion, EveryFrameOfEveryMoveHoldsEveryFace) {
    for (const Photo& photo : Photos()) {
        for (MotionKind kind : kMovingKinds) {
            const AimedMove aimed = AimAtFaces(photo.g, Motion(kind), photo.faces);
            ASSERT_TRUE(aimed.motion.HasViews()) << photo.what;
            EXPECT_TRUE(aimed.keepsFaces) << photo.what << " " << MotionKindName(kind);
            for (double p = 0; p <= 1.0001; p += 0.05) {
                for (const PhotoRect& face : photo.faces)
                    EXPECT_TRUE(Holds(Seen(photo.g, aimed.motion, p), face))
                        << photo.what << " " << MotionKindName(kind) << " at " << p;
            }
        }
    }
}

TEST(AimedMotion, TodaysMovesCutTheFacesThatAimedOnesKeep) {
    // The measure above is not trivially met: the plain moves lose a face at the edge.
    const Photo& edge = Photos()[0];
    int cut = 0;
    for (MotionKind kind : kMovingKinds)
        for (double p : {0.0, 1.0}) cut += Holds(Seen(edge.g, Motion(kind), p), edge.faces[0]) ? 0 : 1;
    EXPECT_GE(cut, 3);
}

TEST(AimedMotion, AZoomInEndsCloseOnTheFacesAndStopsShortOfCuttingThem) {
    const PhotoGeometry g{4000, 3000, 1920, 1080, Framing::Fit};
    const AimedMove small = AimAtFaces(g, Motion(MotionKind::ZoomIn, 0.5), {{0.70, 0.20, 0.05, 0.07}});
    const PhotoRect end = Seen(g, small.motion, 1), start = Seen(g, small.motion, 0);
    EXPECT_NEAR(start.w / end.w, 1.5, 1e-6);  // the whole amount
    EXPECT_GT(end.x + end.w / 2, 0.6);        // toward the face, not the middle
    EXPECT_DOUBLE_EQ(small.reach, 1);
    const AimedMove large = AimAtFaces(g, Motion(MotionKind::ZoomIn, 0.5), {{0.30, 0.10, 0.40, 0.6}});
    EXPECT_LT(large.reach, 1);
    EXPECT_TRUE(Holds(Seen(g, large.motion, 1), {0.30, 0.10, 0.40, 0.6}));
}

TEST(AimedMotion, FillCropsAroundTheFacesAndKeepsTheLargestWhereNotAllFit) {
    const PhotoGeometry portrait{3000, 4000, 1920, 1080, Framing::Fill};
    const PhotoRect top{0.40, 0.03, 0.2, 0.1};
    EXPECT_FALSE(Holds(Seen(portrait, PhotoMotion(), 0), top));  // the middle crop cuts the head
    const AimedMove crop = AimAtFaces(portrait, PhotoMotion(), {top});
    EXPECT_FALSE(crop.motion.Moves());
    EXPECT_TRUE(Holds(Seen(portrait, crop.motion, 0), top));

    const PhotoGeometry panorama{8000, 1000, 1920, 1080, Framing::Fill};
    const PhotoRect left{0.02, 0.3, 0.03, 0.3}, right{0.90, 0.3, 0.05, 0.4};
    const AimedMove group = AimAtFaces(panorama, PhotoMotion(), {left, right});
    EXPECT_EQ(group.motion.facesLeftOut, 1);
    EXPECT_FALSE(group.keepsFaces);
    EXPECT_TRUE(Holds(Seen(panorama, group.motion, 0), right));
}

TEST(AimedMotion, WithoutFacesOrForAWholeStillPhotoNothingChanges) {
    const PhotoGeometry g{4000, 3000, 1920, 1080, Framing::Fit};
    EXPECT_FALSE(AimAtFaces(g, Motion(MotionKind::PanLeft), {}).motion.HasViews());
    EXPECT_FALSE(AimAtFaces(g, PhotoMotion(), {{0.01, 0.3, 0.1, 0.1}}).motion.HasViews());
}

TEST(ViewedMotion, PlainViewsDrawTodaysPathAndKeepTheirPlaceInAnotherShape) {
    for (const Photo& photo : Photos()) {
        for (MotionKind kind : kMovingKinds) {
            PhotoMotion viewed = Motion(kind);
            viewed.from = PlainView(photo.g, viewed, 0);
            viewed.to = PlainView(photo.g, viewed, 1);
            for (double p : {0.0, 0.37, 1.0}) ExpectSame(PhotoPlacement(photo.g, viewed, p), PhotoPlacement(photo.g, Motion(kind), p));
        }
    }
    // A view drawn for 16:9 shown in 4:3: the same centre and area.
    PhotoMotion crop;
    crop.from = crop.to = PhotoRect{0.5, 0.2, 0.32, 0.3};
    const PhotoGeometry square{4000, 3000, 1440, 1080, Framing::Fit};
    const PhotoRect seen = Seen(square, crop, 0);
    EXPECT_NEAR(seen.x + seen.w / 2, 0.66, 1e-9);
    EXPECT_NEAR(seen.y + seen.h / 2, 0.35, 1e-9);
    EXPECT_NEAR(seen.w * seen.h, 0.32 * 0.3, 1e-9);
}

TEST(MotionChoice, RandomTakesAMoveThatKeepsTheFaces) {
    using K = MotionKind;
    const std::vector<K> zooms{K::ZoomIn, K::ZoomOut};
    EXPECT_EQ(ChooseMotionAmong(zooms, K::ZoomOut, K::ZoomIn, 3, 7), K::ZoomOut);       // drawn and kept
    EXPECT_EQ(ChooseMotionAmong(zooms, K::PanLeft, K::ZoomIn, 3, 7), K::ZoomOut);       // the other keeper
    EXPECT_EQ(ChooseMotionAmong({K::ZoomIn}, K::PanLeft, K::ZoomIn, 3, 7), K::ZoomIn);  // the only one repeats
    EXPECT_EQ(ChooseMotionAmong({}, K::PanLeft, K::ZoomIn, 3, 7), K::PanLeft);          // none keeps them
    std::set<K> drawn;
    for (int position = 0; position < 64; ++position)
        drawn.insert(ChooseMotionAmong({K::ZoomIn, K::PanUp, K::PanDown}, K::PanLeft, K::ZoomIn, position, 7));
    EXPECT_EQ(drawn, (std::set<K>{K::PanUp, K::PanDown}));
}

TEST(MotionOfPhoto, DrawnViewsWinAndFacesAreAimedAtOnlyWhereTheShowSaysSo) {
    PhotoDefaults defaults;
    defaults.motionPolicy = kMotionPolicyRandom;
    const FoundFaces found{true, 4000, 3000, {{0.01, 0.30, 0.10, 0.14}}};
    MotionContext context{defaults, 7, 1920, 1080, [&](const std::string&) { return found; }};
    PhotoItem photo;
    photo.path = "a.jpg";
    photo.motion = MotionKind::PanLeft;
    const PhotoMotion aimed = MotionOfPhoto(photo, 0, context, MotionKind::None);
    ASSERT_TRUE(aimed.HasViews());
    const PhotoGeometry g{4000, 3000, 1920, 1080, Framing::Fit};
    const AimedMove again = AimAtFaces(g, aimed, found.faces);
    EXPECT_TRUE(again.keepsFaces && again.reach >= kLeastReach) << MotionKindName(aimed.kind);

    photo.framing.from = PhotoRect{0.1, 0.1, 0.5, 0.5};
    photo.framing.to = PhotoRect{0.2, 0.2, 0.3, 0.3};
    photo.framing.framing = Framing::Fill;
    const PhotoMotion drawn = MotionOfPhoto(photo, 0, context, MotionKind::None);
    EXPECT_EQ(drawn.from, photo.framing.from);
    EXPECT_EQ(drawn.to, photo.framing.to);
    EXPECT_EQ(drawn.framing, Framing::Fill);

    // A still photo shown whole has nothing to aim: its faces are not even looked for.
    int searches = 0;
    MotionContext counting{defaults, 7, 1920, 1080, [&](const std::string&) { return ++searches, found; }};
    photo.framing = {};
    photo.motion = MotionKind::None;
    EXPECT_FALSE(MotionOfPhoto(photo, 0, counting, MotionKind::None).HasViews());
    EXPECT_EQ(searches, 0);
    photo.framing.framing = Framing::Fill;
    EXPECT_TRUE(MotionOfPhoto(photo, 0, counting, MotionKind::None).HasViews());  // cropped around the face
    EXPECT_EQ(searches, 1);

    photo.motion = MotionKind::PanLeft;
    photo.framing = {};
    defaults.facesAimed = false;
    const PhotoMotion plain = MotionOfPhoto(photo, 0, context, MotionKind::None);
    EXPECT_FALSE(plain.HasViews());
    EXPECT_EQ(plain.kind, MotionKind::PanLeft);
}
