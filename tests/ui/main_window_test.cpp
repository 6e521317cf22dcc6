// The main window, driven as a user would: lists, dialogs, Convert and Preview, language and font.

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "app/kavrel_dlg.h"
#include "app/media_file_types.h"
#include "app/settings_table.h"
#include "controls/menu_builder.h"
#include "engine/motion_choice.h"
#include "engine/output_format.h"
#include "engine/transition_catalogue.h"
#include "lang/control_id.h"
#include "lang/language.h"
#include "platform/shell/profile_store.h"
#include "player/qt_preview_renderers.h"
#include "platform/shell/qt_shell_dialogs.h"
#include "res/dialog_templates.h"
#include "res/menus.h"
#include "settings/options_page.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/media_reader.h"
#include "tests/support/recording_file_dialogs.h"
#include "tests/support/recording_message_boxes.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_media.h"
#include "tests/ui/main_window_fixture.h"

namespace fs = std::filesystem;

namespace {

class MainWindowTest : public MainWindowFixture {};

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
    RunProgram([&](CKavrelDlg& w) {
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
    });
}

TEST_F(MainWindowTest, DeletingAndMovingSelections) {
    RunProgram([&](CKavrelDlg& w) {
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
    });
}

TEST_F(MainWindowTest, MusicIsMeasuredAndListedInWholeSeconds) {
    RunProgram([&](CKavrelDlg& w) {
        const std::string tone = dir.File("tone.wav");
        WriteToneWav(tone, 2.9);
        files.answers.push_back({tone});
        Click(1007);
        ASSERT_EQ(w.musicList()->topLevelItemCount(), 1);
        EXPECT_EQ(w.musicList()->topLevelItem(0)->text(1), "2");
        EXPECT_EQ(files.requests[0].title, "Add background music to list");
        EXPECT_EQ(ReadText(store, settings::kLastAudioFolder), dir.path().string() + "/");
    });
}

TEST_F(MainWindowTest, PhotoPropertyAndDefaultsWithTheRefreshQuestion) {
    RunProgram([&](CKavrelDlg& w) {
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
    });
}

TEST_F(MainWindowTest, ConvertRefusals) {
    RunProgram([&](CKavrelDlg& w) {
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
    });
}

TEST_F(MainWindowTest, NoVideoCompressorAsksFirstAndNoEndsIt) {
    RunProgram([&](CKavrelDlg& w) {
        SmallAviShow(1, 1);
        w.project().output().useVideoCompressor = 0;
        boxes.answers.push_back(MessageAnswer::No);
        Click(1000);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_TRUE(boxes.shown[0].text.starts_with("You do not select a video compressor in Options dialog."));
        EXPECT_FALSE(w.project().run().converting);
        EXPECT_FALSE(fs::exists(w.project().output().path));
    });
}

TEST_F(MainWindowTest, AShowWithNothingToSeeIsRefusedBeforeAnythingIsWritten) {
    RunProgram([&](CKavrelDlg& w) {
        SmallAviShow(2, 0.0415);  // each photo a hair shorter than a frame
        const std::string old = dir.Write("show.avi", "an older video");
        const std::string why = "Nothing would be seen: every photo is shown for less than one frame";
        for (int button : {1000, 1019}) {
            boxes.shown.clear();
            Click(button);
            ASSERT_EQ(boxes.shown.size(), 1u) << button;
            EXPECT_TRUE(boxes.shown[0].text.starts_with(why)) << boxes.shown[0].text;
            EXPECT_FALSE(w.project().run().converting || w.project().run().previewing);
        }
        EXPECT_EQ(Slurp(old), "an older video");
    });
}

