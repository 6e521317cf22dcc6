// The main window with paths that are no files to use, and a conversion the system tells to end.

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>

#include "app/kavrel_dlg.h"
#include "platform/shell/termination_signals.h"
#include "tests/support/pipe_guard.h"
#include "tests/ui/main_window_fixture.h"

namespace fs = std::filesystem;

namespace {

class UnusableFilesTest : public MainWindowFixture {};

std::vector<std::string> HiddenNames(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().starts_with(".")) names.push_back(entry.path().string());
    }
    return names;
}

TEST_F(UnusableFilesTest, APipeOrNoNameIsRefusedBeforeConvertOrPreviewStarts) {
    RunProgram([&](CKavrelDlg& w) {
        SmallAviShow(1, 1);
        PipeGuard output(dir.File("pipe.avi")), photo(dir.File("pipe.png"));
        struct Case {
            std::string output;
            bool pipePhoto;
            int button;
            std::string said;
        };
        const Case cases[] = {
            {output.path(), false, 1000, output.path() + " is a pipe, not a file"},
            {"", false, 1000, "The output file has no name: choose one in Options."},
            {dir.File("show.avi"), true, 1000, photo.path() + " is a pipe, not a file"},
            {dir.File("show.avi"), true, 1019, photo.path() + " is a pipe, not a file"},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.said);
            w.project().output().path = c.output;
            if (c.pipePhoto && w.project().photoCount() == 1) w.AddPhotoFiles({photo.path()});
            boxes.shown.clear();
            Click(c.button);
            ASSERT_EQ(boxes.shown.size(), 1u) << testing::PrintToString(boxes.Texts());
            EXPECT_TRUE(boxes.shown[0].text.starts_with(c.said)) << boxes.shown[0].text;
            EXPECT_FALSE(w.project().run().converting || w.project().run().previewing);
        }
        EXPECT_TRUE(fs::is_fifo(output.path()));
        EXPECT_FALSE(fs::exists(dir.File("show.avi")));
    });
}

TEST_F(UnusableFilesTest, OpenShowRefusesAPipeWithoutWaitingOnIt) {
    RunProgram([&](CKavrelDlg& w) {
        PipeGuard show(dir.File("pipe.kavrel"));
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(w.OpenShow(show.path()));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_NE(boxes.shown[0].text.find(show.path() + " is a pipe, not a file"), std::string::npos)
            << boxes.shown[0].text;
    });
}

TEST_F(UnusableFilesTest, ATerminationSignalEndsTheProgramAndKeepsTheOldVideo) {
    int received = 0;
    RunProgram([&](CKavrelDlg& w) {
        LongShow();
        const std::string old = dir.Write("show.avi", "an older video");
        // As the program sets it up.
        TerminationSignals watcher([&](int signal) {
            received = signal;
            w.EndWithoutAsking();
        });
        boxes.answers = {MessageAnswer::Yes};
        Click(1000);
        ASSERT_TRUE(w.project().run().converting) << testing::PrintToString(boxes.Texts());
        ASSERT_TRUE(WaitFor([&] { return !HiddenNames(dir.path()).empty(); }));
        raise(SIGTERM);
        ASSERT_TRUE(WaitFor([&] { return !w.isVisible(); }));
        EXPECT_EQ(received, SIGTERM);
        EXPECT_FALSE(w.project().run().converting);
        EXPECT_EQ(Slurp(old), "an older video");
        EXPECT_EQ(HiddenNames(dir.path()), std::vector<std::string>{});
    });
}

}  // namespace
