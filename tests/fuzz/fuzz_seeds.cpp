// Makes the first inputs of a fuzzing harness with the tests' own media makers:
//   kavrel-fuzz-seeds HARNESS FOLDER
// A harness with no seeds here starts from nothing, which libFuzzer handles too.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>

#include "app/settings_table.h"
#include "app/show_file.h"
#include "platform/media/thumbnails/thumbnail_png.h"
#include "platform/shell/profile_store.h"
#include "tests/support/cmyk_jpeg.h"
#include "tests/support/media_encoder.h"
#include "tests/support/media_reader.h"
#include "tests/support/photo_files.h"
#include "tests/support/photo_kinds.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

void Write(const fs::path& file, const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }

// Baseline, progressive (with and without restart markers), CMYK and turned JPEGs.
bool JpegSeeds(const fs::path& folder) {
    const std::string baseline = (folder / "baseline.jpg").string();
    if (!WritePhoto(baseline, 48, 32, 1, "mjpeg").empty() || !WriteCmykJpeg((folder / "cmyk.jpg").string(), 16, 8)) {
        return false;
    }
    Write(folder / "turned.jpg", WithExifOrientation(Slurp(baseline), 6));
    const std::map<std::string, std::string> progressive{{"progressive.jpg", "-progressive"},
                                                         {"restarts.jpg", "-progressive -restart 1B"}};
    for (const auto& [name, options] : progressive) {
        const std::string command = "jpegtran " + options + " -outfile '" + (folder / name).string() + "' '" + baseline + "'";
        if (std::system(command.c_str()) != 0) return false;
    }
    return true;
}

// The shipped language files, each behind the byte that names its encoding to the harness.
bool LanguageSeeds(const fs::path& folder) {
    const fs::path language = fs::path(KAVREL_SOURCE_DIR) / "language";
    const std::map<std::string, char> encodingByte{{"English.ini", 3},  {"German.ini", 3}, {"Russian.ini", 6},
                                                   {"Chinese_Simplified.ini", 9}, {"masters/French.ini", 1}};
    for (const auto& [name, encoding] : encodingByte) {
        const std::string bytes = Slurp((language / name).string());
        if (bytes.empty()) return false;
        Write(folder / fs::path(name).filename(), std::string(1, encoding) + bytes);
    }
    return true;
}

// Settings files as the program writes them: its defaults, and values at the edges.
bool SettingsSeeds(const fs::path& folder) {
    {
        ProfileStore store((folder / "defaults.ini").string());
        for (const Setting* s : settings::kAll) {
            if (s->type == SettingType::Integer) WriteInt(store, *s, s->intDefault);
            if (s->type == SettingType::Text) WriteText(store, *s, std::string(s->textDefault));
        }
        for (const Setting& font : settings::kInterfaceFont) {
            store.WriteProfileString("english", std::string(font.key), std::to_string(font.intDefault));
        }
    }
    ProfileStore odd((folder / "odd.ini").string());
    WriteText(odd, settings::kOutputName, "/tmp/a, b; c \"d\" \\e.avi");
    WriteText(odd, settings::kPhotoDuration, "1e308");
    WriteText(odd, settings::kTransitionDuration, " -0.5x");
    WriteInt(odd, settings::kOutputWidth, -2147483647 - 1);
    WriteText(odd, settings::kCurrentLanguage, "Chinese_Simplified\xE4\xB8\xAD");
    return true;
}

bool PhotoListSeeds(const fs::path& folder) {
    Write(folder / "list", "-o\0show.mp4\0--size\0" "1280x720\0--seed\0" "7\nbeach.jpg\r\n# a comment\n\n/photos/dunes.jpg\n"s);
    Write(folder / "durations",
          "--photo-duration\0" "5\0--transition-duration\0" "1.5\0--policy\0" "same\0--same\0" "3\nphoto.jpg\n"s);
    return true;
}

