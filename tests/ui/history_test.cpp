// The main window's history: each command that changes the show is undone and redone exactly,
// lists, order, selection and settings included.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include "app/settings_table.h"
#include "engine/output_format.h"
#include "tests/support/media_reader.h"
#include "tests/ui/main_window_fixture.h"

namespace {

class HistoryTest : public MainWindowFixture {
  protected:
    // What a user can see of the show, and what it keeps in the settings file.
    struct Seen {
        std::vector<PhotoItem> photos;
        std::vector<MusicItem> music;
        std::vector<std::string> rows;
        std::vector<int> photoSelection, musicSelection;
        PhotoDefaults defaults;
        OutputSettings output;
        StoredSettings transitionSettings, optionSettings;
        std::string status;
        bool operator==(const Seen&) const = default;
    };

    Seen Now(CKavrelDlg& w) {
        Seen seen{w.project().photos(),
                  w.project().music(),
                  {},
                  Selected(),
                  {},
                  w.project().defaults(),
                  w.project().output(),
                  StoredSettings::Read(store, kTransitionDialogSettings),
                  StoredSettings::Read(store, kOptionsDialogSettings),
                  Status()};
        for (QTreeWidget* list : {w.photoList(), w.musicList()}) {
            for (int i = 0; i < list->topLevelItemCount(); ++i) {
                seen.rows.push_back(list->topLevelItem(i)->text(0).toStdString() +
                                    list->topLevelItem(i)->text(1).toStdString());
                if (list == w.musicList() && list->topLevelItem(i)->isSelected())
                    seen.musicSelection.push_back(i);
            }
        }
        return seen;
    }

    // Four photos of folder a, the second and third selected, and a tone of 8 s.
    void FourPhotosAndATone(CKavrelDlg& w) {
        w.AddPhotoFiles({Photo("a", 0), Photo("a", 1), Photo("a", 2), Photo("a", 3)});
        const std::string tone = dir.File("a/tone.wav");
        WriteToneWav(tone, 8);
        w.AddMusicFiles({tone});
        Select({1, 2});
    }

    static int Confirm(TemplateDialog& d, int okId,
                       const std::function<void(TemplateDialog&)>& fill) {
        d.show();
        fill(d);
        QTest::mouseClick(d.ItemAs<QAbstractButton>(okId), Qt::LeftButton);
        return d.result();
    }
};

struct CommandCase {
    const char* step;  // the name the history gives it
    std::function<void(CKavrelDlg&)> run;
};

TEST_F(HistoryTest, EachCommandIsUndoneAndRedoneExactly) {
    const CommandCase cases[] = {
        {"Add 2 Photos",
         [this](CKavrelDlg&) {
             files.answers.push_back({Photo("b", 7), Photo("b", 8)});
             Click(1006);
         }},
        {"Add 1 Music File",
         [this](CKavrelDlg& w) {
             const std::string song = dir.File("b/song.wav");
             WriteToneWav(song, 3);
             w.AddMusicFiles({song}, 0);
         }},
        {"Remove 2 Photos", [this](CKavrelDlg&) { Click(1029); }},
        {"Clear Music", [this](CKavrelDlg&) { Click(1039); }},
        {"Move 2 Photos", [this](CKavrelDlg&) { Click(1032); }},
        {"Move 1 Photo", [](CKavrelDlg& w) { w.MoveRows(true, {0}, 4); }},
        {"Change Photo Properties",
         [](CKavrelDlg& w) {
             w.runDialog = [](TemplateDialog& d) {
                 return Confirm(d, 1082,
                                [](TemplateDialog& p) { p.ItemAs<QLineEdit>(1036)->setText("5"); });
             };
             w.OnPhotoProperty();
         }},
        {"Fit Photos to the Music", [](CKavrelDlg& w) { w.OnFitToMusic(); }},
        {"Change Transition Settings",
         [this](CKavrelDlg& w) {
             w.runDialog = [](TemplateDialog& d) {
                 return Confirm(d, 1076,
                                [](TemplateDialog& s) { s.ItemAs<QLineEdit>(1010)->setText("6"); });
             };
             boxes.answers.push_back(MessageAnswer::Yes);  // refresh the photo list
             Click(1016);
         }},
        {"Change Options",
         [this](CKavrelDlg& w) {
             const std::string other = dir.File("b/other.wmv");
             w.runDialog = [other](TemplateDialog& d) {
                 return Confirm(d, 1074, [&](TemplateDialog& o) {
                     o.ItemAs<QLineEdit>(1022)->setText(QString::fromStdString(other));
                 });
             };
             Click(1003);
         }},
        {"Locate Missing Files",
         [this](CKavrelDlg& w) {
             const std::string moved = dir.File("b/moved.png");
             std::filesystem::rename(w.project().photos()[3].path, moved);
             files.answers.push_back({moved});
             w.OnPreview();
             if (w.project().run().previewing) w.OnPreview();
         }},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.step);
        RunProgram([&](CKavrelDlg& w) {
            FourPhotosAndATone(w);
            const Seen before = Now(w);
            c.run(w);
            const Seen done = Now(w);
            EXPECT_FALSE(done == before);
            EXPECT_EQ(w.UndoStepText(), c.step);
            w.OnUndo();
            EXPECT_TRUE(Now(w) == before);
            EXPECT_EQ(w.RedoStepText(), c.step);
            w.OnRedo();
            EXPECT_TRUE(Now(w) == done);
        });
        files.answers.clear();
        boxes.shown.clear();
    }
}

