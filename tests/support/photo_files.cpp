#include "tests/support/photo_files.h"

#include <libheif/heif.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#ifdef KAVREL_SANITIZE
#include <sanitizer/lsan_interface.h>
#endif

extern "C" {
#include <libavcodec/avcodec.h>
#include <libswscale/swscale.h>
}

#include "platform/media/ffmpeg_handles.h"

Rgb RgbPicture::At(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

void RgbPicture::Set(int x, int y, Rgb colour) {
    std::memcpy(&rgb[(static_cast<std::size_t>(y) * width + x) * 3], colour.data(), 3);
}

RgbPicture RgbPicture::TurnedLeft() const {
    RgbPicture t{height, width, std::vector<std::uint8_t>(rgb.size())};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) t.Set(y, width - 1 - x, At(x, y));
    }
    return t;
}

RgbPicture Quadrants(int width, int height, int whiteQuarter) {
    RgbPicture p{width, height,
                 std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 3)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int quarter = (y >= height / 2 ? 2 : 0) + (x >= width / 2 ? 1 : 0);
            p.Set(x, y, quarter == whiteQuarter ? kWhiteRgb : kGrey);
        }
    }
    return p;
}

RgbPicture Patches(int width, int height, const std::vector<Rgb>& colours, int columns) {
    RgbPicture p{width, height,
                 std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 3)};
    const int rows = (static_cast<int>(colours.size()) + columns - 1) / columns;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t i =
                static_cast<std::size_t>(y * rows / height * columns + x * columns / width);
            p.Set(x, y, i < colours.size() ? colours[i] : Rgb{0, 0, 0});
        }
    }
    return p;
}

namespace {


AVPixelFormat FormatFor(const AVCodec* codec) {
    if (std::strcmp(codec->name, "mjpeg") == 0) return AV_PIX_FMT_YUVJ444P;
    for (const AVPixelFormat* f = codec->pix_fmts; f != nullptr && *f != AV_PIX_FMT_NONE; ++f) {
        if (*f == AV_PIX_FMT_RGB24) return *f;
    }
    return codec->pix_fmts[0];
}

// An image encoder's one packet is the whole file.
std::string EncodeToFile(AVCodecContext* encoder, const AVFrame* frame, const std::string& path) {
    PacketPtr pkt(av_packet_alloc());
    avcodec_send_frame(encoder, frame);
    avcodec_send_frame(encoder, nullptr);
    if (avcodec_receive_packet(encoder, pkt.get()) < 0) return "no packet for " + path;
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) return "cannot write " + path;
    std::fwrite(pkt->data, 1, static_cast<std::size_t>(pkt->size), out);
    std::fclose(out);
    return {};
}

FramePtr FrameOf(const RgbPicture& picture, AVPixelFormat format) {
    FramePtr f(av_frame_alloc());
    f->format = format;
    f->width = picture.width;
    f->height = picture.height;
    av_frame_get_buffer(f.get(), 32);
    const std::uint8_t* src[4] = {picture.rgb.data()};
    const int srcStride[4] = {picture.width * 3};
    SwsContext* sws = sws_getContext(picture.width, picture.height, AV_PIX_FMT_RGB24, picture.width,
                                     picture.height, format, SWS_POINT, nullptr, nullptr, nullptr);
    sws_scale(sws, src, srcStride, 0, picture.height, f->data, f->linesize);
    sws_freeContext(sws);
    return f;
}

}  // namespace

std::string WritePicture(const std::string& path, const RgbPicture& picture,
                         const std::string& codecName) {
    const AVCodec* codec = avcodec_find_encoder_by_name(codecName.c_str());
    if (codec == nullptr) return "no encoder " + codecName;
    CodecContextPtr c(avcodec_alloc_context3(codec));
    c->width = picture.width;
    c->height = picture.height;
    c->time_base = {1, 25};
    c->pix_fmt = FormatFor(codec);
    if (codecName == "mjpeg") {  // near lossless, so the tests' colours survive
        c->global_quality = FF_QP2LAMBDA * 2;
        c->flags |= AV_CODEC_FLAG_QSCALE;
    }
    if (avcodec_open2(c.get(), codec, nullptr) < 0) return "cannot open " + codecName;
    FramePtr frame = FrameOf(picture, c->pix_fmt);
    frame->quality = c->global_quality;
    return EncodeToFile(c.get(), frame.get(), path);
}

std::string WriteHalfClearPng(const std::string& path, int width, int height) {
    const AVCodec* codec = avcodec_find_encoder_by_name("png");
    CodecContextPtr c(avcodec_alloc_context3(codec));
    c->width = width;
    c->height = height;
    c->time_base = {1, 25};
    c->pix_fmt = AV_PIX_FMT_RGBA;
    if (avcodec_open2(c.get(), codec, nullptr) < 0) return "cannot open png";
    FramePtr f(av_frame_alloc());
    f->format = AV_PIX_FMT_RGBA;
    f->width = width;
    f->height = height;
    av_frame_get_buffer(f.get(), 32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = f->data[0] + y * f->linesize[0] + 4 * x;
            p[0] = p[1] = p[2] = 255;
            p[3] = x < width / 2 ? 0 : 255;
        }
    }
    return EncodeToFile(c.get(), f.get(), path);
}

