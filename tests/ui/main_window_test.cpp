// The main window, driven as a user would: lists, dialogs, Convert and Preview, language and font.

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>

#include "app/kavrel_dlg.h"
#include "app/settings_table.h"
#include "controls/menu_builder.h"
#include "engine/transition_catalogue.h"
#include "lang/control_id.h"
#include "lang/language.h"
#include "platform/shell/profile_store.h"
#include "player/qt_preview_renderers.h"
#include "res/menus.h"
#include "settings/options_page.h"
#include "tests/support/media_reader.h"
#include "tests/support/recording_file_dialogs.h"
#include "tests/support/recording_message_boxes.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_media.h"

namespace fs = std::filesystem;

namespace {

class NoFrames : public PropertyFramePort {
public:
    void Show(QWidget*, const std::string&, const std::shared_ptr<ISpecifyPropertyPages>&,
              const std::vector<FilterOption>&) override {}
};

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override {
        InstallQtPreviewRenderers();
        fs::create_directories(dir.path() / "a");
        fs::create_directories(dir.path() / "b");
        fs::create_directories(dir.path() / "program");
    }
    void TearDown() override {
        window.reset();
        SetPreviewRenderers({});
    }
    CKavrelDlg& Open(std::string dataFolder = KAVREL_SOURCE_DIR) {
        MainWindowServices services{boxes, files, store, frames, nullptr,
                                    [this](const std::string& a) {
                                        opened.push_back(a);
                                        return true;
                                    },
                                    dataFolder, (dir.path() / "program").string(), nullptr};
        window = std::make_unique<CKavrelDlg>(services);
        window->Prepare();
        window->show();
        return *window;
    }
    std::string Photo(const std::string& folder, int salt, int w = 96, int h = 64) {
        std::string path = (dir.path() / folder / ("p" + std::to_string(salt) + ".png")).string();
        EXPECT_EQ(WritePhoto(path, w, h, salt, "png"), "");
        return path;
    }
    void Click(int id) { QTest::mouseClick(window->ItemAs<QAbstractButton>(id), Qt::LeftButton); }
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (const PhotoItem& p : window->project().photos()) names.push_back(fs::path(p.path).filename().string());
        return names;
    }
    std::vector<int> Selected() {
        std::vector<int> rows;
        for (int i = 0; i < window->photoList()->topLevelItemCount(); ++i) {
            if (window->photoList()->topLevelItem(i)->isSelected()) rows.push_back(i);
        }
        return rows;
    }
    void Select(std::vector<int> rows) {
        window->photoList()->clearSelection();
        for (int r : rows) window->photoList()->topLevelItem(r)->setSelected(true);
    }
    std::string Status() { return window->ItemAs<QLabel>(1021)->text().toStdString(); }
    // A show of `count` photos of `seconds`, written as a small AVI in the temp folder.
    void SmallAviShow(int count, double seconds) {
        std::vector<std::string> photos;
        for (int i = 0; i < count; ++i) photos.push_back(Photo("a", i));
        window->AddPhotoFiles(photos);
        window->project().defaults() = {seconds, 0.5, kPolicySame, 3};
        window->project().TakeOverDefaults(window->project().defaults(), true);
        OutputSettings& o = window->project().output();
        o.format = 0;
        o.path = (dir.path() / "show.avi").string();
        o.width = 96;
        o.height = 64;
    }

    // A show that takes a while to convert: many photos of one file at 320 x 240.
    void LongShow() {
        SmallAviShow(1, 4);
        window->AddPhotoFiles(std::vector<std::string>(299, window->project().photos()[0].path));
        window->project().output().width = 320;
        window->project().output().height = 240;
    }

    TempDir dir;
    ProfileStore store{dir.File("settings.ini")};
    RecordingMessageBoxes boxes;
    RecordingFileDialogs files;
    NoFrames frames;
    std::vector<std::string> opened;
    std::unique_ptr<CKavrelDlg> window;
};

