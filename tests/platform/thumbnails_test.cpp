#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <filesystem>
#include <sys/stat.h>
#include <utime.h>

#include "platform/media/thumbnails/thumbnail_cache.h"
#include "platform/media/thumbnails/thumbnail_memory.h"
#include "platform/media/thumbnails/thumbnail_png.h"
#include "platform/media/thumbnails/thumbnail_service.h"
#include "tests/support/cmyk_jpeg.h"
#include "tests/support/photo_files.h"
#include "tests/support/photo_kinds.h"
#include "tests/support/temp_dir.h"

namespace {

// Queued calls need an application object on this thread.
void EnsureApplication() {
    static int argc = 1;
    static char name[] = "thumbnails_test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() != nullptr ? nullptr : new QCoreApplication(argc, argv);
    (void)app;
}

bool RunUntil(const std::function<bool()>& done, int timeoutMs = 20000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

std::array<std::uint8_t, 3> PixelAt(const ThumbnailPicture& p, double fx, double fy) {
    const int x = static_cast<int>(fx * p.width), y = static_cast<int>(fy * p.height);
    const std::uint8_t* px = &p.rgba[(static_cast<std::size_t>(y) * p.width + x) * 4];
    return {px[0], px[1], px[2]};
}

// Which quarter of the thumbnail is white (0 top left … 3 bottom right); -1 when not one alone.
int WhiteQuarter(const ThumbnailPicture& p) {
    int white = -1;
    for (int q = 0; q < 4; ++q) {
        if (PixelAt(p, q % 2 == 0 ? 0.25 : 0.75, q < 2 ? 0.25 : 0.75)[1] > 200) white = white == -1 ? q : -2;
    }
    return white;
}

std::string JpegWithExif(const TempDir& dir, const std::string& name, const RgbPicture& stored, int orientation) {
    const std::string plain = dir.File("plain-" + name);
    WritePicture(plain, stored, "mjpeg");
    return dir.Write(name, WithExifOrientation(Slurp(plain), orientation));
}

struct Kind {
    const char* name;
    std::function<std::string(const TempDir&, const std::string&)> write;  // returns the path
    int width, height, whiteQuarter;
};

const RgbPicture kUpright = Quadrants(400, 300, 0);
const RgbPicture kStoredTurned = kUpright.TurnedLeft();  // upright with orientation 6

std::string Written(const std::string& failure, const std::string& path) {
    EXPECT_EQ(failure, "") << path;
    return path;
}

}  // namespace

TEST(Thumbnails, EachKindOfPhotoIsFittedUprightAndNeverEnlarged) {
    const std::vector<Kind> kinds{
        {"plain.jpg", [](const TempDir& d, const std::string& f) { return Written(WritePicture(d.File(f), kUpright, "mjpeg"), d.File(f)); }, 128, 96, 0},
        {"large.jpg", [](const TempDir& d, const std::string& f) { return Written(WritePicture(d.File(f), Quadrants(2400, 1800, 1), "mjpeg"), d.File(f)); }, 128, 96, 1},
        {"turned.jpg", [](const TempDir& d, const std::string& f) { return JpegWithExif(d, f, kStoredTurned, 6); }, 128, 96, 0},
        {"turned.png", [](const TempDir& d, const std::string& f) { return Written(WritePngWithExif(d.File(f), kStoredTurned, 6), d.File(f)); }, 128, 96, 0},
        {"turned.tif", [](const TempDir& d, const std::string& f) { return Written(WriteTiff(d.File(f), kStoredTurned, TiffKind::TiledLzw, 6), d.File(f)); }, 128, 96, 0},
        {"turned.webp", [](const TempDir& d, const std::string& f) { return Written(WriteWebp(d.File(f), kStoredTurned, 6), d.File(f)); }, 128, 96, 0},
        {"turned.heic", [](const TempDir& d, const std::string& f) { return Written(WriteTurnedHeic(d.File(f), kStoredTurned, 6), d.File(f)); }, 128, 96, 0},
        {"cmyk.jpg", [](const TempDir& d, const std::string& f) { EXPECT_TRUE(WriteCmykJpeg(d.File(f), 400, 300)); return d.File(f); }, 128, 96, -1},
        {"portrait.png", [](const TempDir& d, const std::string& f) { return Written(WritePicture(d.File(f), Quadrants(300, 400, 2), "png"), d.File(f)); }, 96, 128, 2},
        {"small.png", [](const TempDir& d, const std::string& f) { return Written(WritePicture(d.File(f), Quadrants(60, 40, 3), "png"), d.File(f)); }, 60, 40, 3},
    };
    TempDir dir;
    for (const Kind& k : kinds) {
        SCOPED_TRACE(k.name);
        ThumbnailPicture picture;
        std::string error;
        ASSERT_TRUE(MakeThumbnail(k.write(dir, k.name), kNormalThumbnailEdge, &picture, &error)) << error;
        EXPECT_EQ(picture.width, k.width);
        EXPECT_EQ(picture.height, k.height);
        if (k.whiteQuarter >= 0) {
            EXPECT_EQ(WhiteQuarter(picture), k.whiteQuarter);
        }
    }
}

TEST(Thumbnails, AJpegsOwnExifThumbnailServesWhenItCoversTheSizeAsked) {
    TempDir dir;
    // The camera's small copy is red, so a decoded photo (grey and white) is told apart from it.
    const std::string thumbPath = dir.File("thumb.jpg");
    ASSERT_EQ(WritePicture(thumbPath, Patches(120, 160, {Rgb{255, 0, 0}}, 1), "mjpeg"), "");
    const std::string plain = dir.File("plain.jpg");
    ASSERT_EQ(WritePicture(plain, kStoredTurned, "mjpeg"), "");
    const std::string photo = dir.Write("camera.jpg", WithExifThumbnail(Slurp(plain), Slurp(thumbPath), 6));
    struct Case { int edge; ThumbnailSource source; int width, height; };
    for (const Case& c : {Case{kNormalThumbnailEdge, ThumbnailSource::ExifThumbnail, 128, 96},
                          Case{kLargeThumbnailEdge, ThumbnailSource::Decoded, 256, 192}}) {
        SCOPED_TRACE(c.edge);
        ThumbnailPicture picture;
        std::string error;
        ThumbnailSource source{};
        ASSERT_TRUE(MakeThumbnail(photo, c.edge, &picture, &error, &source)) << error;
        EXPECT_EQ(source, c.source);
        EXPECT_EQ(picture.width, c.width);  // turned upright either way
        EXPECT_EQ(picture.height, c.height);
        const bool red = PixelAt(picture, 0.5, 0.5)[0] > 200 && PixelAt(picture, 0.5, 0.5)[1] < 60;
        EXPECT_EQ(red, c.source == ThumbnailSource::ExifThumbnail);
    }
}

TEST(Thumbnails, NamesFollowTheDesktopsFileUris) {
    EXPECT_EQ(FileUri("/tmp/a b/é[1]#.jpg"), "file:///tmp/a%20b/%C3%A9%5B1%5D%23.jpg");
    EXPECT_EQ(FileUri("/home/jens/photos/me.png"), "file:///home/jens/photos/me.png");
    EXPECT_EQ(ThumbnailFileName("file:///home/jens/photos/me.png"), "c6ee772d9e49320e97ec29a7eb5b1697.png");
}

TEST(Thumbnails, MemoryDropsTheLeastRecentlyUsedBeyondItsBound) {
    ThumbnailMemory memory(4 * 1300);
    auto picture = std::make_shared<ThumbnailPicture>();
    picture->rgba.resize(1000);
    for (int i = 0; i < 4; ++i) memory.Put("p" + std::to_string(i), {picture, {}});
    ASSERT_NE(memory.Find("p0"), nullptr);  // now the most recent
    memory.Put("p4", {picture, {}});
    EXPECT_NE(memory.Find("p0"), nullptr);
    EXPECT_EQ(memory.Find("p1"), nullptr);
    EXPECT_LE(memory.bytes(), 4u * 1300u);
}

namespace {

// A service on a cache folder of the test's own, recording what it delivers.
struct ServiceRun {
    explicit ServiceRun(const std::string& root, int workers = 1) {
        EnsureApplication();
        ThumbnailServiceOptions o;
        o.cacheRoot = root;
        o.workers = workers;
        service = std::make_unique<ThumbnailService>(o, [this](const std::string& p) { ready.push_back(p); });
    }
    ThumbnailEntry Get(const std::string& path) {
        service->Request({path});
        ThumbnailEntry entry;
        EXPECT_TRUE(RunUntil([&] { return service->Known(path, &entry); })) << path;
        return entry;
    }
    std::vector<std::string> ready;
    std::unique_ptr<ThumbnailService> service;
};

}  // namespace

TEST(Thumbnails, AreKeptInTheDesktopsCacheTaggedAsItsStandardAsks) {
    TempDir dir;
    const std::string photo = dir.File("a photo.jpg"), root = dir.File("cache/thumbnails");
    ASSERT_EQ(WritePicture(photo, kUpright, "mjpeg"), "");
    ServiceRun run(root);
    ASSERT_NE(run.Get(photo).picture, nullptr);
    const std::string file = root + "/normal/" + ThumbnailFileName(FileUri(photo));
    PngTexts texts;
    ThumbnailPicture stored;
    ASSERT_TRUE(ReadThumbnailPng(file, &texts, &stored));
    long long mtime = 0;
    ASSERT_TRUE(PhotoModificationTime(photo, &mtime));
    EXPECT_EQ(texts["Thumb::URI"], FileUri(photo));
    EXPECT_EQ(texts["Thumb::MTime"], std::to_string(mtime));
    EXPECT_EQ(stored.width, 128);
    EXPECT_EQ(std::filesystem::status(file).permissions(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(std::filesystem::status(root + "/normal").permissions(), std::filesystem::perms::owner_all);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root + "/normal"), {}), 1);  // no temporary left
}

