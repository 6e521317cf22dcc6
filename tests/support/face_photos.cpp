#include "tests/support/face_photos.h"

#include <gtest/gtest.h>

#include "platform/media/thumbnails/thumbnail_picture.h"
#include "tests/support/photo_files.h"

std::string HopperAtTheRightEdge(const TempDir& dir, const std::string& name, bool turned) {
    ThumbnailPicture hopper;
    std::string error;
    EXPECT_TRUE(MakeThumbnail(kHopper, 600, &hopper, &error)) << error;  // 512 × 600, as it is
    RgbPicture wide{1600, 600, std::vector<std::uint8_t>(1600 * 600 * 3, 110)};
    const int left = 1600 - hopper.width + 100;
    for (int y = 0; y < hopper.height; ++y) {
        for (int x = 0; left + x < wide.width; ++x) {
            const std::uint8_t* p = &hopper.rgba[(static_cast<std::size_t>(y) * hopper.width + x) * 4];
            wide.Set(left + x, y, {p[0], p[1], p[2]});
        }
    }
    if (!turned) {
        EXPECT_EQ(WritePicture(dir.File(name), wide, "mjpeg"), "");
        return dir.File(name);
    }
    const std::string plain = dir.File("plain-" + name);
    EXPECT_EQ(WritePicture(plain, wide.TurnedLeft(), "mjpeg"), "");
    return dir.Write(name, WithExifOrientation(Slurp(plain), 6));
}
