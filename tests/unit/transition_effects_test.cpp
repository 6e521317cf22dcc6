#include "platform/render/compose/effects/transition_effect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <set>

#include "engine/transition_catalogue.h"

namespace {

struct Size {
    int w, h;
};
constexpr Size k43{320, 240};
constexpr Size k169{480, 270};
constexpr std::uint8_t kA = 0, kB = 200;

// The effect a photo with this catalogue index enters with, as the render engine makes it.
std::unique_ptr<TransitionEffect> Make(int index, std::uint64_t seed = 7) {
    TransitionEffectInfo info = TransitionEffectFor(index);
    EffectProperties props;
    if (info.maskNum) props.emplace_back("MaskNum", *info.maskNum);
    std::unique_ptr<TransitionEffect> effect;
    std::string error;
    EXPECT_EQ(CreateTransitionEffect(info.clsid, props, seed, &effect, &error), S_OK) << error;
    return effect;
}

PlanarImage Uniform(Size s, std::uint8_t value, PlanarLayout layout = PlanarLayout::Yuv420) {
    PlanarImage img(s.w, s.h, layout);
    for (int i = 0; i < 3; ++i) img.Fill(i, value);
    return img;
}

// Distinct content in every plane, so that a wrong source or position shows.
PlanarImage Textured(Size s, int salt, PlanarLayout layout = PlanarLayout::Yuv420) {
    PlanarImage img(s.w, s.h, layout);
    FrameView v = img.View();
    for (int i = 0; i < 3; ++i) {
        const PlaneView& p = v.Plane(i);
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                p.Row(y)[x] = static_cast<std::uint8_t>((x * 7 + y * 13 + i * 50 + salt * 91) % 256);
            }
        }
    }
    return img;
}

bool PlanesEqual(const FrameView& a, const FrameView& b) {
    for (int i = 0; i < a.planeCount; ++i) {
        const PlaneView& pa = a.Plane(i);
        for (int y = 0; y < pa.height; ++y) {
            if (std::memcmp(pa.Row(y), b.Plane(i).Row(y), static_cast<std::size_t>(pa.width)) != 0) {
                return false;
            }
        }
    }
    return true;
}

// Mean weight of B in the luma plane, rendering uniform A = 0 and B = 200.
double BFraction(int index, Size s, double p) {
    PlanarImage a = Uniform(s, kA), b = Uniform(s, kB), out(s.w, s.h, PlanarLayout::Yuv420);
    Make(index)->Render(a.View(), b.View(), p, out.View());
    const PlaneView& y = out.View().Plane(0);
    double total = 0;
    for (int r = 0; r < y.height; ++r) {
        for (int x = 0; x < y.width; ++x) total += y.Row(r)[x];
    }
    return total / (double(kB) * y.width * y.height);
}

struct Expected {
    double q1, half, q3;
};

// B fractions at p = ¼, ½, ¾ on 4:3 and 16:9 frames.
const std::map<int, std::pair<Expected, Expected>>& ExpectedFractions() {
    static const std::map<int, std::pair<Expected, Expected>> kTable = [] {
        std::map<int, std::pair<Expected, Expected>> t;
        auto both = [&](std::initializer_list<int> rows, Expected e) {
            for (int r : rows) t[r] = {e, e};
        };
        both({4, 5, 6, 11, 13, 14, 15, 16, 17, 18, 20, 46, 2, 3}, {0.25, 0.5, 0.75});
        t[11].second = {0.259, 0.481, 0.741};
        both({29, 30, 31, 32}, {0.20, 0.50, 0.80});
        t[8] = {{0.216, 0.497, 0.784}, {0.242, 0.498, 0.758}};
        both({9}, {0.138, 0.500, 0.863});
        both({21, 22, 23, 27, 28, 34}, {0.125, 0.500, 0.875});
        t[42] = {{0.093, 0.500, 0.905}, {0.070, 0.500, 0.929}};
        both({1, 24, 25, 26}, {0.438, 0.750, 0.938});
        both({10, 19, 33}, {0.0625, 0.25, 0.5625});
        both({35}, {0.101, 0.402, 0.862});
        t[36] = {{0.102, 0.406, 0.821}, {0.114, 0.456, 0.792}};
        both({37}, {0.098, 0.393, 0.855});
        both({38}, {0.082, 0.327, 0.738});
        both({39}, {0.175, 0.610, 0.901});
        both({40}, {0.149, 0.575, 0.922});
        both({41}, {0.222, 0.748, 0.936});
        t[43] = {{0.311, 0.665, 0.862}, {0.233, 0.554, 0.816}};
        t[44] = {{0.276, 0.623, 0.845}, {0.368, 0.718, 0.884}};
        t[45] = {{0.138, 0.331, 0.689}, {0.184, 0.443, 0.767}};
        both({12}, {0.1875, 0.50, 0.8125});
        both({7}, {0.0, 1.0, 1.0});
        return t;
    }();
    return kTable;
}

