// Files given to the program: opened in its window (a show, or photos and music as a new show,
// after "Save changes to the show?"), handed over by a second start to the running program, and a
// written video handed to the desktop's player and file manager.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDesktopServices>
#include <QProcess>
#include <QTest>
#include <QUrl>
#include <future>

#include "app/show_file.h"
#include "platform/shell/desktop_open.h"
#include "platform/shell/given_files_channel.h"
#include "tests/support/test_media.h"
#include "tests/ui/main_window_fixture.h"

namespace {

constexpr const char* kSaveChanges = "Save changes to the show?";

class GivenFilesTest : public MainWindowFixture {
protected:
    std::vector<std::string> Texts() { return boxes.Texts(); }
};

TEST_F(GivenFilesTest, PhotosAndMusicStartANewShowAfterTheQuestionAndTheRestAreNamedOnce) {
    const std::string tone = dir.File("tone.wav");
    WriteToneWav(tone, 2.0);
    const std::string notes = dir.Write("notes.jpg", "not a picture\n");
    RunProgram([&](CKavrelDlg& w) {
        w.AddPhotoFiles({Photo("a", 1)});
        const std::vector<std::string> given{Photo("b", 2), notes, tone, dir.File("gone.png")};
        boxes.answers.push_back(MessageAnswer::Cancel);
        EXPECT_FALSE(w.OpenGivenFiles(given));
        EXPECT_EQ(Texts(), std::vector<std::string>{kSaveChanges}) << "cancelled: nothing more";
        EXPECT_EQ(Names(), std::vector<std::string>{"p1.png"});

        boxes.answers.push_back(MessageAnswer::No);
        EXPECT_TRUE(w.OpenGivenFiles(given));
        EXPECT_EQ(Names(), std::vector<std::string>{"p2.png"});
        ASSERT_EQ(w.project().musicCount(), 1);
        EXPECT_EQ(w.project().music()[0].path, tone);
        EXPECT_EQ(w.showFile(), "") << "a new show";
        EXPECT_EQ(Texts(), (std::vector<std::string>{kSaveChanges, kSaveChanges,
                                                     "These files were not opened:\n" + notes +
                                                         " is neither a photo, music nor a show.\n" +
                                                         dir.File("gone.png") + ": there is no such file."}));
    });
}

TEST_F(GivenFilesTest, AShowOpensAndFilesGivenWithItAreAdded) {
    Show show;
    show.photos = {{Photo("a", 1), 2, 0, 0, MotionKind::None}};
    const std::string file = dir.File("holiday.kavrel");
    ASSERT_FALSE(WriteShowFile(file, show));
    RunProgram([&](CKavrelDlg& w) {
        EXPECT_TRUE(w.OpenGivenFiles({file}));
        EXPECT_EQ(w.showFile(), file);
        EXPECT_EQ(w.windowTitle(), "holiday - Kavrel");
        EXPECT_EQ(Names(), std::vector<std::string>{"p1.png"});
        EXPECT_FALSE(w.ShowChanged());

        EXPECT_TRUE(w.OpenGivenFiles({Photo("b", 2), file}));
        EXPECT_EQ(Names(), (std::vector<std::string>{"p1.png", "p2.png"}));
        EXPECT_TRUE(boxes.shown.empty()) << boxes.shown.front().text;
    });
}

// A second start hands its files to the program listening; a socket left by one that ended is
// taken over, and one whose owner does not answer is no hand-over.
class GivenFilesChannelTest : public testing::Test {
protected:
    TempDir dir;
    std::string name = dir.File("channel.socket");

    HandOver HandOverWhileServing(const std::vector<std::string>& paths, int timeoutMs = 3000) {
        auto sent = std::async(std::launch::async, [&] { return HandOverFiles(name, paths, timeoutMs); });
        while (sent.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) {
            QCoreApplication::processEvents();
        }
        return sent.get();
    }

