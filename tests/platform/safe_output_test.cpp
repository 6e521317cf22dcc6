// An output file is replaced only by a complete new one: the temporary file beside it, and
// kavrel-render killed or told to end in the middle of a show.

#include "platform/render/write/replacing_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/support/media_reader.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_media.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> HiddenNames(const fs::path& folder) {
    std::vector<std::string> names = Names(folder);
    std::erase_if(names, [](const std::string& n) { return !n.starts_with("."); });
    return names;
}

void Put(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

}  // namespace

TEST(ReplacingFile, TheTargetChangesOnlyWhenTheNewFileIsCommitted) {
    TempDir dir;
    const std::string target = dir.Write("video.mkv", "old");
    ReplacingFile file;
    std::string error;
    ASSERT_TRUE(file.Create(target, &error)) << error;
    const fs::path written = file.writePath();
    EXPECT_EQ(written.parent_path(), dir.path());
    EXPECT_TRUE(written.filename().string().starts_with(".video.mkv.")) << written;
    Put(written, "new");
    EXPECT_EQ(Slurp(target), "old");
    ASSERT_TRUE(file.Commit(&error)) << error;
    EXPECT_EQ(Slurp(target), "new");
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"video.mkv"});
}

TEST(ReplacingFile, DroppedUncommittedItLeavesNothingBehind) {
    TempDir dir;
    const std::string target = dir.Write("video.mkv", "old");
    const std::string absent = dir.File("new.mkv");
    {
        ReplacingFile replacing, fresh;
        std::string error;
        ASSERT_TRUE(replacing.Create(target, &error)) << error;
        ASSERT_TRUE(fresh.Create(absent, &error)) << error;
        Put(replacing.writePath(), "half a video");
        Put(fresh.writePath(), "half a video");
    }
    EXPECT_EQ(Slurp(target), "old");
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"video.mkv"});
}

