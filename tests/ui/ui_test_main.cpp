// Runs the widget tests inside a QApplication on the offscreen platform, its screen the size of a
// desktop's (the platform's own 800 x 600 would shrink the larger dialogs).

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

int main(int argc, char** argv) {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen") {
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" KAVREL_SOURCE_DIR "/tests/ui/desktop-screen.json");
    }
    QApplication app(argc, argv);
    // The windows' thumbnails go to a cache of this run's own, not the user's.
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