TEST_F(MainWindowTest, AContainerThatCannotHoldTheHeldPairTakesItsOwn) {
    RunProgram([&](CKavrelDlg& w) {
        SmallAviShow(1, 1);
        WriteToneWav(dir.File("tone.wav"), 1.0);
        w.AddMusicFiles({dir.File("tone.wav")});
        OutputSettings& o = w.project().output();
        o.format = kFormatOgm;  // as a settings file may hold it, with the DivX and ADPCM defaults
        o.path = dir.File("show.ogm");
        w.runDialog = [](TemplateDialog&) { return static_cast<int>(QDialog::Rejected); };
        Click(1000);
        ASSERT_EQ(boxes.shown.size(), 1u) << testing::PrintToString(boxes.Texts());
        EXPECT_TRUE(boxes.shown[0].text.starts_with("The OGM container cannot hold what DivX-compatible"))
            << boxes.shown[0].text;
        ASSERT_TRUE(w.project().run().converting) << testing::PrintToString(boxes.Texts());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !w.project().run().converting; }, 30000));
        VideoReadBack ogm = ReadVideoFile(o.path, {});
        EXPECT_EQ(ogm.videoCodec, "theora");
        EXPECT_EQ(ogm.audioCodec, "vorbis");
        // Kept: Options now names the pair that was written, and the next conversion says nothing.
        int theora = -1;
        ASSERT_TRUE(FindCompressorByName({boxes, nullptr}, true, "libtheora", &theora));
        EXPECT_EQ(ReadInt(store, settings::kVideoCompressor), theora);
        boxes.shown.clear();
        boxes.answers = {MessageAnswer::Yes};  // replace the file just written
        Click(1000);
        EXPECT_EQ(boxes.shown.size(), 1u) << testing::PrintToString(boxes.Texts());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !w.project().run().converting; }, 30000));
    });
}

TEST_F(MainWindowTest, YesToReplacingKeepsTheOldFileUntilTheNewOneIsComplete) {
    RunProgram([&](CKavrelDlg& w) {
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
        ASSERT_TRUE(WaitFor([&] { return !w.project().run().converting; }, 30000));
        EXPECT_EQ(ReadVideoFile(old, {}).frames, 24);
        for (const auto& entry : fs::directory_iterator(dir.path())) {
            EXPECT_FALSE(entry.path().filename().string().starts_with(".")) << entry.path();
        }
    });
}

TEST_F(MainWindowTest, AConversionRunsToTheEndAndThePictureIsWritten) {
    RunProgram([&](CKavrelDlg& w) {
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
    });
}

TEST_F(MainWindowTest, WmvWithoutMusicTakesTheSilentTrackAndMp4TakesH264) {
    RunProgram([&](CKavrelDlg& w) {
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
    });
}

TEST_F(MainWindowTest, AMissingSilentTrackIsReportedTwiceAndTheWmvHasNoSound) {
    RunProgram([&](CKavrelDlg& w) {
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
    }, dir.path().string());
}

TEST_F(MainWindowTest, StopInTheMiddleLeavesAFileThatPlays) {
    RunProgram([&](CKavrelDlg& w) {
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
    });
}

TEST_F(MainWindowTest, AnErrorEndsTheConversionAndSaysWhy) {
    RunProgram([&](CKavrelDlg& w) {
        SmallAviShow(30, 4);
        const std::string old = dir.Write("show.avi", "an older video");
        boxes.answers = {MessageAnswer::Yes};
        // A file size limit stands in for a full disk: the writing fails part way.
        bool started = false, ended = false;
        {
            FileSizeLimit full(16 * 1024);
            Click(1000);
            started = w.project().run().converting;
            ended = WaitFor([&] { return !w.project().run().converting; }, 30000);
        }
        ASSERT_TRUE(started) << testing::PrintToString(boxes.Texts());
        ASSERT_TRUE(ended);
        EXPECT_EQ(Status(), "The conversion failed; " + old + " is unchanged.");
        EXPECT_EQ(Slurp(old), "an older video");
        ASSERT_FALSE(boxes.shown.empty());
        EXPECT_NE(boxes.shown.back().text.find(old), std::string::npos) << boxes.shown.back().text;
        EXPECT_NE(boxes.shown.back().text.find(std::strerror(EFBIG)), std::string::npos) << boxes.shown.back().text;
        EXPECT_TRUE(w.Item(1006)->isEnabled());
    });
}

TEST_F(MainWindowTest, PreviewOnAndOffAndClosingIsRefusedMeanwhile) {
    RunProgram([&](CKavrelDlg& w) {
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
    });
}