TEST(Thumbnails, ACurrentCachedThumbnailIsReusedAndAStaleOneRemade) {
    struct Case { const char* name; long long mtimeShift; bool reused; };
    for (const Case& c : {Case{"current", 0, true}, Case{"stale", -100, false}}) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string photo = dir.File("photo.jpg"), root = dir.File("thumbnails");
        ASSERT_EQ(WritePicture(photo, kUpright, "mjpeg"), "");
        long long mtime = 0;
        ASSERT_TRUE(PhotoModificationTime(photo, &mtime));
        // What the file manager left: red, so that it is told apart from the photo.
        ThumbnailPicture red{128, 96, {}};
        for (int i = 0; i < 128 * 96; ++i) red.rgba.insert(red.rgba.end(), {255, 0, 0, 255});
        ASSERT_TRUE(ThumbnailCache(root).Store(photo, mtime + c.mtimeShift, 128, red));
        ServiceRun run(root);
        const ThumbnailEntry entry = run.Get(photo);
        ASSERT_NE(entry.picture, nullptr);
        EXPECT_EQ(PixelAt(*entry.picture, 0.75, 0.75)[1] < 60, c.reused);
        PngTexts texts;
        ASSERT_TRUE(ReadThumbnailPng(root + "/normal/" + ThumbnailFileName(FileUri(photo)), &texts));
        EXPECT_EQ(texts["Thumb::MTime"], std::to_string(mtime));
    }
}

