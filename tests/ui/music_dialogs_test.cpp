// The music's say in the window: a song's property dialog (its trim, volume and fade-in, and the
// ways to it), the music mix in the Transition dialog, and Fit photos to the beat.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <cmath>

#include "controls/data_exchange.h"
#include "lang/control_id.h"
#include "res/menus.h"
#include "settings/music_property_dialog.h"
#include "tests/ui/main_window_fixture.h"

namespace {

constexpr int kStart = 1183, kEnd = 1186, kLength = 1188, kVolume = 1190, kFadeIn = 1193, kLevelLine = 1196,
              kMusicOk = 1197;
constexpr int kEvenLoudness = 1154, kTarget = 1156, kJoin = 1159, kTransitionOk = 1076;
constexpr REFERENCE_TIME kSecond = 10000000;

void Press(TemplateDialog& d, int id) { QTest::mouseClick(d.ItemAs<QAbstractButton>(id), Qt::LeftButton); }
void Write(TemplateDialog& d, int id, const QString& text) { d.ItemAs<QLineEdit>(id)->setText(text); }
std::string Shown(TemplateDialog& d, int id) {
    if (auto* edit = d.ItemAs<QLineEdit>(id)) return edit->text().toStdString();
    return d.ItemAs<QLabel>(id)->text().toStdString();
}

class MusicWindowTest : public MainWindowFixture {
protected:
    // A song of `seconds` in the music list, selected.
    void AddSong(CKavrelDlg& w, double seconds) {
        const std::string song = dir.File("song" + std::to_string(w.project().musicCount()) + ".wav");
        WriteToneWav(song, seconds);
        w.AddMusicFiles({song});
        w.musicList()->setCurrentItem(w.musicList()->topLevelItem(w.project().musicCount() - 1));
    }
    std::string ListedSeconds(CKavrelDlg& w, int row) {
        return w.musicList()->topLevelItem(row)->text(1).toStdString();
    }
};

TEST_F(MusicWindowTest, ADoubleClickEditsTheSongAsOneStepThatUndoes) {
    RunProgram([&](CKavrelDlg& w) {
        AddSong(w, 6);
        std::vector<std::string> seen;
        w.runDialog = [&](TemplateDialog& d) {
            EXPECT_EQ(d.templateId(), IDD_DIALOG_MUSIC_PROPERTY);
            d.show();
            seen = {Shown(d, kStart), Shown(d, kEnd), Shown(d, kLength)};
            Write(d, kStart, "1.5");
            Write(d, kEnd, "4.5");
            Write(d, kVolume, "-6");
            Write(d, kFadeIn, "2");
            Press(d, kMusicOk);
            return d.result();
        };
        QWidget* rows = w.musicList()->viewport();
        const QPoint at = w.musicList()->visualItemRect(w.musicList()->topLevelItem(0)).center();
        QTest::mouseDClick(w.windowHandle(), Qt::LeftButton, Qt::NoModifier, rows->mapTo(&w, at));
        EXPECT_EQ(seen, (std::vector<std::string>{"0", "6", "The file lasts 6 s; an empty End plays it to its end."}));
        const SongSettings edited{15 * kSecond / 10, 45 * kSecond / 10, -6, 2};
        EXPECT_EQ(w.project().music()[0].song, edited);
        EXPECT_EQ(ListedSeconds(w, 0), "3") << "the list shows what plays";
        EXPECT_EQ(w.MenuBarAction(IDM_EDIT_UNDO)->text().toStdString(), "&Undo Change Music Properties");
        w.OnUndo();
        EXPECT_EQ(w.project().music()[0].song, SongSettings{});
        EXPECT_EQ(ListedSeconds(w, 0), "6");
        w.OnRedo();
        EXPECT_EQ(w.project().music()[0].song, edited);
    });
}

// Return on the list, the Edit menu and the list's popup reach the same dialog; a cancelled or
// unchanged dialog is no step.
TEST_F(MusicWindowTest, EveryWayToTheSongsDialogOpensIt) {
    RunProgram([&](CKavrelDlg& w) {
        AddSong(w, 3);
        AddSong(w, 4);
        std::vector<std::string> opened;  // the file each dialog showed
        bool confirm = false;
        w.runDialog = [&](TemplateDialog& d) {
            opened.push_back(static_cast<CMusicProperty&>(d).m_strFileName);
            if (!confirm) return int(QDialog::Rejected);
            Press(d, kMusicOk);
            return d.result();
        };
        w.musicList()->setFocus();
        KeyThroughWindow(w.musicList(), Qt::Key_Return);
        w.MenuBarAction(IDM_EDIT_MUSIC_PROPERTIES)->trigger();
        confirm = true;
        WhenMenuOpens([](QMenu* menu) { ChooseMenuCommand(menu, IDM_MUSIC_PROPERTIES); });
        ClickThroughWindow(w.musicList()->viewport(), Qt::RightButton,
                           w.musicList()->visualItemRect(w.musicList()->topLevelItem(1)).center());
        EXPECT_EQ(opened, std::vector<std::string>(3, w.project().music()[1].path));
        EXPECT_EQ(w.UndoStepText(), "Add 1 Music File") << "an unchanged song is no step";
    });
}

TEST(MusicPropertyDialog, TakesTheSongAsTypedAndRefusesWhatCannotPlay) {
    RecordingMessageBoxes boxes;
    struct Case {
        const char* what;
        QString start, end, volume, fadeIn;
        REFERENCE_TIME length;
        std::string message;  // empty: taken
        SongSettings taken;
    };
    const REFERENCE_TIME six = 6 * kSecond;
    const Case cases[] = {
        {"a trim", "1", "5", "-3", "1.5", six, "", {kSecond, 5 * kSecond, -3, 1.5}},
        {"an empty end plays to the end", "2", "", "0", "0", six, "", {2 * kSecond, 0, 0, 0}},
        {"the file's length is its end", "0", "6", "20", "60", six, "", {0, 0, 20, 60}},
        {"any end when the length is unknown", "0", "700", "-40", "0", -1, "", {0, 700 * kSecond, -40, 0}},
        {"start after end", "4", "2", "0", "0", six, "The start (4 s) must come before the end (2 s).", {}},
        {"start at end", "3", "3", "0", "0", six, "The start (3 s) must come before the end (3 s).", {}},
        {"start beyond the file", "7", "", "0", "0", six, "The file lasts 6 s: 7 s lies beyond its end.", {}},
        {"end beyond the file", "0", "6.5", "0", "0", six, "The file lasts 6 s: 6.5 s lies beyond its end.", {}},
        {"a negative start", "-1", "", "0", "0", six, "Enter a number between 0 and 86400.", {}},
        {"no number", "x", "", "0", "0", six, NotANumberMessage(), {}},
        {"too loud", "0", "", "21", "0", six, "Enter a number between -40 and 20.", {}},
        {"too soft", "0", "", "-41", "0", six, "Enter a number between -40 and 20.", {}},
        {"too long a fade-in", "0", "", "0", "61", six, "Enter a number between 0 and 60.", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        boxes.shown.clear();
        CMusicProperty d(boxes);
        d.m_fileLength = c.length;
        d.Prepare();
        d.show();
        Write(d, kStart, c.start);
        Write(d, kEnd, c.end);
        Write(d, kVolume, c.volume);
        Write(d, kFadeIn, c.fadeIn);
        Press(d, kMusicOk);
        if (c.message.empty()) {
            EXPECT_EQ(d.result(), QDialog::Accepted);
            EXPECT_TRUE(boxes.shown.empty()) << testing::PrintToString(boxes.Texts());
            EXPECT_EQ(d.m_song, c.taken);
        } else {
            EXPECT_NE(d.result(), QDialog::Accepted);
            EXPECT_EQ(boxes.Texts(), std::vector<std::string>{c.message});
        }
    }
}

TEST(MusicPropertyDialog, ShowsTheMeasuredLevelOnlyWhenGiven) {
    RecordingMessageBoxes boxes;
    CMusicProperty d(boxes);
    d.m_fileLength = -1;
    d.m_song = {kSecond / 2, 0, -2.5, 0};
    d.Prepare();
    d.show();
    EXPECT_EQ(Shown(d, kStart), "0.5");
    EXPECT_EQ(Shown(d, kEnd), "") << "no length, no end: it plays to the file's end";
    EXPECT_EQ(Shown(d, kVolume), "-2.5");
    EXPECT_FALSE(d.Item(kLevelLine)->isVisible());
    d.SetMeasuredLevel("-14.2 LUFS");
    EXPECT_TRUE(d.Item(kLevelLine)->isVisible());
    EXPECT_EQ(Shown(d, kLevelLine), "-14.2 LUFS");
}

TEST_F(MusicWindowTest, TheTransitionDialogSetsTheMusicMixInItsStep) {
    RunProgram([&](CKavrelDlg& w) {
        struct Case {
            const char* what;
            bool even;
            QString target, join;
            std::string message;  // empty: taken
            MusicMix mix;
        };
        const Case cases[] = {
            {"a target and a long join", true, "-20", "3.5", "", {true, -20, 3.5}},
            {"no evening out keeps the target", false, "-99", "10", "", {false, -20, 10}},
            {"too quiet a target", true, "-37", "1", "Enter a number between -36 and -6.", {}},
            {"too short a join", true, "-16", "0.1", "Enter a number between 0.2 and 10.", {}},
        };
        const MusicMix first = w.project().musicMix();
        EXPECT_EQ(first, (MusicMix{true, -16, 0.2})) << "a new show evens out the loudness";
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            boxes.shown.clear();
            const MusicMix before = w.project().musicMix();
            bool targetUsable = false;
            w.runDialog = [&](TemplateDialog& d) {
                auto* even = d.ItemAs<QCheckBox>(kEvenLoudness);
                if (even->isChecked() != c.even) even->click();
                targetUsable = d.Item(kTarget)->isEnabled();
                Write(d, kTarget, c.target);
                Write(d, kJoin, c.join);
                Press(d, kTransitionOk);
                return d.result();
            };
            w.OnTransitionSettings();
            EXPECT_EQ(targetUsable, c.even);
            if (c.message.empty()) {
                EXPECT_TRUE(boxes.shown.empty()) << testing::PrintToString(boxes.Texts());
                EXPECT_EQ(w.project().musicMix(), c.mix);
            } else {
                EXPECT_EQ(boxes.Texts(), std::vector<std::string>{c.message});
                EXPECT_EQ(w.project().musicMix(), before);
            }
        }
        EXPECT_EQ(w.UndoStepText(), "Change Transition Settings");
        w.OnUndo();
        w.OnUndo();
        EXPECT_EQ(w.project().musicMix(), first);
    });
}

// Each refusal in the order a show is built, then a fit: one step, every later photo's transition
// starting on a beat and the last photo ending with the music.
TEST_F(MusicWindowTest, FitPhotosToTheBeatSaysWhyItCannotAndFitsAsOneStep) {
    RunProgram([&](CKavrelDlg& w) {
        std::vector<double> heard;
        bool readable = true;
        w.beatsOf = [&](const std::string&, std::vector<double>* beats) {
            *beats = heard;
            return readable;
        };
        const std::string unmeasured = dir.File("unmeasured.wav");
        struct Case {
            const char* what;
            std::function<void()> change;
            std::string message;
        };
        const Case cases[] = {
            {"no photos", [] {}, "Add photos first: there is nothing to fit to the beat."},
            {"no music", [&] { w.AddPhotoFiles({Photo("a", 1), Photo("a", 2), Photo("a", 3)}); },
             "Add music first: there is no beat to fit the photos to."},
            {"a length not known", [&] { w.project().AppendMusic(unmeasured, -1); },
             "The length of the music file unmeasured.wav is not known, so the photos cannot be fitted to the beat."},
            {"a file not read", [&] { w.project().RemoveMusic(0); AddSong(w, 6); readable = false; },
             "The music file song0.wav cannot be read, so its beat is not known. Nothing was changed."},
            {"no beat", [&] { readable = true; }, "No beat was found in the music. Nothing was changed."},
            {"too few beats", [&] { heard = {1.0, 1.2}; },
             "There are too many photos for the music: its 2 beats cannot give each of the 3 photos a beat of its own "
             "and at least 0.5 s. Remove photos or add music; nothing was changed."},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            boxes.shown.clear();
            c.change();
            const std::vector<PhotoItem> before = w.project().photos();
            w.MenuBarAction(IDM_EDIT_FIT_TO_BEAT)->trigger();
            EXPECT_EQ(boxes.Texts(), std::vector<std::string>{c.message});
            EXPECT_EQ(w.project().photos(), before);
        }

        boxes.shown.clear();
        for (int i = 1; i <= 11; ++i) heard.push_back(0.5 * i);
        const std::vector<PhotoItem> before = w.project().photos();
        WhenMenuOpens([](QMenu* menu) { ChooseMenuCommand(menu, IDM_SHOW_FIT_TO_BEAT); });
        ClickThroughWindow(&w, Qt::RightButton, QPoint(w.width() - 2, w.height() - 2));
        EXPECT_TRUE(boxes.shown.empty()) << testing::PrintToString(boxes.Texts());
        EXPECT_EQ(w.UndoStepText(), "Fit Photos to the Beat");
        double start = -before[0].transitionDurationSec / 2;  // the show starts half the first transition early
        for (const PhotoItem& photo : w.project().photos()) {
            if (&photo != &w.project().photos().front()) {
                EXPECT_NEAR(std::remainder(start, 0.5), 0, 0.001) << "a transition starts off the beat at " << start;
            }
            start += photo.durationSec;
        }
        EXPECT_NEAR(start + before[0].transitionDurationSec / 2, 6, 0.001) << "the last photo ends with the music";
        w.OnUndo();
        EXPECT_EQ(w.project().photos(), before);
    });
}

}  // namespace