TEST_F(MainWindowTest, FirstStartShowsTheDefaults) {
    CKavrelDlg& w = Open();
    EXPECT_EQ(w.project().output().format, 1);
    EXPECT_TRUE(w.project().output().path.ends_with("/photo.wmv")) << w.project().output().path;
    EXPECT_TRUE(Status().ends_with("Resolution: 640*480")) << Status();
    EXPECT_TRUE(Status().starts_with("Output file: ")) << Status();
    EXPECT_EQ(w.project().defaults().photoDurationSec, 8);
    EXPECT_EQ(w.project().defaults().transitionDurationSec, 4);
    EXPECT_EQ(w.Item(1067)->toolTip(), "Help");
    EXPECT_EQ(w.Item(1006)->toolTip(), "Add photos to list");
    EXPECT_EQ(w.photoList()->headerItem()->text(0), "Photo File Name");
    EXPECT_EQ(w.musicList()->columnCount(), 2);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(MainWindowTest, AStoredFormatGivesTheNameItsExtension) {
    store.WriteProfileString("Settings", "OutputName", "/videos/show.avi");
    store.WriteProfileInt("Settings", "nOuptputFormat", 2);
    EXPECT_EQ(Open().project().output().path, "/videos/show.mkv");
    store.WriteProfileInt("Settings", "nOuptputFormat", 5);
    EXPECT_EQ(Open().project().output().path, "");
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Does not support the video format"});
}

TEST_F(MainWindowTest, PhotosFromTwoFoldersAndTheNextDialogStartsInTheSecond) {
    CKavrelDlg& w = Open();
    files.answers.push_back({Photo("a", 1), Photo("a", 2)});
    Click(1006);
    files.answers.push_back({Photo("b", 3)});
    Click(1006);
    Click(1006);  // cancelled
    ASSERT_EQ(files.requests.size(), 3u);
    EXPECT_TRUE(files.requests[0].multiple);
    EXPECT_EQ(files.requests[0].title, "Select Photo Files...");
    EXPECT_EQ(files.requests[1].startFolder, (dir.path() / "a").string() + "/");
    EXPECT_EQ(files.requests[2].startFolder, (dir.path() / "b").string() + "/");
    EXPECT_EQ(Names(), (std::vector<std::string>{"p1.png", "p2.png", "p3.png"}));
    EXPECT_EQ(w.photoList()->topLevelItem(2)->text(0), "p3.png");
    EXPECT_EQ(w.photoList()->topLevelItem(0)->text(1), "8.000");
}

TEST_F(MainWindowTest, DeletingAndMovingSelections) {
    CKavrelDlg& w = Open();
    std::vector<std::string> five;
    for (int i = 0; i < 5; ++i) five.push_back(Photo("a", i));
    w.AddPhotoFiles(five);
    Click(1029);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Please select an item in the list first"});
    Select({1, 3});
    Click(1029);
    EXPECT_EQ(Names(), (std::vector<std::string>{"p0.png", "p2.png", "p4.png"}));
    EXPECT_TRUE(Selected().empty());

    w.AddPhotoFiles({Photo("a", 5), Photo("a", 6)});  // p0 p2 p4 p5 p6
    Select({0, 2});
    Click(1031);
    EXPECT_EQ(Names(), (std::vector<std::string>{"p0.png", "p2.png", "p4.png", "p5.png", "p6.png"}));
    Select({1, 2});
    Click(1031);
    EXPECT_EQ(Names(), (std::vector<std::string>{"p2.png", "p4.png", "p0.png", "p5.png", "p6.png"}));
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1}));
    Select({1, 2});
    Click(1032);
    EXPECT_EQ(Names(), (std::vector<std::string>{"p2.png", "p5.png", "p4.png", "p0.png", "p6.png"}));
    EXPECT_EQ(Selected(), (std::vector<int>{2, 3}));
    Select({3, 4});
    Click(1032);
    EXPECT_EQ(Names()[4], "p6.png");
    Click(1030);
    EXPECT_EQ(w.photoList()->topLevelItemCount(), 0);
}

