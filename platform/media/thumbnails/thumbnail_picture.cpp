#include "platform/media/thumbnails/thumbnail_picture.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "platform/media/ffmpeg_handles.h"
#include "platform/media/thumbnails/exif_thumbnail.h"
#include "platform/media/thumbnails/jpeg_scaled.h"
#include "platform/render/compose/video_colour.h"
#include "platform/render/decode/exif_orientation.h"
#include "platform/render/decode/jpeg_header.h"
#include "platform/render/decode/photo_decoder.h"

extern "C" {
#include <libswscale/swscale.h>
}

namespace {

struct SwsDeleter {
    void operator()(SwsContext* c) const { sws_freeContext(c); }
};
using SwsPtr = std::unique_ptr<SwsContext, SwsDeleter>;

// The decoded photo's colours go through this matrix on their way to RGB; 480 lines: BT.601's.
constexpr int kThumbnailFrameHeight = 480;
// An EXIF thumbnail of another shape than the photo has bars drawn into it: not used.
constexpr double kShapeTolerance = 0.02;

PhotoSize Fitted(PhotoSize full, int boxWidth, int boxHeight) {
    const double scale = std::min({1.0, static_cast<double>(boxWidth) / full.width,
                                   static_cast<double>(boxHeight) / full.height});
    return {std::max(1, static_cast<int>(std::lround(full.width * scale))),
            std::max(1, static_cast<int>(std::lround(full.height * scale)))};
}

// The decoder's full-range YUV formats under their plain names, which swscale prefers; *fullRange
// says the range either way.
AVPixelFormat PlainFormat(const AVFrame* f, bool* fullRange) {
    *fullRange = true;
    switch (f->format) {
        case AV_PIX_FMT_YUVJ420P: return AV_PIX_FMT_YUV420P;
        case AV_PIX_FMT_YUVJ422P: return AV_PIX_FMT_YUV422P;
        case AV_PIX_FMT_YUVJ444P: return AV_PIX_FMT_YUV444P;
        case AV_PIX_FMT_YUVJ440P: return AV_PIX_FMT_YUV440P;
        case AV_PIX_FMT_YUVJ411P: return AV_PIX_FMT_YUV411P;
        default: *fullRange = f->color_range == AVCOL_RANGE_JPEG; return static_cast<AVPixelFormat>(f->format);
    }
}

// `frame` scaled to w × h as opaque RGBA.
bool ToRgba(const AVFrame* frame, int w, int h, ThumbnailPicture* out) {
    bool fullRange = false;
    const AVPixelFormat format = PlainFormat(frame, &fullRange);
    SwsPtr sws(sws_getContext(frame->width, frame->height, format, w, h, AV_PIX_FMT_RGBA, SWS_AREA, nullptr, nullptr,
                              nullptr));
    if (sws == nullptr) return false;
    const int* matrix = MatrixCoefficients(frame->colorspace);
    sws_setColorspaceDetails(sws.get(), matrix, fullRange ? 1 : 0, matrix, 1, 0, 1 << 16, 1 << 16);
    // swscale writes past a row's end in some paths: into a padded frame first.
    FramePtr scaled(av_frame_alloc());
    scaled->format = AV_PIX_FMT_RGBA;
    scaled->width = w;
    scaled->height = h;
    if (av_frame_get_buffer(scaled.get(), 0) < 0) return false;
    sws_scale(sws.get(), frame->data, frame->linesize, 0, frame->height, scaled->data, scaled->linesize);
    out->width = w;
    out->height = h;
    out->rgba.resize(static_cast<std::size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        std::memcpy(&out->rgba[static_cast<std::size_t>(y) * w * 4], scaled->data[0] + static_cast<std::ptrdiff_t>(y) * scaled->linesize[0],
                    static_cast<std::size_t>(w) * 4);
    }
    for (std::size_t i = 3; i < out->rgba.size(); i += 4) out->rgba[i] = 255;
    return true;
}

FramePtr DecodeJpegBytes(const std::string& bytes) {
    const AVCodec* decoder = avcodec_find_decoder(AV_CODEC_ID_MJPEG);
    CodecContextPtr ctx(decoder != nullptr ? avcodec_alloc_context3(decoder) : nullptr);
    PacketPtr packet(av_packet_alloc());
    FramePtr frame(av_frame_alloc());
    if (ctx == nullptr || av_new_packet(packet.get(), static_cast<int>(bytes.size())) < 0) return nullptr;
    std::memcpy(packet->data, bytes.data(), bytes.size());
    ctx->thread_count = 1;
    ctx->err_recognition |= AV_EF_EXPLODE;  // a damaged EXIF thumbnail gives way to the photo itself
    if (avcodec_open2(ctx.get(), decoder, nullptr) < 0 || avcodec_send_packet(ctx.get(), packet.get()) < 0) return nullptr;
    avcodec_send_packet(ctx.get(), nullptr);
    if (avcodec_receive_frame(ctx.get(), frame.get()) < 0) return nullptr;
    return frame;
}

// The picture turned as EXIF `orientation` says (1 to 8).
ThumbnailPicture Oriented(const ThumbnailPicture& in, int orientation) {
    if (orientation <= 1 || orientation > 8) return in;
    const bool swap = orientation >= 5;
    const int sw = in.width, sh = in.height;
    ThumbnailPicture out;
    out.width = swap ? sh : sw;
    out.height = swap ? sw : sh;
    out.rgba.resize(in.rgba.size());
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            int sx = 0, sy = 0;
            OrientationSource(orientation, x, y, sw, sh, &sx, &sy);
            std::memcpy(&out.rgba[(static_cast<std::size_t>(y) * out.width + x) * 4],
                        &in.rgba[(static_cast<std::size_t>(sy) * sw + sx) * 4], 4);
        }
    }
    return out;
}

