#include "platform/media/media_kind.h"

#include <string_view>

#include "platform/media/ffmpeg_files.h"
#include "platform/render/decode/heif_photo.h"
#include "platform/render/decode/tiff_photo.h"
#include "platform/render/decode/webp_photo.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace {

bool HasDecodableStream(AVFormatContext* fmt, AVMediaType type) {
    const AVCodec* decoder = nullptr;
    return av_find_best_stream(fmt, type, -1, -1, &decoder, 0) >= 0 && decoder != nullptr;
}

// FFmpeg's "*_pipe" readers take a file by its first bytes alone: a picture, known without
// decoding it (which a large PNG would cost).
bool IsPictureByItsBytes(const AVFormatContext* fmt) {
    const std::string_view name = fmt->iformat->name;
    if (name.size() <= 5 || name.substr(name.size() - 5) != "_pipe" || fmt->nb_streams != 1) return false;
    const AVCodecParameters* par = fmt->streams[0]->codecpar;
    return par->codec_type == AVMEDIA_TYPE_VIDEO && avcodec_find_decoder(par->codec_id) != nullptr;
}

// The other single-picture readers. A video file also holds pictures, but it is no photo.
bool IsPictureDemuxer(const AVInputFormat* format) {
    const std::string_view name = format->name;
    return name == "image2" || name == "gif";
}

// image2 takes a file by its name alone: a picture is one only where its decoder found a size.
bool HoldsPicture(AVFormatContext* fmt) {
    const int index = av_find_best_stream(fmt, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (index < 0) return false;
    const AVCodecParameters* par = fmt->streams[index]->codecpar;
    return par->width > 0 && par->height > 0 && avcodec_find_decoder(par->codec_id) != nullptr;
}

}  // namespace

MediaKind ProbeMediaKind(const std::string& path) {
    if (IsHeifFile(path) || IsTiffFile(path) || IsWebpFile(path)) return MediaKind::Photo;
    FormatInputPtr fmt;
    if (OpenInputFile(path, &fmt) < 0) return MediaKind::Neither;
    if (IsPictureByItsBytes(fmt.get())) return MediaKind::Photo;
    if (avformat_find_stream_info(fmt.get(), nullptr) < 0) return MediaKind::Neither;
    if (HasDecodableStream(fmt.get(), AVMEDIA_TYPE_AUDIO)) return MediaKind::Music;
    if (IsPictureDemuxer(fmt->iformat) && HoldsPicture(fmt.get())) return MediaKind::Photo;
    return MediaKind::Neither;
}
