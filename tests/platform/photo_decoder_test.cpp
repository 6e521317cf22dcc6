#include "platform/render/decode/photo_decoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/render/decode/jpeg_header.h"
#include "platform/render/decode/photo_picture.h"
#include "tests/support/cmyk_jpeg.h"
#include "tests/support/media_reader.h"
#include "tests/support/photo_files.h"
#include "tests/support/photo_kinds.h"
#include "tests/support/temp_dir.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libswscale/swscale.h>
}

namespace {

// An image file in `pixFmt` through FFmpeg's encoder `codec`: left half white, right half black.
std::string WriteHalves(const std::string& path, int w, int h, const char* codec, AVPixelFormat pixFmt,
                        const char* option = nullptr, const char* value = nullptr) {
    const AVCodec* enc = avcodec_find_encoder_by_name(codec);
    AVCodecContext* c = avcodec_alloc_context3(enc);
    c->width = w;
    c->height = h;
    c->time_base = {1, 25};
    c->pix_fmt = pixFmt;
    AVDictionary* opts = nullptr;
    if (option) av_dict_set(&opts, option, value, 0);
    if (avcodec_open2(c, enc, &opts) < 0) return "cannot open";
    av_dict_free(&opts);
    AVFrame* rgba = av_frame_alloc();
    rgba->format = AV_PIX_FMT_RGBA;
    rgba->width = w;
    rgba->height = h;
    av_frame_get_buffer(rgba, 32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = rgba->data[0] + y * rgba->linesize[0] + 4 * x;
            std::uint8_t v = x < w / 2 ? 255 : 0;
            p[0] = p[1] = p[2] = v;
            p[3] = 255;
        }
    }
    AVFrame* f = av_frame_alloc();
    f->format = pixFmt;
    f->width = w;
    f->height = h;
    av_frame_get_buffer(f, 32);
    if (pixFmt == AV_PIX_FMT_PAL8) {  // swscale writes no palettes: index 1 white, 0 black
        auto* palette = reinterpret_cast<std::uint32_t*>(f->data[1]);
        std::memset(palette, 0, 1024);
        palette[1] = 0xFFFFFFFFu;
        palette[0] = 0xFF000000u;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) f->data[0][y * f->linesize[0] + x] = x < w / 2 ? 1 : 0;
        }
    } else {
        SwsContext* sws = sws_getContext(w, h, AV_PIX_FMT_RGBA, w, h, pixFmt, SWS_POINT, nullptr, nullptr, nullptr);
        sws_scale(sws, rgba->data, rgba->linesize, 0, h, f->data, f->linesize);
        sws_freeContext(sws);
    }
    AVPacket* pkt = av_packet_alloc();
    avcodec_send_frame(c, f);
    avcodec_send_frame(c, nullptr);
    std::string result = "no packet";
    if (avcodec_receive_packet(c, pkt) >= 0) {
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(pkt->data), pkt->size);
        result.clear();
    }
    av_packet_free(&pkt);
    av_frame_free(&f);
    av_frame_free(&rgba);
    avcodec_free_context(&c);
    return result;
}

int Luma(const AVFrame* f, int x, int y) { return f->data[0][y * f->linesize[0] + x]; }

}  // namespace

