// Words on the screen as the timeline carries them: title cards and captions reach the show plan
// whole, automatic captions come from the date taken or the file name, and a captions file finds
// its photos.

#include <gtest/gtest.h>

#include <clocale>

#include "app/interface_dates.h"
#include "engine/timeline_builder.h"
#include "platform/render/show_plan.h"
#include "tests/support/media_reader.h"
#include "tests/support/photo_files.h"
#include "tests/support/photo_kinds.h"
#include "tests/support/recording_message_boxes.h"
#include "tests/support/temp_dir.h"
#include "tools/kavrel_render/caption_list.h"

namespace {

ShowPlan PlanOf(SlideshowProject& project, const std::string& language = "") {
    RecordingMessageBoxes boxes;
    std::shared_ptr<IAMTimeline> timeline;
    TimelineBuildEnv env{boxes, nullptr, nullptr, nullptr, language};
    EXPECT_EQ(BuildTimeline(project, env, &timeline), S_OK);
    ShowPlan plan;
    EXPECT_EQ(ReadShowPlan(*timeline, &plan), S_OK);
    return plan;
}

PhotoItem TitleRow(SlideshowProject& project, const TitleCard& card) {
    PhotoItem row = project.MakePhotos({""}, project.photoCount()).front();
    row.title = card;
    return row;
}

}  // namespace

TEST(Captions, TitleCardsCaptionsAndTheirStyleReachThePlanWhole) {
    SlideshowProject project;
    const TitleCard card{"Summer\nItaly", "Serif", 0.1, 0xFFEE00, TextAlign::Left, TitleBackground::Colour, 0x203040};
    project.InsertPhotos({0}, {TitleRow(project, card)});
    project.AppendPhoto("/photos/beach.jpg");
    project.AppendPhoto("/photos/dunes.jpg");
    PhotoItem beach = project.photos()[1];
    beach.caption = {"At dawn\nПривет — 你好", CaptionPlace::Top};
    project.SetPhoto(1, beach);
    project.captionStyle() = {"DejaVu Sans", 0.05, 0x00FF00, CaptionBacking::Box, true, CaptionSource::Name,
                              CaptionOutput::Subtitles};

    const ShowPlan plan = PlanOf(project, "de");
    ASSERT_EQ(plan.clips.size(), 3u);
    EXPECT_EQ(plan.clips[0].title, card);
    EXPECT_EQ(plan.clips[0].path, "");
    EXPECT_TRUE(plan.clips[0].caption.text.empty());  // a card is captioned by nothing automatic
    EXPECT_EQ(plan.clips[1].caption, beach.caption);   // its own wins over the file name
    EXPECT_EQ(plan.clips[2].caption.text, "dunes");
    CaptionStyle drawn = project.captionStyle();
    drawn.automatic = CaptionSource::None;  // resolved into the captions already
    EXPECT_EQ(plan.captionStyle, drawn);
    EXPECT_EQ(plan.subtitleLanguage, "de");
}

TEST(Captions, AShowWithoutWordsKeepsItsTimelineAsBefore) {
    SlideshowProject project;
    project.AppendPhoto("/photos/beach.jpg");
    project.captionStyle().font = "Serif";  // a style alone draws nothing
    const ShowPlan plan = PlanOf(project, "de");
    EXPECT_EQ(plan.captionStyle, CaptionStyle());
    EXPECT_TRUE(plan.subtitleLanguage.empty());
    EXPECT_FALSE(plan.clips.at(0).title);
}

