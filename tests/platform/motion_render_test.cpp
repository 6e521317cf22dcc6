// Moving photos as the compositor draws them: a soft spot in the photo must sit where the path
// puts it in every frame, the framings fill the frame as they say, still photos keep sharing
// their frame, and a leaving photo keeps moving through the transition.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "platform/render/compose/blurred_backdrop.h"
#include "platform/render/decode/photo_decoder.h"
#include "platform/render/show_plan.h"
#include "platform/render/compose/video_compositor.h"
#include "tests/support/media_reader.h"
#include "tests/support/photo_files.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr int kW = 320, kH = 180;
constexpr REFERENCE_TIME kSeconds8 = 80'000'000;  // 192 frames
const GUID kFade = GuidFromLiteral("{16B280C5-EE70-11D1-9066-00C04FD9189D}");

struct Spot {
    double x, y;  // continuous photo coordinates
};

// A grey photo with a soft bright spot (`radius` pixels across its brighter half): its centre of
// brightness is known to far below a pixel.
std::string SpotPhoto(const TempDir& dir, const std::string& name, int w, int h, Spot spot,
                      double radius = 16) {
    const std::string path = dir.File(name);
    EXPECT_EQ(WritePixelPhoto(path, w, h, "png",
                              [&](int x, int y) {
                                  const double dx = x + 0.5 - spot.x, dy = y + 0.5 - spot.y;
                                  const double fall = (dx * dx + dy * dy) / (2 * radius * radius);
                                  const auto v = static_cast<std::uint8_t>(
                                      std::lround(60 + 150 * std::exp(-fall)));
                                  return std::array<std::uint8_t, 3>{v, v, v};
                              }),
              "");
    return path;
}

ShowPlan OnePhoto(const std::string& path, PhotoMotion motion, Framing framing = Framing::Fit) {
    ShowPlan plan;
    plan.hasVideo = true;
    plan.width = kW;
    plan.height = kH;
    plan.framing = framing;
    VideoClip clip;
    clip.path = path;
    clip.stop = kSeconds8;
    clip.motion = motion;
    plan.clips.push_back(clip);
    plan.length = kSeconds8;
    return plan;
}

std::uint8_t Luma(const AVFrame* f, int x, int y) { return f->data[0][y * f->linesize[0] + x]; }

// The centre of brightness above the background within 50 pixels of `near`.
Spot Centre(const AVFrame* f, Spot near) {
    const int left = std::max(0, int(near.x) - 70), top = std::max(0, int(near.y) - 70);
    const int background = Luma(f, left, top);
    double sum = 0, sx = 0, sy = 0;
    for (int y = top; y < std::min(kH, int(near.y) + 70); ++y) {
        for (int x = left; x < std::min(kW, int(near.x) + 70); ++x) {
            const double v = Luma(f, x, y) - background;
            sum += v;
            sx += v * (x + 0.5);
            sy += v * (y + 0.5);
        }
    }
    return {sx / sum, sy / sum};
}

Spot Predicted(const ShowPlan& plan, Spot spot, double photoW, double photoH, std::int64_t n) {
    const VideoClip& c = plan.clips[0];
    const PhotoGeometry g{photoW, photoH, kW, kH, plan.framing};
    const FrameRect r =
        PhotoPlacement(g, c.motion, MotionProgress(FrameStart(n), c.start, c.stop, c.motion.eased));
    return {r.x + spot.x / photoW * r.w, r.y + spot.y / photoH * r.h};
}

FramePtr FrameOf(VideoCompositor& c, std::int64_t n, bool* same = nullptr) {
    FramePtr f;
    bool shared = false;
    std::string error;
    EXPECT_TRUE(c.Frame(n, &f, &shared, &error)) << error;
    if (same) *same = shared;
    return f;
}

}  // namespace