TEST_F(MainWindowTest, MusicIsMeasuredAndListedInWholeSeconds) {
    CKavrelDlg& w = Open();
    const std::string tone = dir.File("tone.wav");
    WriteToneWav(tone, 2.9);
    files.answers.push_back({tone});
    Click(1007);
    ASSERT_EQ(w.musicList()->topLevelItemCount(), 1);
    EXPECT_EQ(w.musicList()->topLevelItem(0)->text(1), "2");
    EXPECT_EQ(files.requests[0].title, "Add background music to list");
    EXPECT_EQ(ReadText(store, settings::kLastAudioFolder), dir.path().string() + "/");
}

TEST_F(MainWindowTest, PhotoPropertyAndDefaultsWithTheRefreshQuestion) {
    CKavrelDlg& w = Open();
    w.AddPhotoFiles({Photo("a", 1), Photo("a", 2)});
    w.runDialog = [](TemplateDialog& d) {
        if (auto* duration = d.ItemAs<QLineEdit>(1036)) duration->setText("5");
        d.show();
        QTest::mouseClick(d.ItemAs<QAbstractButton>(d.templateId() == 136 ? 1082 : 1076), Qt::LeftButton);
        return d.result();
    };
    Select({1});
    Click(1033);
    EXPECT_EQ(w.project().photos()[1].durationSec, 5);
    EXPECT_EQ(w.photoList()->topLevelItem(1)->text(1), "5.000");

    // The default transition dialog, confirmed with new durations: the question, answered Yes.
    w.runDialog = [](TemplateDialog& d) {
        d.ItemAs<QLineEdit>(1010)->setText("6");
        d.ItemAs<QLineEdit>(1011)->setText("2");
        d.show();
        QTest::mouseClick(d.ItemAs<QAbstractButton>(1076), Qt::LeftButton);
        return d.result();
    };
    boxes.answers.push_back(MessageAnswer::Yes);
    Click(1016);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].caption, "Refresh photo list");
    EXPECT_EQ(w.project().photos()[0].durationSec, 6);
    EXPECT_EQ(w.photoList()->topLevelItem(1)->text(3), "2.000");
    Click(1016);  // unchanged: no question
    EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST_F(MainWindowTest, ConvertRefusals) {
    CKavrelDlg& w = Open();
    Click(1000);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Please add photos or music into the lists");
    EXPECT_EQ(boxes.shown[0].caption, "Error");

    const std::string photo = Photo("a", 1);
    w.AddPhotoFiles({photo});
    w.project().output().path = photo;  // the output would replace a photo of the show
    boxes.shown.clear();
    Click(1000);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].text.find("is one of the show's photos"), std::string::npos);
    EXPECT_TRUE(fs::exists(photo));

    const std::string existing = dir.Write("old.wmv", "keep me");
    w.project().output().path = existing;
    boxes.shown.clear();
    boxes.answers.push_back(MessageAnswer::No);
    Click(1000);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, existing + " exists. Do you want to replace it?");
    EXPECT_EQ(boxes.shown[0].caption, "Warning");
    EXPECT_TRUE(fs::exists(existing));
    EXPECT_FALSE(w.project().run().converting);

    std::vector<std::string> many(1001, photo);
    w.AddPhotoFiles(many);
    EXPECT_EQ(w.project().photoCount(), 1000);  // the list holds no more
    EXPECT_NE(boxes.Texts().back().find("at most 1000"), std::string::npos);
}

TEST_F(MainWindowTest, NoVideoCompressorAsksFirstAndNoEndsIt) {
    CKavrelDlg& w = Open();
    SmallAviShow(1, 1);
    w.project().output().useVideoCompressor = 0;
    boxes.answers.push_back(MessageAnswer::No);
    Click(1000);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.starts_with("You do not select a video compressor in Options dialog."));
    EXPECT_FALSE(w.project().run().converting);
    EXPECT_FALSE(fs::exists(w.project().output().path));
}

