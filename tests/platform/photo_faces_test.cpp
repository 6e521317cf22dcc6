#include "platform/media/faces/photo_faces.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <utime.h>

#include "platform/media/faces/face_search.h"
#include "platform/media/faces/photo_faces_cache.h"
#include "platform/media/thumbnails/thumbnail_picture.h"
#include "tests/support/face_photos.h"
#include "tests/support/photo_files.h"
#include "tests/support/temp_dir.h"

namespace {

bool Inside(double x, double y, const FaceBox& box) {
    return x >= box.x && x <= box.x + box.w && y >= box.y && y <= box.y + box.h;
}

// A found face is the known one when each holds the other's centre.
bool Same(const FaceBox& found, const FaceBox& known) {
    return Inside(found.x + found.w / 2, found.y + found.h / 2, known) &&
           Inside(known.x + known.w / 2, known.y + known.h / 2, found);
}

// A fixed finding, counted: the cache is judged by how often it asks for a search.
struct CountedSearch {
    std::atomic<int> searches = 0;
    PhotoFaces Search(const std::string&) {
        ++searches;
        return {true, 400, 300, {{0.125, 0.25, 0.375, 0.5}}};
    }
    PhotoFacesCache::Search Function() {
        return [this](const std::string& path) { return Search(path); };
    }
};

void Touch(const std::string& path, long seconds) {
    const utimbuf times{seconds, seconds};
    ASSERT_EQ(utime(path.c_str(), &times), 0);
}

}  // namespace

