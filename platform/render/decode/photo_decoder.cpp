#include "platform/render/decode/photo_decoder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/com/failure_texts.h"
#include "platform/media/ffmpeg_files.h"
#include "platform/render/decode/exif_orientation.h"
#include "platform/render/decode/heif_photo.h"
#include "platform/render/decode/jpeg_dc_scans.h"
#include "platform/render/decode/jpeg_header.h"
#include "platform/render/decode/tiff_photo.h"
#include "platform/render/decode/webp_photo.h"
#include "platform/render/compose/video_colour.h"

extern "C" {
#include <libavutil/dict.h>
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace {

struct SwsDeleter {
    void operator()(SwsContext* c) const { sws_freeContext(c); }
};
using SwsPtr = std::unique_ptr<SwsContext, SwsDeleter>;

// The decoded picture and what the file said about it.
struct Decoded {
    FramePtr frame{av_frame_alloc()};
    int orientation = 1;
    int fullWidth = 0, fullHeight = 0;  // before any reduced-scale decoding
};

bool OpenInput(const std::string& path, FormatInputPtr* fmt, std::string* error) {
    int r = OpenInputFile(path, fmt);
    if (r < 0) {
        *error = FilledText(kPhotoCannotOpenText.english, {path, FfmpegErrorText(r)});
        return false;
    }
    return true;
}

int VideoStream(AVFormatContext* fmt) {
    for (unsigned i = 0; i < fmt->nb_streams; ++i) {
        if (fmt->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) return static_cast<int>(i);
    }
    if (avformat_find_stream_info(fmt, nullptr) < 0) return -1;
    return av_find_best_stream(fmt, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
}

bool FirstPacket(AVFormatContext* fmt, int stream, AVPacket* packet) {
    while (av_read_frame(fmt, packet) >= 0) {
        if (packet->stream_index == stream) return true;
        av_packet_unref(packet);
    }
    return false;
}

bool TooLarge(std::int64_t w, std::int64_t h, const std::string& path, std::string* error) {
    if (w * h <= kMaxPhotoPixels) return false;
    *error = FilledText(kPhotoTooLargeText.english, {path, std::to_string(w), std::to_string(h)});
    return true;
}

// How far (1/2, 1/4 or 1/8, as a shift) the JPEG can be scaled down while decoding and still
// cover the size it is shown at in a fitWidth × fitHeight frame.
int JpegLowres(const JpegHeader& h, int fitWidth, int fitHeight, int maxLowres) {
    const bool swap = h.orientation >= 5;
    const double needW = swap ? fitHeight : fitWidth, needH = swap ? fitWidth : fitHeight;
    const double scale = std::min(needW / h.width, needH / h.height);
    const long shownW = std::lround(h.width * scale), shownH = std::lround(h.height * scale);
    int lowres = 0;
    while (lowres < std::min(3, maxLowres) && (h.width >> (lowres + 1)) >= shownW &&
           (h.height >> (lowres + 1)) >= shownH) {
        ++lowres;
    }
    return lowres;
}

// At 1/8 scale only DC coefficients are used: a progressive file's AC scans need not be read.
void DropAcScans(AVPacket* packet) {
    std::string dc;
    if (!KeepDcScans({reinterpret_cast<const char*>(packet->data), static_cast<std::size_t>(packet->size)}, &dc)) {
        return;
    }
    PacketPtr smaller(av_packet_alloc());
    if (av_new_packet(smaller.get(), static_cast<int>(dc.size())) < 0) return;
    std::memcpy(smaller->data, dc.data(), dc.size());
    av_packet_copy_props(smaller.get(), packet);
    av_packet_unref(packet);
    av_packet_move_ref(packet, smaller.get());
}

bool DecodeHeif(const std::string& path, int fitWidth, int fitHeight, Decoded* out, std::string* error) {
    HeifPicture picture;
    if (!DecodeHeifPhoto(path, fitWidth, fitHeight, &picture, error)) return false;
    out->frame = std::move(picture.frame);
    out->fullWidth = picture.fullWidth;
    out->fullHeight = picture.fullHeight;
    return true;  // already upright
}

// TIFF and WebP through their own libraries, which read what FFmpeg's decoders do not.
template <typename Picture, typename Decode>
bool DecodeWith(Decode decode, const std::string& path, Decoded* out, std::string* error) {
    Picture picture;
    if (!decode(path, &picture, error)) return false;
    out->frame = std::move(picture.frame);
    out->orientation = picture.orientation;
    out->fullWidth = out->frame->width;
    out->fullHeight = out->frame->height;
    return true;
}

// Refuses a picture beyond the limit before its memory is taken, noting its size for the message.
int RefuseOversize(AVCodecContext* ctx, AVFrame* frame, int flags) {
    if (static_cast<std::int64_t>(frame->width) * frame->height > kMaxPhotoPixels) {
        auto* size = static_cast<std::pair<int, int>*>(ctx->opaque);
        *size = {frame->width, frame->height};
        return AVERROR(ERANGE);
    }
    return avcodec_default_get_buffer2(ctx, frame, flags);
}

int ReceiveFirst(AVCodecContext* ctx, const AVCodec* decoder, const AVPacket* packet, AVFrame* frame) {
    int r = avcodec_open2(ctx, decoder, nullptr);
    if (r >= 0) r = avcodec_send_packet(ctx, packet);
    if (r >= 0) {
        r = avcodec_receive_frame(ctx, frame);
        if (r == AVERROR(EAGAIN)) {
            avcodec_send_packet(ctx, nullptr);
            r = avcodec_receive_frame(ctx, frame);
        }
    }
    return r;
}

// The file opened and its picture stream's first packet read; false, with the reason, when it has none.
bool OpenFirstPacket(const std::string& path, FormatInputPtr* fmt, int* stream, AVPacket* packet,
                     std::string* error) {
    if (!OpenInput(path, fmt, error)) return false;
    *stream = VideoStream(fmt->get());
    if (*stream < 0 || !FirstPacket(fmt->get(), *stream, packet)) {
        *error = FilledText(kPhotoHoldsNoPictureText.english, {path});
        return false;
    }
    return true;
}

// Decodes the first picture; `fitWidth` × `fitHeight` (0: any) lets a JPEG decode at 1/2, 1/4
// or 1/8 of its size, and a HEIF file use a thumbnail, while staying at least as large as it is
// shown in such a frame.
bool DecodeFirst(const std::string& path, int fitWidth, int fitHeight, Decoded* out,
                 std::string* error) {
    if (IsHeifFile(path)) return DecodeHeif(path, fitWidth, fitHeight, out, error);
    if (IsTiffFile(path)) return DecodeWith<TiffPicture>(DecodeTiffPhoto, path, out, error);
    if (IsWebpFile(path)) return DecodeWith<WebpPicture>(DecodeWebpPhoto, path, out, error);
    FormatInputPtr fmt;
    int stream = -1;
    PacketPtr packet(av_packet_alloc());
    if (!OpenFirstPacket(path, &fmt, &stream, packet.get(), error)) return false;
    const AVCodecParameters* par = fmt->streams[stream]->codecpar;
    const AVCodec* decoder = avcodec_find_decoder(par->codec_id);
    if (decoder == nullptr) {
        *error = FilledText(kPhotoKindText.english, {path, "no decoder"});
        return false;
    }
    CodecContextPtr ctx(avcodec_alloc_context3(decoder));
    avcodec_parameters_to_context(ctx.get(), par);
    std::pair<int, int> oversize{0, 0};
    ctx->opaque = &oversize;
    ctx->get_buffer2 = RefuseOversize;
    ctx->thread_count = 1;
    ctx->thread_type = 0;  // one picture: nothing to share out, and RefuseOversize runs on this thread
    ctx->err_recognition |= AV_EF_EXPLODE;  // a damaged photo is refused, not drawn with grey or green gaps
    if (par->codec_id == AV_CODEC_ID_MJPEG) {
        JpegHeader h;
        if (ReadJpegHeader({reinterpret_cast<const char*>(packet->data),
                            static_cast<std::size_t>(packet->size)}, &h)) {
            if (TooLarge(h.width, h.height, path, error)) return false;
            out->orientation = h.orientation;
            out->fullWidth = h.width;
            out->fullHeight = h.height;
            ctx->lowres = fitWidth > 0 ? JpegLowres(h, fitWidth, fitHeight, decoder->max_lowres) : 0;
            if (ctx->lowres == 3) DropAcScans(packet.get());
        }
    }
    const int r = ReceiveFirst(ctx.get(), decoder, packet.get(), out->frame.get());
    if (r < 0) {
        if (!TooLarge(oversize.first, oversize.second, path, error))
            *error = FilledText(kPhotoCannotDecodeText.english, {path, FfmpegErrorText(r)});
        return false;
    }
    if (par->codec_id == AV_CODEC_ID_PNG) out->orientation = PngOrientation(path);
    if (out->fullWidth == 0) {
        out->fullWidth = out->frame->width;
        out->fullHeight = out->frame->height;
    }
    return true;
}

// A decoded picture as swscale takes it: full-range YUV formats under their plain names, with
// the range and matrix they were written in.
struct ScaleSource {
    const AVFrame* frame;
    AVPixelFormat format;
    bool fullRange;
    AVColorSpace matrix;
};

ScaleSource SourceOf(const AVFrame* f) {
    ScaleSource s{f, static_cast<AVPixelFormat>(f->format), f->color_range == AVCOL_RANGE_JPEG, f->colorspace};
    switch (s.format) {
        case AV_PIX_FMT_YUVJ420P: s.format = AV_PIX_FMT_YUV420P; break;
        case AV_PIX_FMT_YUVJ422P: s.format = AV_PIX_FMT_YUV422P; break;
        case AV_PIX_FMT_YUVJ444P: s.format = AV_PIX_FMT_YUV444P; break;
        case AV_PIX_FMT_YUVJ440P: s.format = AV_PIX_FMT_YUV440P; break;
        case AV_PIX_FMT_YUVJ411P: s.format = AV_PIX_FMT_YUV411P; break;
        default: return s;
    }
    s.fullRange = true;
    return s;
}

bool HasAlpha(AVPixelFormat f) {
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(f);
    return desc != nullptr && (desc->flags & AV_PIX_FMT_FLAG_ALPHA);
}

FramePtr NewFrame(int w, int h, AVPixelFormat format) {
    FramePtr f(av_frame_alloc());
    f->format = format;
    f->width = w;
    f->height = h;
    if (av_frame_get_buffer(f.get(), 0) < 0) return nullptr;
    return f;
}

// `s` scaled to w × h in `format`; YUV output is at studio range in `matrix` (swscale changes the
// matrix of YUV to YUV too, through RGB).
FramePtr Convert(const ScaleSource& s, int w, int h, AVPixelFormat format, AVColorSpace matrix, int flags) {
    FramePtr out = NewFrame(w, h, format);
    SwsPtr sws(sws_getContext(s.frame->width, s.frame->height, s.format, w, h, format, flags, nullptr, nullptr,
                              nullptr));
    if (out == nullptr || sws == nullptr) return nullptr;
    sws_setColorspaceDetails(sws.get(), MatrixCoefficients(s.matrix), s.fullRange ? 1 : 0,
                             MatrixCoefficients(matrix), 0, 0, 1 << 16, 1 << 16);
    sws_scale(sws.get(), s.frame->data, s.frame->linesize, 0, s.frame->height, out->data, out->linesize);
    return out;
}

bool Opaque(const AVFrame* rgba) {
    for (int y = 0; y < rgba->height; ++y) {
        const std::uint8_t* p = rgba->data[0] + static_cast<std::ptrdiff_t>(y) * rgba->linesize[0];
        for (int x = 0; x < rgba->width; ++x) {
            if (p[4 * x + 3] != 255) return false;
        }
    }
    return true;
}

// The transparency of `rgba` scaled to w × h, as a 4:2:0 frame holding it in each plane at that
// plane's size (255: opaque); null when every pixel is opaque.
FramePtr AlphaPlanes(const AVFrame* rgba, int w, int h) {
    if (Opaque(rgba)) return nullptr;
    FramePtr grey = NewFrame(rgba->width, rgba->height, AV_PIX_FMT_GRAY8);
    FramePtr out = NewFrame(w, h, AV_PIX_FMT_YUV420P);
    if (grey == nullptr || out == nullptr) return nullptr;
    for (int y = 0; y < rgba->height; ++y) {
        const std::uint8_t* p = rgba->data[0] + static_cast<std::ptrdiff_t>(y) * rgba->linesize[0];
        std::uint8_t* a = grey->data[0] + static_cast<std::ptrdiff_t>(y) * grey->linesize[0];
        for (int x = 0; x < rgba->width; ++x) a[x] = p[4 * x + 3];
    }
    for (int p = 0; p < 3; ++p) {
        const int shift = p == 0 ? 0 : 1;
        SwsPtr sws(sws_getContext(grey->width, grey->height, AV_PIX_FMT_GRAY8, w >> shift, h >> shift,
                                  AV_PIX_FMT_GRAY8, SWS_BICUBIC, nullptr, nullptr, nullptr));
        if (sws == nullptr) return nullptr;
        sws_scale(sws.get(), grey->data, grey->linesize, 0, grey->height, &out->data[p], &out->linesize[p]);
    }
    return out;
}

// Transparent pixels laid over black, as RGBA with every pixel opaque; *alpha (where asked for)
// gets the transparency at w × h.
FramePtr OverBlack(const ScaleSource& s, int w, int h, FramePtr* alpha) {
    FramePtr rgba = Convert(s, s.frame->width, s.frame->height, AV_PIX_FMT_RGBA, s.matrix, SWS_POINT);
    if (rgba == nullptr) return nullptr;
    if (alpha != nullptr) *alpha = AlphaPlanes(rgba.get(), w, h);
    for (int y = 0; y < rgba->height; ++y) {
        std::uint8_t* p = rgba->data[0] + static_cast<std::ptrdiff_t>(y) * rgba->linesize[0];
        for (int x = 0; x < rgba->width; ++x, p += 4) {
            for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>((p[c] * p[3] + 127) / 255);
            p[3] = 255;
        }
    }
    return rgba;
}

// Scales `src` to w × h in 4:2:0 of `colour`'s matrix, transparent parts over black; *alpha
// (where asked for) gets their transparency as AlphaPlanes gives it.
FramePtr Scale(const AVFrame* src, int w, int h, const VideoColour& colour, FramePtr* alpha = nullptr) {
    ScaleSource s = SourceOf(src);
    FramePtr opaque;
    if (HasAlpha(s.format)) {
        opaque = OverBlack(s, w, h, alpha);
        if (opaque == nullptr) return nullptr;
        s = {opaque.get(), AV_PIX_FMT_RGBA, true, AVCOL_SPC_RGB};
    }
    return Convert(s, w, h, AV_PIX_FMT_YUV420P, colour.matrix, SWS_BICUBIC);
}

// Copies plane `src` (sw × sh) into `dst` turned as EXIF `orientation` asks.
void OrientPlane(const std::uint8_t* src, int sw, int sh, int sstride, std::uint8_t* dst,
                 int dstride, int orientation) {
    const bool swap = orientation >= 5;
    const int dw = swap ? sh : sw, dh = swap ? sw : sh;
    for (int y = 0; y < dh; ++y) {
        std::uint8_t* row = dst + static_cast<std::ptrdiff_t>(y) * dstride;
        for (int x = 0; x < dw; ++x) {
            int sx = 0, sy = 0;
            OrientationSource(orientation, x, y, sw, sh, &sx, &sy);
            row[x] = src[static_cast<std::ptrdiff_t>(sy) * sstride + sx];
        }
    }
}

}  // namespace

bool PhotoTooLarge(std::int64_t width, std::int64_t height, const std::string& path, std::string* error) {
    return TooLarge(width, height, path, error);
}

bool ProbeJpegFile(const std::string& path, JpegHeader* h) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return false;
    std::string bytes;
    bool found = false;
    for (std::size_t want = 64 << 10; !found && want <= (16u << 20); want *= 4) {
        std::size_t have = bytes.size();
        bytes.resize(want);
        std::size_t got = std::fread(bytes.data() + have, 1, want - have, f);
        bytes.resize(have + got);
        if (bytes.size() < 2 || static_cast<unsigned char>(bytes[0]) != 0xFF ||
            static_cast<unsigned char>(bytes[1]) != 0xD8) {
            break;
        }
        found = ReadJpegHeader(bytes, h);
        if (got < want - have) break;  // the whole file is read
    }
    std::fclose(f);
    return found;
}

namespace {

bool ProbeByDecoding(const std::string& path, PhotoSize* size, std::string* error) {
    Decoded d;
    if (!DecodeFirst(path, 0, 0, &d, error)) return false;
    *size = d.orientation >= 5 ? PhotoSize{d.frame->height, d.frame->width}
                               : PhotoSize{d.frame->width, d.frame->height};
    return true;
}

}  // namespace

bool ProbePhoto(const std::string& path, PhotoSize* size, std::string* error) {
    JpegHeader jpeg;
    if (ProbeJpegFile(path, &jpeg)) {
        if (TooLarge(jpeg.width, jpeg.height, path, error)) return false;
        bool swap = jpeg.orientation >= 5;
        *size = {swap ? jpeg.height : jpeg.width, swap ? jpeg.width : jpeg.height};
        return true;
    }
    if (IsHeifFile(path)) return ProbeHeifPhoto(path, &size->width, &size->height, error);
    if (IsTiffFile(path) || IsWebpFile(path)) return ProbeByDecoding(path, size, error);
    FormatInputPtr fmt;
    int stream = -1;
    PacketPtr packet(av_packet_alloc());
    if (!OpenFirstPacket(path, &fmt, &stream, packet.get(), error)) return false;
    if (fmt->streams[stream]->codecpar->codec_id == AV_CODEC_ID_MJPEG) {
        JpegHeader h;
        if (!ReadJpegHeader({reinterpret_cast<const char*>(packet->data),
                             static_cast<std::size_t>(packet->size)}, &h)) {
            *error = "The photo " + path + " is not a readable JPEG";
            return false;
        }
        if (TooLarge(h.width, h.height, path, error)) return false;
        bool swap = h.orientation >= 5;
        *size = {swap ? h.height : h.width, swap ? h.width : h.height};
        return true;
    }
    return ProbeByDecoding(path, size, error);
}

bool DecodePhotoFrame(const std::string& path, int frameWidth, int frameHeight, FramePtr* frame,
                      std::string* error) {
    Decoded d;
    if (!DecodeFirst(path, frameWidth, frameHeight, &d, error)) return false;
    const bool swap = d.orientation >= 5;
    const double shownW = swap ? d.fullHeight : d.fullWidth, shownH = swap ? d.fullWidth : d.fullHeight;
    const double scale = std::min(frameWidth / shownW, frameHeight / shownH);
    const int fitW = std::clamp(static_cast<int>(std::lround(shownW * scale)) & ~1, 2, frameWidth);
    const int fitH = std::clamp(static_cast<int>(std::lround(shownH * scale)) & ~1, 2, frameHeight);
    const VideoColour colour = VideoColourFor(frameHeight);
    FramePtr scaled = Scale(d.frame.get(), swap ? fitH : fitW, swap ? fitW : fitH, colour);
    if (scaled == nullptr) {
        *error = "Out of memory for the photo " + path;
        return false;
    }

    FramePtr out(av_frame_alloc());
    out->format = AV_PIX_FMT_YUV420P;
    out->width = frameWidth;
    out->height = frameHeight;
    if (av_frame_get_buffer(out.get(), 32) < 0) {
        *error = "Out of memory for the photo " + path;
        return false;
    }
    const int offX = ((frameWidth - fitW) / 2) & ~1, offY = ((frameHeight - fitH) / 2) & ~1;
    for (int p = 0; p < 3; ++p) {
        const int shift = p == 0 ? 0 : 1;
        const int ph = frameHeight >> shift;
        for (int y = 0; y < ph; ++y) {
            std::memset(out->data[p] + static_cast<std::ptrdiff_t>(y) * out->linesize[p], p == 0 ? 16 : 128,
                        static_cast<std::size_t>(frameWidth >> shift));
        }
        std::uint8_t* dst = out->data[p] + static_cast<std::ptrdiff_t>(offY >> shift) * out->linesize[p] +
                            (offX >> shift);
        OrientPlane(scaled->data[p], scaled->width >> shift, scaled->height >> shift,
                    scaled->linesize[p], dst, out->linesize[p], d.orientation);
    }
    TagFrame(out.get(), colour);
    *frame = std::move(out);
    return true;
}

namespace {

PhotoSize UprightSize(int width, int height, int orientation) {
    return orientation >= 5 ? PhotoSize{height, width} : PhotoSize{width, height};
}

// `wanted` shrunk to fit `available` with its shape kept, in even numbers of at least 2.
PhotoSize NoLargerThan(PhotoSize wanted, PhotoSize available) {
    const double scale = std::min({1.0, static_cast<double>(available.width) / wanted.width,
                                   static_cast<double>(available.height) / wanted.height});
    auto even = [](double v, int most) { return std::clamp(static_cast<int>(std::ceil(v)) & ~1, 2, std::max(2, most & ~1)); };
    return {even(wanted.width * scale, available.width), even(wanted.height * scale, available.height)};
}

FramePtr Oriented(const AVFrame* scaled, int orientation, const VideoColour& colour) {
    const PhotoSize upright = UprightSize(scaled->width, scaled->height, orientation);
    FramePtr out(av_frame_alloc());
    out->format = AV_PIX_FMT_YUV420P;
    out->width = upright.width;
    out->height = upright.height;
    if (av_frame_get_buffer(out.get(), 32) < 0) return nullptr;
    for (int p = 0; p < 3; ++p) {
        const int shift = p == 0 ? 0 : 1;
        OrientPlane(scaled->data[p], scaled->width >> shift, scaled->height >> shift, scaled->linesize[p],
                    out->data[p], out->linesize[p], orientation);
    }
    TagFrame(out.get(), colour);
    return out;
}

}  // namespace

bool DecodeUprightPhoto(const std::string& path, int frameHeight,
                        const std::function<PhotoSize(PhotoSize)>& shownSize, FramePtr* picture,
                        PhotoSize* fullSize, std::string* error, double needed, FramePtr* alpha) {
    const auto neededSize = [&](PhotoSize full) {
        const PhotoSize wanted = shownSize(full);
        return PhotoSize{static_cast<int>(std::ceil(wanted.width * needed)),
                         static_cast<int>(std::ceil(wanted.height * needed))};
    };
    JpegHeader jpeg;
    PhotoSize cover;  // what a JPEG's reduced scale or a HEIF thumbnail must still cover
    PhotoSize heif;
    std::string ignored;
    if (ProbeJpegFile(path, &jpeg)) {
        cover = neededSize(UprightSize(jpeg.width, jpeg.height, jpeg.orientation));
    } else if (IsHeifFile(path) && ProbeHeifPhoto(path, &heif.width, &heif.height, &ignored)) {
        cover = neededSize(heif);
    }
    Decoded d;
    if (!DecodeFirst(path, cover.width, cover.height, &d, error)) return false;
    *fullSize = UprightSize(d.fullWidth, d.fullHeight, d.orientation);
    const PhotoSize decoded = UprightSize(d.frame->width, d.frame->height, d.orientation);
    const PhotoSize target = NoLargerThan(shownSize(*fullSize), decoded);
    const PhotoSize stored = UprightSize(target.width, target.height, d.orientation);
    const VideoColour colour = VideoColourFor(frameHeight);  // the show's frames', not the photo's size
    FramePtr storedAlpha;
    FramePtr scaled = Scale(d.frame.get(), stored.width, stored.height, colour, alpha != nullptr ? &storedAlpha : nullptr);
    *picture = scaled != nullptr ? Oriented(scaled.get(), d.orientation, colour) : nullptr;
    if (*picture == nullptr) *error = "Out of memory for the photo " + path;
    if (alpha != nullptr) *alpha = storedAlpha != nullptr ? Oriented(storedAlpha.get(), d.orientation, colour) : nullptr;
    return *picture != nullptr;
}