TEST(ReplacingFile, ANewFileIsReadableAsAnyNewFileIs) {
    TempDir dir;
    const mode_t previous = umask(022);
    ReplacingFile file;
    std::string error;
    ASSERT_TRUE(file.Create(dir.File("video.mkv"), &error)) << error;
    ASSERT_TRUE(file.Commit(&error)) << error;
    umask(previous);
    EXPECT_EQ(fs::status(dir.File("video.mkv")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
}

TEST(ReplacingFile, OnlyTheTemporariesOfWritersThatAreGoneAreRemoved) {
    TempDir dir;
    const std::string target = dir.File("video.mkv");
    ReplacingFile running;
    std::string error;
    ASSERT_TRUE(running.Create(target, &error)) << error;
    const std::string runningName = fs::path(running.writePath()).filename().string();
    const std::vector<std::string> others{".other.mkv.kavrel-abc123", ".video.mkv.kavrel-abc1234",
                                          "video.mkv.kavrel-abc123", ".video.mkv.kavrel-"};
    for (const std::string& name : others) dir.Write(name, "not ours to remove");
    dir.Write(".video.mkv.kavrel-Left0v", "left by a killed run");

    EXPECT_EQ(RemoveAbandonedTemporaries(target), 1);
    std::vector<std::string> expected = others;
    expected.push_back(runningName);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Names(dir.path()), expected);

    ReplacingFile second;  // a second writer of the same name leaves the first one's alone
    ASSERT_TRUE(second.Create(target, &error)) << error;
    EXPECT_TRUE(fs::exists(running.writePath()));
    EXPECT_NE(second.writePath(), running.writePath());
}

TEST(ReplacingFile, ADeviceOrAPipeIsRefusedAndALinkIsFollowed) {
    TempDir dir;
    ASSERT_EQ(mkfifo(dir.File("pipe.mkv").c_str(), 0600), 0);
    for (const std::string& target : {std::string("/dev/null"), dir.File("pipe.mkv"), dir.path().string()}) {
        ReplacingFile refused;
        std::string error;
        EXPECT_FALSE(refused.Create(target, &error)) << target;
        EXPECT_NE(error.find(target), std::string::npos) << error;
    }
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_TRUE(fs::is_fifo(dir.File("pipe.mkv")));

    const std::string real = dir.Write("real.mkv", "old");
    fs::create_symlink(real, dir.File("link.mkv"));
    ReplacingFile linked;
    std::string error;
    ASSERT_TRUE(linked.Create(dir.File("link.mkv"), &error)) << error;
    Put(linked.writePath(), "new");
    ASSERT_TRUE(linked.Commit(&error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir.File("link.mkv")));
    EXPECT_EQ(Slurp(real), "new");
}

TEST(ReplacingFile, AFolderThatCannotBeWrittenIsNamed) {
    TempDir dir;
    ReplacingFile file;
    std::string error;
    EXPECT_FALSE(file.Create(dir.File("missing/video.mkv"), &error));
    EXPECT_NE(error.find(dir.File("missing/video.mkv")), std::string::npos) << error;
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
}

namespace {

// kavrel-render in `dir`, its output to `output`; returns its process id.
pid_t StartRender(const TempDir& dir, const std::string& output, const std::string& photoSeconds,
                  const std::vector<std::string>& more = {}) {
    std::vector<std::string> args{KAVREL_RENDER_PATH, "--photo-duration", photoSeconds, "--transition-duration", "1",
                                  "--size", "320x240", "--music", dir.File("tone.wav"), "-o", output,
                                  dir.File("a.jpg"), dir.File("b.png")};
    args.insert(args.end() - 2, more.begin(), more.end());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    posix_spawn(&pid, argv[0], &quiet, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&quiet);
    return pid;
}

int Wait(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Waits until a hidden file of at least `bytes` is in `folder`.
bool TemporaryGrows(const fs::path& folder, std::uintmax_t bytes) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (std::chrono::steady_clock::now() < until) {
        for (const std::string& name : HiddenNames(folder)) {
            std::error_code ec;
            if (fs::file_size(folder / name, ec) >= bytes && !ec) return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

// The two photos and the music every render here is made of; empty when they were written.
std::string WriteShowMaterial(const TempDir& dir) {
    WriteToneWav(dir.File("tone.wav"), 2.0);
    return WritePhoto(dir.File("a.jpg"), 320, 240, 1, "mjpeg") + WritePhoto(dir.File("b.png"), 240, 320, 2, "png");
}

}  // namespace

TEST(SafeOutput, AKilledRenderKeepsTheOldVideoAndTheNextRunClearsWhatItLeft) {
    TempDir dir;
    ASSERT_EQ(WriteShowMaterial(dir), "");
    const std::string output = dir.File("show.mkv");
    ASSERT_EQ(Wait(StartRender(dir, output, "1")), 0);
    const std::string oldVideo = Slurp(output);

    const pid_t killed = StartRender(dir, output, "600");
    const bool halfway = TemporaryGrows(dir.path(), 64 * 1024);
    kill(killed, SIGKILL);
    Wait(killed);
    ASSERT_TRUE(halfway);
    EXPECT_TRUE(Slurp(output) == oldVideo);
    const std::vector<std::string> left = HiddenNames(dir.path());
    ASSERT_EQ(left.size(), 1u);  // what the killed run was writing, under a hidden name
    EXPECT_TRUE(left[0].starts_with(".show.mkv.kavrel-")) << left[0];
    EXPECT_EQ(Names(dir.path()).size(), 5u);

    ASSERT_EQ(Wait(StartRender(dir, output, "2")), 0);
    EXPECT_EQ(HiddenNames(dir.path()), std::vector<std::string>{});
    VideoReadBack video = ReadVideoFile(output, {});
    EXPECT_EQ(video.decodeErrors, 0);
    EXPECT_EQ(video.frames, 96);  // two photos of 2 s
}

TEST(SafeOutput, ARenderToldToEndKeepsTheOldVideoAndLeavesNothing) {
    TempDir dir;
    ASSERT_EQ(WriteShowMaterial(dir), "");
    const std::string output = dir.File("show.mkv");
    ASSERT_EQ(Wait(StartRender(dir, output, "1")), 0);
    const std::string oldVideo = Slurp(output);

    for (int signal : {SIGTERM, SIGHUP}) {
        SCOPED_TRACE(sigabbrev_np(signal));
        const pid_t ended = StartRender(dir, output, "600");
        ASSERT_TRUE(TemporaryGrows(dir.path(), 64 * 1024));
        kill(ended, signal);
        EXPECT_EQ(Wait(ended), 128 + signal);
        EXPECT_TRUE(Slurp(output) == oldVideo);
        EXPECT_EQ(HiddenNames(dir.path()), std::vector<std::string>{});
    }
    // A name that was free stays free.
    const pid_t fresh = StartRender(dir, dir.File("new.mkv"), "600");
    ASSERT_TRUE(TemporaryGrows(dir.path(), 64 * 1024));
    kill(fresh, SIGTERM);
    EXPECT_EQ(Wait(fresh), 128 + SIGTERM);
    EXPECT_FALSE(fs::exists(dir.File("new.mkv")));
    EXPECT_EQ(HiddenNames(dir.path()), std::vector<std::string>{});
}

TEST(SafeOutput, CtrlCStopsAtOnceAndKeepsWhatWasWritten) {
    TempDir dir;
    ASSERT_EQ(WriteShowMaterial(dir), "");
    const std::string output = dir.File("show.mp4");
    // An encoder that holds many frames back: giving them all would take seconds.
    const pid_t stopped = StartRender(dir, output, "600", {"--size", "1280x720", "--option", "VideoCompressor:rc-lookahead=250"});
    ASSERT_TRUE(TemporaryGrows(dir.path(), 64 * 1024));
    const auto start = std::chrono::steady_clock::now();
    kill(stopped, SIGINT);
    EXPECT_EQ(Wait(stopped), 1);
    // Giving every frame held back takes about 5 s here; the file is closed well before.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
    EXPECT_EQ(HiddenNames(dir.path()), std::vector<std::string>{});
    const VideoReadBack video = ReadVideoFile(output, {});
    EXPECT_EQ(video.decodeErrors, 0);
    EXPECT_GT(video.frames, 0);
}
