// Shows in the main window, run as the program runs it: saved and opened through the popup menu,
// the shortcuts and a drop; moved folders, missing photos, damaged files; the question before
// unsaved changes are lost; and Fit photos to the music.

#include <gtest/gtest.h>

#include <QMenu>
#include <QTest>
#include <filesystem>

#include "app/settings_table.h"
#include "app/show_file.h"
#include "controls/menu_builder.h"
#include "engine/timeline_builder.h"
#include "lang/control_id.h"
#include "lang/language.h"
#include "platform/timeline/timeline_xml.h"
#include "res/menus.h"
#include "tests/support/media_reader.h"
#include "tests/ui/main_window_fixture.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kSaveChanges = "Save changes to the show?";

class ShowCommandsTest : public MainWindowFixture {
  protected:
    std::string Timeline(CKavrelDlg& w) {
        RecordingMessageBoxes quiet;
        std::shared_ptr<IAMTimeline> timeline;
        EXPECT_EQ(BuildTimeline(w.project(), {quiet, nullptr, nullptr}, &timeline), S_OK);
        return timeline ? DumpTimelineXml(*timeline) : "";
    }

    // Chooses `command` in the popup a right click on the window's background opens.
    void FromPopup(CKavrelDlg& w, int command) {
        WhenMenuOpens([command](QMenu* menu) { ChooseMenuCommand(menu, command); });
        ClickThroughWindow(&w, Qt::RightButton, QPoint(w.width() - 2, w.height() - 2));
    }

    void Keys(CKavrelDlg& w, Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(w.windowHandle(), key, modifiers);
    }

    // Three photos of folder a, each with values of its own, a tone, the framing, motion and
    // fade-out of the show, and an AVI of Motion JPEG; returns that compressor's number.
    int VariedShow(CKavrelDlg& w) {
        SmallAviShow(3, 1.5);
        SlideshowProject& p = w.project();
        const std::vector<PhotoItem> values = {
            {p.photos()[0].path, 1.25, 17, 0.5, MotionKind::ZoomIn},
            {p.photos()[1].path, 2.0 / 3, 0, 0, MotionKind::None},
            {p.photos()[2].path, 1.5, 46, 1.0 / 3, MotionKind::PanLeft}};
        for (int i = 0; i < 3; ++i) p.SetPhoto(i, values[static_cast<std::size_t>(i)]);
        const std::string tone = (dir.path() / "a" / "tone.wav").string();
        WriteToneWav(tone, 2.0);
        w.AddMusicFiles({tone});
        p.defaults().framing = Framing::Blur;
        p.defaults().motionAmountPercent = 40;
        p.defaults().motionEased = true;
        p.setMusicFadeOutSec(1);
        int mjpeg = -1;
        EXPECT_TRUE(FindCompressorByName({boxes, nullptr}, true, "mjpeg", &mjpeg));
        WriteInt(store, settings::kVideoCompressor, mjpeg);
        p.output().useVideoCompressor = 1;
        return mjpeg;
    }

    std::string SaveAs(CKavrelDlg& w, const std::string& file) {
        files.answers.push_back({file});
        EXPECT_TRUE(w.OnSaveShowAs());
        return w.showFile();
    }

    int Questions() {
        int asked = 0;
        for (const MessageRequest& r : boxes.shown) asked += r.text == kSaveChanges ? 1 : 0;
        return asked;
    }
};

}  // namespace