// The player works while the main window runs modally: its menu opens on a right click sent
// through the window system, Pause and Play act, and its Close ends the preview.
TEST_F(MainWindowTest, ThePlayerTakesInputWhileTheMainWindowRuns) {
    RunProgram([&](CKavrelDlg& w) {
        SmallAviShow(1, 3);
        Click(1019);
        ASSERT_TRUE(w.project().run().previewing) << testing::PrintToString(boxes.Texts());
        QWidget* player = PlayerWindow();
        ASSERT_NE(player, nullptr);
        EXPECT_EQ(player->windowTitle(), "PREVIEW");
        const QRect work = player->screen()->availableGeometry();
        EXPECT_EQ(player->frameGeometry().topLeft(), work.topLeft() + QPoint(100, 5));

        std::map<int, bool> enabled;
        auto choose = [&](int command) {
            WhenMenuOpens([&enabled, command](QMenu* menu) {
                enabled.clear();
                for (QAction* a : menu->actions()) enabled[CommandId(a)] = a->isEnabled();
                ChooseMenuCommand(menu, command);
            });
            ClickThroughWindow(player, Qt::RightButton);
        };
        choose(ID_PREVIEW_PAUSE);
        EXPECT_FALSE(enabled[ID_PREVIEW_PLAY]);
        choose(ID_PREVIEW_PLAY);
        EXPECT_FALSE(enabled[ID_PREVIEW_PAUSE]) << "the first choice did not pause";
        EXPECT_TRUE(enabled[ID_PREVIEW_PLAY]);
        choose(ID_PREVIEW_CLOSE);
        ASSERT_TRUE(WaitFor([&] { return !w.project().run().previewing; }));
        EXPECT_EQ(w.ItemAs<QPushButton>(1019)->text(), "Preview");
        EXPECT_EQ(PlayerWindow(), nullptr);
    });
}

TEST_F(MainWindowTest, EscapeAndExitGoThroughTheCloseChecks) {
    RunProgram([&](CKavrelDlg& w) {
        LongShow();
        Click(1000);
        ASSERT_TRUE(w.project().run().converting);
        KeyThroughWindow(&w, Qt::Key_Escape);
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(boxes.Texts().back(), "Please first stop converting");
        Click(1054);
        EXPECT_TRUE(w.isVisible());
        EXPECT_TRUE(w.project().run().converting);
        Click(1000);
        Click(1054);
        EXPECT_FALSE(w.isVisible());
        EXPECT_EQ(ReadText(store, settings::kCurrentLanguage), "english");
    });
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
    RunProgram([&](CKavrelDlg& w) {
        const std::string photo = Photo("a", 1);
        const std::string tone = dir.File("tone.wav");
        WriteToneWav(tone, 1.0);
        EXPECT_TRUE(w.DropFiles({photo}, w.photoList()->geometry().center()));
        EXPECT_TRUE(w.DropFiles({tone}, w.musicList()->geometry().center()));
        EXPECT_FALSE(w.DropFiles({photo}, w.Item(1021)->geometry().center()));
        EXPECT_EQ(w.project().photoCount(), 1);
        ASSERT_EQ(w.project().musicCount(), 1);
        EXPECT_GT(w.project().music()[0].length, 9'000'000);
    });
}

TEST_F(MainWindowTest, ThePreviewBoxKeepsThePhotosAspect) {
    RunProgram([&](CKavrelDlg& w) {
        w.AddPhotoFiles({Photo("a", 1, 400, 100)});
        Select({0});
        w.OnShowClickedPhoto();
        QPixmap shown = w.ItemAs<QLabel>(1017)->pixmap();
        ASSERT_FALSE(shown.isNull());
        QImage image = shown.toImage();
        EXPECT_EQ(qGray(image.pixel(image.width() / 2, 1)), 0);  // a black bar above the wide photo
        EXPECT_GT(qGray(image.pixel(image.width() / 2, image.height() / 2)), 0);
    });
}

TEST_F(MainWindowTest, HelpAndHomepageOpenTheGuide) {
    RunProgram([&](CKavrelDlg&) {
        Click(1067);
        ASSERT_EQ(opened.size(), 1u);
        EXPECT_TRUE(opened[0].ends_with("help/Introduction.htm"));
        EXPECT_TRUE(fs::exists(opened[0]));
        Click(1047);
        ASSERT_EQ(opened.size(), 2u);
        EXPECT_NE(opened[1].find("Introduction.htm"), std::string::npos);
    });
}

}  // namespace