// The path itself is checked to a 64th of a pixel (motion_path_test); a drawn frame shows it to
// within what rounding to 8 bits leaves: where a move changes the samples by less than a level,
// whole areas round alike.
TEST(MotionRender, EverySpotSitsWhereThePathPutsItToA32ndOfAPixel) {
    TempDir dir;
    const std::string photo = SpotPhoto(dir, "spot.png", kW, kH, {140.3, 80.7});
    // Where the spot's brightness centres in the photo itself: a zoom's first frame is the photo.
    const ShowPlan startPlan = OnePhoto(photo, PlainMotion(MotionKind::ZoomIn, 0.2, false));
    VideoCompositor start(startPlan, kW, kH);
    const Spot spot = Centre(FrameOf(start, 0).get(), {140.3, 80.7});
    ASSERT_NEAR(spot.x, 140.3, 0.05);
    for (int k = 1; k < kMotionKindCount; ++k) {
        const auto kind = static_cast<MotionKind>(k);
        const ShowPlan plan = OnePhoto(photo, PlainMotion(kind, 0.2, k % 2 == 0));
        VideoCompositor compositor(plan, kW, kH);
        Spot first{}, last{};
        for (std::int64_t n : {0, 1, 37, 96, 150, 191}) {
            const Spot want = Predicted(plan, spot, kW, kH, n);
            const Spot got = Centre(FrameOf(compositor, n).get(), want);
            EXPECT_NEAR(got.x, want.x, 1.0 / 32) << MotionKindName(kind) << " frame " << n;
            EXPECT_NEAR(got.y, want.y, 1.0 / 32) << MotionKindName(kind) << " frame " << n;
            (n == 0 ? first : last) = got;
        }
        // The spot left of and above the centre: a zoom in moves it up and left, a pan toward the
        // left edge moves the picture right.
        const double dx = last.x - first.x, dy = last.y - first.y;
        switch (kind) {
            case MotionKind::ZoomIn:
                EXPECT_TRUE(dx < -1 && dy < -1) << dx << " " << dy;
                break;
            case MotionKind::ZoomOut:
                EXPECT_TRUE(dx > 1 && dy > 1) << dx << " " << dy;
                break;
            case MotionKind::PanLeft:
                EXPECT_GT(dx, 20);
                break;
            case MotionKind::PanRight:
                EXPECT_LT(dx, -20);
                break;
            case MotionKind::PanUp:
                EXPECT_GT(dy, 10);
                break;
            case MotionKind::PanDown:
                EXPECT_LT(dy, -10);
                break;
            case MotionKind::None:
                break;
        }
    }
}

TEST(MotionRender, ALargePhotoIsReducedFirstAndStillFollowsThePath) {
    TempDir dir;
    const Spot spot{3 * 140.3, 3 * 80.7};
    const std::string photo = SpotPhoto(dir, "large.png", 3 * kW, 3 * kH, spot, 30);
    const ShowPlan plan = OnePhoto(photo, PlainMotion(MotionKind::ZoomIn, 0.2, false));
    VideoCompositor compositor(plan, kW, kH);
    for (std::int64_t n : {0, 100, 191}) {
        const Spot want = Predicted(plan, spot, 3 * kW, 3 * kH, n);
        const Spot got = Centre(FrameOf(compositor, n).get(), want);
        EXPECT_NEAR(got.x, want.x, 0.05) << n;
        EXPECT_NEAR(got.y, want.y, 0.05) << n;
    }
}