class EveryEffect : public testing::TestWithParam<int> {};

}  // namespace

TEST_P(EveryEffect, EndsArePureAAndPureB) {
    for (Size s : {k43, k169}) {
        PlanarImage a = Textured(s, 1), b = Textured(s, 2), out(s.w, s.h, PlanarLayout::Yuv420);
        auto effect = Make(GetParam());
        effect->Render(a.View(), b.View(), 0.0, out.View());
        EXPECT_TRUE(PlanesEqual(out.View(), a.View())) << "p = 0 at " << s.w << "x" << s.h;
        effect->Render(a.View(), b.View(), 1.0, out.View());
        EXPECT_TRUE(PlanesEqual(out.View(), b.View())) << "p = 1 at " << s.w << "x" << s.h;
    }
}

TEST_P(EveryEffect, BNeverShrinksAsProgressGrows) {
    for (Size s : {k43, k169}) {
        PlanarImage a = Uniform(s, kA), b = Uniform(s, kB);
        PlanarImage previous = Uniform(s, kA), out(s.w, s.h, PlanarLayout::Yuv420);
        auto effect = Make(GetParam());
        for (int step = 1; step <= 20; ++step) {
            effect->Render(a.View(), b.View(), step / 20.0, out.View());
            for (int i = 0; i < 3; ++i) {
                const PlaneView& now = out.View().Plane(i);
                const PlaneView& before = previous.View().Plane(i);
                int shrunk = 0;
                for (int y = 0; y < now.height; ++y) {
                    for (int x = 0; x < now.width; ++x) shrunk += now.Row(y)[x] < before.Row(y)[x];
                }
                ASSERT_EQ(shrunk, 0) << "plane " << i << " at p = " << step / 20.0;
            }
            CopyFrame(out.View(), previous.View());
        }
    }
}

TEST_P(EveryEffect, BFractionsFollowTheTable) {
    const auto& [e43, e169] = ExpectedFractions().at(GetParam());
    for (auto [s, e] : {std::pair{k43, e43}, std::pair{k169, e169}}) {
        EXPECT_NEAR(BFraction(GetParam(), s, 0.25), e.q1, 0.011) << s.w << "x" << s.h;
        EXPECT_NEAR(BFraction(GetParam(), s, 0.50), e.half, 0.011) << s.w << "x" << s.h;
        EXPECT_NEAR(BFraction(GetParam(), s, 0.75), e.q3, 0.011) << s.w << "x" << s.h;
    }
}

TEST_P(EveryEffect, SameShowSameFrames) {
    Size s = k43;
    PlanarImage a = Textured(s, 3), b = Textured(s, 4);
    PlanarImage first(s.w, s.h, PlanarLayout::Yuv420), second(s.w, s.h, PlanarLayout::Yuv420);
    Make(GetParam(), 11)->Render(a.View(), b.View(), 0.4, first.View());
    Make(GetParam(), 11)->Render(a.View(), b.View(), 0.4, second.View());
    EXPECT_TRUE(PlanesEqual(first.View(), second.View()));
}

TEST_P(EveryEffect, RowBandsGiveTheWholeFrame) {
    Size s = k169;
    PlanarImage a = Textured(s, 5), b = Textured(s, 6);
    PlanarImage whole(s.w, s.h, PlanarLayout::Yuv420), bands(s.w, s.h, PlanarLayout::Yuv420);
    auto effect = Make(GetParam());
    effect->Render(a.View(), b.View(), 0.37, whole.View());
    for (int y0 = 0; y0 < s.h; y0 += 58) {
        effect->RenderRows(a.View(), b.View(), 0.37, bands.View(), y0, std::min(s.h, y0 + 58));
    }
    EXPECT_TRUE(PlanesEqual(whole.View(), bands.View()));
}

INSTANTIATE_TEST_SUITE_P(Catalogue, EveryEffect, testing::Range(1, kTransitionCount),
                         [](const testing::TestParamInfo<int>& info) {
                             std::string name = std::to_string(info.param) + "_";
                             for (char c : TransitionName(info.param)) {
                                 if (std::isalnum(static_cast<unsigned char>(c))) name += c;
                             }
                             return name;
                         });

namespace {

// Luma of the output at p = ½ with uniform A and B: true where B shows.
std::vector<std::vector<bool>> HalfwayMask(int index, Size s) {
    PlanarImage a = Uniform(s, kA), b = Uniform(s, kB), out(s.w, s.h, PlanarLayout::Yuv420);
    Make(index)->Render(a.View(), b.View(), 0.5, out.View());
    std::vector<std::vector<bool>> mask(static_cast<std::size_t>(s.h), std::vector<bool>(static_cast<std::size_t>(s.w)));
    const PlaneView& y = out.View().Plane(0);
    for (int r = 0; r < s.h; ++r) {
        for (int x = 0; x < s.w; ++x) mask[r][x] = y.Row(r)[x] == kB;
    }
    return mask;
}

}  // namespace

