#include "engine/transition_catalogue.h"

#include <gtest/gtest.h>

#include <set>

TEST(TransitionCatalogue, NamesAndComboTexts) {
    EXPECT_EQ(TransitionName(0), "None");
    EXPECT_EQ(TransitionName(3), "Fade");
    EXPECT_EQ(TransitionName(16), "RandomDissolve");
    EXPECT_EQ(TransitionName(17), "Horizontal");
    EXPECT_EQ(TransitionName(46), "Matrix, horizontal");
    EXPECT_EQ(TransitionName(23), "Triangles, left/right");
    EXPECT_EQ(TransitionComboText(23), "left/right");
    EXPECT_EQ(TransitionComboText(24), "stripe, SW to NE");
    EXPECT_EQ(TransitionComboText(38), "Rounded rectangle, horizontal");
    for (int i = 0; i < kTransitionCount; ++i) {
        EXPECT_LE(TransitionName(i).size(), 29u) << i;  // fits the 30-byte name buffer
        if (i != 23 && i != 24) {
            EXPECT_EQ(TransitionComboText(i), TransitionName(i)) << i;
        }
    }
}

TEST(TransitionCatalogue, OutOfRangeIndexIsTheDefaultWipe) {
    for (int index : {47, 100, -1, -47}) {
        EXPECT_EQ(TransitionName(index), "Horizontal");
        TransitionEffectInfo effect = TransitionEffectFor(index);
        EXPECT_TRUE(effect.insert);
        EXPECT_EQ(effect.clsid, CLSID_DxtJpeg);
        EXPECT_FALSE(effect.maskNum.has_value());
    }
}

TEST(TransitionCatalogue, EffectsOfEachKindOfRow) {
    EXPECT_FALSE(TransitionEffectFor(0).insert);

    TransitionEffectInfo fade = TransitionEffectFor(3);
    EXPECT_TRUE(fade.insert);
    EXPECT_EQ(GuidToString(fade.clsid), "{16B280C5-EE70-11D1-9066-00C04FD9189D}");
    EXPECT_FALSE(fade.maskNum.has_value());

    TransitionEffectInfo horizontal = TransitionEffectFor(17);
    EXPECT_EQ(horizontal.clsid, CLSID_DxtJpeg);
    EXPECT_EQ(horizontal.maskNum, 1);
    EXPECT_EQ(TransitionEffectFor(46).maskNum, 301);
    EXPECT_EQ(TransitionEffectFor(41).maskNum, 130);

    // The 16 effects have 16 distinct classes, none of them the wipe's.
    std::set<std::string> classes;
    for (int i = 1; i <= 16; ++i) {
        TransitionEffectInfo e = TransitionEffectFor(i);
        EXPECT_NE(e.clsid, GUID_NULL) << i;
        EXPECT_NE(e.clsid, CLSID_DxtJpeg) << i;
        classes.insert(GuidToString(e.clsid));
    }
    EXPECT_EQ(classes.size(), 16u);
    std::set<int> masks;
    for (int i = 17; i < kTransitionCount; ++i) masks.insert(*TransitionEffectFor(i).maskNum);
    EXPECT_EQ(masks.size(), 30u);
}

TEST(TransitionCatalogue, SequencePolicyOverAHundredPhotos) {
    CrtRandom random;
    for (int p = 0; p < 100; ++p) {
        int expected = p <= 46 ? p : (p <= 92 ? p - 46 : p - 92);
        EXPECT_EQ(ChooseTransition(kPolicySequence, 0, p, random), expected) << p;
    }
    EXPECT_EQ(ChooseTransition(kPolicySequence, 0, 99, random), 7);
    EXPECT_EQ(ChooseTransition(kPolicySequence, 0, 47 + 46 * 100, random), 1);
}

TEST(TransitionCatalogue, SamePolicyGivesTheIndexWhateverItIs) {
    CrtRandom random;
    EXPECT_EQ(ChooseTransition(kPolicySame, 0, 5, random), 0);
    EXPECT_EQ(ChooseTransition(kPolicySame, 12, 900, random), 12);
    EXPECT_EQ(ChooseTransition(kPolicySame, 60, 0, random), 60);
}

TEST(CrtRandom, MatchesTheRuntimeGenerator) {
    CrtRandom random;  // unseeded state is 1, as the C runtime's
    EXPECT_EQ(random.Next(), 41);
    EXPECT_EQ(random.Next(), 18467);
    EXPECT_EQ(random.Next(), 6334);
    random.Seed(1);
    EXPECT_EQ(random.Next(), 41);
    random.Seed(12345);
    CrtRandom again;
    again.Seed(12345);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(random.Next(), again.Next());
}

TEST(TransitionCatalogue, RandomPolicyDrawsEveryIndexIncludingNone) {
    CrtRandom random;
    random.Seed(7);
    std::set<int> seen;
    for (int i = 0; i < 5000; ++i) {
        int index = ChooseTransition(kPolicyRandom, 3, i, random);
        ASSERT_GE(index, 0);
        ASSERT_LT(index, kTransitionCount);
        seen.insert(index);
    }
    EXPECT_EQ(seen.size(), 47u);
    EXPECT_TRUE(seen.count(0));

    // The draw is the generator's value modulo 47; an unknown policy draws like Random.
    CrtRandom a, b;
    a.Seed(99);
    b.Seed(99);
    EXPECT_EQ(ChooseTransition(kPolicyRandom, 0, 0, a), b.Next() % 47);
    EXPECT_EQ(ChooseTransition(9, 0, 0, a), b.Next() % 47);
}

