// Paths that name no ordinary file (a pipe, a folder, a device) are found by looking, never by
// opening, and both programs refuse them at once, by name.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>

#include "platform/shell/file_probe.h"
#include "tests/support/kavrel_render_run.h"
#include "tests/support/pipe_guard.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

TEST(FileProbe, TellsEachKindOfPathWithoutOpeningIt) {
    TempDir dir;
    const std::string file = dir.Write("photo.jpg", "bytes");
    PipeGuard pipe(dir.File("pipe.jpg"));
    ASSERT_TRUE(pipe.made());
    fs::create_symlink(file, dir.File("link.jpg"));
    fs::create_symlink(dir.File("gone.jpg"), dir.File("dangling.jpg"));
    struct Case {
        std::string path;
        PathKind kind;
        bool readable, output;
    };
    const Case cases[] = {
        {file, PathKind::File, true, true},
        {pipe.path(), PathKind::Pipe, false, false},
        {dir.path().string(), PathKind::Folder, false, false},
        {"/dev/null", PathKind::Device, false, false},
        {dir.File("gone.jpg"), PathKind::Missing, false, true},
        {dir.File("no/such/folder.jpg"), PathKind::Missing, false, true},
        {dir.File("link.jpg"), PathKind::File, true, true},
        {dir.File("dangling.jpg"), PathKind::Missing, false, true},
        {"", PathKind::Missing, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(KindOfPath(c.path), c.kind);
        EXPECT_EQ(FileCanBeOpenedForReading(c.path), c.readable);
        EXPECT_EQ(PathCanTakeOutput(c.path), c.output);
    }
}

TEST(KavrelRender, RefusesPipesAndDevicesAtOnceAndLeavesThemAsTheyAre) {
    TempDir dir;
    dir.Write("a.jpg", "photo");
    PipeGuard show(dir.File("show.kavrel")), video(dir.File("video.mkv")), photo(dir.File("pipe.jpg"));
    fs::create_symlink("/dev/null", dir.File("device.kavrel"));
    fs::create_directory(dir.File("folder.mkv"));
    struct Case {
        std::string args;
        int status;
        std::string said;
    };
    const Case cases[] = {
        {"show.kavrel -o out.mkv", 2, "show.kavrel is a pipe, not a file"},
        {"--dump-timeline a.jpg pipe.jpg", 2, "pipe.jpg is a pipe, not a file"},
        {"-o video.mkv a.jpg", 2, "video.mkv is a pipe, not a file"},
        {"-o folder.mkv a.jpg", 2, "folder.mkv is a folder, not a file"},
        {"--save-show show.kavrel a.jpg", 1, "show.kavrel is a pipe, not a file"},
        {"--save-show device.kavrel a.jpg", 1, "device.kavrel is a device, not a file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const auto start = std::chrono::steady_clock::now();
        const Outcome run = KavrelRender(dir, c.args);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
        EXPECT_EQ(run.status, c.status) << run.out;
        EXPECT_NE(run.out.find(c.said), std::string::npos) << run.out;
    }
    EXPECT_TRUE(fs::is_fifo(show.path()));
    EXPECT_TRUE(fs::is_fifo(video.path()));
    EXPECT_TRUE(fs::is_symlink(dir.File("device.kavrel")));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}