TEST_F(MainWindowTest, YesToReplacingKeepsTheOldFileUntilTheNewOneIsComplete) {
    CKavrelDlg& w = Open();
    SmallAviShow(1, 1);
    const std::string old = dir.Write("show.avi", "an older video");
    w.project().output().useVideoCompressor = 0;
    boxes.answers = {MessageAnswer::Yes, MessageAnswer::No};  // replace it, but not without a compressor
    Click(1000);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, old + " exists. Do you want to replace it?");
    EXPECT_FALSE(w.project().run().converting);
    EXPECT_EQ(Slurp(old), "an older video");

    w.project().output().useVideoCompressor = 1;
    boxes.answers = {MessageAnswer::Yes};
    Click(1000);
    ASSERT_TRUE(w.project().run().converting) << testing::PrintToString(boxes.Texts());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.project().run().converting; }, 30000));
    EXPECT_EQ(ReadVideoFile(old, {}).frames, 24);
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        EXPECT_FALSE(entry.path().filename().string().starts_with(".")) << entry.path();
    }
}

TEST_F(MainWindowTest, AConversionRunsToTheEndAndThePictureIsWritten) {
    CKavrelDlg& w = Open();
    SmallAviShow(2, 1);
    ASSERT_EQ(w.project().output().useVideoCompressor, 1);  // the DivX-compatible default
    Click(1000);
    ASSERT_TRUE(w.project().run().converting) << testing::PrintToString(boxes.Texts());
    EXPECT_EQ(w.ItemAs<QPushButton>(1000)->text(), "Stop");
    EXPECT_FALSE(w.Item(1006)->isEnabled());
    EXPECT_TRUE(w.Item(1067)->isEnabled());
    EXPECT_TRUE(w.progress()->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.project().run().converting; }, 30000));
    EXPECT_EQ(Status(), "Done. Output file: " + w.project().output().path + "     Resolution: 96*64");
    EXPECT_EQ(w.ItemAs<QPushButton>(1000)->text(), "Convert");
    EXPECT_TRUE(w.Item(1006)->isEnabled());
    EXPECT_FALSE(w.progress()->isVisible());
    VideoReadBack back = ReadVideoFile(w.project().output().path, {});
    EXPECT_EQ(back.decodeErrors, 0);
    EXPECT_EQ(back.frames, 48);  // 2 s at 24000/1001
    EXPECT_EQ(back.width, 96);
}

TEST_F(MainWindowTest, WmvWithoutMusicTakesTheSilentTrackAndMp4TakesH264) {
    CKavrelDlg& w = Open();
    SmallAviShow(2, 1);
    OutputSettings& o = w.project().output();
    o.format = 1;
    o.path = dir.File("show.wmv");
    Click(1000);
    ASSERT_TRUE(w.project().run().converting) << testing::PrintToString(boxes.Texts());
    EXPECT_EQ(w.project().musicCount(), 0);  // the silent track was the conversion's only
    EXPECT_EQ(w.musicList()->topLevelItemCount(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.project().run().converting; }, 30000));
    VideoReadBack wmv = ReadVideoFile(o.path, {});
    EXPECT_EQ(wmv.decodeErrors, 0);
    EXPECT_EQ(wmv.videoCodec, "wmv2");
    EXPECT_EQ(wmv.audioCodec, "wmav2");
    EXPECT_NEAR(wmv.audioSeconds, wmv.videoSeconds, 0.1);

    CompressorServices services{boxes, nullptr};
    int video = -1, audio = -1;
    ASSERT_TRUE(FindCompressorByName(services, true, "libx264", &video));
    ASSERT_TRUE(FindCompressorByName(services, false, "aac", &audio));
    HeldCompressors& held = const_cast<HeldCompressors&>(w.held());
    GetCompressor(services, video, &held.video.filter);
    GetAudioCompressor(services, audio, &held.audio.filter);
    o.format = 4;
    o.path = dir.File("show.mp4");
    o.useVideoCompressor = o.useAudioCompressor = 1;
    w.AddMusicFiles({(fs::path(KAVREL_SOURCE_DIR) / "res" / "blank.wav").string()});
    int filterLists = 0;
    w.runDialog = [&](TemplateDialog& d) {  // the filters of an MP4 graph, shown before it runs
        filterLists += d.templateId() == IDD_DIALOG_FILTER_PROPERTY;
        return static_cast<int>(QDialog::Rejected);
    };
    Click(1000);
    EXPECT_EQ(filterLists, 1);
    ASSERT_TRUE(w.project().run().converting) << testing::PrintToString(boxes.Texts());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.project().run().converting; }, 30000));
    VideoReadBack mp4 = ReadVideoFile(o.path, {});
    EXPECT_EQ(mp4.decodeErrors, 0);
    EXPECT_EQ(mp4.videoCodec, "h264");
    EXPECT_EQ(mp4.audioCodec, "aac");
    EXPECT_EQ(mp4.frames, 48);
}

