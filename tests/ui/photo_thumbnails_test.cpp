// The photo list's thumbnails in the main window: pictures before the names, a broken picture
// with its reason for a photo that cannot be read, and the plain list when they are turned off.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>

#include "app/photo_thumbnails.h"
#include "app/settings_table.h"
#include "tests/ui/main_window_fixture.h"

namespace {

struct RowLook {
    bool icon;
    QString tip;
    int height;
};

std::vector<RowLook> Look(QTreeWidget* list) {
    std::vector<RowLook> rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list->topLevelItem(i);
        rows.push_back({!item->icon(0).isNull(), item->toolTip(1), list->sizeHintForRow(i)});
    }
    return rows;
}

// Whether the row's picture has arrived: the placeholder is transparent.
bool ShowsPicture(QTreeWidgetItem* item) {
    const QImage image = item->icon(0).pixmap(QSize(kThumbnailWidth, kThumbnailHeight)).toImage();
    return !image.isNull() && qAlpha(image.pixel(image.width() / 2, image.height() / 2)) == 255;
}

}  // namespace

TEST_F(MainWindowFixture, PhotoRowsShowTheirPicturesAndTurnedOffTheListIsAsBefore) {
    const QByteArray runCache = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(dir.File("cache")));
    const std::string photo = Photo("", 1, 96, 64);
    const std::string broken = dir.Write("broken.jpg", "no photo at all");
    CKavrelDlg& w = Open();
    qputenv("XDG_CACHE_HOME", runCache);
    QTreeWidget* list = w.photoList();
    w.SetThumbnailsShown(false);
    w.AddPhotoFiles({photo, broken});
    const std::vector<RowLook> plain = Look(list);
    EXPECT_EQ(ReadInt(store, settings::kShowThumbnails), 0);

    w.SetThumbnailsShown(true);
    EXPECT_EQ(ReadInt(store, settings::kShowThumbnails), 1);
    QElapsedTimer clock;
    clock.start();
    while ((!ShowsPicture(list->topLevelItem(0)) || list->topLevelItem(1)->toolTip(0).isEmpty()) && clock.elapsed() < 20000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    EXPECT_TRUE(ShowsPicture(list->topLevelItem(0)));
    EXPECT_TRUE(std::filesystem::exists(dir.File("cache/thumbnails/normal/") + ThumbnailFileName(FileUri(photo))));
    EXPECT_TRUE(list->topLevelItem(0)->toolTip(0).isEmpty());
    EXPECT_TRUE(list->topLevelItem(1)->toolTip(0).startsWith("No picture of this photo can be shown. "));
    EXPECT_TRUE(list->topLevelItem(1)->toolTip(0).contains("broken.jpg"));
    EXPECT_GE(list->sizeHintForRow(0), kThumbnailHeight);
    EXPECT_GT(list->sizeHintForRow(0), plain[0].height);

    w.SetThumbnailsShown(false);
    const std::vector<RowLook> after = Look(list);
    ASSERT_EQ(after.size(), plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i) {
        EXPECT_FALSE(after[i].icon);
        EXPECT_EQ(after[i].tip, plain[i].tip);
        EXPECT_EQ(after[i].height, plain[i].height);
    }
}