TEST(Captions, TheDateTakenIsWrittenAsTheLanguageWritesDates) {
    TempDir dir;
    ASSERT_EQ(WritePhoto(dir.File("plain.jpg"), 64, 48, 1, "mjpeg"), "");
    dir.Write("taken.jpg", WithExifDate(Slurp(dir.File("plain.jpg")), "2024:07:14 18:03:22"));
    ASSERT_EQ(WritePhoto(dir.File("plain.png"), 64, 48, 1, "png"), "");
    dir.Write("taken.png", WithPngExif(Slurp(dir.File("plain.png")), ExifDateBlock("2023:01:02 03:04:05")));
    ASSERT_EQ(WriteTurnedHeic(dir.File("taken.heic"), Quadrants(64, 48), 1, ExifDateBlock("2022:12:31 23:59:58")), "");
    EXPECT_EQ(PhotoTakenDate(dir.File("taken.jpg")), (PhotoDate{2024, 7, 14, 18, 3, 22}));
    EXPECT_EQ(PhotoTakenDate(dir.File("taken.png")), (PhotoDate{2023, 1, 2, 3, 4, 5}));
    EXPECT_EQ(PhotoTakenDate(dir.File("taken.heic")), (PhotoDate{2022, 12, 31, 23, 59, 58}));
    EXPECT_FALSE(PhotoTakenDate(dir.File("plain.jpg")));
    EXPECT_FALSE(PhotoTakenDate(dir.File("plain.png")));
    for (const char* blank : {"    :  :     :  :  ", "0000:00:00 00:00:00", "2024:13:01 00:00:00", "2024:07"})
        EXPECT_FALSE(ParseExifDate(blank)) << blank;

    const PhotoDate date{2024, 7, 14, 18, 3, 22};
    EXPECT_EQ(InterfaceDateWords("en_US")(date), "July 14, 2024");
    EXPECT_EQ(InterfaceDateWords("de_DE")(date), "14. Juli 2024");
    EXPECT_EQ(InterfaceDateWords("zh_CN")(date), "2024年7月14日");
    std::setlocale(LC_TIME, "C");
    EXPECT_EQ(LocaleDateWords(date), "07/14/24");

    SlideshowProject project;
    project.captionStyle().automatic = CaptionSource::Date;
    project.AppendPhoto(dir.File("taken.jpg"));
    project.AppendPhoto(dir.File("plain.jpg"));  // no date: no caption
    const ShowPlan plan = PlanOf(project);
    EXPECT_EQ(plan.clips.at(0).caption.text, "07/14/24");
    EXPECT_TRUE(plan.clips.at(1).caption.text.empty());
}

TEST(Captions, ACaptionsFileFindsItsPhotosByPathOrNameInListOrder) {
    TempDir dir;
    SlideshowProject project;
    const std::vector<std::string> given = {"", "trip/a.jpg", "b.jpg", "other/a.jpg"};
    project.InsertPhotos({0}, {TitleRow(project, TitleCard{"Hi"})});
    for (std::size_t i = 1; i < given.size(); ++i) project.AppendPhoto("/abs/" + given[i]);
    dir.Write("ok.txt", "b.jpg\tSecond\\nline\na.jpg\tFirst a\r\n\na.jpg\tOther a\n");
    ASSERT_EQ(ApplyCaptionList(dir.File("ok.txt"), given, &project), "");
    EXPECT_EQ(project.photos()[1].caption.text, "First a");
    EXPECT_EQ(project.photos()[2].caption.text, "Second\nline");
    EXPECT_EQ(project.photos()[3].caption.text, "Other a");

    struct Case {
        std::string text, problem;
    };
    const std::vector<Case> refused = {
        {"c.jpg\tNo such photo\n", "captions, line 1: c.jpg is not a photo of the show"},
        {"b.jpg\tOne\nb.jpg\tTwice\n", "captions, line 2: b.jpg is not a photo of the show"},
        {"b.jpg no tab\n", "captions, line 1: a photo, a tab and the caption are expected"},
        {"b.jpg\ta\\nb\\nc\n", "captions, line 1: a caption has one or two lines"},
    };
    for (const Case& c : refused) {
        dir.Write("bad.txt", c.text);
        EXPECT_EQ(ApplyCaptionList(dir.File("bad.txt"), given, &project).rfind(c.problem, 0), 0u) << c.text;
    }
    EXPECT_NE(ApplyCaptionList(dir.File("missing.txt"), given, &project), "");
}
