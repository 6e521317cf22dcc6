// The main window's menu bar, recent shows, the caption's "*", the summary line and rows dragged
// in the lists, run as the program runs them.

#include <gtest/gtest.h>

#include <QFrame>
#include <QMenu>
#include <QMimeData>
#include <QMenuBar>
#include <QTest>
#include <filesystem>

#include "lang/language.h"
#include "res/dialog_templates.h"
#include "res/menus.h"
#include "tests/ui/main_window_fixture.h"

namespace {

class EditorTest : public MainWindowFixture {
protected:
    void Choose(CKavrelDlg& w, int command) {
        QAction* action = w.MenuBarAction(command);
        ASSERT_NE(action, nullptr) << command;
        action->trigger();
    }
    void Keys(CKavrelDlg& w, const QKeySequence& keys) {
        QTest::keySequence(w.windowHandle(), keys);
    }
    std::vector<int> dialogs;  // the templates of the dialogs the commands opened
    void RecordDialogs(CKavrelDlg& w) {
        w.runDialog = [this](TemplateDialog& d) {
            dialogs.push_back(d.templateId());
            return static_cast<int>(QDialog::Rejected);
        };
    }
};

TEST_F(EditorTest, EachItemRunsTheCommandItMirrors) {
    RunProgram([&](CKavrelDlg& w) {
        RecordDialogs(w);
        w.AddPhotoFiles({Photo("a", 1)});
        Select({0});
        struct Case {
            int command;
            std::function<bool()> ran;
        };
        const std::size_t requests = files.requests.size();
        const Case cases[] = {
            {IDM_SHOW_ADD_PHOTOS, [&] { return files.requests.size() == requests + 1; }},
            {IDM_SHOW_ADD_MUSIC, [&] { return files.requests.size() == requests + 2; }},
            {IDM_FILE_OPEN, [&] { return files.requests.back().title == "Open show"; }},
            {IDM_SHOW_TRANSITION, [&] { return dialogs.back() == IDD_DIALOG_TRANSITION_SETTINGS; }},
            {IDM_SHOW_OPTIONS, [&] { return dialogs.back() == IDD_DIALOG_OUTPUT_OPTIONS; }},
            {IDM_EDIT_PHOTO_PROPERTIES, [&] { return dialogs.back() == IDD_DIALOG_CHANGE_PHOTO; }},
            {IDM_SHOW_ADD_TITLE, [&] { return dialogs.back() == IDD_DIALOG_TITLE_CARD; }},
            {IDM_SHOW_CAPTIONS, [&] { return dialogs.back() == IDD_DIALOG_CAPTION_STYLE; }},
            {IDM_HELP_ABOUT, [&] { return dialogs.back() == IDD_ABOUTBOX; }},
            {IDM_HELP_GUIDE, [&] { return !opened.empty() && opened.back().ends_with("Introduction.htm"); }},
            {IDM_VIEW_FONT, [&] { return files.fontRequests == 1; }},
            {IDM_VIEW_THUMBNAILS, [&] { return !w.ThumbnailsShown() && !w.MenuBarAction(IDM_VIEW_THUMBNAILS)->isChecked(); }},
            {IDM_EDIT_FIT_TO_MUSIC, [&] { return boxes.shown.size() == 1; }},  // no music: said why
            {IDM_EDIT_FIT_TO_BEAT, [&] { return boxes.shown.size() == 2; }},
        };
        boxes.answers.push_back(MessageAnswer::No);  // Open asks about the unsaved photo first
        for (const Case& c : cases) {
            Choose(w, c.command);
            EXPECT_TRUE(c.ran()) << c.command << " " << testing::PrintToString(boxes.Texts());
            if (c.command == IDM_FILE_OPEN) boxes.shown.clear();
        }
        // The shortcuts of the menu bar reach it from the window.
        Keys(w, QKeySequence(Qt::Key_F1));
        EXPECT_EQ(opened.size(), 2u);
        Keys(w, QKeySequence(Qt::CTRL | Qt::Key_A));
        EXPECT_EQ(Selected(), std::vector<int>{0});
        Keys(w, QKeySequence(Qt::Key_Delete));
        EXPECT_EQ(w.project().photoCount(), 0) << "Delete removes the selected rows";
        EXPECT_EQ(w.MenuBarAction(IDM_EDIT_UNDO)->text().toStdString(), "&Undo Remove 1 Photo");
        EXPECT_FALSE(w.MenuBarAction(IDM_EDIT_REDO)->isEnabled());
        Keys(w, QKeySequence(Qt::CTRL | Qt::Key_Z));
        EXPECT_EQ(w.project().photoCount(), 1);
        EXPECT_EQ(w.MenuBarAction(IDM_EDIT_REDO)->text().toStdString(), "&Redo Remove 1 Photo");
        Keys(w, QKeySequence(Qt::CTRL | Qt::Key_Q));
        EXPECT_FALSE(w.isVisible());
    });
}

TEST_F(EditorTest, TheWindowGrowsByTheBarAndTheControlsKeepTheirPlaces) {
    CKavrelDlg& w = Open();
    const int bar = w.menuBar()->height();
    EXPECT_GT(bar, 0);
    EXPECT_EQ(w.menuBar()->width(), w.width());
    const DialogTemplate& t = FindDialogTemplate(IDD_KAVREL_DIALOG);
    for (const ControlTemplate& c : t.controls) {
        if (c.id == 0) continue;
        const QPoint expected = TemplateDialog::DialogUnitsToPixels(w.font(), c.x, c.y) + QPoint(0, bar);
        EXPECT_EQ(w.Item(c.id)->pos(), expected) << c.id;
    }
    const QWidget* status = w.Item(1021);
    EXPECT_GT(w.showSummary()->y(), status->y() + status->height() - 1) << "the summary is below the status line";
    EXPECT_LE(w.showSummary()->geometry().bottom(), w.height());
}

TEST_F(EditorTest, EditingItemsWaitWhileConverting) {
    RunProgram([&](CKavrelDlg& w) {
        LongShow();
        Click(1000);
        ASSERT_TRUE(w.project().run().converting);
        for (int command : {IDM_SHOW_ADD_PHOTOS, IDM_SHOW_ADD_MUSIC, IDM_SHOW_ADD_TITLE, IDM_SHOW_TRANSITION,
                            IDM_SHOW_CAPTIONS, IDM_SHOW_OPTIONS, IDM_SHOW_PREVIEW, IDM_EDIT_DELETE,
                            IDM_EDIT_PHOTO_PROPERTIES, IDM_EDIT_FIT_TO_MUSIC, IDM_EDIT_MUSIC_PROPERTIES,
                            IDM_EDIT_FIT_TO_BEAT})
            EXPECT_FALSE(w.MenuBarAction(command)->isEnabled()) << command;
        EXPECT_TRUE(w.MenuBarAction(IDM_FILE_CONVERT)->isEnabled()) << "it stops the conversion, as Convert does";
        Choose(w, IDM_FILE_CONVERT);
        EXPECT_FALSE(w.project().run().converting);
        EXPECT_TRUE(w.MenuBarAction(IDM_SHOW_ADD_PHOTOS)->isEnabled());
    });
}

TEST_F(EditorTest, OpenRecentListsTheLastShowsAndReopensOne) {
    RunProgram([&](CKavrelDlg& w) {
        std::vector<std::string> shows;
        for (int i = 0; i < 3; ++i) {
            w.AddPhotoFiles({Photo("a", i)});
            files.answers.push_back({dir.File("show" + std::to_string(i))});
            ASSERT_TRUE(w.OnSaveShowAs());
            shows.push_back(w.showFile());
        }
        std::filesystem::remove(shows[0]);
        QMenu* recent = w.MenuBarAction(IDM_FILE_RECENT)->menu();
        emit recent->aboutToShow();
        const QList<QAction*> items = recent->actions();
        ASSERT_EQ(items.size(), 5);  // three shows, a separator, Clear
        EXPECT_TRUE(items[0]->text().endsWith(QString::fromStdString(shows[2])));
        EXPECT_TRUE(items[1]->text().endsWith(QString::fromStdString(shows[1])));
        EXPECT_FALSE(items[2]->isEnabled()) << "a show that is gone is greyed";

        w.AddPhotoFiles({Photo("a", 9)});
        boxes.answers.push_back(MessageAnswer::No);
        items[1]->trigger();
        EXPECT_EQ(boxes.shown.back().text, "Save changes to the show?");
        EXPECT_EQ(w.showFile(), shows[1]);
        EXPECT_EQ(Names(), (std::vector<std::string>{"p0.png", "p1.png"}));
        EXPECT_EQ(files.requests.size(), 3u) << "no file dialog";

        items[4]->trigger();
        emit recent->aboutToShow();
        EXPECT_EQ(recent->actions().size(), 1) << "Clear leaves only itself";
        EXPECT_FALSE(recent->actions()[0]->isEnabled());
    });
}

TEST_F(EditorTest, TheCaptionMarksUnsavedChanges) {
    RunProgram([&](CKavrelDlg& w) {
        EXPECT_EQ(w.windowTitle(), "Kavrel");
        w.AddPhotoFiles({Photo("a", 1)});
        EXPECT_EQ(w.windowTitle(), "*Untitled - Kavrel");
        files.answers.push_back({dir.File("holiday")});
        ASSERT_TRUE(w.OnSaveShowAs());
        EXPECT_EQ(w.windowTitle(), "holiday - Kavrel");
        w.AddMusicFiles({Photo("a", 2)});
        EXPECT_EQ(w.windowTitle(), "*holiday - Kavrel");
        Keys(w, QKeySequence(Qt::CTRL | Qt::Key_S));
        EXPECT_EQ(w.windowTitle(), "holiday - Kavrel");
        boxes.answers.push_back(MessageAnswer::No);
        Keys(w, QKeySequence(Qt::CTRL | Qt::Key_N));
        EXPECT_EQ(w.windowTitle(), "Kavrel");
        EXPECT_EQ(w.project().photoCount(), 0);
    });
}

TEST_F(EditorTest, TheSummaryFollowsTheShowAndOffersTheConvertedVideo) {
    RunProgram([&](CKavrelDlg& w) {
        EXPECT_EQ(w.showSummary()->text().toStdString(), "Show length: 0:00 \u00b7 0 photos");
        w.AddPhotoFiles({Photo("b", 1)});
        EXPECT_EQ(w.showSummary()->text().toStdString(), "Show length: 0:08 \u00b7 1 photo");
        boxes.answers.push_back(MessageAnswer::No);
        ASSERT_TRUE(w.NewShow());
        SmallAviShow(2, 1.5);
        Click(1000);
        ASSERT_TRUE(WaitFor([&] { return !w.project().run().converting; }, 30000));
        const QString text = w.showSummary()->text();
        EXPECT_TRUE(text.contains("href=\"play\"") && text.contains("href=\"folder\"")) << text.toStdString();
        emit w.showSummary()->linkActivated("play");
        emit w.showSummary()->linkActivated("folder");
        EXPECT_EQ(opened, std::vector<std::string>{dir.File("show.avi")});
        EXPECT_EQ(shownInFolder, std::vector<std::string>{dir.File("show.avi")});
        boxes.answers.push_back(MessageAnswer::No);
        Keys(w, QKeySequence(Qt::CTRL | Qt::Key_N));
        EXPECT_EQ(w.showSummary()->text().toStdString(), "Show length: 0:00 \u00b7 0 photos")
            << "a new show has no video yet";
    });
}

TEST_F(EditorTest, TheBarSpeaksTheWindowsLanguage) {
    CLanguage saved = theLanguage;
    theLanguage.Init(KAVREL_SOURCE_DIR, "German");
    CKavrelDlg& w = Open();
    QStringList titles;
    for (QAction* top : w.menuBar()->actions()) titles << top->text();
    EXPECT_EQ(titles.join(",").toStdString(), "&Datei,&Bearbeiten,&Show,&Ansicht,&Hilfe");
    EXPECT_EQ(w.MenuBarAction(IDM_FILE_RECENT)->text().toStdString(), "&Zuletzt geöffnet");
    window.reset();
    theLanguage = saved;
}

// A drag over `list` that ends with a drop at row `row` (`where`: how far down the row, 0 its top).
void DragAndDrop(QTreeWidget* list, QMimeData* data, int row, double where, bool* lineShown) {
    const QRect rect = list->visualItemRect(list->topLevelItem(row));
    const QPointF at(rect.center().x(), rect.top() + rect.height() * where);
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(at.toPoint(), actions, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &enter);
    QDragMoveEvent move(at.toPoint(), actions, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &move);
    *lineShown = list->viewport()->findChild<QFrame*>()->isVisible();
    QDropEvent drop(at, actions, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &drop);
}

QMimeData* SelectedRowsDrag(QTreeWidget* list) {
    QModelIndexList rows;
    for (QTreeWidgetItem* item : list->selectedItems()) rows << list->indexFromItem(item);
    return list->model()->mimeData(rows);
}

TEST_F(EditorTest, RowsDraggedTogetherLandWhereTheLineShowsAndTheDragIsUndone) {
    RunProgram([&](CKavrelDlg& w) {
        for (int i = 0; i < 4; ++i) w.AddPhotoFiles({Photo("a", i)});
        const std::vector<std::string> before = Names();
        Select({0, 1});
        bool line = false;
        std::unique_ptr<QMimeData> rows(SelectedRowsDrag(w.photoList()));
        DragAndDrop(w.photoList(), rows.get(), 3, 0.9, &line);
        EXPECT_TRUE(line) << "a line shows where the rows land";
        EXPECT_FALSE(w.photoList()->viewport()->findChild<QFrame*>()->isVisible()) << "and goes with the drop";
        EXPECT_EQ(Names(), (std::vector<std::string>{before[2], before[3], before[0], before[1]}));
        EXPECT_EQ(Selected(), (std::vector<int>{2, 3}));
        Keys(w, QKeySequence(Qt::CTRL | Qt::Key_Z));
        EXPECT_EQ(Names(), before);
        EXPECT_EQ(Selected(), (std::vector<int>{0, 1}));
    });
}

TEST_F(EditorTest, FilesDroppedBetweenRowsAreInsertedThereUnlessConverting) {
    RunProgram([&](CKavrelDlg& w) {
        SmallAviShow(2, 1);
        const std::string extra = Photo("b", 7);
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(QString::fromStdString(extra))});
        bool line = false;
        DragAndDrop(w.photoList(), &files, 1, 0.2, &line);
        EXPECT_EQ(Names(), (std::vector<std::string>{"p0.png", "p7.png", "p1.png"}));
        const std::string tone = (dir.path() / "tone.wav").string();
        WriteToneWav(tone, 1.0);
        files.setUrls({QUrl::fromLocalFile(QString::fromStdString(tone))});
        w.AddMusicFiles({tone});
        DragAndDrop(w.musicList(), &files, 0, 0.1, &line);
        EXPECT_EQ(w.project().musicCount(), 2);

        LongShow();
        Click(1000);
        ASSERT_TRUE(w.project().run().converting);
        const int photos = w.project().photoCount();
        DragAndDrop(w.photoList(), &files, 0, 0.5, &line);
        EXPECT_FALSE(line);
        EXPECT_EQ(w.project().photoCount(), photos) << "the lists wait while a video is written";
        Click(1000);
    });
}

}  // namespace
