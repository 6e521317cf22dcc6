#include "tools/kavrel_render/render_options.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace {

ParsedOptions Parse(std::vector<std::string> args) { return ParseRenderOptions(args); }

}  // namespace

TEST(RenderOptions, ReadsEveryOption) {
    ParsedOptions p = Parse({"--dump-timeline", "a.jpg", "--photo-duration", "5",
                             "--transition-duration", "1.5", "--policy", "same", "--same", "3",
                             "--size", "1280x720", "--seed", "42", "--music", "m1.mp3", "b.jpg",
                             "--music", "m2.wav"});
    ASSERT_EQ(p.error, "");
    const RenderOptions& o = p.options;
    EXPECT_TRUE(o.dumpTimeline);
    EXPECT_EQ(o.photos, (std::vector<std::string>{"a.jpg", "b.jpg"}));
    EXPECT_EQ(o.music, (std::vector<std::string>{"m1.mp3", "m2.wav"}));
    EXPECT_DOUBLE_EQ(o.photoDurationSec, 5);
    EXPECT_DOUBLE_EQ(o.transitionDurationSec, 1.5);
    EXPECT_EQ(o.policy, 2);
    EXPECT_EQ(o.sameIndex, 3);
    EXPECT_EQ(o.width, 1280);
    EXPECT_EQ(o.height, 720);
    EXPECT_EQ(o.seed, 42u);
}

TEST(RenderOptions, DefaultsAreTheProgramsDefaults) {
    ParsedOptions p = Parse({"a.jpg", "-o", "show.avi"});
    ASSERT_EQ(p.error, "");
    EXPECT_DOUBLE_EQ(p.options.photoDurationSec, 8);
    EXPECT_EQ(p.options.format, "");
    EXPECT_EQ(p.options.videoCompressor, "");
    EXPECT_EQ(p.options.videoBitrate, 2048000);
    EXPECT_EQ(p.options.audioBitrate, 192000);
    EXPECT_DOUBLE_EQ(p.options.transitionDurationSec, 4);
    EXPECT_EQ(p.options.policy, 0);
    EXPECT_EQ(p.options.width, 640);
    EXPECT_EQ(p.options.height, 480);
    EXPECT_FALSE(p.options.seed.has_value());
    EXPECT_DOUBLE_EQ(p.options.musicFadeOutSec, 2);
    EXPECT_EQ(Parse({"--size", "0x0", "a.jpg", "--dump-timeline"}).error, "");
}

TEST(RenderOptions, ScreenSizesByNameAndTheMusicsFadeOut) {
    struct Case {
        const char* size;
        int width, height;
    };
    for (Case c : {Case{"720p", 1280, 720}, Case{"1080p", 1920, 1080}, Case{"2160p", 3840, 2160},
                   Case{"1080x1920", 1080, 1920}}) {
        ParsedOptions p = Parse({"a.jpg", "--dump-timeline", "--size", c.size});
        ASSERT_EQ(p.error, "") << c.size;
        EXPECT_EQ(p.options.width, c.width) << c.size;
        EXPECT_EQ(p.options.height, c.height) << c.size;
    }
    EXPECT_DOUBLE_EQ(Parse({"a.jpg", "--dump-timeline", "--fade-out", "0"}).options.musicFadeOutSec, 0);
    EXPECT_DOUBLE_EQ(Parse({"a.jpg", "--dump-timeline", "--fade-out", "3.5"}).options.musicFadeOutSec, 3.5);
}