TEST_F(MainWindowTest, AMissingSilentTrackIsReportedTwiceAndTheWmvHasNoSound) {
    CKavrelDlg& w = Open(dir.path().string());  // no blank.wav anywhere
    SmallAviShow(1, 1);
    w.project().output().format = 1;
    w.project().output().path = dir.File("silent.wmv");
    Click(1000);
    const std::string expected = (dir.path() / "program" / "blank.wav").string();
    ASSERT_GE(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, "Error, File does not exist!");
    EXPECT_EQ(boxes.shown[0].caption, expected);
    EXPECT_EQ(boxes.shown[1].text, "Please add a music file into the audio list");
    EXPECT_EQ(boxes.shown[1].caption, "warnning");
    ASSERT_TRUE(w.project().run().converting) << testing::PrintToString(boxes.Texts());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.project().run().converting; }, 30000));
    VideoReadBack back = ReadVideoFile(w.project().output().path, {});
    EXPECT_EQ(back.decodeErrors, 0);
    EXPECT_EQ(back.audioCodec, "");
}

TEST_F(MainWindowTest, StopInTheMiddleLeavesAFileThatPlays) {
    CKavrelDlg& w = Open();
    LongShow();
    Click(1000);
    ASSERT_TRUE(w.project().run().converting);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.elapsedSeconds() > 0; }, 3000));
    EXPECT_EQ(Status(), "Please wait... Used Time: 00:00:01");
    EXPECT_GT(w.progress()->value(), 0);
    Click(1000);
    EXPECT_FALSE(w.project().run().converting);
    EXPECT_TRUE(Status().starts_with("Done. ")) << Status();
    VideoReadBack back = ReadVideoFile(w.project().output().path, {});
    EXPECT_EQ(back.decodeErrors, 0);
    EXPECT_GT(back.frames, 0);
    EXPECT_LT(back.frames, 300 * 96);
}

TEST_F(MainWindowTest, AnErrorEndsTheConversionAndSaysWhy) {
    CKavrelDlg& w = Open();
    SmallAviShow(30, 4);
    w.project().output().path = "/dev/full";  // no space left: every write fails
    Click(1000);
    ASSERT_TRUE(w.project().run().converting) << testing::PrintToString(boxes.Texts());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.project().run().converting; }, 30000));
    EXPECT_EQ(Status(), "The conversion failed: /dev/full is not complete.");
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_NE(boxes.shown.back().text.find("/dev/full"), std::string::npos) << boxes.shown.back().text;
    EXPECT_TRUE(w.Item(1006)->isEnabled());
}

TEST_F(MainWindowTest, PreviewOnAndOffAndClosingIsRefusedMeanwhile) {
    CKavrelDlg& w = Open();
    SmallAviShow(2, 1);
    Click(1019);
    ASSERT_TRUE(w.project().run().previewing) << testing::PrintToString(boxes.Texts());
    EXPECT_EQ(w.ItemAs<QPushButton>(1019)->text(), "Stop");
    Click(1000);
    EXPECT_EQ(boxes.Texts().back(), "Please stop Preview first!");
    EXPECT_FALSE(w.CanClose());
    EXPECT_EQ(boxes.Texts().back(), "Please first stop Preview");
    Click(1019);
    EXPECT_FALSE(w.project().run().previewing);
    EXPECT_EQ(w.ItemAs<QPushButton>(1019)->text(), "Preview");
    EXPECT_TRUE(w.CanClose());
}

TEST_F(MainWindowTest, ClosingThePlayerWindowEndsThePreview) {
    CKavrelDlg& w = Open();
    SmallAviShow(1, 3);
    Click(1019);
    ASSERT_TRUE(w.project().run().previewing);
    QWidget* player = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == "PreviewWindow" && top->isVisible()) player = top;
    }
    ASSERT_NE(player, nullptr);
    player->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.project().run().previewing; }, 5000));
    EXPECT_EQ(w.ItemAs<QPushButton>(1019)->text(), "Preview");
}