// A move drawn as two views: the first frame is the first view over the whole frame, the last the
// second; a still crop is one view, and a photo's own Fill wins over the show's Fit.
TEST(MotionRender, DrawnViewsAreWhatTheFramesShow) {
    TempDir dir;
    const Spot spot{2 * 200.0, 2 * 60.0};
    const std::string photo = SpotPhoto(dir, "drawn.png", 2 * kW, 2 * kH, spot, 10);
    PhotoMotion drawn;
    drawn.from = PhotoRect{0.5, 1.0 / 3 - 0.125, 0.25, 0.25};  // centred on the spot, a quarter of the photo
    drawn.to = PhotoRect{0, 0, 1, 1};
    const ShowPlan plan = OnePhoto(photo, drawn);
    VideoCompositor compositor(plan, kW, kH);
    const Spot first = Centre(FrameOf(compositor, 0).get(), {kW / 2.0, kH / 2.0});
    EXPECT_NEAR(first.x, kW / 2.0, 0.1);
    EXPECT_NEAR(first.y, kH / 2.0, 0.1);
    const Spot last = Centre(FrameOf(compositor, 191).get(), {200, 60});
    EXPECT_NEAR(last.x, 200, 0.1);
    EXPECT_NEAR(last.y, 60, 0.1);
    for (std::int64_t n : {40, 100, 150}) {  // between them, on the path: zooming out and travelling
        const Spot want = Predicted(plan, spot, 2 * kW, 2 * kH, n);
        const Spot got = Centre(FrameOf(compositor, n).get(), want);
        EXPECT_NEAR(got.x, want.x, 0.05) << n;
        EXPECT_NEAR(got.y, want.y, 0.05) << n;
    }

    PhotoMotion crop;
    crop.from = crop.to = drawn.from;
    crop.framing = Framing::Fill;
    const ShowPlan cropPlan = OnePhoto(photo, crop);
    VideoCompositor still(cropPlan, kW, kH);
    bool shared = false;
    const Spot cropped = Centre(FrameOf(still, 0).get(), {kW / 2.0, kH / 2.0});
    FrameOf(still, 100, &shared);
    EXPECT_TRUE(shared);  // a still crop is one frame for the whole time
    EXPECT_NEAR(cropped.x, kW / 2.0, 0.1);
    EXPECT_NEAR(cropped.y, kH / 2.0, 0.1);
}

// A slow pan lands the picture's samples on a pixel in one frame and between two in the next;
// resampled at its own scale, the picture would be sharp in one and soft in the other, a pulse
// the eye and a tracker read as a shake. Every frame of the pan must be equally sharp.
TEST(MotionRender, ASlowPanIsEquallySharpInEveryFrame) {
    TempDir dir;
    const std::string photo = dir.File("weave.png");
    ASSERT_EQ(WritePixelPhoto(photo, 3 * kW, 3 * kH, "png",
                              [](int x, int y) {
                                  const double v = 128 + 90 * std::sin(2 * M_PI * y / 12.3) *
                                                             std::sin(2 * M_PI * x / 15.7);
                                  const auto c = static_cast<std::uint8_t>(std::lround(v));
                                  return std::array<std::uint8_t, 3>{c, c, c};
                              }),
              "");
    const ShowPlan plan = OnePhoto(photo, PlainMotion(MotionKind::PanUp, 0.15, false));
    VideoCompositor compositor(plan, kW, kH);
    double least = 1e300, most = 0;
    for (std::int64_t n = 90; n < 102; ++n) {  // about a third of a pixel a frame
        const FramePtr f = FrameOf(compositor, n);
        double detail = 0;
        for (int y = 20; y < kH - 20; ++y) {
            for (int x = 20; x < kW - 20; ++x) {
                const double d = Luma(f.get(), x, y + 1) - Luma(f.get(), x, y);
                detail += d * d;
            }
        }
        least = std::min(least, detail);
        most = std::max(most, detail);
    }
    EXPECT_LT(most / least, 1.05) << "the sharpness pulses from frame to frame";
}

