// A photo's colours come back from the written file as they were: converted in the matrix the
// frame's height calls for (BT.709 from 720 lines on, BT.601 below), tagged so, and decoded by
// FFmpeg as the tags say.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "platform/render/write/mpeg4_colour.h"
#include "platform/render/decode/photo_picture.h"
#include "tests/support/kavrel_render_run.h"
#include "tests/support/photo_files.h"
#include "tests/support/temp_dir.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace {

// Pure colours and a few of skin, sky and shadow: 4 columns, 3 rows.
const std::vector<Rgb> kPatches{{255, 0, 0},    {0, 255, 0},   {0, 0, 255},     {255, 255, 0},
                                {0, 255, 255},  {255, 0, 255}, {255, 255, 255}, {128, 128, 128},
                                {200, 120, 60}, {40, 90, 160}, {235, 200, 170}, {30, 30, 30}};

struct Lab {
    double l, a, b;
};

double Linear(double c) {
    c /= 255;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

Lab LabOf(double r, double g, double b) {
    const double lr = Linear(r), lg = Linear(g), lb = Linear(b);
    const double x = (0.4124 * lr + 0.3576 * lg + 0.1805 * lb) / 0.95047;
    const double y = 0.2126 * lr + 0.7152 * lg + 0.0722 * lb;
    const double z = (0.0193 * lr + 0.1192 * lg + 0.9505 * lb) / 1.08883;
    auto f = [](double t) {
        return t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116;
    };
    return {116 * f(y) - 16, 500 * (f(x) - f(y)), 200 * (f(y) - f(z))};
}

// CIE 1976 ΔE*ab: the plain distance in Lab.
double DeltaE(const Lab& p, const Lab& q) { return std::hypot(p.l - q.l, p.a - q.a, p.b - q.b); }

struct FrameColours {
    int height = 0;
    AVColorSpace matrix = AVCOL_SPC_UNSPECIFIED;  // as the file tags it
    std::vector<std::uint8_t> rgb;                // as decoded, converted by the tags
};

struct InputFree {
    void operator()(AVFormatContext* f) const { avformat_close_input(&f); }
};
struct CodecFree {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};

// A matrix the file does not tag (WMV and ASF have no place for it) is read as players read one:
// BT.709 from 720 lines on, BT.601 below.
AVColorSpace MatrixToDecodeWith(const AVFrame* f) {
    if (f->colorspace != AVCOL_SPC_UNSPECIFIED) return f->colorspace;
    return f->height >= 720 ? AVCOL_SPC_BT709 : AVCOL_SPC_SMPTE170M;
}

void ConvertByTags(const AVFrame* f, FrameColours* out) {
    out->height = f->height;
    out->matrix = f->colorspace;
    out->rgb.resize(static_cast<std::size_t>(f->width) * f->height * 3);
    SwsContext* sws =
        sws_getContext(f->width, f->height, static_cast<AVPixelFormat>(f->format), f->width,
                       f->height, AV_PIX_FMT_RGB24, SWS_POINT, nullptr, nullptr, nullptr);
    const int* matrix = sws_getCoefficients(MatrixToDecodeWith(f));
    sws_setColorspaceDetails(sws, matrix, f->color_range == AVCOL_RANGE_JPEG, matrix, 1, 0, 1 << 16,
                             1 << 16);
    std::uint8_t* dst[4] = {out->rgb.data()};
    int stride[4] = {f->width * 3};
    sws_scale(sws, f->data, f->linesize, 0, f->height, dst, stride);
    sws_freeContext(sws);
}

// The colours of the video's frame `wanted`.
FrameColours ReadFrame(const std::string& path, int wanted) {
    FrameColours colours;
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0) return colours;
    std::unique_ptr<AVFormatContext, InputFree> fmt(raw);
    avformat_find_stream_info(raw, nullptr);
    const int stream = av_find_best_stream(raw, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (stream < 0) return colours;
    const AVCodec* codec = avcodec_find_decoder(raw->streams[stream]->codecpar->codec_id);
    std::unique_ptr<AVCodecContext, CodecFree> dec(avcodec_alloc_context3(codec));
    avcodec_parameters_to_context(dec.get(), raw->streams[stream]->codecpar);
    avcodec_open2(dec.get(), codec, nullptr);
    AVPacket* pkt = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    for (int n = 0; n <= wanted && av_read_frame(raw, pkt) >= 0;) {
        if (pkt->stream_index == stream && avcodec_send_packet(dec.get(), pkt) >= 0) {
            while (n <= wanted && avcodec_receive_frame(dec.get(), frame) >= 0) {
                if (n++ == wanted) ConvertByTags(frame, &colours);
            }
        }
        av_packet_unref(pkt);
    }
    av_frame_free(&frame);
    av_packet_free(&pkt);
    return colours;
}

// The mean colour of the 8 × 8 block at the middle of patch i of a width × height picture.
Lab PatchColour(const std::vector<std::uint8_t>& rgb, int width, int height, std::size_t i) {
    const int cx = static_cast<int>(i % 4) * width / 4 + width / 8,
              cy = static_cast<int>(i / 4) * height / 3 + height / 6;
    double sum[3] = {};
    for (int y = cy - 4; y < cy + 4; ++y) {
        for (int x = cx - 4; x < cx + 4; ++x) {
            for (int c = 0; c < 3; ++c)
                sum[c] += rgb[(static_cast<std::size_t>(y) * width + x) * 3 + c];
        }
    }
    return LabOf(sum[0] / 64, sum[1] / 64, sum[2] / 64);
}

double WorstDeltaE(const std::vector<std::uint8_t>& rgb, int width, int height) {
    double worst = 0;
    for (std::size_t i = 0; i < kPatches.size(); ++i) {
        const Rgb& p = kPatches[i];
        worst =
            std::max(worst, DeltaE(LabOf(p[0], p[1], p[2]), PatchColour(rgb, width, height, i)));
    }
    return worst;
}

struct Size {
    int width, height;
    AVColorSpace matrix;
};

}  // namespace