TEST_F(MainWindowTest, EscapeAndExitGoThroughTheCloseChecks) {
    CKavrelDlg& w = Open();
    LongShow();
    Click(1000);
    ASSERT_TRUE(w.project().run().converting);
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(boxes.Texts().back(), "Please first stop converting");
    Click(1054);
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.project().run().converting);
    Click(1000);
    Click(1054);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(ReadText(store, settings::kCurrentLanguage), "english");
}

TEST_F(MainWindowTest, LanguageMenuSwitchesAtOnceAndAsksForARestart) {
    CKavrelDlg& w = Open();
    CLanguage saved = theLanguage;
    theLanguage.Init(KAVREL_SOURCE_DIR, "english");
    std::unique_ptr<QMenu> menu = w.MakeLanguageMenu();
    ASSERT_TRUE(menu);
    QMenu* languages = PopupOf(PopupOf(menu.get()));
    ASSERT_NE(languages, nullptr);
    ASSERT_EQ(languages->actions().size(), theLanguage.GetLanguageCount());
    int german = -1;
    for (QAction* a : languages->actions()) {
        EXPECT_EQ(a->isChecked(), a->text().compare("English", Qt::CaseInsensitive) == 0) << a->text().toStdString();
        if (a->text().startsWith("German")) german = CommandId(a);
    }
    ASSERT_GE(german, IDM_LANGUAGE_BASE);
    w.OnLanguage(german);
    EXPECT_TRUE(QString::fromStdString(theLanguage.GetCurrentLanguage()).startsWith("German", Qt::CaseInsensitive));
    EXPECT_NE(w.ItemAs<QPushButton>(1000)->text(), "Convert");  // the German caption
    EXPECT_EQ(boxes.shown.back().text, theLanguage.GetString(150));
    files.fonts.push_back(QFont("DejaVu Serif", 14, QFont::Bold));
    w.OnFont();
    EXPECT_EQ(files.fontRequests, 1);
    EXPECT_EQ(theLanguage.InterfaceFont().lfFaceName, "DejaVu Serif");
    EXPECT_EQ(w.Item(1000)->font().family(), "DejaVu Serif");
    menu.reset();
    window.reset();
    theLanguage = saved;
}

TEST_F(MainWindowTest, FilesDroppedOnAListAreAddedToIt) {
    CKavrelDlg& w = Open();
    const std::string photo = Photo("a", 1);
    const std::string tone = dir.File("tone.wav");
    WriteToneWav(tone, 1.0);
    EXPECT_TRUE(w.DropFiles({photo}, w.photoList()->geometry().center()));
    EXPECT_TRUE(w.DropFiles({tone}, w.musicList()->geometry().center()));
    EXPECT_FALSE(w.DropFiles({photo}, w.Item(1021)->geometry().center()));
    EXPECT_EQ(w.project().photoCount(), 1);
    ASSERT_EQ(w.project().musicCount(), 1);
    EXPECT_GT(w.project().music()[0].length, 9'000'000);
}

TEST_F(MainWindowTest, ThePreviewBoxKeepsThePhotosAspect) {
    CKavrelDlg& w = Open();
    w.AddPhotoFiles({Photo("a", 1, 400, 100)});
    Select({0});
    w.OnShowClickedPhoto();
    QPixmap shown = w.ItemAs<QLabel>(1017)->pixmap();
    ASSERT_FALSE(shown.isNull());
    QImage image = shown.toImage();
    EXPECT_EQ(qGray(image.pixel(image.width() / 2, 1)), 0);  // a black bar above the wide photo
    EXPECT_GT(qGray(image.pixel(image.width() / 2, image.height() / 2)), 0);
}

TEST_F(MainWindowTest, HelpAndHomepageOpenTheGuide) {
    Open();
    Click(1067);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_TRUE(opened[0].ends_with("help/Introduction.htm"));
    EXPECT_TRUE(fs::exists(opened[0]));
    Click(1047);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_NE(opened[1].find("Introduction.htm"), std::string::npos);
}

}  // namespace