// Shows as the program writes them, in the folder the harness reads them from.
bool ShowSeeds(const fs::path& folder) {
    Show show;
    show.photos = {{"/shows/holiday/beach.jpg", 5, 3, 1, MotionKind::ZoomIn},
                   {"/elsewhere/dunes.heic", 2.5, 46, 0.5, MotionKind::PanUp}};
    show.music = {{"/shows/holiday/music/song.mp3", 0, {15'000'000, 1'200'000'000, -4.5, 2}},
                  {"/shows/holiday/music/two.ogg", 0, {}}};
    show.musicMix = {true, -18, 3};
    show.framing = Framing::Blur;
    show.facesAimed = true;
    show.photos[1].framing = {Framing::Fill, 30, PhotoRect{0.1, 0.2, 0.5, 0.5}, PhotoRect{0.3, 0.3, 0.25, 0.25}};
    show.output.videoCompressor = "libx264";
    Write(folder / "holiday.kavrel", SerializeShow(show, "/shows/holiday"));
    Write(folder / "empty.kavrel", SerializeShow(Show(), "/shows/holiday"));
    return true;
}

// Small photos of every kind the decoders choose between.
bool PhotoSeeds(const fs::path& folder) {
    const RgbPicture picture = Quadrants(32, 16);
    auto at = [&](const char* name) { return (folder / name).string(); };
    const std::string failures =
        WritePicture(at("plain.png"), picture, "png") + WritePicture(at("plain.jpg"), picture, "mjpeg") +
        WritePicture(at("plain.bmp"), picture, "bmp") + WriteHalfClearPng(at("clear.png"), 16, 16) +
        WritePngWithExif(at("turned.png"), picture, 6) + WriteTiff(at("cmyk.tif"), picture, TiffKind::CmykJpeg) +
        WriteTiff(at("tiled.tif"), picture, TiffKind::TiledLzw, 8) + WriteTiff(at("float.tif"), picture, TiffKind::Float) +
        WriteWebp(at("turned.webp"), picture, 6) + WriteAnimatedWebp(at("animated.webp"), picture, Quadrants(32, 16, 3)) +
        HeifEnc(at("plain.heic"), picture);
    return failures.empty();
}

bool HeifSeeds(const fs::path& folder) {
    const RgbPicture picture = Quadrants(32, 16);
    return (HeifEnc((folder / "plain.heic").string(), picture) + HeifEnc((folder / "plain.avif").string(), picture) +
            WriteSizelessHeic((folder / "sizeless.heic").string(), picture) +
            WriteTurnedHeic((folder / "turned.heic").string(), picture, 6))
        .empty();
}

bool MusicSeeds(const fs::path& folder) {
    return (EncodeTone((folder / "tone.wav").string(), 0.2, "pcm_s16le") +
            EncodeTone((folder / "tone.flac").string(), 0.2, "flac") +
            EncodeTone((folder / "tone.mp3").string(), 0.2, "libmp3lame"))
        .empty();
}

// A thumbnail with its tags, as the cache keeps it, and a plain PNG with none.
bool ThumbnailSeeds(const fs::path& folder) {
    ThumbnailPicture picture{4, 3, std::vector<std::uint8_t>(4 * 3 * 4, 200)};
    const bool tagged = WriteThumbnailPng((folder / "tagged.png").string(), picture,
                                          {{"Thumb::URI", "file:///tmp/a%20b.jpg"}, {"Thumb::MTime", "1700000000"}});
    return tagged && WritePicture((folder / "plain.png").string(), Quadrants(8, 6), "png").empty();
}

template <class T>
std::string Raw(T value) {
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

// Photo values at the edges of what the photo dialog takes, and music long enough to fit a photo
// to just under and over the longest duration.
bool SaveReopenSeeds(const fs::path& folder) {
    const std::string output = Raw<std::uint16_t>(1022) + Raw<std::uint16_t>(135) + Raw<std::uint32_t>(2000) + Raw<std::uint8_t>(2);
    Write(folder / "extremes", Raw<std::uint8_t>(3) + Raw(65535.999) + Raw(600.00003) + Raw(0.0) + Raw(0.0) + Raw(65535.0) +
                                  Raw(0.001) + Raw(std::nextafter(65536.0, 0.0)) + Raw(599.99999) + output);
    Write(folder / "fitted", Raw<std::uint8_t>(0) + Raw(8.0) + Raw(4.0) + output + Raw<std::int64_t>(655359999999));
    Write(folder / "too-long", Raw<std::uint8_t>(0) + Raw(8.0) + Raw(4.0) + output + Raw<std::int64_t>(655360000001));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: kavrel-fuzz-seeds HARNESS FOLDER\n", stderr);
        return 2;
    }
    const std::map<std::string, std::function<bool(const fs::path&)>> seeds{
        {"jpeg_header_fuzzer", JpegSeeds},         {"jpeg_dc_scans_fuzzer", JpegSeeds},
        {"ini_reader_fuzzer", LanguageSeeds},      {"settings_file_fuzzer", SettingsSeeds},
        {"render_options_fuzzer", PhotoListSeeds}, {"show_file_fuzzer", ShowSeeds},
        {"show_timeline_fuzzer", ShowSeeds},
        {"photo_decoder_fuzzer", PhotoSeeds},      {"heif_photo_fuzzer", HeifSeeds},
        {"media_duration_fuzzer", MusicSeeds},
        {"show_save_reopen_fuzzer", SaveReopenSeeds},
        {"thumbnail_png_fuzzer", ThumbnailSeeds},
    };
    const fs::path folder = argv[2];
    fs::create_directories(folder);
    auto it = seeds.find(argv[1]);
    if (it != seeds.end() && !it->second(folder)) {
        std::fprintf(stderr, "kavrel-fuzz-seeds: could not make the seeds of %s\n", argv[1]);
        return 1;
    }
    return 0;
}
