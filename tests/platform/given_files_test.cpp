// Files given to the program (on its command line, by a file manager) are told apart by what they
// hold, never by their names: photos, music, one show; the rest refused with the reason.

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

#include "app/given_files.h"
#include "app/show_file.h"
#include "tests/support/media_encoder.h"
#include "tests/support/photo_files.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_media.h"

namespace {

using Refusals = std::vector<std::pair<std::string, GivenFileRefusal>>;

Refusals Refused(const GivenFiles& given) {
    Refusals refused;
    for (const RefusedFile& file : given.refused) refused.emplace_back(file.path, file.why);
    return refused;
}

}  // namespace

TEST(GivenFiles, AreSortedByWhatTheyHold) {
    TempDir dir;
    const RgbPicture picture = Quadrants(64, 48);
    ASSERT_EQ(WritePicture(dir.File("camera.jpg"), picture, "mjpeg"), "");
    ASSERT_EQ(WritePicture(dir.File("screen.png"), picture, "png"), "");
    ASSERT_EQ(HeifEnc(dir.File("phone.heic"), picture), "");
    ASSERT_EQ(WritePicture(dir.File("photo.mp3"), picture, "png"), "");
    ASSERT_EQ(EncodeTone(dir.File("song.mp3"), 1, "libmp3lame"), "");
    ASSERT_EQ(EncodeTone(dir.File("song.flac"), 1, "flac"), "");
    ASSERT_EQ(EncodeTone(dir.File("cover.mp3"), 1, "libmp3lame", dir.File("camera.jpg")), "");
    WriteToneWav(dir.File("tone.jpg"), 1);
    dir.Write("notes.jpg", "a text file under a photo's name\n");
    dir.Write("empty.png", "");
    dir.Write("data.json", "{\"photos\": []}\n");
    Show show;
    ASSERT_FALSE(WriteShowFile(dir.File("holiday.kavrel"), show));
    std::filesystem::copy_file(dir.File("holiday.kavrel"), dir.File("holiday backup"));
    std::filesystem::create_directory(dir.File("folder.jpg"));

    const std::vector<std::string> names{"camera.jpg", "song.mp3", "holiday backup", "screen.png",
                                         "notes.jpg", "phone.heic", "song.flac", "holiday.kavrel",
                                         "photo.mp3", "cover.mp3", "tone.jpg", "empty.png",
                                         "data.json", "folder.jpg", "gone.png"};
    std::vector<std::string> paths;
    for (const std::string& name : names) paths.push_back(dir.File(name));
    const GivenFiles given = SortGivenFiles(paths);

    EXPECT_EQ(given.show, dir.File("holiday backup")) << "a show by its content, whatever its name";
    EXPECT_EQ(given.photos, (std::vector<std::string>{dir.File("camera.jpg"), dir.File("screen.png"),
                                                      dir.File("phone.heic"), dir.File("photo.mp3")}));
    EXPECT_EQ(given.music, (std::vector<std::string>{dir.File("song.mp3"), dir.File("song.flac"),
                                                     dir.File("cover.mp3"), dir.File("tone.jpg")}));
    EXPECT_EQ(Refused(given), (Refusals{{dir.File("notes.jpg"), GivenFileRefusal::Unknown},
                                        {dir.File("holiday.kavrel"), GivenFileRefusal::SecondShow},
                                        {dir.File("empty.png"), GivenFileRefusal::Unknown},
                                        {dir.File("data.json"), GivenFileRefusal::Unknown},
                                        {dir.File("folder.jpg"), GivenFileRefusal::NotAFile},
                                        {dir.File("gone.png"), GivenFileRefusal::Missing}}));
}

TEST(GivenFiles, AreNamedInOneMessageWithTheirReasons) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("folder"));
    const std::string text = RefusedFilesText({{dir.File("notes.jpg"), GivenFileRefusal::Unknown},
                                               {dir.File("folder"), GivenFileRefusal::NotAFile},
                                               {dir.File("gone.png"), GivenFileRefusal::Missing},
                                               {dir.File("b.kavrel"), GivenFileRefusal::SecondShow}});
    EXPECT_EQ(text, "These files were not opened:\n" + dir.File("notes.jpg") +
                        " is neither a photo, music nor a show.\n" + dir.File("folder") +
                        " is a folder, not a file.\n" + dir.File("gone.png") + ": there is no such file.\n" +
                        dir.File("b.kavrel") + " is another show; one show opens at a time.");
    EXPECT_EQ(RefusedFilesText({}), "");
}