TEST(TransitionEffects, HalfwayProbes) {
    for (Size s : {k43, k169}) {
        auto horizontal = HalfwayMask(17, s);
        auto radial = HalfwayMask(2, s);
        auto left = HalfwayMask(42, s);
        auto checker = HalfwayMask(13, s);
        for (int y = 0; y < s.h; ++y) {
            for (int x = 0; x < s.w; ++x) {
                ASSERT_EQ(horizontal[y][x], x < s.w / 2) << x << "," << y;
                ASSERT_EQ(radial[y][x], x >= s.w / 2) << x << "," << y;
                ASSERT_EQ(left[y][x], y < s.h / 2) << x << "," << y;
                int col = static_cast<int>((x + 0.5) * 12 / s.w);
                int row = static_cast<int>((y + 0.5) * 10 / s.h);
                ASSERT_EQ(checker[y][x], (col + row) % 2 == 0) << x << "," << y;
            }
        }
    }
}

TEST(TransitionEffects, PixelateHalfwayShowsFlatBlocksOfB) {
    Size s = k43;
    PlanarImage a = Textured(s, 1), b = Textured(s, 2), out(s.w, s.h, PlanarLayout::Yuv420);
    Make(7)->Render(a.View(), b.View(), 0.5, out.View());
    const PlaneView& src = b.View().Plane(0);
    const PlaneView& got = out.View().Plane(0);
    for (int by = 0; by < s.h; by += 50) {
        for (int bx = 0; bx < s.w; bx += 50) {
            int x1 = std::min(bx + 50, s.w), y1 = std::min(by + 50, s.h);
            long sum = 0, n = 0;
            for (int y = by; y < y1; ++y) {
                for (int x = bx; x < x1; ++x, ++n) sum += src.Row(y)[x];
            }
            int mean = static_cast<int>((sum + n / 2) / n);
            for (int y = by; y < y1; ++y) {
                for (int x = bx; x < x1; ++x) ASSERT_EQ(got.Row(y)[x], mean) << x << "," << y;
            }
        }
    }
}

TEST(TransitionEffects, FadeHalfwayIsTheAverage) {
    Size s = k43;
    PlanarImage a = Textured(s, 1), b = Textured(s, 2), out(s.w, s.h, PlanarLayout::Yuv420);
    Make(3)->Render(a.View(), b.View(), 0.5, out.View());
    for (int i = 0; i < 3; ++i) {
        const PlaneView& o = out.View().Plane(i);
        for (int y = 0; y < o.height; ++y) {
            for (int x = 0; x < o.width; ++x) {
                int avg = (a.View().Plane(i).Row(y)[x] + b.View().Plane(i).Row(y)[x]) / 2;
                ASSERT_NEAR(o.Row(y)[x], avg, 1);
            }
        }
    }
}

TEST(TransitionEffects, SlideMovesAAndKeepsB) {
    Size s = k43;
    PlanarImage a = Textured(s, 1), b = Textured(s, 2), out(s.w, s.h, PlanarLayout::Yuv420);
    Make(14)->Render(a.View(), b.View(), 0.25, out.View());  // A moved by exactly 80 pixels
    const PlaneView& o = out.View().Plane(0);
    for (int y = 0; y < s.h; y += 17) {
        for (int x = 0; x < s.w; ++x) {
            int expected = x < 80 ? b.View().Plane(0).Row(y)[x] : a.View().Plane(0).Row(y)[x - 80];
            ASSERT_EQ(o.Row(y)[x], expected) << x << "," << y;
        }
    }
}

TEST(TransitionEffects, RandomEffectsRevealExactCounts) {
    Size s = k43;
    PlanarImage a = Uniform(s, kA), b = Uniform(s, kB), out(s.w, s.h, PlanarLayout::Yuv420);
    for (double p : {0.1, 0.333, 0.5, 0.9}) {
        Make(5)->Render(a.View(), b.View(), p, out.View());
        int rows = 0;
        for (int y = 0; y < s.h; ++y) rows += out.View().Plane(0).Row(y)[0] == kB;
        EXPECT_EQ(rows, static_cast<int>(std::ceil(p * s.h - 1e-9))) << p;
        Make(16)->Render(a.View(), b.View(), p, out.View());
        long pixels = 0;
        for (int y = 0; y < s.h; ++y) {
            for (int x = 0; x < s.w; ++x) pixels += out.View().Plane(0).Row(y)[x] == kB;
        }
        EXPECT_EQ(pixels, static_cast<long>(std::ceil(p * s.w * s.h - 1e-9))) << p;
    }
}