namespace {

// Through the real dialogs: Options, MP4 with H.264 and AAC, H.264's "Settings" page with crf 45, OK, OK.
void ChooseH264WithCrf45(QWidget* dialogWidget, const std::string& output) {
    auto& options = static_cast<TemplateDialog&>(*dialogWidget);
    auto choose = [&](int id, int index) {
        auto* list = options.ItemAs<QComboBox>(id);
        list->setCurrentIndex(index);
        emit list->activated(index);
    };
    choose(1093, 4);
    options.ItemAs<QLineEdit>(1022)->setText(QString::fromStdString(output));
    choose(1001, options.ItemAs<QComboBox>(1001)->findText("(libx264)", Qt::MatchEndsWith));
    choose(1002, options.ItemAs<QComboBox>(1002)->findText("(aac)", Qt::MatchEndsWith));
    WhenModalOpens(
        [](QWidget* pageWidget) {
            auto* page = dynamic_cast<OptionsPage*>(pageWidget);
            ASSERT_NE(page, nullptr);
            auto* crf = qobject_cast<QDoubleSpinBox*>(page->Editor("crf"));
            ASSERT_NE(crf, nullptr);
            crf->setValue(45);
            ClickThroughWindow(page->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok));
        },
        dialogWidget);
    ClickThroughWindow(options.Item(1053));
    ClickThroughWindow(options.Item(1074));
}

}  // namespace

// The codec's settings page changes the file it writes, and the choice outlives the program.
TEST_F(MainWindowTest, ACodecSettingReachesTheFileAndOutlivesARestart) {
    codecPages = std::make_unique<QtCodecConfigurePort>();
    const std::string output = dir.File("show.mp4");
    auto convert = [&](CKavrelDlg& w) {
        fs::remove(output);
        WhenModalOpens([](QWidget* filters) {  // an MP4 graph shows its filters before it runs
            ClickThroughWindow(static_cast<TemplateDialog*>(filters)->Item(IDCANCEL));
        });
        Click(1000);
        ASSERT_TRUE(w.project().run().converting) << testing::PrintToString(boxes.Texts());
        ASSERT_TRUE(WaitFor([&] { return !w.project().run().converting; }, 30000));
    };
    RunProgram([&](CKavrelDlg& w) {
        SmallAviShow(2, 1);
        WhenModalOpens([&](QWidget* d) { ChooseH264WithCrf45(d, output); });
        Click(1003);
        ASSERT_EQ(w.project().output().format, 4);
        convert(w);
    });
    EXPECT_NE(Slurp(output).find(" crf=45.0 "), std::string::npos) << "the page's crf did not reach x264";

    RunProgram([&](CKavrelDlg& w) {  // started again: the stored compressor keeps its settings
        SmallAviShow(2, 1);
        w.project().output().format = 4;
        w.project().output().path = output;
        convert(w);
    });
    EXPECT_NE(Slurp(output).find(" crf=45.0 "), std::string::npos) << "the crf was lost on restart";
}

// A photo and a music file renamed since they were added are asked for among the files of their
// kind, starting from the old name; the files located take their places.
TEST_F(MainWindowTest, AMissingPhotoOrMusicFileIsLocatedAndTakesItsPlace) {
    RunProgram([&](CKavrelDlg& w) {
        SmallAviShow(2, 1);
        const std::string tone = dir.File("a/tone.wav");
        WriteToneWav(tone, 1);
        w.AddMusicFiles({tone});
        const std::string moved = (dir.path() / "b" / "moved.png").string(), renamed = dir.File("b/song.wav");
        fs::rename(w.project().photos()[1].path, moved);
        fs::rename(tone, renamed);
        files.answers.push_back({moved});
        files.answers.push_back({renamed});
        Click(1000);
        const std::pair<std::string, std::string> anyFile{"Any Files (*.*)", "*.*;"};
        struct Asked {
            std::string title, name;
            std::pair<std::string, std::string> kind;
        };
        const Asked asked[] = {{"Where is p1.png now?", "p1.png", PhotoFileFilter()},
                               {"Where is tone.wav now?", "tone.wav", MusicFileFilter()}};
        ASSERT_EQ(files.requests.size(), 2u);
        for (std::size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(files.requests[i].title, asked[i].title);
            EXPECT_EQ(files.requests[i].fileName, asked[i].name);
            EXPECT_EQ(files.requests[i].filters, (std::vector{asked[i].kind, anyFile})) << asked[i].name;
            EXPECT_EQ(files.requests[i].startFolder, (dir.path() / "a").string() + "/");
        }
        EXPECT_EQ(w.project().photos()[1].path, moved);
        EXPECT_EQ(w.project().music()[0].path, renamed);
        EXPECT_EQ(w.photoList()->topLevelItem(1)->text(0), "moved.png");
        ASSERT_TRUE(w.project().run().converting) << testing::PrintToString(boxes.Texts());
        ASSERT_TRUE(WaitFor([&] { return !w.project().run().converting; }, 30000));
        VideoReadBack back = ReadVideoFile(w.project().output().path, {});
        EXPECT_EQ(back.decodeErrors, 0);
        EXPECT_EQ(back.frames, 48);
    });
}