TEST(MotionRender, AStillPhotoUnderFitIsTodaysFrameSharedFrameAfterFrame) {
    TempDir dir;
    const std::string photo = SpotPhoto(dir, "still.png", 200, 180, {50, 50});
    FramePtr today;
    std::string error;
    ASSERT_TRUE(DecodePhotoFrame(photo, kW, kH, &today, &error)) << error;
    for (Framing framing : {Framing::Fit, Framing::Blur, Framing::Fill}) {
        const ShowPlan compositorPlan = OnePhoto(photo, {}, framing);
        VideoCompositor compositor(compositorPlan, kW, kH);
        bool same = true;
        FramePtr first = FrameOf(compositor, 0, &same);
        EXPECT_FALSE(same);
        FramePtr second = FrameOf(compositor, 1, &same);
        EXPECT_TRUE(same) << FramingName(framing);
        EXPECT_EQ(first->data[0], second->data[0]);
        if (framing != Framing::Fit) continue;
        for (int p = 0; p < 3; ++p) {
            for (int y = 0; y < (p ? kH / 2 : kH); ++y) {
                ASSERT_EQ(std::memcmp(first->data[p] + y * first->linesize[p],
                                      today->data[p] + y * today->linesize[p],
                                      static_cast<std::size_t>(p ? kW / 2 : kW)),
                          0)
                    << "plane " << p << " row " << y;
            }
        }
    }
    const ShowPlan movingPlan = OnePhoto(photo, PlainMotion(MotionKind::PanUp, 0.15, false));
    VideoCompositor moving(movingPlan, kW, kH);
    bool same = true;
    FrameOf(moving, 0, &same);
    FrameOf(moving, 1, &same);
    EXPECT_FALSE(same);
}

TEST(MotionRender, FramingsFillTheBarsOfAPortrait) {
    TempDir dir;
    const std::string photo =
        SpotPhoto(dir, "portrait.png", 90, 180, {45, 90});  // spot at its centre
    auto leftColumn = [](const AVFrame* f) {
        std::vector<int> column;
        for (int y = 0; y < kH; ++y) column.push_back(Luma(f, 0, y));
        return column;
    };
    const ShowPlan fitPlan = OnePhoto(photo, {}, Framing::Fit);
    VideoCompositor fit(fitPlan, kW, kH);
    FramePtr fitted = FrameOf(fit, 0);
    EXPECT_EQ(leftColumn(fitted.get()), std::vector<int>(kH, 16));  // black bars
    EXPECT_GT(Luma(fitted.get(), kW / 2, kH / 2), 150);

    const ShowPlan blurPlan = OnePhoto(photo, {}, Framing::Blur);
    VideoCompositor blur(blurPlan, kW, kH);
    FramePtr blurred = FrameOf(blur, 0);
    for (int y : {0, kH / 2, kH - 1}) {
        EXPECT_GT(Luma(blurred.get(), 0, y), 20) << y;  // not black
        EXPECT_LT(Luma(blurred.get(), 0, y), 16 + 60 * 219 / 255)
            << y;  // darker than the photo's grey
    }
    EXPECT_GT(Luma(blurred.get(), kW / 2, kH / 2), 150);  // the photo itself in front

    const ShowPlan fillPlan = OnePhoto(photo, {}, Framing::Fill);
    VideoCompositor fill(fillPlan, kW, kH);
    FramePtr filled = FrameOf(fill, 0);
    for (int v : leftColumn(filled.get()))
        ASSERT_GE(v, 16 + 60 * 219 / 255);  // the photo's own grey, no bar

    // Moving, the portrait stays whole in its bars; the backdrop does not move with it.
    const ShowPlan movingBlurPlan =
        OnePhoto(photo, PlainMotion(MotionKind::ZoomIn, 0.15, false), Framing::Blur);
    VideoCompositor movingBlur(movingBlurPlan, kW, kH);
    const std::vector<int> before = leftColumn(FrameOf(movingBlur, 0).get());
    EXPECT_EQ(before, leftColumn(blurred.get()));
    EXPECT_EQ(leftColumn(FrameOf(movingBlur, 150).get()), before);
}