// The JPEG's own EXIF thumbnail, when it has the photo's shape and covers edge × edge's fit.
bool FromExifThumbnail(const std::string& path, const JpegHeader& header, int edge, ThumbnailPicture* picture) {
    const std::string bytes = ExifThumbnailBytes(path);
    FramePtr frame = bytes.empty() ? nullptr : DecodeJpegBytes(bytes);
    if (frame == nullptr) return false;
    const double shape = static_cast<double>(header.width) / header.height;
    const double thumbShape = static_cast<double>(frame->width) / frame->height;
    if (std::abs(thumbShape - shape) > kShapeTolerance * shape) return false;
    const PhotoSize stored = Fitted({header.width, header.height}, edge, edge);
    if (frame->width < stored.width || frame->height < stored.height) return false;
    ThumbnailPicture unturned;
    if (!ToRgba(frame.get(), stored.width, stored.height, &unturned)) return false;
    *picture = Oriented(unturned, header.orientation);
    return true;
}

bool FromScaledJpeg(const std::string& path, const JpegHeader& header, int edge, ThumbnailPicture* picture) {
    const PhotoSize stored = Fitted({header.width, header.height}, edge, edge);
    ThumbnailPicture scaled;
    if (!DecodeScaledJpeg(path, stored.width, stored.height, &scaled)) return false;
    *picture = Oriented(FittedInto(scaled, edge, edge), header.orientation);
    return true;
}

bool FromDecoder(const std::string& path, int edge, ThumbnailPicture* picture, std::string* error) {
    FramePtr frame;
    PhotoSize full;
    const auto shown = [edge](PhotoSize size) { return Fitted(size, edge, edge); };
    if (!DecodeUprightPhoto(path, kThumbnailFrameHeight, shown, &frame, &full, error)) return false;
    // The decoder keeps sizes even; the thumbnail takes the exact fit.
    const PhotoSize fit = Fitted(full, edge, edge);
    if (ToRgba(frame.get(), std::min(fit.width, frame->width), std::min(fit.height, frame->height), picture)) return true;
    *error = "Out of memory for the photo " + path;
    return false;
}

}  // namespace

bool MakeThumbnail(const std::string& path, int edge, ThumbnailPicture* picture, std::string* error,
                   ThumbnailSource* source) {
    JpegHeader header;
    const bool jpeg = ProbeJpegFile(path, &header) && !PhotoTooLarge(header.width, header.height, path, error);
    const bool exif = jpeg && FromExifThumbnail(path, header, edge, picture);
    if (source != nullptr) *source = exif ? ThumbnailSource::ExifThumbnail : ThumbnailSource::Decoded;
    return exif || (jpeg && FromScaledJpeg(path, header, edge, picture)) || FromDecoder(path, edge, picture, error);
}

ThumbnailPicture FittedInto(const ThumbnailPicture& picture, int boxWidth, int boxHeight) {
    const PhotoSize fit = Fitted({picture.width, picture.height}, boxWidth, boxHeight);
    if (fit.width == picture.width && fit.height == picture.height) return picture;
    FramePtr frame(av_frame_alloc());
    frame->format = AV_PIX_FMT_RGBA;
    frame->width = picture.width;
    frame->height = picture.height;
    frame->data[0] = const_cast<std::uint8_t*>(picture.rgba.data());
    frame->linesize[0] = 4 * picture.width;
    ThumbnailPicture out;
    if (!ToRgba(frame.get(), fit.width, fit.height, &out)) return picture;
    return out;
}