TEST(PhotoDecoder, EveryCommonFormatIsLetterboxedIntoTheFrame) {
    TempDir dir;
    struct Case {
        const char* file;
        const char* codec;
        AVPixelFormat format;
    };
    const Case cases[] = {{"a.jpg", "mjpeg", AV_PIX_FMT_YUVJ420P}, {"b24.bmp", "bmp", AV_PIX_FMT_BGR24},
                          {"b32.bmp", "bmp", AV_PIX_FMT_BGRA},     {"b8.bmp", "bmp", AV_PIX_FMT_PAL8},
                          {"c.gif", "gif", AV_PIX_FMT_PAL8},       {"d.tga", "targa", AV_PIX_FMT_BGR24},
                          {"e.png", "png", AV_PIX_FMT_RGB24},      {"f.webp", "libwebp", AV_PIX_FMT_YUV420P},
                          {"g.tif", "tiff", AV_PIX_FMT_RGB24},     {"h.tiff", "tiff", AV_PIX_FMT_YUV420P}};
    for (const Case& c : cases) {
        ASSERT_EQ(WriteHalves(dir.File(c.file), 80, 40, c.codec, c.format), "") << c.file;
        PhotoSize size;
        std::string error;
        ASSERT_TRUE(ProbePhoto(dir.File(c.file), &size, &error)) << c.file << ": " << error;
        EXPECT_EQ(size.width, 80) << c.file;
        EXPECT_EQ(size.height, 40) << c.file;
        FramePtr f;
        ASSERT_TRUE(DecodePhotoFrame(dir.File(c.file), 160, 120, &f, &error)) << c.file << ": " << error;
        // 2:1 into 4:3: full width, bars above and below.
        EXPECT_EQ(Luma(f.get(), 80, 10), 16) << c.file;   // bar
        EXPECT_EQ(Luma(f.get(), 80, 110), 16) << c.file;  // bar
        EXPECT_GT(Luma(f.get(), 20, 60), 200) << c.file;  // white half
        EXPECT_LT(Luma(f.get(), 140, 60), 40) << c.file;  // black half
    }
}

TEST(PhotoDecoder, ExifOrientationTurnsThePhotoUpright) {
    TempDir dir;
    ASSERT_EQ(WriteHalves(dir.File("plain.jpg"), 80, 40, "mjpeg", AV_PIX_FMT_YUVJ420P), "");
    std::string jpeg = Slurp(dir.File("plain.jpg"));
    struct Case {
        int orientation;
        int width, height;  // upright
        int whiteX, whiteY, blackX, blackY;  // probes in a 120 × 120 frame
    };
    // Orientation 6 turns the picture a quarter clockwise: the white left half goes to the top.
    const Case cases[] = {{1, 80, 40, 20, 60, 100, 60}, {3, 80, 40, 100, 60, 20, 60},
                          {6, 40, 80, 60, 20, 60, 100}, {8, 40, 80, 60, 100, 60, 20}};
    for (const Case& c : cases) {
        std::string file = dir.File("o" + std::to_string(c.orientation) + ".jpg");
        std::ofstream(file, std::ios::binary) << WithExifOrientation(jpeg, c.orientation);
        JpegHeader h;
        ASSERT_TRUE(ReadJpegHeader(Slurp(file), &h));
        EXPECT_EQ(h.orientation, c.orientation);
        PhotoSize size;
        std::string error;
        ASSERT_TRUE(ProbePhoto(file, &size, &error)) << error;
        EXPECT_EQ(size.width, c.width) << c.orientation;
        EXPECT_EQ(size.height, c.height) << c.orientation;
        FramePtr f;
        ASSERT_TRUE(DecodePhotoFrame(file, 120, 120, &f, &error)) << error;
        EXPECT_GT(Luma(f.get(), c.whiteX, c.whiteY), 200) << c.orientation;
        EXPECT_LT(Luma(f.get(), c.blackX, c.blackY), 40) << c.orientation;
    }
}

TEST(PhotoDecoder, ALargeJpegDecodedAtAnEighthStillFillsItsPlace) {
    // 1280 × 640 turned upright to 640 × 1280 is shown 60 × 120 in a 120 × 120 frame: an eighth of
    // its size is enough, and a progressive file is then read without its AC scans.
    TempDir dir;
    ASSERT_EQ(WriteHalves(dir.File("wide.jpg"), 1280, 640, "mjpeg", AV_PIX_FMT_YUVJ420P), "");
    std::ofstream(dir.File("baseline.jpg"), std::ios::binary) << WithExifOrientation(Slurp(dir.File("wide.jpg")), 6);
    ASSERT_EQ(std::system(("jpegtran -progressive -copy all -outfile '" + dir.File("progressive.jpg") + "' '" +
                           dir.File("baseline.jpg") + "'").c_str()), 0);
    for (const char* name : {"baseline.jpg", "progressive.jpg"}) {
        FramePtr f;
        std::string error;
        ASSERT_TRUE(DecodePhotoFrame(dir.File(name), 120, 120, &f, &error)) << name << ": " << error;
        EXPECT_EQ(Luma(f.get(), 10, 60), 16) << name;    // bar
        EXPECT_EQ(Luma(f.get(), 110, 60), 16) << name;   // bar
        EXPECT_GT(Luma(f.get(), 60, 20), 200) << name;   // white half on top
        EXPECT_LT(Luma(f.get(), 60, 100), 40) << name;   // black half below
        EXPECT_GT(Luma(f.get(), 31, 5), 200) << name;    // the picture reaches its edges
        EXPECT_GT(Luma(f.get(), 88, 5), 200) << name;
    }
}

