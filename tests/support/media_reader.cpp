#include "tests/support/media_reader.h"

#include <algorithm>
#include <cmath>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace {

struct Decoder {
    AVCodecContext* ctx = nullptr;
    ~Decoder() { avcodec_free_context(&ctx); }
};

}  // namespace

VideoReadBack ReadVideoFile(const std::string& path, const std::vector<int>& keep) {
    VideoReadBack r;
    AVFormatContext* fmt = nullptr;
    if (avformat_open_input(&fmt, path.c_str(), nullptr, nullptr) < 0) return r;
    avformat_find_stream_info(fmt, nullptr);
    int vs = av_find_best_stream(fmt, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    int as = av_find_best_stream(fmt, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    Decoder video, audio;
    auto open = [&](int s, Decoder& d, std::string* name) {
        if (s < 0) return;
        const AVCodec* c = avcodec_find_decoder(fmt->streams[s]->codecpar->codec_id);
        d.ctx = avcodec_alloc_context3(c);
        avcodec_parameters_to_context(d.ctx, fmt->streams[s]->codecpar);
        avcodec_open2(d.ctx, c, nullptr);
        *name = c->name;
    };
    open(vs, video, &r.videoCodec);
    open(as, audio, &r.audioCodec);
    SwrContext* swr = nullptr;
    AVPacket* pkt = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    std::int64_t audioSamples = 0;
    auto drain = [&](Decoder& d, bool isVideo) {
        while (avcodec_receive_frame(d.ctx, frame) >= 0) {
            if (isVideo) {
                r.width = frame->width;
                r.height = frame->height;
                bool wanted = false;
                for (int k : keep) wanted |= k == r.frames;
                if (wanted) {
                    // The luma as 4:2:0 studio range holds it, whatever the file's format.
                    const int w = frame->width, h = frame->height;
                    std::vector<std::uint8_t> yuv(static_cast<std::size_t>(w) * h * 2);
                    std::uint8_t* dst[4] = {yuv.data(), yuv.data() + w * h, yuv.data() + w * h + w * h / 4};
                    int stride[4] = {w, w / 2, w / 2};
                    SwsContext* sws = sws_getContext(w, h, static_cast<AVPixelFormat>(frame->format), w, h,
                                                     AV_PIX_FMT_YUV420P, SWS_POINT, nullptr, nullptr, nullptr);
                    sws_scale(sws, frame->data, frame->linesize, 0, h, dst, stride);
                    sws_freeContext(sws);
                    r.lumaOfFrames.emplace_back(yuv.begin(), yuv.begin() + w * h);
                }
                ++r.frames;
            } else {
                if (swr == nullptr) {
                    AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
                    swr_alloc_set_opts2(&swr, &mono, AV_SAMPLE_FMT_FLT, 44100, &frame->ch_layout,
                                        static_cast<AVSampleFormat>(frame->format), frame->sample_rate, 0, nullptr);
                    swr_init(swr);
                }
                std::vector<float> out(static_cast<std::size_t>(frame->nb_samples) * 2 + 64);
                auto* o = reinterpret_cast<std::uint8_t*>(out.data());
                int n = swr_convert(swr, &o, static_cast<int>(out.size()), const_cast<const std::uint8_t**>(frame->extended_data),
                                    frame->nb_samples);
                audioSamples += frame->nb_samples;
                r.audioMono.insert(r.audioMono.end(), out.begin(), out.begin() + std::max(n, 0));
            }
        }
    };
    while (av_read_frame(fmt, pkt) >= 0) {
        Decoder* d = pkt->stream_index == vs ? &video : pkt->stream_index == as ? &audio : nullptr;
        if (d != nullptr && d->ctx != nullptr) {
            if (avcodec_send_packet(d->ctx, pkt) < 0) ++r.decodeErrors;
            drain(*d, d == &video);
        }
        av_packet_unref(pkt);
    }
    for (Decoder* d : {&video, &audio}) {
        if (d->ctx == nullptr) continue;
        avcodec_send_packet(d->ctx, nullptr);
        drain(*d, d == &video);
    }
    r.videoSeconds = r.frames * 1001.0 / 24000.0;
    if (audio.ctx != nullptr && audio.ctx->sample_rate > 0) r.audioSeconds = double(audioSamples) / audio.ctx->sample_rate;
    swr_free(&swr);
    av_frame_free(&frame);
    av_packet_free(&pkt);
    avformat_close_input(&fmt);
    return r;
}

double PsnrOfLuma(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    if (a.size() != b.size() || a.empty()) return 0;
    double se = 0;
    for (std::size_t i = 0; i < a.size(); ++i) se += (double(a[i]) - b[i]) * (double(a[i]) - b[i]);
    double mse = se / a.size();
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

double Rms(const std::vector<float>& mono, double from, double to) {
    auto i0 = static_cast<std::size_t>(from * 44100), i1 = std::min(mono.size(), static_cast<std::size_t>(to * 44100));
    double s = 0;
    for (std::size_t i = i0; i < i1; ++i) s += double(mono[i]) * mono[i];
    return i1 > i0 ? std::sqrt(s / double(i1 - i0)) : 0;
}

bool EndsInAFade(const std::vector<float>& mono) {
    float peak = 0;
    for (const float s : mono) peak = std::max(peak, std::fabs(s));
    std::size_t end = mono.size();
    while (end > 0 && std::fabs(mono[end - 1]) < 0.01f * peak) --end;  // the encoder's padding
    const double seconds = static_cast<double>(end) / 44100;
    return seconds > 0.6 && Rms(mono, seconds - 0.002, seconds) < 0.15 * Rms(mono, seconds - 0.5, seconds - 0.1);
}

std::string WritePhoto(const std::string& path, int w, int h, int salt, const std::string& codecName) {
    return WritePixelPhoto(path, w, h, codecName, [&](int x, int y) {
        return std::array<std::uint8_t, 3>{static_cast<std::uint8_t>(40 + (x * 150 / w + salt * 60) % 200),
                                           static_cast<std::uint8_t>(40 + (y * 150 / h + salt * 35) % 200),
                                           static_cast<std::uint8_t>(40 + ((x + y) * 100 / (w + h) + salt * 90) % 200)};
    });
}

std::string WritePixelPhoto(const std::string& path, int w, int h, const std::string& codecName,
                            const std::function<std::array<std::uint8_t, 3>(int x, int y)>& pixel) {
    const AVCodec* codec = avcodec_find_encoder_by_name(codecName.c_str());
    if (codec == nullptr) return "no encoder " + codecName;
    AVCodecContext* c = avcodec_alloc_context3(codec);
    c->width = w;
    c->height = h;
    c->time_base = {1, 25};
    c->pix_fmt = codec->pix_fmts[0];
    if (codecName == "mjpeg") c->pix_fmt = AV_PIX_FMT_YUVJ420P;
    if (codecName == "png" || codecName == "bmp") c->pix_fmt = AV_PIX_FMT_RGB24;
    if (avcodec_open2(c, codec, nullptr) < 0) return "cannot open " + codecName;
    AVFrame* f = av_frame_alloc();
    f->format = AV_PIX_FMT_RGB24;
    f->width = w;
    f->height = h;
    av_frame_get_buffer(f, 32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = f->data[0] + y * f->linesize[0] + 3 * x;
            const std::array<std::uint8_t, 3> rgb = pixel(x, y);
            std::copy(rgb.begin(), rgb.end(), p);
        }
    }
    AVFrame* e = f;
    AVFrame* conv = nullptr;
    if (c->pix_fmt != AV_PIX_FMT_RGB24) {
        conv = av_frame_alloc();
        conv->format = c->pix_fmt;
        conv->width = w;
        conv->height = h;
        av_frame_get_buffer(conv, 32);
        SwsContext* sws = sws_getContext(w, h, AV_PIX_FMT_RGB24, w, h, c->pix_fmt, SWS_BICUBIC, nullptr, nullptr, nullptr);
        sws_scale(sws, f->data, f->linesize, 0, h, conv->data, conv->linesize);
        sws_freeContext(sws);
        e = conv;
    }
    AVPacket* pkt = av_packet_alloc();
    avcodec_send_frame(c, e);
    avcodec_send_frame(c, nullptr);
    std::string error = "no packet";
    if (avcodec_receive_packet(c, pkt) >= 0) {
        FILE* out = std::fopen(path.c_str(), "wb");
        std::fwrite(pkt->data, 1, static_cast<std::size_t>(pkt->size), out);
        std::fclose(out);
        error.clear();
    }
    av_packet_free(&pkt);
    av_frame_free(&f);
    av_frame_free(&conv);
    avcodec_free_context(&c);
    return error;
}