// Every row of the catalogue: list name, combo text, class and "MaskNum".
TEST(TransitionCatalogue, EveryRowAsTheProgramKnowsIt) {
    struct Row {
        const char* name;
        const char* combo;  // null: the name
        const char* clsid;  // null: the SMPTE wipe
        int mask;           // 0: none
    };
    const Row rows[kTransitionCount] = {
        {"None", nullptr, "", 0},
        {"Iris", nullptr, "{049F2CE6-D996-4721-897A-DB15CE9EB73D}", 0},
        {"RadialWipe", nullptr, "{164484A9-35D9-4FB7-9FAB-48273B96AA1D}", 0},
        {"Fade", nullptr, "{16B280C5-EE70-11D1-9066-00C04FD9189D}", 0},
        {"ZigZag", nullptr, "{23E26328-3928-40F2-95E5-93CAD69016EB}", 0},
        {"RandomBars", nullptr, "{2E7700B7-27C4-437F-9FBF-1E8BE2817566}", 0},
        {"Spiral", nullptr, "{4A03DCB9-6E17-4A39-8845-4EE7DC5331A5}", 0},
        {"Pixelate", nullptr, "{4CCEA634-FBE0-11D1-906A-00C04FD9189D}", 0},
        {"Wheel", nullptr, "{5AE1DAE0-1461-11D2-A484-00C04F8EFB69}", 0},
        {"Strips", nullptr, "{63A4B1FC-259A-4A5B-8129-A83B8C9E6F4F}", 0},
        {"Inset", nullptr, "{76F363F2-7E9F-4ED7-A6A7-EE30351B6628}", 0},
        {"Blinds", nullptr, "{9A4A4A51-FB3A-4F4B-9B57-A2912A289769}", 0},
        {"Wipe", nullptr, "{AF279B30-86EB-11D1-81BF-0000F87557DB}", 0},
        {"CheckerBoard", nullptr, "{B3EE7802-8224-4787-A1EA-F0DE16DEABD3}", 0},
        {"Slide", nullptr, "{D1C5A1E7-CC47-4E32-BDD2-4B3C5FC50AF5}", 0},
        {"Stretch", nullptr, "{F088DE73-BDD0-4E3C-81F8-6D32F4FE9D28}", 0},
        {"RandomDissolve", nullptr, "{F7F4A1B6-8E87-452F-A2D7-3077F508DBC0}", 0},
        {"Horizontal", nullptr, nullptr, 1},
        {"Vertical", nullptr, nullptr, 2},
        {"Four corners", nullptr, nullptr, 7},
        {"Barn doors, horizontal", nullptr, nullptr, 22},
        {"Diagonal, NW to SE", nullptr, nullptr, 41},
        {"Triangles, top/bottom", nullptr, nullptr, 43},
        {"Triangles, left/right", "left/right", nullptr, 44},
        {"Diagonal stripe, SW to NE", "stripe, SW to NE", nullptr, 45},
        {"Cross", nullptr, nullptr, 47},
        {"Diamond Box", nullptr, nullptr, 48},
        {"Wedge, top", nullptr, nullptr, 61},
        {"Wedge, left", nullptr, nullptr, 64},
        {"Sawtooth, left", nullptr, nullptr, 71},
        {"Sawtooth, top", nullptr, nullptr, 72},
        {"Sawtooth, vertical", nullptr, nullptr, 73},
        {"Sawtooth, horizontal", nullptr, nullptr, 74},
        {"Box", nullptr, nullptr, 101},
        {"Diamond", nullptr, nullptr, 102},
        {"Hexagon", nullptr, nullptr, 113},
        {"Circle", nullptr, nullptr, 119},
        {"Oval, horizontal", nullptr, nullptr, 120},
        {"Rounded rectangle, horizontal", nullptr, nullptr, 124},
        {"4-point star", nullptr, nullptr, 127},
        {"5-point star", nullptr, nullptr, 128},
        {"Heart", nullptr, nullptr, 130},
        {"Radial, left", nullptr, nullptr, 224},
        {"Radial, top split", nullptr, nullptr, 231},
        {"Radial, top-right corner", nullptr, nullptr, 244},
        {"Center radial, top", nullptr, nullptr, 251},
        {"Matrix, horizontal", nullptr, nullptr, 301},
    };
    for (int i = 0; i < kTransitionCount; ++i) {
        const Row& r = rows[i];
        EXPECT_EQ(TransitionName(i), r.name) << i;
        EXPECT_EQ(TransitionComboText(i), r.combo != nullptr ? r.combo : r.name) << i;
        const TransitionEffectInfo effect = TransitionEffectFor(i);
        EXPECT_EQ(effect.insert, i != 0) << i;
        if (i == 0) continue;
        EXPECT_EQ(GuidToString(effect.clsid), r.clsid != nullptr ? r.clsid : GuidToString(CLSID_DxtJpeg)) << i;
        EXPECT_EQ(effect.maskNum.value_or(0), r.mask) << i;
    }
}