TEST(PhotoDecoder, TransparencyLiesOverBlack) {
    TempDir dir;
    // A fully transparent white PNG shows black.
    const AVCodec* enc = avcodec_find_encoder_by_name("png");
    AVCodecContext* c = avcodec_alloc_context3(enc);
    c->width = c->height = 16;
    c->time_base = {1, 25};
    c->pix_fmt = AV_PIX_FMT_RGBA;
    ASSERT_GE(avcodec_open2(c, enc, nullptr), 0);
    AVFrame* f = av_frame_alloc();
    f->format = AV_PIX_FMT_RGBA;
    f->width = f->height = 16;
    av_frame_get_buffer(f, 32);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            std::uint8_t* p = f->data[0] + y * f->linesize[0] + 4 * x;
            p[0] = p[1] = p[2] = 255;
            p[3] = x < 8 ? 0 : 255;
        }
    }
    AVPacket* pkt = av_packet_alloc();
    avcodec_send_frame(c, f);
    avcodec_send_frame(c, nullptr);
    ASSERT_GE(avcodec_receive_packet(c, pkt), 0);
    std::ofstream(dir.File("alpha.png"), std::ios::binary).write(reinterpret_cast<const char*>(pkt->data), pkt->size);
    av_packet_free(&pkt);
    av_frame_free(&f);
    avcodec_free_context(&c);
    FramePtr frame;
    std::string error;
    ASSERT_TRUE(DecodePhotoFrame(dir.File("alpha.png"), 32, 32, &frame, &error)) << error;
    EXPECT_LT(Luma(frame.get(), 4, 16), 20);
    EXPECT_GT(Luma(frame.get(), 28, 16), 200);
}