TEST(TransitionEffects, RandomPatternFollowsTheSeed) {
    Size s = k43;
    PlanarImage a = Textured(s, 1), b = Textured(s, 2);
    PlanarImage one(s.w, s.h, PlanarLayout::Yuv420), two(s.w, s.h, PlanarLayout::Yuv420);
    for (int index : {5, 16}) {
        Make(index, 1)->Render(a.View(), b.View(), 0.5, one.View());
        Make(index, 2)->Render(a.View(), b.View(), 0.5, two.View());
        EXPECT_FALSE(PlanesEqual(one.View(), two.View())) << index;
    }
}

TEST(TransitionEffects, WipeWithoutPatternIsTheHorizontalWipe) {
    Size s = k169;
    PlanarImage a = Textured(s, 1), b = Textured(s, 2);
    PlanarImage row17(s.w, s.h, PlanarLayout::Yuv420), other(s.w, s.h, PlanarLayout::Yuv420);
    Make(17)->Render(a.View(), b.View(), 0.3, row17.View());
    for (int outside : {47, -1, 200}) {
        auto effect = Make(outside);
        EXPECT_EQ(effect->status(), "");
        effect->Render(a.View(), b.View(), 0.3, other.View());
        EXPECT_TRUE(PlanesEqual(row17.View(), other.View())) << outside;
    }
    // A pattern number without a drawing falls back to the same wipe and says so.
    std::unique_ptr<TransitionEffect> unknown;
    ASSERT_EQ(CreateTransitionEffect(CLSID_DxtJpeg, {{"MaskNum", 5}}, 0, &unknown, nullptr), S_OK);
    EXPECT_EQ(unknown->status(), "SMPTE wipe 5 is not supported; wipe 1 is shown");
    unknown->Render(a.View(), b.View(), 0.3, other.View());
    EXPECT_TRUE(PlanesEqual(row17.View(), other.View()));
}

TEST(TransitionEffects, UnknownClassIsAnErrorNotACrash) {
    std::unique_ptr<TransitionEffect> effect;
    std::string error;
    GUID bogus = GuidFromLiteral("{00000000-1111-2222-3333-444444444444}");
    EXPECT_EQ(CreateTransitionEffect(bogus, {}, 0, &effect, &error), REGDB_E_CLASSNOTREG);
    EXPECT_FALSE(effect);
    EXPECT_EQ(error, "no transition effect has the class {00000000-1111-2222-3333-444444444444}");
}

TEST(TransitionEffects, PropertiesOverrideTheDefaults) {
    // Wheel with 2 spokes: at p = ½ each spoke has swept a quarter turn, so B covers the
    // top-right and bottom-left quarters.
    std::unique_ptr<TransitionEffect> wheel;
    ASSERT_EQ(CreateTransitionEffect(TransitionEffectFor(8).clsid, {{"spokes", 2}}, 0, &wheel,
                                     nullptr),
              S_OK);
    Size s = k43;
    PlanarImage a = Uniform(s, kA), b = Uniform(s, kB), out(s.w, s.h, PlanarLayout::Yuv420);
    wheel->Render(a.View(), b.View(), 0.5, out.View());
    const PlaneView& y = out.View().Plane(0);
    EXPECT_EQ(y.Row(10)[s.w - 10], kB);
    EXPECT_EQ(y.Row(s.h - 10)[10], kB);
    EXPECT_EQ(y.Row(10)[10], kA);
    EXPECT_EQ(y.Row(s.h - 10)[s.w - 10], kA);
}

TEST(TransitionEffects, PlanarRgbUsesTheSamePath) {
    Size s = k43;
    PlanarImage a = Uniform(s, kA, PlanarLayout::Gbr444), b = Uniform(s, kB, PlanarLayout::Gbr444);
    PlanarImage out(s.w, s.h, PlanarLayout::Gbr444);
    Make(17)->Render(a.View(), b.View(), 0.5, out.View());
    for (int i = 0; i < 3; ++i) {
        const PlaneView& p = out.View().Plane(i);
        ASSERT_EQ(p.width, s.w);
        EXPECT_EQ(p.Row(100)[s.w / 2 - 1], kB);
        EXPECT_EQ(p.Row(100)[s.w / 2], kA);
    }
}

TEST(TransitionEffects, DescriptorsNameEveryCatalogueClass) {
    std::set<std::string> classes;
    for (const EffectDescriptor& d : EffectDescriptors()) classes.insert(d.clsid);
    EXPECT_EQ(classes.size(), 17u);
    for (int i = 1; i < kTransitionCount; ++i) {
        EXPECT_TRUE(classes.count(GuidToString(TransitionEffectFor(i).clsid))) << i;
    }
}