TEST(RenderOptions, BadValuesAreRefusedWithAReason) {
    struct Case {
        std::vector<std::string> args;
        std::string error;
    };
    const Case cases[] = {
        {{}, "no photos given"},
        {{"a.jpg", "--bogus"}, "unknown option --bogus"},
        {{"a.jpg", "--music"}, "--music needs a value"},
        {{"a.jpg", "--photo-duration", "0"}, "--photo-duration takes seconds from 0.001 to 65535"},
        {{"a.jpg", "--photo-duration", "5s"}, "--photo-duration takes seconds from 0.001 to 65535"},
        {{"a.jpg", "--transition-duration", "601"}, "--transition-duration takes seconds from 0 to 600"},
        {{"a.jpg", "--photo-duration", "3", "--transition-duration", "3.5"},
         "The Photo Duration must be bigger than the Transition Duration!"},
        {{"a.jpg", "--policy", "shuffle"}, "--policy takes random, sequence or same"},
        {{"a.jpg", "--same", "47"}, "--same takes a transition number from 0 to 46 (see --list-transitions)"},
        {{"a.jpg", "--size", "641x480"},
         "--size needs even numbers from 16 to 8192 (or 0x0 for the first photo's size)"},
        {{"a.jpg", "--size", "640x0"},
         "--size needs even numbers from 16 to 8192 (or 0x0 for the first photo's size)"},
        {{"a.jpg", "--size", "big"}, "--size takes WIDTHxHEIGHT (for example 1080x1920), 720p, 1080p or 2160p"},
        {{"a.jpg", "--size", "1440p"}, "--size takes WIDTHxHEIGHT (for example 1080x1920), 720p, 1080p or 2160p"},
        {{"a.jpg", "--fade-out", "-1"}, "--fade-out takes seconds from 0 to 600"},
        {{"a.jpg", "--fade-out", "2s"}, "--fade-out takes seconds from 0 to 600"},
        {{"a.jpg", "--seed", "-1"}, "--seed takes a number from 0 to 4294967295"},
        {{"@/nonexistent/list.txt"}, "cannot read the photo list /nonexistent/list.txt"},
        {{"a.jpg"}, "no output file given (-o FILE), nor --dump-timeline or --save-show"},
        {{"a.jpg", "--format", "mov"}, "--format takes avi, wmv, mkv, asf, mp4 or ogm"},
        {{"a.jpg", "--video-bitrate", "fast"}, "--video-bitrate takes bits per second, for example 2048000"},
        {{"a.jpg", "--audio-bitrate", "-5"},
         "--audio-bitrate takes bits per second: 64000, 128000, 192000 or 320000"},
        {{"a.jpg", "--title", ""}, "--title takes a text of 1 to 4096 bytes"},
        {{"a.jpg", "--title-duration", "0"}, "--title-duration takes seconds from 0.001 to 65535"},
        {{"a.jpg", "--caption-from", "exif"}, "--caption-from takes date, name or none"},
        {{"a.jpg", "--captions-in", "file"}, "--captions-in takes picture, subtitles or both"},
        {{"a.jpg", "--subtitle-language", "German"}, "--subtitle-language takes a language code such as en, de or fra"},
        {{"show.kavrel", "--title", "Hi"}, "--title does not apply to a show file, whose photos keep their own values"},
    };
    for (const Case& c : cases) EXPECT_EQ(Parse(c.args).error, c.error);
    EXPECT_EQ(Parse({"--title", "The End", "-o", "end.mp4"}).error, "");  // title cards alone are a show
    EXPECT_EQ(Parse({"--help"}).error, "");
    EXPECT_TRUE(Parse({"--help"}).options.help);
}

TEST(RenderOptions, OutputOptions) {
    ParsedOptions p = Parse({"a.jpg", "-o", "out.wmv", "--format", "wmv", "--video-compressor", "none",
                             "--audio-compressor", "Microsoft ADPCM (adpcm_ms)", "--video-bitrate", "1536000",
                             "--audio-bitrate", "128000"});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.options.output, "out.wmv");
    EXPECT_EQ(p.options.format, "wmv");
    EXPECT_EQ(p.options.videoCompressor, "none");
    EXPECT_EQ(p.options.audioCompressor, "Microsoft ADPCM (adpcm_ms)");
    EXPECT_EQ(p.options.videoBitrate, 1536000);
    EXPECT_EQ(p.options.audioBitrate, 128000);
    EXPECT_TRUE(Parse({"--list-compressors"}).options.listCompressors);
}

TEST(RenderOptions, PhotoListFileIsReadRelativeToItsFolder) {
    TempDir dir;
    std::string list = dir.Write("list.txt", "# my show\none.jpg\r\n\n/abs/two.jpg\nsub/three.jpg");
    ParsedOptions p = Parse({"first.jpg", "@" + list, "--dump-timeline"});
    ASSERT_EQ(p.error, "");
    std::string folder = dir.path().string() + "/";
    EXPECT_EQ(p.options.photos, (std::vector<std::string>{"first.jpg", folder + "one.jpg",
                                                          "/abs/two.jpg", folder + "sub/three.jpg"}));
}

TEST(RenderOptions, AShowFileTakesThePlaceOfThePhotosAndTheirOptions) {
    ParsedOptions show = Parse({"Holiday.KAVREL", "--size", "720p", "--fit-to-music", "-o", "hd.mp4"});
    ASSERT_EQ(show.error, "");
    EXPECT_EQ(show.options.show, "Holiday.KAVREL");
    EXPECT_TRUE(show.options.photos.empty());
    EXPECT_TRUE(show.options.fitToMusic);
    EXPECT_EQ(show.options.given, (std::set<std::string>{"--size", "-o"}));
    EXPECT_EQ(Parse({"a.kavrel"}).error, "");  // its own output file, when it has one

    struct Case {
        std::vector<std::string> args;
        std::string error;
    };
    const std::vector<Case> cases = {
        {{"a.kavrel", "b.kavrel"}, "give one show file only"},
        {{"a.kavrel", "a.jpg"}, "give either a show file or photos, not both"},
        {{"a.kavrel", "--photo-duration", "3"},
         "--photo-duration does not apply to a show file, whose photos keep their own values"},
        {{"a.kavrel", "--seed", "3"}, "--seed does not apply to a show file, whose photos keep their own values"},
        {{"a.kavrel", "--motion", "random"},
         "--motion does not apply to a show file, whose photos keep their own values"},
        {{"a.jpg", "--save-show", "show.json"}, "--save-show takes a file name ending in .kavrel"},
    };
    for (const Case& c : cases) EXPECT_EQ(Parse(c.args).error, c.error);
    EXPECT_EQ(Parse({"--title", "The End", "-o", "end.mp4"}).error, "");  // title cards alone are a show
    ParsedOptions save = Parse({"a.jpg", "--save-show", "show.kavrel"});
    EXPECT_EQ(save.error, "");  // saving alone needs no output file
    EXPECT_EQ(save.options.saveShow, "show.kavrel");
}
