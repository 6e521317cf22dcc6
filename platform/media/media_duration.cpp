#include "platform/media/media_duration.h"

#include <algorithm>

#include "platform/media/ffmpeg_files.h"

extern "C" {
#include <libavutil/dict.h>
#include <libavutil/log.h>
#include <libavutil/mathematics.h>
}

namespace {

constexpr AVRational kUnits{1, 10'000'000};

// The stream whose length counts: the best audio stream with a decoder, else the best video one.
int PickStream(AVFormatContext* fmt) {
    for (AVMediaType type : {AVMEDIA_TYPE_AUDIO, AVMEDIA_TYPE_VIDEO}) {
        const AVCodec* decoder = nullptr;
        int index = av_find_best_stream(fmt, type, -1, -1, &decoder, 0);
        if (index >= 0 && decoder != nullptr) return index;
    }
    return -1;
}

REFERENCE_TIME HeaderDuration(const AVFormatContext* fmt, const AVStream* st) {
    if (fmt->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE) return -1;
    if (fmt->duration != AV_NOPTS_VALUE && fmt->duration > 0) {
        return av_rescale_q(fmt->duration, AV_TIME_BASE_Q, kUnits);
    }
    if (st->duration != AV_NOPTS_VALUE && st->duration > 0) {
        return av_rescale_q(st->duration, st->time_base, kUnits);
    }
    return -1;
}

// Decodes the stream's packets and counts what comes out; for packets without timestamps.
REFERENCE_TIME DecodedDuration(AVFormatContext* fmt, int index) {
    const AVStream* st = fmt->streams[index];
    const AVCodec* decoder = avcodec_find_decoder(st->codecpar->codec_id);
    CodecContextPtr ctx(avcodec_alloc_context3(decoder));
    if (!ctx || avcodec_parameters_to_context(ctx.get(), st->codecpar) < 0 ||
        avcodec_open2(ctx.get(), decoder, nullptr) < 0) {
        return -1;
    }
    PacketPtr packet(av_packet_alloc());
    FramePtr frame(av_frame_alloc());
    std::int64_t samples = 0, frames = 0;
    auto drain = [&] {
        while (avcodec_receive_frame(ctx.get(), frame.get()) >= 0) {
            samples += frame->nb_samples;
            ++frames;
        }
    };
    while (av_read_frame(fmt, packet.get()) >= 0) {
        if (packet->stream_index == index && avcodec_send_packet(ctx.get(), packet.get()) >= 0) {
            drain();
        }
        av_packet_unref(packet.get());
    }
    avcodec_send_packet(ctx.get(), nullptr);
    drain();
    if (st->codecpar->codec_type == AVMEDIA_TYPE_AUDIO && ctx->sample_rate > 0) {
        return av_rescale(samples, 10'000'000, ctx->sample_rate);
    }
    AVRational rate = av_guess_frame_rate(fmt, const_cast<AVStream*>(st), nullptr);
    if (rate.num <= 0 || rate.den <= 0) return -1;
    return av_rescale_q(frames, av_inv_q(rate), kUnits);
}

// Reads the stream's packets without decoding: the end of the last one is the length.
REFERENCE_TIME PacketDuration(AVFormatContext* fmt, int index) {
    const AVStream* st = fmt->streams[index];
    PacketPtr packet(av_packet_alloc());
    std::int64_t first = AV_NOPTS_VALUE, end = AV_NOPTS_VALUE, summed = 0;
    bool timed = true;
    while (av_read_frame(fmt, packet.get()) >= 0) {
        if (packet->stream_index == index) {
            summed += packet->duration;
            if (packet->pts == AV_NOPTS_VALUE) {
                timed = false;
            } else {
                if (first == AV_NOPTS_VALUE) first = packet->pts;
                end = std::max(end == AV_NOPTS_VALUE ? packet->pts : end,
                               packet->pts + packet->duration);
            }
        }
        av_packet_unref(packet.get());
    }
    if (timed && end != AV_NOPTS_VALUE && end > first) {
        return av_rescale_q(end - first, st->time_base, kUnits);
    }
    if (summed > 0) return av_rescale_q(summed, st->time_base, kUnits);
    return -2;  // no timing in the packets
}

}  // namespace

REFERENCE_TIME ProbeMediaDuration(const std::string& path) {
    FormatInputPtr fmt;
    if (OpenInputFile(path, &fmt) < 0) return -1;
    if (avformat_find_stream_info(fmt.get(), nullptr) < 0) return -1;
    int index = PickStream(fmt.get());
    if (index < 0) return -1;
    REFERENCE_TIME fromHeader = HeaderDuration(fmt.get(), fmt->streams[index]);
    if (fromHeader > 0) return fromHeader;

    // The packets that finding the stream info read are handed out again first.
    REFERENCE_TIME fromPackets = PacketDuration(fmt.get(), index);
    if (fromPackets != -2) return fromPackets;

    if (OpenInputFile(path, &fmt) < 0) return -1;
    if (avformat_find_stream_info(fmt.get(), nullptr) < 0) return -1;
    return DecodedDuration(fmt.get(), index);
}

void QuietMediaLibraryLog() { av_log_set_level(AV_LOG_QUIET); }