TEST(PhotoDecoder, RefusesWhatItCannotShow) {
    TempDir dir;
    PhotoSize size;
    std::string error;
    EXPECT_FALSE(ProbePhoto(dir.File("missing.jpg"), &size, &error));
    EXPECT_NE(error.find("missing.jpg"), std::string::npos);
    // A JPEG frame header claiming 20000 × 10000 pixels.
    std::string huge("\xFF\xD8\xFF\xC0\x00\x11\x08\x27\x10\x4E\x20\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01\xFF\xD9", 23);
    std::ofstream(dir.File("huge.jpg"), std::ios::binary) << huge;
    EXPECT_FALSE(ProbePhoto(dir.File("huge.jpg"), &size, &error));
    EXPECT_EQ(error, "The photo " + dir.File("huge.jpg") +
                         " has 20000 x 10000 pixels, more than the 100 megapixels this program decodes");
    FramePtr f;
    EXPECT_FALSE(DecodePhotoFrame(dir.File("huge.jpg"), 64, 48, &f, &error));
    EXPECT_NE(error.find("100 megapixels"), std::string::npos);
    // A PNG of 10001 x 10000 pixels is refused by its size before its memory is taken.
    const std::string over = std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x27\x11\0\0\x27\x10\x08\x02\0\0\0", 29) +
                             std::string(4, '\0') + std::string("\0\0\0\x08IDAT\x78\x9c\x03\0\0\0\0\x01", 16) +
                             std::string(4, '\0') + std::string("\0\0\0\0IEND\xae\x42\x60\x82", 12);
    std::ofstream(dir.File("over.png"), std::ios::binary) << over;
    EXPECT_FALSE(DecodePhotoFrame(dir.File("over.png"), 64, 48, &f, &error));
    EXPECT_EQ(error, "The photo " + dir.File("over.png") +
                         " has 10001 x 10000 pixels, more than the 100 megapixels this program decodes");
    // 32-bit integer samples: a kind no decoder here reads, said so.
    ASSERT_EQ(WriteTiff(dir.File("deep.tif"), Quadrants(16, 16), TiffKind::Int32), "");
    EXPECT_FALSE(DecodePhotoFrame(dir.File("deep.tif"), 64, 48, &f, &error));
    EXPECT_EQ(error.rfind("The photo " + dir.File("deep.tif") + " is of a kind this program cannot decode (", 0), 0u)
        << error;
    // A JPEG cut short is refused, not drawn with a green gap; one that only lacks its end marker is whole.
    ASSERT_EQ(WriteHalves(dir.File("whole.jpg"), 160, 120, "mjpeg", AV_PIX_FMT_YUVJ420P), "");
    std::ifstream whole(dir.File("whole.jpg"), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(whole)), std::istreambuf_iterator<char>());
    std::ofstream(dir.File("cut.jpg"), std::ios::binary) << bytes.substr(0, bytes.size() * 2 / 3);
    EXPECT_FALSE(DecodePhotoFrame(dir.File("cut.jpg"), 160, 120, &f, &error));
    EXPECT_EQ(error.rfind("Cannot decode the photo " + dir.File("cut.jpg"), 0), 0u) << error;
    std::ofstream(dir.File("no-end.jpg"), std::ios::binary) << bytes.substr(0, bytes.size() - 2);
    EXPECT_TRUE(DecodePhotoFrame(dir.File("no-end.jpg"), 160, 120, &f, &error)) << error;
    std::ofstream(dir.File("text.jpg")) << "not a picture at all";
    EXPECT_FALSE(DecodePhotoFrame(dir.File("text.jpg"), 64, 48, &f, &error));
    EXPECT_NE(error.find("text.jpg"), std::string::npos);
    // A name that looks like a protocol or a pattern is only ever a file name.
    EXPECT_FALSE(ProbePhoto("concat:" + dir.File("a.jpg") + "|" + dir.File("b.jpg"), &size, &error));
}

TEST(PhotoDecoder, ProgressiveAndGreyscaleJpegs) {
    TempDir dir;
    ASSERT_EQ(WriteHalves(dir.File("base.jpg"), 80, 40, "mjpeg", AV_PIX_FMT_YUVJ420P), "");
    // libjpeg's own tools make the kinds FFmpeg's encoder does not.
    std::string ppm = "P6\n80 40\n255\n";
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 80; ++x) ppm.append(3, x < 40 ? '\xFF' : '\0');
    }
    std::ofstream(dir.File("halves.ppm"), std::ios::binary) << ppm;
    ASSERT_EQ(std::system(("jpegtran -progressive -outfile '" + dir.File("progressive.jpg") + "' '" +
                           dir.File("base.jpg") + "'").c_str()), 0);
    ASSERT_EQ(std::system(("cjpeg -grayscale -outfile '" + dir.File("grey.jpg") + "' '" + dir.File("halves.ppm") + "'")
                              .c_str()), 0);
    for (const char* name : {"progressive.jpg", "grey.jpg"}) {
        std::string file = dir.File(name);
        JpegHeader h;
        ASSERT_TRUE(ReadJpegHeader(Slurp(file), &h)) << name;
        EXPECT_EQ(h.width, 80) << name;
        FramePtr f;
        std::string error;
        ASSERT_TRUE(DecodePhotoFrame(file, 160, 120, &f, &error)) << name << ": " << error;
        EXPECT_EQ(Luma(f.get(), 80, 10), 16) << name;
        EXPECT_GT(Luma(f.get(), 20, 60), 200) << name;
        EXPECT_LT(Luma(f.get(), 140, 60), 40) << name;
        EXPECT_NEAR(f->data[1][30 * f->linesize[1] + 10], 128, 3) << name;  // no colour in grey
    }
}

