#include "platform/audio/music_reader.h"

#include <algorithm>
#include <cstring>

#include "platform/media/ffmpeg_files.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

void MusicReader::SwrDeleter::operator()(SwrContext* c) const { swr_free(&c); }

MusicReader::MusicReader() = default;
MusicReader::~MusicReader() = default;

bool MusicReader::Open(const std::string& path, std::string* error) {
    path_ = path;
    int r = OpenInputFile(path, &fmt_);
    if (r < 0) return Fail("Cannot open the music file " + path + ": " + FfmpegErrorText(r), error);
    if ((r = avformat_find_stream_info(fmt_.get(), nullptr)) < 0) {
        return Fail("Cannot read the music file " + path + ": " + FfmpegErrorText(r), error);
    }
    const AVCodec* decoder = nullptr;
    stream_ = av_find_best_stream(fmt_.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (stream_ < 0 || decoder == nullptr) {
        return Fail("The music file " + path + " holds no sound that can be decoded", error);
    }
    ctx_.reset(avcodec_alloc_context3(decoder));
    avcodec_parameters_to_context(ctx_.get(), fmt_->streams[stream_]->codecpar);
    if ((r = avcodec_open2(ctx_.get(), decoder, nullptr)) < 0) {
        return Fail("Cannot decode the music file " + path + ": " + FfmpegErrorText(r), error);
    }
    packet_.reset(av_packet_alloc());
    frame_.reset(av_frame_alloc());
    return true;
}

bool MusicReader::Read(float* out, int frames, int* got, std::string* error) {
    *got = 0;
    while (*got < frames) {
        if (pendingAt_ < pending_.size()) {
            int take = std::min<int>(frames - *got, static_cast<int>((pending_.size() - pendingAt_) / kMixChannels));
            std::memcpy(out + *got * kMixChannels, pending_.data() + pendingAt_,
                        sizeof(float) * static_cast<std::size_t>(take * kMixChannels));
            pendingAt_ += static_cast<std::size_t>(take * kMixChannels);
            *got += take;
            continue;
        }
        if (ended_) return true;
        if (!Decode(error)) return false;
    }
    return true;
}

double MusicReader::Seconds() const { return fmt_->duration > 0 ? static_cast<double>(fmt_->duration) / AV_TIME_BASE : 0; }

bool MusicReader::Skip(std::int64_t frames, std::string* error) {
    std::vector<float> sink(4096 * kMixChannels);
    while (frames > 0) {
        int got = 0;
        if (!Read(sink.data(), static_cast<int>(std::min<std::int64_t>(frames, 4096)), &got, error)) return false;
        if (got == 0) return true;
        frames -= got;
    }
    return true;
}

bool MusicReader::Fail(std::string text, std::string* error) {
    *error = std::move(text);
    return false;
}

// Decodes one more piece of the file into pending_, or notes its end.
bool MusicReader::Decode(std::string* error) {
    pending_.clear();
    pendingAt_ = 0;
    for (;;) {
        int r = avcodec_receive_frame(ctx_.get(), frame_.get());
        if (r >= 0) {
            decodedAny_ = true;
            return Convert(frame_.get(), error);
        }
        if (r == AVERROR_EOF) {
            // Damaged packets are passed over, but a file none of whose sound decodes is refused
            // rather than played as silence.
            if (!decodedAny_ && damage_ < 0) {
                return Fail("Cannot decode the music file " + path_ + ": " + FfmpegErrorText(damage_), error);
            }
            return Flush();
        }
        if (r != AVERROR(EAGAIN)) return Fail("Cannot decode the music file " + path_ + ": " + FfmpegErrorText(r), error);
        r = av_read_frame(fmt_.get(), packet_.get());
        if (r == AVERROR_EOF) {
            avcodec_send_packet(ctx_.get(), nullptr);
            continue;
        }
        if (r < 0) return Fail("Cannot read the music file " + path_ + ": " + FfmpegErrorText(r), error);
        if (packet_->stream_index == stream_) {
            // A damaged packet is passed over, as players do.
            if (const int sent = avcodec_send_packet(ctx_.get(), packet_.get()); sent < 0) damage_ = sent;
        }
        av_packet_unref(packet_.get());
    }
}

bool MusicReader::Convert(AVFrame* f, std::string* error) {
    if (!swr_) {
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        SwrContext* s = nullptr;
        AVChannelLayout in = f->ch_layout;
        if (in.order == AV_CHANNEL_ORDER_UNSPEC) av_channel_layout_default(&in, f->ch_layout.nb_channels);
        int r = swr_alloc_set_opts2(&s, &stereo, AV_SAMPLE_FMT_FLT, kMixRate, &in,
                                    static_cast<AVSampleFormat>(f->format), f->sample_rate, 0, nullptr);
        if (r < 0 || swr_init(s) < 0) {
            swr_free(&s);
            return Fail("Cannot resample the music file " + path_, error);
        }
        swr_.reset(s);
    }
    int capacity = swr_get_out_samples(swr_.get(), f->nb_samples);
    pending_.resize(static_cast<std::size_t>(std::max(capacity, 0) * kMixChannels));
    auto* outData = reinterpret_cast<std::uint8_t*>(pending_.data());
    int n = swr_convert(swr_.get(), &outData, capacity, const_cast<const std::uint8_t**>(f->extended_data),
                        f->nb_samples);
    pending_.resize(static_cast<std::size_t>(std::max(n, 0) * kMixChannels));
    av_frame_unref(f);
    return true;
}

bool MusicReader::Flush() {
    ended_ = true;
    if (!swr_) return true;
    int capacity = swr_get_out_samples(swr_.get(), 0);
    if (capacity <= 0) return true;
    pending_.resize(static_cast<std::size_t>(capacity * kMixChannels));
    auto* outData = reinterpret_cast<std::uint8_t*>(pending_.data());
    int n = swr_convert(swr_.get(), &outData, capacity, nullptr, 0);
    pending_.resize(static_cast<std::size_t>(std::max(n, 0) * kMixChannels));
    return true;
}