// The window as a keyboard and mouse reach it: F1 opens the guide, Enter in a list presses no
// button, a right click on a button opens no popup while one on the window's background does.
TEST_F(MainWindowTest, KeysAndRightClicksGoWhereTheyBelong) {
    RunProgram([&](CKavrelDlg& w) {
        w.photoList()->setFocus();
        KeyThroughWindow(&w, Qt::Key_F1);
        ASSERT_EQ(opened.size(), 1u);
        EXPECT_TRUE(opened[0].ends_with("help/Introduction.htm"));
        KeyThroughWindow(&w, Qt::Key_Return);
        EXPECT_TRUE(files.requests.empty()) << "Enter pressed a button";
        EXPECT_TRUE(w.isVisible());

        bool popup = false;
        CloseMenuIfOpens(&popup, 500);
        ClickThroughWindow(w.Item(1006), Qt::RightButton);
        QTest::qWait(600);
        EXPECT_FALSE(popup) << "a right click on a button opened the popup";
        CloseMenuIfOpens(&popup, 5000);
        ClickThroughWindow(&w, Qt::RightButton, QPoint(w.width() - 5, w.height() / 2));
        EXPECT_TRUE(popup);
    });
}

// The lists are drawn with grid lines between their cells.
TEST_F(MainWindowTest, TheListsHaveGridLines) {
    RunProgram([&](CKavrelDlg& w) {
        w.AddPhotoFiles({Photo("a", 1), Photo("a", 2)});
        QTreeWidget* list = w.photoList();
        const QRect cell = list->visualItemRect(list->topLevelItem(0));
        const QImage shot = list->viewport()->grab().toImage();
        const QRgb line = list->palette().color(QPalette::Midlight).rgb();
        EXPECT_EQ(shot.pixel(cell.center().x(), cell.bottom()), line);
        EXPECT_EQ(shot.pixel(list->columnWidth(0) - 1, cell.center().y()), line);
    });
}

// The About box's program line takes the language file's program name and keeps the version, with
// the shipped language files as installed and with one that names the program otherwise.
TEST_F(MainWindowTest, TheAboutBoxNamesTheProgramFromTheLanguageFileAndKeepsTheVersion) {
    const CLanguage saved = theLanguage;
    fs::create_directories(dir.path() / "own" / "language");
    dir.Write("own/language/English.ini", "[DIALOG]\r\nIDD_PROGRAM_CAPTION=Kavrel Diashow\r\n");
    const std::string version = KAVREL_VERSION;
    struct Case {
        std::string root, language, line;
    };
    const Case cases[] = {
        {(dir.path() / "own").string(), "English", "Kavrel Diashow " + version + " - photos and music into one video"},
        {KAVREL_SOURCE_DIR, "English", "Kavrel " + version + " - photos and music into one video"},
        {KAVREL_SOURCE_DIR, "German", "Kavrel " + version + " - Fotos und Musik in einem Video"},
        {KAVREL_SOURCE_DIR, "Russian", "Kavrel " + version + " - фотографии и музыка в одном видео"},
    };
    RunProgram([&](CKavrelDlg& w) {
        for (const Case& c : cases) {
            ASSERT_EQ(theLanguage.Init(c.root, c.language), 1) << c.root;
            std::string line;
            WhenModalOpens([&](QWidget* about) {
                line = static_cast<TemplateDialog*>(about)->ItemAs<QLabel>(1064)->text().toStdString();
                static_cast<TemplateDialog*>(about)->done(QDialog::Accepted);
            }, &w);
            w.OnAbout();
            EXPECT_EQ(line, c.line) << c.language;
        }
    });
    theLanguage = saved;
}

