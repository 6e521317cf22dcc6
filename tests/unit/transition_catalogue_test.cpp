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