TEST_F(HistoryTest, KeysUndoAndRedoManyStepsAndUndoingBackToTheSavedShowLeavesNothingToSave) {
    RunProgram([&](CKavrelDlg& w) {
        FourPhotosAndATone(w);
        files.answers.push_back({dir.File("show.kavrel")});
        ASSERT_TRUE(w.OnSaveShowAs());
        Click(1029);
        EXPECT_TRUE(w.ShowChanged());
        QTest::keyClick(w.windowHandle(), Qt::Key_Z, Qt::ControlModifier);
        EXPECT_FALSE(w.ShowChanged());
        EXPECT_EQ(Selected(), (std::vector<int>{1, 2}));
        QTest::keyClick(w.windowHandle(), Qt::Key_Y, Qt::ControlModifier);
        EXPECT_EQ(w.project().photoCount(), 2);
        QTest::keyClick(w.windowHandle(), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(w.windowHandle(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(w.project().photoCount(), 2);
        for (int i = 0; i < 150; ++i) w.MoveRows(true, {0}, 2);
        int undone = 0;
        for (; w.CanUndo(); ++undone) w.OnUndo();
        EXPECT_GE(undone, 150);
        EXPECT_EQ(w.project().photoCount(), 0);  // back to before the first step
        w.OnRedo();
        ASSERT_TRUE(w.OpenShow(dir.File("show.kavrel")));  // "Save changes?": No, by default
        EXPECT_FALSE(w.CanUndo());
        EXPECT_FALSE(w.CanRedo());
    });
}

TEST_F(HistoryTest, ConvertingLeavesTheHistoryAloneAndItsSilentTrackIsNoStep) {
    RunProgram([&](CKavrelDlg& w) {
        LongShow();
        w.project().output().format =
            kFormatWmv;  // which takes the silent track when there is no music
        w.project().output().path = dir.File("show.wmv");
        Select({0});
        Click(1029);
        Click(1000);
        ASSERT_TRUE(w.project().run().converting) << testing::PrintToString(boxes.Texts());
        const int photos = w.project().photoCount();
        w.OnUndo();
        EXPECT_EQ(w.project().photoCount(), photos);
        Click(1000);  // stop
        EXPECT_EQ(w.project().musicCount(), 0);
        EXPECT_EQ(w.UndoStepText(), "Remove 1 Photo");
        w.OnUndo();
        EXPECT_EQ(w.project().photoCount(), photos + 1);
        w.NewShow();
        EXPECT_FALSE(w.CanRedo());
    });
}

}  // namespace