TEST_F(ShowCommandsTest, SaveQuitStartOpenBringsEverythingBack) {
    const std::string showFile = (dir.path() / "a" / "trip.kavrel").string();
    std::string before;
    int mjpeg = -1;
    RunProgram([&](CKavrelDlg& w) {
        mjpeg = VariedShow(w);
        before = Timeline(w);
        files.answers.push_back({(dir.path() / "a" / "trip").string()});
        FromPopup(w, IDM_SHOW_SAVE_AS);
        ASSERT_EQ(files.requests.size(), 1u);
        EXPECT_TRUE(files.requests[0].save);
        EXPECT_EQ(files.requests[0].title, "Save show as");
        EXPECT_EQ(w.showFile(), showFile);
        EXPECT_EQ(w.windowTitle(), "trip - Kavrel");
        EXPECT_FALSE(w.ShowChanged());
        w.close();
        EXPECT_FALSE(w.isVisible());
    });
    EXPECT_TRUE(boxes.shown.empty()) << testing::PrintToString(boxes.Texts());
    ASSERT_TRUE(fs::exists(showFile));

    RunProgram([&](CKavrelDlg& w) {
        EXPECT_EQ(w.windowTitle(), "Kavrel");
        files.answers.push_back({showFile});
        Keys(w, Qt::Key_O, Qt::ControlModifier);
        ASSERT_EQ(w.project().photoCount(), 3) << testing::PrintToString(boxes.Texts());
        const PhotoItem& first = w.project().photos()[0];
        EXPECT_EQ(first.path, (dir.path() / "a" / "p0.png").string());
        EXPECT_EQ(first.durationSec, 1.25);
        EXPECT_EQ(first.transition, 17);
        EXPECT_EQ(first.motion, MotionKind::ZoomIn);
        EXPECT_EQ(w.project().photos()[1].durationSec, 2.0 / 3);
        EXPECT_EQ(w.project().photos()[2].transitionDurationSec, 1.0 / 3);
        EXPECT_EQ(w.photoList()->topLevelItem(1)->text(1), "0.667");
        ASSERT_EQ(w.project().musicCount(), 1);
        EXPECT_GT(w.project().music()[0].length, 19'000'000);
        EXPECT_EQ(w.musicList()->topLevelItem(0)->text(0), "tone.wav");
        EXPECT_EQ(w.project().defaults().framing, Framing::Blur);
        EXPECT_EQ(w.project().output().path, dir.File("show.avi"));
        EXPECT_EQ(ReadInt(store, settings::kVideoCompressor), mjpeg);
        EXPECT_EQ(ReadText(store, settings::kOutputName), dir.File("show.avi"));
        EXPECT_EQ(ReadInt(store, settings::kOutputWidth), 96);
        EXPECT_EQ(w.project().output().useVideoCompressor, 1);
        EXPECT_NE(w.held().video.filter, nullptr);
        EXPECT_TRUE(Status().ends_with("Resolution: 96*64")) << Status();
        EXPECT_EQ(Timeline(w), before);
        EXPECT_EQ(w.windowTitle(), "trip - Kavrel");
        EXPECT_FALSE(w.ShowChanged());
    });
}

TEST_F(ShowCommandsTest, AMovedShowFolderOpensConvertsAndOffersTheLocator) {
    RunProgram([&](CKavrelDlg& w) {
        VariedShow(w);
        SaveAs(w, (dir.path() / "a" / "trip.kavrel").string());
    });
    const fs::path moved = dir.path() / "b" / "moved";
    fs::rename(dir.path() / "a", moved);
    fs::rename(moved / "p1.png", dir.path() / "lost.png");
    files.requests.clear();
    RunProgram([&](CKavrelDlg& w) {
        files.answers.push_back({dir.File("lost.png")});
        EXPECT_TRUE(
            w.DropFiles({(moved / "trip.kavrel").string()}, w.photoList()->geometry().center()));
        ASSERT_EQ(files.requests.size(), 1u);
        EXPECT_EQ(files.requests[0].title, "Where is p1.png now?");
        ASSERT_EQ(w.project().photoCount(), 3);
        EXPECT_EQ(w.project().photos()[0].path, (moved / "p0.png").string());
        EXPECT_EQ(w.project().photos()[1].path, dir.File("lost.png"));
        EXPECT_EQ(w.photoList()->topLevelItem(1)->text(0), "lost.png");
        EXPECT_GT(w.project().music().at(0).length, 19'000'000);
        EXPECT_TRUE(w.ShowChanged()) << "the file located is not in the show file yet";

        Click(1000);
        ASSERT_TRUE(w.project().run().converting) << testing::PrintToString(boxes.Texts());
        ASSERT_TRUE(WaitFor([&] { return !w.project().run().converting; }, 30000));
        const VideoReadBack back = ReadVideoFile(dir.File("show.avi"), {});
        EXPECT_EQ(back.videoCodec, "mjpeg");
        EXPECT_EQ(back.decodeErrors, 0);
        EXPECT_EQ(back.frames, 82);  // 1.25 + 2/3 + 1.5 s at 24000/1001

        boxes.answers.push_back(MessageAnswer::Cancel);
        w.close();
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(boxes.shown.back().buttons, MessageButtons::YesNoCancel);
        boxes.answers.push_back(MessageAnswer::Yes);
        w.close();
        EXPECT_FALSE(w.isVisible());
    });
    EXPECT_EQ(Questions(), 2);
    Show saved;
    ASSERT_FALSE(ReadShowFile((moved / "trip.kavrel").string(), &saved));
    EXPECT_EQ(saved.photos.at(1).path, dir.File("lost.png"));
}