TEST(PhotoDecoder, CmykJpeg) {
    TempDir dir;
    ASSERT_TRUE(WriteCmykJpeg(dir.File("cmyk.jpg"), 80, 40));
    PhotoSize size;
    std::string error;
    ASSERT_TRUE(ProbePhoto(dir.File("cmyk.jpg"), &size, &error)) << error;
    EXPECT_EQ(size.width, 80);
    FramePtr f;
    ASSERT_TRUE(DecodePhotoFrame(dir.File("cmyk.jpg"), 160, 120, &f, &error)) << error;
    EXPECT_GT(Luma(f.get(), 20, 60), 200);  // no ink: white
    EXPECT_LT(Luma(f.get(), 140, 60), 40);  // full black ink
    EXPECT_EQ(Luma(f.get(), 80, 10), 16);   // bar
}

namespace {

Rgb PixelOf(const VideoPicture& p, int x, int y) {
    const std::uint8_t* bgra = p.pixels->data() + static_cast<std::size_t>(y) * p.stride + 4 * x;
    return {bgra[2], bgra[1], bgra[0]};
}

bool Near(Rgb a, Rgb b, int tolerance) {
    for (std::size_t i = 0; i < 3; ++i) {
        if (std::abs(a[i] - b[i]) > tolerance) return false;
    }
    return true;
}

std::string Shown(Rgb c) {
    return std::to_string(c[0]) + "," + std::to_string(c[1]) + "," + std::to_string(c[2]);
}

}  // namespace

TEST(PhotoDecoder, EveryKindComesInItsColoursAtItsSizeUpright) {
    TempDir dir;
    const std::vector<Rgb> colours{{220, 30, 30}, {30, 200, 60}, {40, 60, 210}, {255, 255, 255}};
    const RgbPicture upright = Patches(64, 48, colours, 2);
    const RgbPicture turned = upright.TurnedLeft();  // stored so, orientation 6 makes it upright
    const RgbPicture other = Patches(64, 48, {colours[3], colours[2], colours[1], colours[0]}, 2);
    struct Case {
        const char* file;
        std::function<std::string(const std::string&)> write;
    };
    const Case cases[] = {
        {"cmyk-jpeg.tif", [&](const std::string& f) { return WriteTiff(f, upright, TiffKind::CmykJpeg); }},
        {"tiled-lzw.tif", [&](const std::string& f) { return WriteTiff(f, turned, TiffKind::TiledLzw, 6); }},
        {"float.tif", [&](const std::string& f) { return WriteTiff(f, upright, TiffKind::Float); }},
        {"exif.png", [&](const std::string& f) { return WritePngWithExif(f, turned, 6); }},
        {"exif.webp", [&](const std::string& f) { return WriteWebp(f, turned, 6); }},
        {"animated.webp", [&](const std::string& f) { return WriteAnimatedWebp(f, upright, other); }},
        {"sizeless.heic", [&](const std::string& f) { return WriteSizelessHeic(f, upright); }},
    };
    for (const Case& c : cases) {
        const std::string file = dir.File(c.file);
        ASSERT_EQ(c.write(file), "") << c.file;
        PhotoSize size;
        std::string error;
        ASSERT_TRUE(ProbePhoto(file, &size, &error)) << c.file << ": " << error;
        EXPECT_EQ(size.width, 64) << c.file;
        EXPECT_EQ(size.height, 48) << c.file;
        VideoPicture shown;
        ASSERT_TRUE(DecodePhotoPicture(file, 64, 48, &shown, &error)) << c.file << ": " << error;
        const int probes[4][2] = {{16, 12}, {48, 12}, {16, 36}, {48, 36}};
        for (std::size_t i = 0; i < 4; ++i) {
            const Rgb got = PixelOf(shown, probes[i][0], probes[i][1]);
            EXPECT_TRUE(Near(got, colours[i], 40)) << c.file << " patch " << i << ": " << Shown(got);
        }
    }
}
