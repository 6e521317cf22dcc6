#include <gtest/gtest.h>

#include "app/path_rules.h"
#include "platform/shell/address_url.h"
#include "settings/output_extension.h"
#include "tests/support/recording_message_boxes.h"

namespace {

std::string Applied(int format, const std::string& name) {
    RecordingMessageBoxes boxes;
    std::string out = "unchanged";
    EXPECT_TRUE(ApplyOutputExtension(format, name, &out, boxes));
    EXPECT_TRUE(boxes.shown.empty());
    return out;
}

}  // namespace

TEST(OutputExtension, EachFormatGetsItsExtension) {
    EXPECT_EQ(Applied(0, "/home/me/Videos/show.wmv"), "/home/me/Videos/show.avi");
    EXPECT_EQ(Applied(1, "/home/me/Videos/show.avi"), "/home/me/Videos/show.wmv");
    EXPECT_EQ(Applied(2, "/home/me/Videos/show.avi"), "/home/me/Videos/show.mkv");
    EXPECT_EQ(Applied(3, "/home/me/Videos/show.avi"), "/home/me/Videos/show.asf");
    EXPECT_EQ(Applied(4, "/home/me/Videos/show.avi"), "/home/me/Videos/show.mp4");
    EXPECT_EQ(Applied(1, "/home/me/Videos/photo.avi"), "/home/me/Videos/photo.wmv");
}

TEST(OutputExtension, OnlyTheFileNameHasAnExtension) {
    EXPECT_EQ(Applied(0, "/home/me/my.videos/show"), "/home/me/my.videos/show.avi");
    EXPECT_EQ(Applied(0, "/home/me/my.videos/show.wmv"), "/home/me/my.videos/show.avi");
    EXPECT_EQ(Applied(1, "show"), "show.wmv");
    EXPECT_EQ(Applied(1, "a.b.c"), "a.b.wmv");
    EXPECT_EQ(Applied(2, "/home/me/.hidden"), "/home/me/.hidden.mkv");
    EXPECT_EQ(Applied(2, "/home/me/show."), "/home/me/show.mkv");
}

TEST(OutputExtension, UnsupportedFormatsAreRefused) {
    for (int format : {5, 6, -1, 7}) {
        RecordingMessageBoxes boxes;
        std::string out = "kept";
        EXPECT_FALSE(ApplyOutputExtension(format, "/v/show.avi", &out, boxes));
        EXPECT_EQ(out, "kept");
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, "Does not support the video format");
        EXPECT_EQ(boxes.shown[0].caption, "Error");
        EXPECT_EQ(boxes.shown[0].owner, MessageOwner::None);
    }
}

TEST(PathRules, JoiningNeverDoublesOrDropsTheSeparator) {
    EXPECT_EQ(JoinFolderAndName("/", "a.jpg"), "/a.jpg");
    EXPECT_EQ(JoinFolderAndName("/home/me", "a.jpg"), "/home/me/a.jpg");
    EXPECT_EQ(JoinFolderAndName("/home/me/", "a.jpg"), "/home/me/a.jpg");
    EXPECT_EQ(FolderWithTrailingSlash("/home/me/a.jpg"), "/home/me/");
    EXPECT_EQ(FolderWithTrailingSlash("/a.jpg"), "/");
    EXPECT_EQ(FolderWithTrailingSlash("a.jpg"), "");
    EXPECT_EQ(FileNamePart("/home/me/my.photos/a b.jpeg"), "a b.jpeg");
    EXPECT_EQ(FileNamePart("a.jpg"), "a.jpg");
}

// Guide pages open at their place: the fragment stays a fragment, never part of the file's name.
TEST(AddressUrl, LocalPagesKeepTheirPlaceAndWebAddressesStayAsTheyAre) {
    const QUrl page = AddressUrl("/usr/share/kavrel/help/Formats.htm#dsm");
    EXPECT_EQ(page.toLocalFile(), "/usr/share/kavrel/help/Formats.htm");
    EXPECT_EQ(page.fragment(), "dsm");
    EXPECT_EQ(page.toString(), "file:///usr/share/kavrel/help/Formats.htm#dsm");
    EXPECT_EQ(AddressUrl("/home/me/my show/guide.htm").toLocalFile(), "/home/me/my show/guide.htm");
    EXPECT_EQ(AddressUrl("https://example.org/a#b").toString(), "https://example.org/a#b");
    EXPECT_EQ(AddressUrl("file:///x/Introduction.htm").toLocalFile(), "/x/Introduction.htm");
}