TEST(MotionRender, TheLeavingPhotoKeepsMovingThroughTheTransition) {
    TempDir dir;
    const Spot spot{140.3, 80.7};
    const std::string moving = SpotPhoto(dir, "moving.png", kW, kH, spot);
    const std::string entering = SpotPhoto(dir, "entering.png", kW, kH, {250, 120});
    ShowPlan plan = OnePhoto(moving, PlainMotion(MotionKind::ZoomIn, 0.3, false));
    VideoClip next;
    next.path = entering;
    next.start = kSeconds8 - 20'000'000;
    next.stop = 2 * kSeconds8;
    next.hasTransition = true;
    next.effect = kFade;
    next.transitionStart = next.start;
    next.transitionStop = kSeconds8;
    plan.clips.push_back(next);
    plan.length = 2 * kSeconds8;
    const std::int64_t n = 180;  // 7.5 s: three quarters into the Fade
    const double p = static_cast<double>(FrameStart(n) - next.start) / (kSeconds8 - next.start);

    VideoCompositor show(plan, kW, kH);
    FramePtr composed = FrameOf(show, n);
    const ShowPlan alonePlan = OnePhoto(moving, plan.clips[0].motion);
    VideoCompositor alone(alonePlan, kW, kH);
    FramePtr leaving = FrameOf(alone, n);
    FramePtr arriving;
    std::string error;
    ASSERT_TRUE(DecodePhotoFrame(entering, kW, kH, &arriving, &error)) << error;
    int worst = 0;
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            const double want =
                (1 - p) * Luma(leaving.get(), x, y) + p * Luma(arriving.get(), x, y);
            worst = std::max(
                worst, static_cast<int>(std::lround(std::abs(want - Luma(composed.get(), x, y)))));
        }
    }
    EXPECT_LE(worst, 2);
    // And it is not the picture it had when it stood at the start of the move.
    const ShowPlan startOfMovePlan = OnePhoto(moving, plan.clips[0].motion);
    VideoCompositor startOfMove(startOfMovePlan, kW, kH);
    EXPECT_GT(std::abs(Centre(leaving.get(), Predicted(plan, spot, kW, kH, n)).x -
                       Centre(FrameOf(startOfMove, 0).get(), spot).x),
              5);
}

TEST(MotionRender, TransparentPartsShowTheFramingsBackground) {
    TempDir dir;
    const std::string photo = dir.File("half-clear.png");  // left half clear, right half white
    ASSERT_EQ(WriteHalfClearPng(photo, 90, 180), "");
    FramePtr picture;
    PhotoSize full;
    std::string error;
    ASSERT_TRUE(DecodeUprightPhoto(photo, kH, [](PhotoSize s) { return s; }, &picture, &full, &error)) << error;
    const FramePtr backdrop = BlurredBackdrop(picture.get(), kW, kH);
    ASSERT_GT(Luma(backdrop.get(), kW / 2 - 15, kH / 2), 30);  // told apart from black
    struct Case {
        Framing framing;
        PhotoMotion motion;
        bool blurred;  // else black
    };
    const Case cases[] = {{Framing::Fit, {}, false},
                          {Framing::Fill, {}, false},
                          {Framing::Blur, {}, true},
                          {Framing::Blur, PlainMotion(MotionKind::ZoomIn, 0.15, false), true}};
    for (const Case& c : cases) {
        const ShowPlan plan = OnePhoto(photo, c.motion, c.framing);
        VideoCompositor compositor(plan, kW, kH);
        FramePtr f = FrameOf(compositor, 0);
        for (int y : {20, kH / 2, kH - 20}) {
            const int clear = Luma(f.get(), kW / 2 - 15, y);  // in the photo's clear half
            EXPECT_NEAR(clear, c.blurred ? Luma(backdrop.get(), kW / 2 - 15, y) : 16, 2)
                << static_cast<int>(c.framing) << " " << y;
            EXPECT_GT(Luma(f.get(), kW / 2 + 15, y), 220) << static_cast<int>(c.framing);  // opaque white
        }
    }
}