TEST(TrueColour, PatchesComeBackFromEveryContainersDefaultCompressors) {
    for (const Size& size :
         {Size{640, 480, AVCOL_SPC_SMPTE170M}, Size{1920, 1080, AVCOL_SPC_BT709}}) {
        TempDir dir;
        ASSERT_EQ(WritePicture(dir.File("patches.png"),
                               Patches(size.width, size.height, kPatches, 4), "png"),
                  "");
        for (const char* ext : {"avi", "wmv", "mkv", "asf", "mp4"}) {
            const std::string out = std::string("show.") + ext;
            const Outcome run =
                KavrelRender(dir,
                             "--photo-duration 0.5 --transition-duration 0 --policy same --same 0 "
                             "--size " +
                                 std::to_string(size.width) + "x" + std::to_string(size.height) +
                                 " -o " + out + " patches.png");
            ASSERT_EQ(run.status, 0) << out << ": " << run.out;
            const FrameColours frame = ReadFrame(dir.File(out), 6);
            ASSERT_EQ(frame.height, size.height) << out;
            const bool taggable = std::string(ext) != "wmv" && std::string(ext) != "asf";
            if (taggable) {
                EXPECT_EQ(frame.matrix, size.matrix) << out;
            }
            EXPECT_LT(WorstDeltaE(frame.rgb, size.width, frame.height), 2.0)
                << out << " at " << size.height;
        }
    }
}

TEST(TrueColour, ThePreviewDrawsInTheMatrixOfItsFrames) {
    // The preview's frames are converted to BGRA as they are tagged; the photo box is drawn so too.
    TempDir dir;
    for (const Size& size :
         {Size{320, 240, AVCOL_SPC_SMPTE170M}, Size{1280, 720, AVCOL_SPC_BT709}}) {
        const std::string file = dir.File("patches" + std::to_string(size.height) + ".png");
        ASSERT_EQ(WritePicture(file, Patches(size.width, size.height, kPatches, 4), "png"), "");
        VideoPicture picture;
        std::string error;
        ASSERT_TRUE(DecodePhotoPicture(file, size.width, size.height, &picture, &error)) << error;
        std::vector<std::uint8_t> rgb;
        for (int y = 0; y < picture.height; ++y) {
            for (int x = 0; x < picture.width; ++x) {
                const std::uint8_t* p = picture.pixels->data() + y * picture.stride + 4 * x;
                rgb.insert(rgb.end(), {p[2], p[1], p[0]});
            }
        }
        EXPECT_LT(WorstDeltaE(rgb, size.width, size.height), 2.0) << size.height;
    }
}

TEST(TrueColour, Mpeg4VisualObjectHeaderCarriesTheColour) {
    // FFmpeg's MPEG-4 encoder header: no video signal type, then the stuffing.
    const std::vector<std::uint8_t> header{0, 0, 1, 0xB0, 1, 0, 0, 1, 0xB5, 0x89, 0x13, 0, 0, 1, 0};
    std::vector<std::uint8_t> tagged;
    ASSERT_TRUE(
        AddMpeg4ColourDescription(header.data(), header.size(), VideoColourFor(1080), &tagged));
    // 0001 1 101 0 1, then primaries 1, transfer 1, matrix 1, then a zero bit and ones.
    const std::vector<std::uint8_t> expected{0,    0,    1,    0xB0, 1,    0, 0, 1, 0xB5, 0x89,
                                             0x1D, 0x40, 0x40, 0x40, 0x5F, 0, 0, 1, 0};
    EXPECT_EQ(tagged, expected);
    // Without the object identifier, and with BT.601's matrix (6).
    const std::vector<std::uint8_t> bare{0, 0, 1, 0xB5, 0x09, 0, 0, 1};
    ASSERT_TRUE(AddMpeg4ColourDescription(bare.data(), bare.size(), VideoColourFor(480), &tagged));
    EXPECT_EQ(tagged,
              (std::vector<std::uint8_t>{0, 0, 1, 0xB5, 0x0E, 0xA0, 0x20, 0x20, 0xCF, 0, 0, 1}));
    // Said already, or no header before the first picture: nothing to do.
    const std::vector<std::uint8_t> said{0, 0, 1, 0xB5, 0x89, 0x1D, 0x40, 0x40, 0x40, 0x5F};
    EXPECT_FALSE(
        AddMpeg4ColourDescription(said.data(), said.size(), VideoColourFor(1080), &tagged));
    const std::vector<std::uint8_t> picture{0, 0, 1, 0xB6, 0, 0, 1, 0xB5, 0x89, 0x13};
    EXPECT_FALSE(
        AddMpeg4ColourDescription(picture.data(), picture.size(), VideoColourFor(1080), &tagged));
}