TEST_F(ShowCommandsTest, ADamagedShowIsRefusedAndTheListsStay) {
    Show other;
    other.photos = {{"/p.jpg", 1, 0, 0, MotionKind::None}};
    const std::string text = SerializeShow(other, "");
    const std::string cut = dir.Write("cut.kavrel", text.substr(0, text.size() / 2));
    RunProgram([&](CKavrelDlg& w) {
        SmallAviShow(2, 1);
        const std::vector<std::string> names = Names();
        files.answers.push_back({cut});
        boxes.answers.push_back(MessageAnswer::No);  // the question comes before the file dialog
        w.OnOpenShow();
        ASSERT_EQ(boxes.shown.size(), 2u) << testing::PrintToString(boxes.Texts());
        EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::YesNoCancel);
        EXPECT_TRUE(boxes.shown[1].text.starts_with(
            "The show " + cut + " cannot be opened.\nThe file is damaged or incomplete ("))
            << boxes.shown[1].text;
        EXPECT_EQ(boxes.shown[1].caption, "Error");
        EXPECT_EQ(Names(), names);
        EXPECT_EQ(w.windowTitle(), "*Untitled - Kavrel");
        EXPECT_EQ(w.showFile(), "");
    });
}

TEST_F(ShowCommandsTest, UnsavedChangesAreAskedAboutBeforeTheyAreLost) {
    Show other;
    other.photos = {{Photo("b", 3), 2, 0, 0, MotionKind::None}};
    const std::string otherFile = dir.File("other.kavrel");
    ASSERT_FALSE(WriteShowFile(otherFile, other));
    RunProgram([&](CKavrelDlg& w) {
        w.AddPhotoFiles({Photo("a", 1)});
        boxes.answers.push_back(MessageAnswer::Cancel);
        Click(1030);  // clearing the photos empties both lists
        EXPECT_EQ(Questions(), 1);
        EXPECT_EQ(w.project().photoCount(), 1);
        Click(1030);  // No
        EXPECT_EQ(Questions(), 2);
        EXPECT_EQ(w.project().photoCount(), 0);
        Click(1030);
        EXPECT_EQ(Questions(), 2) << "nothing to lose";

        // Yes saves first, through Save as for a show never saved, then asks for the other show.
        w.AddPhotoFiles({Photo("a", 2)});
        files.answers = {{dir.File("kept")}, {otherFile}};
        boxes.answers.push_back(MessageAnswer::Yes);
        Keys(w, Qt::Key_O, Qt::ControlModifier);
        EXPECT_EQ(Questions(), 3);
        Show kept;
        ASSERT_FALSE(ReadShowFile(dir.File("kept.kavrel"), &kept));
        EXPECT_EQ(kept.photos.at(0).path, dir.File("a/p2.png"));
        EXPECT_EQ(Names(), std::vector<std::string>{"p3.png"});
        EXPECT_EQ(w.windowTitle(), "other - Kavrel");

        // Save writes the open show without asking for a name.
        w.AddPhotoFiles({Photo("a", 4)});
        EXPECT_TRUE(w.ShowChanged());
        const std::size_t requests = files.requests.size();
        Keys(w, Qt::Key_S, Qt::ControlModifier);
        EXPECT_EQ(files.requests.size(), requests);
        EXPECT_FALSE(w.ShowChanged());
        Show resaved;
        ASSERT_FALSE(ReadShowFile(otherFile, &resaved));
        EXPECT_EQ(resaved.photos.size(), 2u);

        // Save as asks before it replaces a file.
        files.answers.push_back({dir.File("kept.kavrel")});
        Keys(w, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(boxes.shown.back().text,
                  dir.File("kept.kavrel") + " exists. Do you want to replace it?");
        EXPECT_EQ(w.showFile(), otherFile);
        ASSERT_FALSE(ReadShowFile(dir.File("kept.kavrel"), &kept));
        EXPECT_EQ(kept.photos.size(), 1u);
    });
}

TEST_F(ShowCommandsTest, FitPhotosToTheMusicFromThePopupMenu) {
    RunProgram([&](CKavrelDlg& w) {
        SmallAviShow(3, 5);
        const std::string tone = dir.File("six.wav");
        WriteToneWav(tone, 6.0);
        w.AddMusicFiles({tone});
        FromPopup(w, IDM_SHOW_FIT_TO_MUSIC);
        EXPECT_TRUE(boxes.shown.empty()) << testing::PrintToString(boxes.Texts());
        for (const PhotoItem& photo : w.project().photos()) EXPECT_EQ(photo.durationSec, 2);
        EXPECT_EQ(w.photoList()->topLevelItem(2)->text(1), "2.000");

        w.AddPhotoFiles(std::vector<std::string>(10, w.project().photos()[0].path));
        FromPopup(w, IDM_SHOW_FIT_TO_MUSIC);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text,
                  "To end with the music, each photo would be shown for only 0.462 s, less "
                  "than 0.5 s. Nothing was changed.");
        EXPECT_EQ(w.project().photos()[0].durationSec, 2);
        EXPECT_EQ(w.project().photos()[12].durationSec, 5);
    });
}

