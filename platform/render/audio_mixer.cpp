#include "platform/render/audio_mixer.h"

#include <algorithm>
#include <cstring>

#include "platform/media/ffmpeg_handles.h"
#include "platform/media/ffmpeg_files.h"
#include "platform/render/placement_cursor.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/mathematics.h>
#include <libswresample/swresample.h>
}

namespace {

struct SwrDeleter {
    void operator()(SwrContext* c) const { swr_free(&c); }
};

}  // namespace

std::int64_t SampleAt(REFERENCE_TIME t) { return av_rescale(t, kMixRate, kUnitsPerSecond); }

// One music file from its start: decoded, resampled, handed out in order.
class MusicReader {
public:
    bool Open(const std::string& path, std::string* error) {
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

    // Up to `frames` sample frames into out; fewer only at the end of the file.
    bool Read(float* out, int frames, int* got, std::string* error) {
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

    // The file's length as it says (0 when it does not).
    double Seconds() const { return fmt_->duration > 0 ? static_cast<double>(fmt_->duration) / AV_TIME_BASE : 0; }

    bool Skip(std::int64_t frames, std::string* error) {
        std::vector<float> sink(4096 * kMixChannels);
        while (frames > 0) {
            int got = 0;
            if (!Read(sink.data(), static_cast<int>(std::min<std::int64_t>(frames, 4096)), &got, error)) return false;
            if (got == 0) return true;
            frames -= got;
        }
        return true;
    }

private:
    bool Fail(std::string text, std::string* error) {
        *error = std::move(text);
        return false;
    }

    // Decodes one more piece of the file into pending_, or notes its end.
    bool Decode(std::string* error) {
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
                return Flush(error);
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

    bool Convert(AVFrame* f, std::string* error) {
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

    bool Flush(std::string* error) {
        ended_ = true;
        if (!swr_) return true;
        int capacity = swr_get_out_samples(swr_.get(), 0);
        if (capacity <= 0) return true;
        pending_.resize(static_cast<std::size_t>(capacity * kMixChannels));
        auto* outData = reinterpret_cast<std::uint8_t*>(pending_.data());
        int n = swr_convert(swr_.get(), &outData, capacity, nullptr, 0);
        pending_.resize(static_cast<std::size_t>(std::max(n, 0) * kMixChannels));
        (void)error;
        return true;
    }

    std::string path_;
    FormatInputPtr fmt_;
    CodecContextPtr ctx_;
    PacketPtr packet_;
    FramePtr frame_;
    std::unique_ptr<SwrContext, SwrDeleter> swr_;
    int stream_ = -1;
    std::vector<float> pending_;
    std::size_t pendingAt_ = 0;
    bool ended_ = false;
    bool decodedAny_ = false;
    int damage_ = 0;  // the last damaged packet's error, 0 while none
};

namespace {

// A music file of up to 30 s is decoded once per render and played from memory by every placement
// of it (a file of a few tenths of a second may be placed thousands of times); a longer one is read
// as it plays, each placement playing most of it.
constexpr int kMaxDecodedSeconds = 30;
constexpr std::size_t kMaxDecodedFloats = std::size_t{kMaxDecodedSeconds} * kMixRate * kMixChannels;  // 10.6 MB

// The whole sound of a file, or nothing when it is longer than the limit or cannot be read.
std::shared_ptr<const std::vector<float>> DecodeWhole(const std::string& path) {
    MusicReader reader;
    std::string ignored;
    if (!reader.Open(path, &ignored) || reader.Seconds() > kMaxDecodedSeconds) return nullptr;
    auto sound = std::make_shared<std::vector<float>>();
    constexpr int kBlock = 8192;
    for (int got = kBlock; got == kBlock;) {
        if (sound->size() > kMaxDecodedFloats) return nullptr;
        const std::size_t at = sound->size();
        sound->resize(at + static_cast<std::size_t>(kBlock * kMixChannels));
        if (!reader.Read(sound->data() + at, kBlock, &got, &ignored)) return nullptr;
        sound->resize(at + static_cast<std::size_t>(got * kMixChannels));
    }
    sound->shrink_to_fit();
    return sound;
}

}  // namespace

// A placement being played: from the file itself, or from its sound decoded once.
struct AudioMixer::Active {
    std::int64_t begin = 0, end = 0;  // sample frames on the show's time line
    std::unique_ptr<MusicReader> reader;
    std::shared_ptr<const std::vector<float>> decoded;
    std::size_t at = 0;  // the next float of `decoded`

    bool Read(float* out, int frames, int* got, std::string* error) {
        if (reader) return reader->Read(out, frames, got, error);
        const std::size_t wanted = static_cast<std::size_t>(frames * kMixChannels);
        const std::size_t n = std::min(wanted, decoded->size() - std::min(at, decoded->size()));
        std::copy_n(decoded->data() + at, n, out);
        at += n;
        *got = static_cast<int>(n / kMixChannels);
        return true;
    }
    bool Skip(std::int64_t frames, std::string* error) {
        if (reader) return reader->Skip(frames, error);
        at += static_cast<std::size_t>(frames * kMixChannels);
        return true;
    }
};

bool AudioMixer::OpenSound(const std::string& path, Active* a, std::string* error) {
    auto known = decoded_.find(path);
    if (known == decoded_.end()) known = decoded_.emplace(path, DecodeWhole(path)).first;
    ++soundsOpened_;
    if (known->second) {
        a->decoded = known->second;
        return true;
    }
    a->reader = std::make_unique<MusicReader>();
    return a->reader->Open(path, error);
}

AudioMixer::AudioMixer(std::vector<AudioPlacement> placements, const VolumeEnvelope& volume,
                       std::shared_ptr<const TrackRun> run)
    : placements_(std::move(placements)) {
    std::stable_sort(placements_.begin(), placements_.end(),
                     [](const AudioPlacement& a, const AudioPlacement& b) { return a.start < b.start; });
    next_ = std::make_unique<PlacementCursor>(&placements_, std::move(run));
    for (const VolumeKey& k : volume) volume_.push_back({SampleAt(k.at), k.gain, k.ramp});
    std::stable_sort(volume_.begin(), volume_.end(), [](const Key& a, const Key& b) { return a.at < b.at; });
}

double AudioMixer::GainAt(std::int64_t sample) {
    while (key_ + 1 < volume_.size() && volume_[key_ + 1].at <= sample) ++key_;
    const Key& from = volume_[key_];
    if (sample < from.at || key_ + 1 == volume_.size() || !volume_[key_ + 1].ramp) return from.gain;
    const Key& to = volume_[key_ + 1];
    return from.gain + (to.gain - from.gain) * static_cast<double>(sample - from.at) / static_cast<double>(to.at - from.at);
}

void AudioMixer::ApplyVolume(float* out, int frames) {
    if (volume_.empty()) return;
    for (int i = 0; i < frames; ++i) {
        const auto gain = static_cast<float>(GainAt(position_ + i));
        for (int c = 0; c < kMixChannels; ++c) out[i * kMixChannels + c] *= gain;
    }
}

AudioMixer::~AudioMixer() = default;

void AudioMixer::StartAt(std::int64_t sample) {
    position_ = sample;
    // A unit early: a placement that stops within the sample frame is passed over by Mix itself.
    next_->SkipEndedBy(av_rescale(sample, kUnitsPerSecond, kMixRate) - 1);
}

bool AudioMixer::Mix(float* out, int frames, std::string* error) {
    std::fill(out, out + static_cast<std::ptrdiff_t>(frames) * kMixChannels, 0.0f);
    const std::int64_t from = position_, to = position_ + frames;
    while (!next_->done() && SampleAt(next_->nextStart()) < to) {
        const AudioPlacement p = next_->Take();
        auto a = std::make_unique<Active>();
        a->begin = SampleAt(p.start);
        a->end = SampleAt(p.stop);
        if (a->end <= std::max(a->begin, from)) continue;
        if (!OpenSound(p.path, a.get(), error)) return false;
        // A placement that began before this block (only after a seek) starts part-way in.
        std::int64_t skip = SampleAt(p.mediaStart) + std::max<std::int64_t>(0, from - a->begin);
        if (skip > 0 && !a->Skip(skip, error)) return false;
        active_.push_back(std::move(a));
    }
    for (auto& a : active_) {
        std::int64_t begin = std::max(a->begin, from), end = std::min(a->end, to);
        if (end <= begin) continue;
        int count = static_cast<int>(end - begin);
        scratch_.resize(static_cast<std::size_t>(count * kMixChannels));
        int got = 0;
        if (!a->Read(scratch_.data(), count, &got, error)) return false;
        float* dst = out + (begin - from) * kMixChannels;
        for (int i = 0; i < got * kMixChannels; ++i) dst[i] += scratch_[static_cast<std::size_t>(i)];
    }
    active_.erase(std::remove_if(active_.begin(), active_.end(),
                                 [&](const std::unique_ptr<Active>& a) { return a->end <= to; }),
                  active_.end());
    ApplyVolume(out, frames);
    for (int i = 0; i < frames * kMixChannels; ++i) out[i] = std::clamp(out[i], -1.0f, 1.0f);
    position_ = to;
    return true;
}

bool ProbeMusic(const std::string& path, std::string* error) {
    MusicReader reader;
    return reader.Open(path, error);
}