namespace {
void ExpectReportedAndRemembered(const std::string& photo, const std::string& root);
}

TEST(Thumbnails, AnUndecodablePhotoIsReportedWithItsReasonAndRememberedAsAFailure) {
    TempDir dir;
    const std::string whole = dir.File("whole.jpg");
    ASSERT_EQ(WritePicture(whole, Quadrants(640, 480), "mjpeg"), "");
    const std::string bytes = Slurp(whole);
    for (const std::string& photo : {dir.Write("broken.jpg", "\xFF\xD8\xFF\xE0 not really a JPEG"),
                                     dir.Write("cut.jpg", bytes.substr(0, bytes.size() * 2 / 3))}) {
        SCOPED_TRACE(photo);
        ExpectReportedAndRemembered(photo, dir.File("thumbnails"));
    }
}

namespace {
void ExpectReportedAndRemembered(const std::string& photo, const std::string& root) {
    std::string first;
    {
        ServiceRun run(root);
        const ThumbnailEntry entry = run.Get(photo);
        EXPECT_EQ(entry.picture, nullptr);
        EXPECT_NE(entry.failure.find(photo), std::string::npos) << entry.failure;
        first = entry.failure;
    }
    const std::string failFile = ThumbnailCache(root).FailFolder() + "/" + ThumbnailFileName(FileUri(photo));
    EXPECT_TRUE(std::filesystem::exists(failFile));
    ServiceRun again(root);  // a new run finds the failure in the cache
    EXPECT_EQ(again.Get(photo).failure, first);
}
}  // namespace

TEST(Thumbnails, APipeIsRefusedWithoutWaitingOnIt) {
    TempDir dir;
    const std::string pipe = dir.File("photo.jpg");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    ServiceRun run(dir.File("thumbnails"));
    const ThumbnailEntry entry = run.Get(pipe);
    EXPECT_EQ(entry.picture, nullptr);
    EXPECT_NE(entry.failure.find("not an ordinary file"), std::string::npos) << entry.failure;
}

TEST(Thumbnails, AskedPhotosComeFirstAndCancelledOnesNeverArrive) {
    TempDir dir;
    std::vector<std::string> photos;
    for (int i = 0; i < 12; ++i) {
        photos.push_back(dir.File("p" + std::to_string(i) + ".jpg"));
        ASSERT_EQ(WritePicture(photos.back(), Quadrants(800, 600, i % 4), "mjpeg"), "");
    }
    ServiceRun run(dir.File("thumbnails"));
    run.service->Want(photos);
    run.service->Request({photos[9]});
    run.service->Cancel(photos[5]);
    ASSERT_TRUE(RunUntil([&] { return run.ready.size() == 11; }));
    EXPECT_LE(std::find(run.ready.begin(), run.ready.end(), photos[9]) - run.ready.begin(), 1);  // one may be under way
    EXPECT_EQ(std::count(run.ready.begin(), run.ready.end(), photos[5]), 0);

    ServiceRun cancelled(dir.File("other-thumbnails"));
    cancelled.service->Want(photos);
    cancelled.service->CancelAll();
    RunUntil([] { return false; }, 500);
    EXPECT_TRUE(cancelled.ready.empty());
}