TEST_F(ShowCommandsTest, AShowsOutputSettingsAreTakenAsTheOptionsDialogTakesThem) {
    Show show;
    show.photos = {{Photo("a", 1), 2, 0, 0, MotionKind::None}};
    show.output.format = kFormatAvi;
    show.output.path = dir.File("x.avi");
    show.output.videoCompressor = "Imaginary Codec (imaginary)";
    show.output.audioCompressor = kNoCompressorName;
    const std::string named = dir.File("named.kavrel");
    ASSERT_FALSE(WriteShowFile(named, show));
    show.output.format = kFormatMkv;
    show.output.path.clear();
    show.output.videoCompressor.clear();
    fs::create_directories(dir.path() / "other");
    const std::string unnamed = dir.File("other/unnamed.kavrel");
    ASSERT_FALSE(WriteShowFile(unnamed, show));
    RunProgram([&](CKavrelDlg& w) {
        EXPECT_TRUE(w.OpenShow(named));
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text,
                  "The show's video compressor Imaginary Codec (imaginary) is not installed "
                  "here; the default one is used.");
        EXPECT_EQ(ReadInt(store, settings::kVideoCompressor), -2);
        EXPECT_EQ(w.project().output().useVideoCompressor, 1);  // the DivX-compatible default
        EXPECT_EQ(ReadInt(store, settings::kAudioCompressor), -1);
        EXPECT_EQ(w.project().output().useAudioCompressor, 0);
        EXPECT_EQ(ReadInt(store, settings::kOutputFormat), kFormatAvi);
        EXPECT_EQ(Status(), "Output file: " + dir.File("x.avi") + "     Resolution: 640*480");
        EXPECT_FALSE(w.ShowChanged());

        // A show that names no output file writes the default name in its own folder (not the
        // folder of the show opened before), with its own container's extension.
        EXPECT_TRUE(w.OpenShow(unnamed));
        EXPECT_EQ(w.project().output().path, dir.File("other/photo.mkv"));
        EXPECT_EQ(ReadText(store, settings::kOutputName), dir.File("other/photo.mkv"));
    });
}

// The show commands are plain items of the popup: the Language submenu keeps its translation key.
TEST_F(ShowCommandsTest, ThePopupHoldsTheShowCommandsInTheWindowsLanguage) {
    CKavrelDlg& w = Open();
    CLanguage saved = theLanguage;
    theLanguage.Init(KAVREL_SOURCE_DIR, "German");
    std::unique_ptr<QMenu> menu = w.MakeLanguageMenu();
    QMenu* popup = PopupOf(menu.get());
    ASSERT_NE(popup, nullptr);
    std::map<int, QAction*> actions;
    for (QAction* a : popup->actions()) actions[CommandId(a)] = a;
    ASSERT_TRUE(actions.count(IDM_SHOW_OPEN) && actions.count(IDM_SHOW_FIT_TO_MUSIC));
    EXPECT_EQ(actions[IDM_SHOW_OPEN]->text(), "Show öffnen...");
    EXPECT_EQ(actions[IDM_SHOW_FIT_TO_MUSIC]->text(), "Fotos an die Musik anpassen");
    ASSERT_TRUE(actions.count(IDM_SHOW_FIT_TO_BEAT));
    EXPECT_EQ(actions[IDM_SHOW_FIT_TO_BEAT]->text(), "Fotos an den Beat anpassen");
    EXPECT_EQ(actions[IDM_SHOW_SAVE_AS]->shortcut(),
              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    ASSERT_NE(PopupOf(popup), nullptr);
    EXPECT_EQ(PopupOf(popup)->menuAction()->text(), "Sprache");
    menu.reset();
    window.reset();
    theLanguage = saved;
}
