#include "tests/support/media_encoder.h"

#include <cmath>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

namespace {

struct OutputCloser {
    void operator()(AVFormatContext* ctx) const {
        if (ctx->pb != nullptr) avio_closep(&ctx->pb);
        avformat_free_context(ctx);
    }
};
struct CodecFree {
    void operator()(AVCodecContext* ctx) const { avcodec_free_context(&ctx); }
};
struct FrameFree {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFree {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};

AVSampleFormat PickFormat(const AVCodec* codec) {
    if (codec->sample_fmts == nullptr) return AV_SAMPLE_FMT_S16;
    for (const AVSampleFormat* f = codec->sample_fmts; *f != AV_SAMPLE_FMT_NONE; ++f) {
        if (*f == AV_SAMPLE_FMT_FLTP || *f == AV_SAMPLE_FMT_S16P || *f == AV_SAMPLE_FMT_S16 ||
            *f == AV_SAMPLE_FMT_FLT) {
            return *f;
        }
    }
    return codec->sample_fmts[0];
}

// 44100 Hz where the encoder takes it (Opus does not).
int PickRate(const AVCodec* codec) {
    if (codec->supported_samplerates == nullptr) return 44100;
    for (const int* r = codec->supported_samplerates; *r != 0; ++r) {
        if (*r == 44100) return 44100;
    }
    return codec->supported_samplerates[0];
}

void FillTone(AVFrame* frame, std::int64_t firstSample) {
    for (int i = 0; i < frame->nb_samples; ++i) {
        double v = 0.3 * std::sin(2 * M_PI * 440.0 * double(firstSample + i) / frame->sample_rate);
        for (int c = 0; c < 2; ++c) {
            switch (frame->format) {
                case AV_SAMPLE_FMT_FLTP: reinterpret_cast<float*>(frame->data[c])[i] = float(v); break;
                case AV_SAMPLE_FMT_FLT: reinterpret_cast<float*>(frame->data[0])[2 * i + c] = float(v); break;
                case AV_SAMPLE_FMT_S16P:
                    reinterpret_cast<std::int16_t*>(frame->data[c])[i] = std::int16_t(v * 32767);
                    break;
                default:
                    reinterpret_cast<std::int16_t*>(frame->data[0])[2 * i + c] = std::int16_t(v * 32767);
            }
        }
    }
}

int WritePackets(AVCodecContext* enc, AVFormatContext* fmt, AVStream* st, AVPacket* pkt) {
    int ret = 0;
    while ((ret = avcodec_receive_packet(enc, pkt)) >= 0) {
        av_packet_rescale_ts(pkt, enc->time_base, st->time_base);
        pkt->stream_index = st->index;
        if ((ret = av_interleaved_write_frame(fmt, pkt)) < 0) return ret;
    }
    return ret == AVERROR(EAGAIN) || ret == AVERROR_EOF ? 0 : ret;
}

}  // namespace

// A cover picture as an attached picture stream: one JPEG packet, written before the sound.
AVStream* AddCover(AVFormatContext* fmt) {
    AVStream* cover = avformat_new_stream(fmt, nullptr);
    cover->disposition = AV_DISPOSITION_ATTACHED_PIC;
    cover->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
    cover->codecpar->codec_id = AV_CODEC_ID_MJPEG;
    cover->codecpar->width = 64;
    cover->codecpar->height = 64;
    cover->time_base = {1, 90000};
    return cover;
}

std::string WriteCover(AVFormatContext* fmt, AVStream* cover, const std::string& jpeg) {
    std::unique_ptr<AVPacket, PacketFree> pkt(av_packet_alloc());
    if (av_new_packet(pkt.get(), static_cast<int>(jpeg.size())) < 0) return "no packet";
    std::copy(jpeg.begin(), jpeg.end(), pkt->data);
    pkt->stream_index = cover->index;
    pkt->flags |= AV_PKT_FLAG_KEY;
    return av_interleaved_write_frame(fmt, pkt.get()) < 0 ? "cannot write the cover" : "";
}

std::string EncodeTone(const std::string& path, double seconds, const std::string& codecName,
                       const std::string& coverJpeg) {
    const AVCodec* codec = avcodec_find_encoder_by_name(codecName.c_str());
    if (codec == nullptr) return "no encoder " + codecName;
    AVFormatContext* raw = nullptr;
    if (avformat_alloc_output_context2(&raw, nullptr, nullptr, path.c_str()) < 0) return "no muxer";
    std::unique_ptr<AVFormatContext, OutputCloser> fmt(raw);
    AVStream* st = avformat_new_stream(fmt.get(), nullptr);
    std::unique_ptr<AVCodecContext, CodecFree> enc(avcodec_alloc_context3(codec));
    const int rate = PickRate(codec);
    enc->sample_rate = rate;
    enc->sample_fmt = PickFormat(codec);
    enc->bit_rate = 128000;
    av_channel_layout_default(&enc->ch_layout, 2);
    enc->time_base = {1, rate};
    if (fmt->oformat->flags & AVFMT_GLOBALHEADER) enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(enc.get(), codec, nullptr) < 0) return "cannot open " + codecName;
    avcodec_parameters_from_context(st->codecpar, enc.get());
    st->time_base = enc->time_base;
    AVStream* cover = nullptr;
    if (!coverJpeg.empty()) cover = AddCover(fmt.get());
    if (avio_open(&fmt->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) return "cannot write " + path;
    if (avformat_write_header(fmt.get(), nullptr) < 0) return "cannot write the header";
    if (cover != nullptr) {
        if (std::string e = WriteCover(fmt.get(), cover, coverJpeg); !e.empty()) return e;
    }

    std::unique_ptr<AVFrame, FrameFree> frame(av_frame_alloc());
    std::unique_ptr<AVPacket, PacketFree> pkt(av_packet_alloc());
    const int frameSize = enc->frame_size > 0 ? enc->frame_size : 1024;
    const auto total = static_cast<std::int64_t>(std::llround(seconds * rate));
    for (std::int64_t done = 0; done < total; done += frameSize) {
        frame->nb_samples = static_cast<int>(std::min<std::int64_t>(frameSize, total - done));
        frame->format = enc->sample_fmt;
        frame->sample_rate = rate;
        av_channel_layout_copy(&frame->ch_layout, &enc->ch_layout);
        if (av_frame_get_buffer(frame.get(), 0) < 0) return "no frame buffer";
        FillTone(frame.get(), done);
        frame->pts = done;
        if (avcodec_send_frame(enc.get(), frame.get()) < 0) return "encoding failed";
        av_frame_unref(frame.get());
        if (WritePackets(enc.get(), fmt.get(), st, pkt.get()) < 0) return "writing failed";
    }
    avcodec_send_frame(enc.get(), nullptr);
    if (WritePackets(enc.get(), fmt.get(), st, pkt.get()) < 0) return "writing failed";
    if (av_write_trailer(fmt.get()) < 0) return "cannot write the trailer";
    return {};
}
