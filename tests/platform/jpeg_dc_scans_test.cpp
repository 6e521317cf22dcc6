#include "platform/render/decode/jpeg_dc_scans.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "tests/support/temp_dir.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/imgutils.h>
}

namespace {

// A JPEG made by libjpeg's cjpeg from a picture with fine detail in every block, so that its AC
// scans carry real data; `options` as cjpeg takes them.
std::string DetailedJpeg(const TempDir& dir, const std::string& name, const std::string& options) {
    const int w = 96, h = 64;
    std::string ppm = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
    unsigned seed = 7;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            seed = seed * 1103515245u + 12345u;
            ppm += static_cast<char>((x * 5 + (seed >> 24) % 64) & 0xFF);
            ppm += static_cast<char>((y * 7 + ((x ^ y) & 1) * 90) & 0xFF);
            ppm += static_cast<char>(((x + y) * 3) & 0xFF);
        }
    }
    std::ofstream(dir.File("in.ppm"), std::ios::binary) << ppm;
    std::string command = "cjpeg -quality 95 " + options + " -outfile '" + dir.File(name) + "' '" + dir.File("in.ppm") + "'";
    if (std::system(command.c_str()) != 0) return {};
    return Slurp(dir.File(name));
}

// The planes FFmpeg decodes from `jpeg` at 1/2^lowres scale, one after the other; empty on failure.
std::string Decode(const std::string& jpeg, int lowres) {
    const AVCodec* dec = avcodec_find_decoder(AV_CODEC_ID_MJPEG);
    AVCodecContext* c = avcodec_alloc_context3(dec);
    c->lowres = lowres;
    std::string planes;
    AVPacket* pkt = av_packet_alloc();
    AVFrame* f = av_frame_alloc();
    if (avcodec_open2(c, dec, nullptr) >= 0 && av_new_packet(pkt, static_cast<int>(jpeg.size())) >= 0) {
        std::copy(jpeg.begin(), jpeg.end(), pkt->data);
        if (avcodec_send_packet(c, pkt) >= 0 && avcodec_receive_frame(c, f) >= 0) {
            auto format = static_cast<AVPixelFormat>(f->format);
            planes.resize(av_image_get_buffer_size(format, f->width, f->height, 1));
            av_image_copy_to_buffer(reinterpret_cast<std::uint8_t*>(planes.data()), static_cast<int>(planes.size()),
                                    f->data, f->linesize, format, f->width, f->height, 1);
        }
    }
    av_frame_free(&f);
    av_packet_free(&pkt);
    avcodec_free_context(&c);
    return planes;
}

}  // namespace

TEST(JpegDcScans, AnEighthScaleDecodingIsUnchangedWithoutTheAcScans) {
    av_log_set_level(AV_LOG_ERROR);  // FFmpeg warns of the coefficients it never received
    TempDir dir;
    const char* kinds[][2] = {{"progressive.jpg", "-progressive"},
                              {"restarts.jpg", "-progressive -restart 1B"},  // a restart marker after each block row
                              {"subsampled.jpg", "-progressive -sample 2x2"}};
    for (const auto& kind : kinds) {
        std::string jpeg = DetailedJpeg(dir, kind[0], kind[1]);
        ASSERT_FALSE(jpeg.empty()) << kind[0];
        std::string dc;
        ASSERT_TRUE(KeepDcScans(jpeg, &dc)) << kind[0];
        EXPECT_LT(dc.size() * 3, jpeg.size()) << kind[0] << ": the AC scans are the bulk of the file";
        std::string whole = Decode(jpeg, 3);
        ASSERT_FALSE(whole.empty()) << kind[0];
        EXPECT_EQ(Decode(dc, 3), whole) << kind[0];
        // At full scale the difference shows: the AC scans really are gone.
        EXPECT_NE(Decode(dc, 0), Decode(jpeg, 0)) << kind[0];
    }
}

TEST(JpegDcScans, LeavesEveryOtherFileAlone) {
    TempDir dir;
    std::string baseline = DetailedJpeg(dir, "baseline.jpg", "");
    ASSERT_FALSE(baseline.empty());
    std::string progressive = DetailedJpeg(dir, "progressive.jpg", "-progressive");
    ASSERT_FALSE(progressive.empty());
    const std::string untouched = "as it was";
    const std::string cases[] = {
        baseline,
        progressive.substr(0, progressive.size() * 2 / 3),  // cut short inside a scan
        progressive.substr(0, progressive.size() - 2),      // no end marker
        "not a picture at all",
        std::string("\xFF\xD8\xFF\xC2\x00\x40", 6),         // a segment longer than the file
        "",
    };
    for (const std::string& bytes : cases) {
        std::string out = untouched;
        EXPECT_FALSE(KeepDcScans(bytes, &out)) << bytes.size() << " bytes";
        EXPECT_EQ(out, untouched);
    }
}