// Clear stays usable while previewing; Preview then still stops the preview, and the window closes.
TEST_F(MainWindowTest, APreviewStopsAfterTheListsWereCleared) {
    RunProgram([&](CKavrelDlg& w) {
        SmallAviShow(1, 3);
        Click(1019);
        ASSERT_TRUE(w.project().run().previewing);
        Click(1030);
        EXPECT_EQ(w.project().photoCount(), 0);
        Click(1019);
        EXPECT_FALSE(w.project().run().previewing);
        EXPECT_EQ(PlayerWindow(), nullptr);
        // Emptying both lists asks about the unsaved show (answered No), and nothing else.
        EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Save changes to the show?"});
        EXPECT_TRUE(w.CanClose());
    });
}

// Motion through the windows: the default transition dialog's column and its refresh question,
// the list's Motion column, the photo property dialog keeping a photo's motion, the show's
// framing, its length on the durations' heading, and the stored fade-out read at start.
TEST_F(MainWindowTest, MotionFramingAndFadeOutThroughTheWindows) {
    WriteMusicFadeOut(store, 3);
    RunProgram([&](CKavrelDlg& w) {
        EXPECT_DOUBLE_EQ(w.project().musicFadeOutSec(), 3);
        w.AddPhotoFiles({Photo("a", 1), Photo("a", 2)});
        QTreeWidget* list = w.photoList();
        ASSERT_EQ(list->columnCount(), 5);
        EXPECT_EQ(list->headerItem()->text(4), "Motion");
        EXPECT_EQ(list->topLevelItem(0)->text(4), "None");
        EXPECT_EQ(list->headerItem()->toolTip(1), "Show length: 0:16");

        WhenModalOpens([](QWidget* d) {
            auto& dialog = static_cast<TemplateDialog&>(*d);
            dialog.ItemAs<QRadioButton>(1113)->click();
            dialog.ItemAs<QComboBox>(1114)->setCurrentIndex(static_cast<int>(MotionKind::PanUp) - 1);
            dialog.ItemAs<QComboBox>(1120)->setCurrentIndex(static_cast<int>(Framing::Fill));
            ClickThroughWindow(dialog.Item(1076));
        });
        boxes.answers.push_back(MessageAnswer::Yes);
        Click(1016);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].caption, "Refresh photo list");
        EXPECT_EQ(list->topLevelItem(1)->text(4), "Pan up");
        EXPECT_EQ(w.project().defaults().framing, Framing::Fill);
        EXPECT_DOUBLE_EQ(w.project().musicFadeOutSec(), 3);

        Select({0});
        WhenModalOpens([](QWidget* d) { ClickThroughWindow(static_cast<TemplateDialog*>(d)->Item(1082)); });
        Click(1033);
        EXPECT_EQ(w.project().photos()[0].motion, MotionKind::PanUp);  // confirming keeps it
        WhenModalOpens([](QWidget* d) { ClickThroughWindow(static_cast<TemplateDialog*>(d)->Item(1076)); });
        Click(1016);
        EXPECT_EQ(w.project().defaults().framing, Framing::Fill);  // and so does this dialog
    });
}

// Captions are the program's own texts: nothing is appended to them, and only the application's
// own message box shows the program's name.
TEST(QtMessageBoxes, CaptionsAreExactlyTheirTexts) {
    QtMessageBoxes boxes;
    QWidget owner;
    owner.show();
    std::vector<QString> captions;
    auto answer = [&captions] {
        WhenModalOpens([&captions](QWidget* box) {
            captions.push_back(box->windowTitle());
            static_cast<QDialog*>(box)->accept();
        });
    };
    answer();
    boxes.AppMessage("Please stop Preview first!");
    answer();
    boxes.Show({MessageOwner::MainWindow, "Please select an item in the list first", "", MessageButtons::Ok,
                MessageIcon::None});
    answer();
    boxes.Show({MessageOwner::None, "x exists. Do you want to replace it?", "Warning", MessageButtons::YesNo,
                MessageIcon::Warning});
    EXPECT_EQ(captions, (std::vector<QString>{"Kavrel", "", "Warning"}));
    EXPECT_TRUE(QGuiApplication::applicationDisplayName() == QCoreApplication::applicationName());
}