std::string HeifEncFile(const std::string& path, const std::string& input,
                        const std::string& options) {
    const std::string command =
        "heif-enc -q 90 " + options + " -o '" + path + "' '" + input + "' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0 ? "" : "heif-enc failed for " + path;
}

std::string HeifEnc(const std::string& path, const RgbPicture& picture,
                    const std::string& options) {
    const std::string png = path + ".png";
    if (std::string e = WritePicture(png, picture, "png"); !e.empty()) return e;
    std::string result = HeifEncFile(path, png, options);
    std::remove(png.c_str());
    return result;
}

namespace {

struct HeifContextFree {
    void operator()(heif_context* c) const { heif_context_free(c); }
};
struct HeifEncoderFree {
    void operator()(heif_encoder* e) const { heif_encoder_release(e); }
};
struct HeifImageFree {
    void operator()(heif_image* i) const { heif_image_release(i); }
};
struct HeifHandleFree {
    void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
};
struct HeifOptionsFree {
    void operator()(heif_encoding_options* o) const { heif_encoding_options_free(o); }
};

std::unique_ptr<heif_image, HeifImageFree> HeifImageOf(const RgbPicture& picture) {
    heif_image* raw = nullptr;
    heif_image_create(picture.width, picture.height, heif_colorspace_RGB,
                      heif_chroma_interleaved_RGB, &raw);
    std::unique_ptr<heif_image, HeifImageFree> image(raw);
    heif_image_add_plane(raw, heif_channel_interleaved, picture.width, picture.height, 8);
    int stride = 0;
    std::uint8_t* plane = heif_image_get_plane(raw, heif_channel_interleaved, &stride);
    for (int y = 0; y < picture.height; ++y) {
        std::memcpy(plane + static_cast<std::ptrdiff_t>(y) * stride,
                    &picture.rgb[static_cast<std::size_t>(y) * picture.width * 3],
                    static_cast<std::size_t>(picture.width) * 3);
    }
    return image;
}

// A big-endian TIFF block holding one tag, the orientation.
std::string ExifOrientation(int orientation) {
    return std::string("MM\0\x2a\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0", 19) +
           static_cast<char>(orientation) + std::string("\0\0\0\0\0\0", 6);
}

}  // namespace

std::string WithExifOrientation(const std::string& jpeg, int orientation) {
    const std::string app1 = std::string("Exif\0\0", 6) + ExifOrientation(orientation);
    const std::size_t length = app1.size() + 2;
    const std::string segment = std::string("\xFF\xE1", 2) + static_cast<char>(length >> 8) +
                                static_cast<char>(length & 0xFF) + app1;
    return jpeg.substr(0, 2) + segment + jpeg.substr(2);
}

std::string WriteTurnedHeic(const std::string& path, const RgbPicture& stored, int orientation,
                            const std::string& exifBlock) {
#ifdef KAVREL_SANITIZE
    __lsan::ScopedDisabler x265KeepsSomeOfEveryEncoding;  // its leak, not ours
#endif
    std::unique_ptr<heif_context, HeifContextFree> ctx(heif_context_alloc());
    heif_encoder* rawEncoder = nullptr;
    if (heif_context_get_encoder_for_format(ctx.get(), heif_compression_HEVC, &rawEncoder).code !=
        heif_error_Ok) {
        return "libheif has no HEVC encoder";
    }
    std::unique_ptr<heif_encoder, HeifEncoderFree> encoder(rawEncoder);
    heif_encoder_set_lossy_quality(rawEncoder, 90);
    auto image = HeifImageOf(stored);
    std::unique_ptr<heif_encoding_options, HeifOptionsFree> options(heif_encoding_options_alloc());
    options->image_orientation = static_cast<heif_orientation>(orientation);
    heif_image_handle* rawHandle = nullptr;
    if (heif_context_encode_image(ctx.get(), image.get(), rawEncoder, options.get(), &rawHandle)
            .code != heif_error_Ok) {
        return "libheif could not encode " + path;
    }
    std::unique_ptr<heif_image_handle, HeifHandleFree> handle(rawHandle);
    const std::string exif = exifBlock.empty() ? ExifOrientation(orientation) : exifBlock;
    heif_context_add_exif_metadata(ctx.get(), rawHandle, exif.data(),
                                   static_cast<int>(exif.size()));
    return heif_context_write_to_file(ctx.get(), path.c_str()).code == heif_error_Ok
               ? ""
               : "cannot write " + path;
}