TEST(PhotoFaces, FacesAreFoundWhereTheyAre) {
    TempDir dir;
    // Known faces in fractions of the upright photo: the portrait's by eye, the group's as dlib lists them.
    const struct {
        const char* name;
        std::string path;
        int width, height;
        std::vector<FaceBox> known;
    } cases[] = {
        {"portrait", kHopper, 512, 600, {{0.37, 0.25, 0.35, 0.38}}},
        {"group of three", kDlibExamples + "faces/2008_001322.jpg", 500, 375,
         {{104 / 500., 162 / 375., 76 / 500., 76 / 375.},
          {232 / 500., 218 / 375., 63 / 500., 63 / 375.},
          {344 / 500., 155 / 375., 90 / 500., 90 / 375.}}},
        {"portrait at the edge of a wide photo, turned", HopperAtTheRightEdge(dir, "edge.jpg", true), 1600, 600,
         {{(1188 + 0.37 * 512) / 1600, 0.25, 0.35 * 512 / 1600, 0.38}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const PhotoFaces found = SearchPhotoForFaces(c.path);
        EXPECT_TRUE(found.read);
        EXPECT_EQ(found.width, c.width);
        EXPECT_EQ(found.height, c.height);
        ASSERT_EQ(found.faces.size(), c.known.size());
        for (const FaceBox& known : c.known) {
            EXPECT_TRUE(std::any_of(found.faces.begin(), found.faces.end(),
                                    [&](const FaceBox& f) { return Same(f, known); }))
                << "no face found at " << known.x << ", " << known.y;
        }
        for (std::size_t i = 1; i < found.faces.size(); ++i) {
            EXPECT_GE(found.faces[i - 1].w * found.faces[i - 1].h, found.faces[i].w * found.faces[i].h);
        }
    }
}

TEST(PhotoFaces, PhotosWithoutHumanFacesHaveNone) {
    for (const char* name : {"mmod_cars_test_image.jpg", "faces/dogs.jpg"}) {
        SCOPED_TRACE(name);
        const PhotoFaces found = SearchPhotoForFaces(kDlibExamples + name);
        EXPECT_TRUE(found.read);
        EXPECT_GT(found.width, 0);
        EXPECT_TRUE(found.faces.empty());
    }
}

TEST(PhotoFaces, WhatIsNoPhotoIsNotRead) {
    TempDir dir;
    for (const std::string& path : {dir.File("missing.jpg"), dir.Write("empty.jpg", ""),
                                   dir.Write("text.jpg", "not a photo at all"), dir.path().string()}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(SearchPhotoForFaces(path), PhotoFaces{});
    }
}

TEST(PhotoFacesCache, APhotoIsSearchedOnceInThisRunAndTheNext) {
    TempDir dir;
    const std::string photo = dir.Write("photo.jpg", "bytes");
    CountedSearch counted;
    PhotoFacesCache thisRun(dir.File("cache"), counted.Function());
    const PhotoFaces first = thisRun.Faces(photo);
    EXPECT_EQ(thisRun.Faces(photo), first);
    PhotoFacesCache nextRun(dir.File("cache"), counted.Function());
    EXPECT_EQ(nextRun.Faces(photo), first);
    EXPECT_EQ(counted.searches, 1);
}

TEST(PhotoFacesCache, AChangedPhotoIsSearchedAgain) {
    TempDir dir;
    const std::string photo = dir.Write("photo.jpg", "bytes");
    CountedSearch counted;
    PhotoFacesCache cache(dir.File("cache"), counted.Function());
    Touch(photo, 1'000'000);
    cache.Faces(photo);
    Touch(photo, 2'000'000);
    cache.Faces(photo);
    EXPECT_EQ(counted.searches, 2);
    dir.Write("photo.jpg", "other bytes");
    Touch(photo, 2'000'000);
    PhotoFacesCache(dir.File("cache"), counted.Function()).Faces(photo);
    EXPECT_EQ(counted.searches, 3);
}

TEST(PhotoFacesCache, ADamagedCacheFileIsSearchedAgainAndRewritten) {
    TempDir dir;
    const std::string photo = dir.Write("photo.jpg", "bytes");
    CountedSearch counted;
    PhotoFacesCache(dir.File("cache"), counted.Function()).Faces(photo);
    const std::string file = PhotoFacesCache(dir.File("cache"), counted.Function()).FileOf(photo);
    const std::string good = Slurp(file);
    ASSERT_NE(good.find("\n0.125 0.25 0.375 0.5\nend\n"), std::string::npos) << good;
    const struct {
        const char* name;
        std::string text;
    } damages[] = {
        {"empty", ""},
        {"cut short", good.substr(0, good.size() - 4)},
        {"a face outside the photo", good.substr(0, good.find("0.125")) + "0.8 0.25 0.375 0.5\nend\n"},
        {"a line of noise", good.substr(0, good.find("end")) + "noise\nend\n"},
        {"another heading", "kavrel photo faces 0" + good.substr(good.find('\n'))},
    };
    for (const auto& d : damages) {
        SCOPED_TRACE(d.name);
        std::ofstream(file, std::ios::binary | std::ios::trunc) << d.text;
        const int before = counted.searches;
        PhotoFacesCache(dir.File("cache"), counted.Function()).Faces(photo);
        EXPECT_EQ(counted.searches, before + 1);
        EXPECT_EQ(Slurp(file), good);
    }
}

TEST(PhotoFacesCache, AFolderThatCannotBeWrittenOnlyCostsTheCache) {
    TempDir dir;
    const std::string photo = dir.Write("photo.jpg", "bytes");
    CountedSearch counted;
    PhotoFacesCache cache(dir.Write("not-a-folder", "") + "/faces", counted.Function());
    EXPECT_TRUE(cache.Faces(photo).read);
    EXPECT_TRUE(cache.Faces(photo).read);
    EXPECT_EQ(counted.searches, 1);
}

TEST(PhotoFacesCache, FindingAheadSearchesEachUnknownPhotoOnce) {
    TempDir dir;
    std::vector<std::string> photos;
    for (int i = 0; i < 12; ++i) photos.push_back(dir.Write("photo" + std::to_string(i) + ".jpg", "bytes"));
    CountedSearch counted;
    PhotoFacesCache cache(dir.File("cache"), counted.Function());
    cache.Faces(photos[0]);
    cache.FindAhead(photos, 3);
    EXPECT_EQ(counted.searches, 12);
    for (const std::string& photo : photos) cache.Faces(photo);
    EXPECT_EQ(counted.searches, 12);
}

TEST(PhotoFacesCache, FacesOfPhotoKeepsWhatItFoundInTheUserCacheFolder) {
    TempDir dir;
    setenv("XDG_CACHE_HOME", dir.path().c_str(), 1);
    const std::string photo = dir.File("hopper.jpg");
    std::filesystem::copy_file(kHopper, photo);
    FindFacesAhead({photo}, 1);
    const std::string file = PhotoFacesCache(dir.File("kavrel/faces"), nullptr).FileOf(photo);
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(FacesOfPhoto(photo).faces.size(), 1u);
    EXPECT_NE(Slurp(file).find("\nfaces 1\n"), std::string::npos);
}
