// What the dialogs will offer: the file types of the photo and music filters and the frame sizes
// of the resolution list.

#include <gtest/gtest.h>

#include <set>

#include "app/media_file_types.h"
#include "settings/resolution_presets.h"

TEST(MediaFileTypes, TheFiltersKeepTheirOwnPatternsFirstThenAddTodaysTypes) {
    const auto [photoText, photoPattern] = PhotoFileFilter();
    EXPECT_EQ(photoPattern.rfind("*.jpg; *.bmp; *.gif; *.tga; *.jpeg; ", 0), 0u) << photoPattern;
    for (const char* added : {"*.heic", "*.heif", "*.avif", "*.png", "*.webp", "*.tif", "*.tiff"}) {
        EXPECT_NE(photoPattern.find(std::string(added) + ";"), std::string::npos) << added;
    }
    EXPECT_EQ(photoText.rfind("Image Files (*.jpg;*.bmp;*.gif;*.tga;*.jpeg;*.heic;", 0), 0u)
        << photoText;

    const auto [musicText, musicPattern] = MusicFileFilter();
    EXPECT_EQ(
        musicPattern.rfind("*.wav; *.mp3; *.wma; *.mp2; *.mpa; *.au; *.aif; *.aiff; *.snd; ", 0),
        0u);
    for (const char* added : {"*.flac", "*.ogg", "*.opus", "*.m4a", "*.aac"}) {
        EXPECT_NE(musicPattern.find(std::string(added) + ";"), std::string::npos) << added;
    }
    EXPECT_EQ(musicText.back(), ')');
}

TEST(MediaFileTypes, EveryTypeIsListedOnceInLowerCase) {
    for (const auto* list : {&PhotoExtensions(), &MusicExtensions()}) {
        std::set<std::string_view> seen;
        for (std::string_view e : *list) {
            EXPECT_TRUE(seen.insert(e).second) << e << " twice";
            for (char c : e) EXPECT_FALSE(c >= 'A' && c <= 'Z') << e;
            EXPECT_EQ(e.find_first_of(". *;"), std::string_view::npos) << e;
        }
    }
}

TEST(ResolutionPresets, TodaysSizesFollowTheListsOwnAndCustomStaysLast) {
    ASSERT_EQ(kResolutionPresets.size(), 12u);
    EXPECT_EQ(kResolutionPresets[0].text, "800*600");
    EXPECT_EQ(kResolutionPresets[7].text, "352 * 240");
    const char* added[] = {"1280*720", "1920*1080", "3840*2160", "1080*1920"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(kResolutionPresets[8 + i].text, added[i]);
    for (const ResolutionPreset& p : kResolutionPresets) {
        const std::string text(p.text);
        EXPECT_NE(text.find(std::to_string(p.width)), std::string::npos) << text;
        EXPECT_EQ(text.rfind(std::to_string(p.height)),
                  text.size() - std::to_string(p.height).size())
            << text;
        EXPECT_EQ(p.width % 2 + p.height % 2, 0) << text;
    }
    EXPECT_EQ(kCustomSizeEntry, 12);
}

TEST(ResolutionPresets, TheStoredSizeSelectsItsEntry) {
    EXPECT_EQ(ResolutionEntryFor(800, 600), 0);
    EXPECT_EQ(ResolutionEntryFor(352, 240), 7);
    EXPECT_EQ(ResolutionEntryFor(1920, 1080), 9);
    EXPECT_EQ(ResolutionEntryFor(1080, 1920), 11);  // upright is not 1920 × 1080
    EXPECT_EQ(ResolutionEntryFor(1920, 1088), kCustomSizeEntry);
    EXPECT_EQ(ResolutionEntryFor(0, 0), kCustomSizeEntry);
}