    // A Unix socket at `name` bound by no program that accepts: left behind, or, with `listening`,
    // held by one that never answers.
    int BindRawSocket(bool listening) {
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        name.copy(address.sun_path, sizeof address.sun_path - 1);
        EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        if (listening) {
            EXPECT_EQ(listen(fd, 4), 0);
        }
        return fd;
    }
};

TEST_F(GivenFilesChannelTest, FilesReachTheRunningProgram) {
    std::vector<std::vector<std::string>> received;
    GivenFilesChannel running([&](const std::vector<std::string>& paths) { received.push_back(paths); });
    ASSERT_TRUE(running.Listen(name));
    GivenFilesChannel second([](const std::vector<std::string>&) {});
    EXPECT_FALSE(second.Listen(name)) << "the name is the running program's";

    const std::vector<std::string> paths{"/photos/a b.jpg", "/Musik/Lied für dich.mp3"};
    EXPECT_EQ(HandOverWhileServing(paths), HandOver::Taken);
    QTRY_COMPARE(received.size(), 1u);
    EXPECT_EQ(received[0], paths);
}

TEST_F(GivenFilesChannelTest, NobodyOrNoAnswerLeavesTheFilesWithTheSecondStart) {
    EXPECT_EQ(HandOverFiles(name, {"/a.jpg"}, 1000), HandOver::NoneRunning);

    const int left = BindRawSocket(false);
    close(left);
    EXPECT_EQ(HandOverFiles(name, {"/a.jpg"}, 1000), HandOver::NoneRunning);
    {
        GivenFilesChannel taker([](const std::vector<std::string>&) {});
        EXPECT_TRUE(taker.Listen(name)) << "a socket left behind is taken over";
    }

    const int silent = BindRawSocket(true);
    EXPECT_EQ(HandOverFiles(name, {"/a.jpg"}, 300), HandOver::NoAnswer);
    GivenFilesChannel other([](const std::vector<std::string>&) {});
    EXPECT_FALSE(other.Listen(name)) << "a program holding the name keeps it";
    close(silent);
}

TEST(GivenFilesChannelName, IsTheUsersForEachDisplay) {
    const QByteArray display = qgetenv("DISPLAY");
    qputenv("DISPLAY", ":7.0");
    const std::string x11 = GivenFilesChannelName();
    qputenv("DISPLAY", "host/unix:8");
    const std::string other = GivenFilesChannelName();
    display.isNull() ? qunsetenv("DISPLAY") : qputenv("DISPLAY", display);
    EXPECT_NE(x11, other);
    EXPECT_NE(x11.find("kavrel-" + std::to_string(getuid()) + "-_7.0"), std::string::npos) << x11;
    EXPECT_EQ(other.find('/', other.rfind("kavrel-")), std::string::npos) << other;
}

class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public slots:
    void ShowItems(const QStringList& uris, const QString&) { shown.push_back(uris); }

public:
    std::vector<QStringList> shown;
};

// A session bus of the test's own, so that no file manager of the machine answers.
class PrivateBus {
public:
    PrivateBus() {
        daemon_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        if (!daemon_.waitForStarted(5000) || !daemon_.waitForReadyRead(5000)) return;
        address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    }
    ~PrivateBus() {
        for (const QString& name : names_) QDBusConnection::disconnectFromBus(name);
        daemon_.kill();
        daemon_.waitForFinished();
    }
    bool running() const { return !address_.isEmpty(); }
    QDBusConnection Connect(const QString& name) {
        names_.push_back(name);
        return QDBusConnection::connectToBus(address_, name);
    }

private:
    QProcess daemon_;
    QString address_;
    QStringList names_;
};

TEST(ShowInFileManager, AsksTheFileManagerElseOpensTheFolder) {
    PrivateBus bus;
    if (!bus.running()) GTEST_SKIP() << "no dbus-daemon";
    TempDir dir;
    const std::string video = dir.Write("my show.mp4", "video");
    std::vector<std::string> folders;
    auto openFolder = [&](const std::string& folder) {
        folders.push_back(folder);
        return true;
    };
    QDBusConnection caller = bus.Connect("caller");

    EXPECT_TRUE(ShowInFileManagerOn(caller, video, openFolder));
    EXPECT_EQ(folders, std::vector<std::string>{dir.path().string()}) << "no file manager on the bus";

    QDBusConnection answering = bus.Connect("file manager");
    FakeFileManager manager;
    ASSERT_TRUE(answering.registerObject("/org/freedesktop/FileManager1", &manager, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(answering.registerService("org.freedesktop.FileManager1"));
    folders.clear();
    EXPECT_TRUE(ShowInFileManagerOn(caller, video, openFolder));
    QTRY_COMPARE(manager.shown.size(), 1u);
    EXPECT_EQ(manager.shown[0], QStringList{QUrl::fromLocalFile(QString::fromStdString(video)).toString()});
    QTest::qWait(100);
    EXPECT_TRUE(folders.empty()) << "the file manager answered";

    answering.unregisterObject("/org/freedesktop/FileManager1");  // the name, but nothing behind it
    EXPECT_TRUE(ShowInFileManagerOn(caller, video, openFolder));
    QTRY_COMPARE(folders.size(), 1u);

    EXPECT_FALSE(ShowInFileManagerOn(caller, dir.File("gone.mp4"), openFolder));
    EXPECT_EQ(folders.size(), 1u);
}

class UrlRecorder : public QObject {
    Q_OBJECT
public slots:
    void open(const QUrl& url) { opened.push_back(url); }

public:
    std::vector<QUrl> opened;
};

TEST(OpenWithDefaultApplication, OpensTheFileThatIsThere) {
    TempDir dir;
    const std::string video = dir.Write("my show.mp4", "video");
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler("file", &recorder, "open");
    EXPECT_TRUE(OpenWithDefaultApplication(video));
    EXPECT_FALSE(OpenWithDefaultApplication(dir.File("gone.mp4")));
    QDesktopServices::unsetUrlHandler("file");
    EXPECT_EQ(recorder.opened, std::vector<QUrl>{QUrl::fromLocalFile(QString::fromStdString(video))});
}

}  // namespace

#include "given_files_test.moc"
