#pragma once
// The main window run as the program runs it: built with its services, run through DoModal, and
// driven from inside its event loop by the test's script, with input sent through the window system.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QTreeWidget>
#include <filesystem>

#include "app/kavrel_dlg.h"
#include "platform/shell/profile_store.h"
#include "player/qt_preview_renderers.h"
#include "settings/options_page.h"
#include "tests/support/recording_file_dialogs.h"
#include "tests/support/recording_message_boxes.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_media.h"
#include "tests/ui/modal_run.h"

class NoFrames : public PropertyFramePort {
public:
    void Show(QWidget*, const std::string&, const std::shared_ptr<ISpecifyPropertyPages>&,
              const std::vector<FilterOption>&) override {}
};

class MainWindowFixture : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The window, built and initialised but not run (for what start-up alone decides).
    CKavrelDlg& Open(std::string dataFolder = KAVREL_SOURCE_DIR);
    // Runs the window modally with `script` inside its loop, as the program runs it.
    void RunProgram(const std::function<void(CKavrelDlg&)>& script, std::string dataFolder = KAVREL_SOURCE_DIR);

    std::string Photo(const std::string& folder, int salt, int w = 96, int h = 64);
    void Click(int id);
    std::vector<std::string> Names();
    std::vector<int> Selected();
    void Select(std::vector<int> rows);
    std::string Status();
    // The preview player's window while one is shown.
    QWidget* PlayerWindow();
    // A show of `count` photos of `seconds`, written as a small AVI in the temp folder.
    void SmallAviShow(int count, double seconds);
    // A show that takes a while to convert: many photos of one file at 320 x 240.
    void LongShow();

    TempDir dir;
    ProfileStore store{dir.File("settings.ini")};
    RecordingMessageBoxes boxes;
    RecordingFileDialogs files;
    NoFrames frames;
    std::unique_ptr<CodecConfigurePort> codecPages;  // none unless a test sets one
    MessageBoxes* messageBoxes = &boxes;             // a test may show real ones
    std::vector<std::string> opened;
    std::vector<std::string> shownInFolder;  // files the file manager was asked to show
    std::unique_ptr<CKavrelDlg> window;
};
