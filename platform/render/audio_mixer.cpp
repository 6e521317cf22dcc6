#include "platform/render/audio_mixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/audio/music_reader.h"
#include "platform/render/placement_cursor.h"

extern "C" {
#include <libavutil/mathematics.h>
}

std::int64_t SampleAt(REFERENCE_TIME t) { return av_rescale(t, kMixRate, kUnitsPerSecond); }

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
    double gain = 1;
    std::int64_t fadeIn = 0, joinIn = 0, joinOut = 0;  // sample frames
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
    bool Plain() const { return gain == 1 && fadeIn == 0 && joinIn == 0 && joinOut == 0; }
    // The gain at sample frame `n` of the show: the song's own, its fade-in (a square, as the
    // show's fade-out), and a quarter sine in and out over the joins, so the power stays even.
    double GainAt(std::int64_t n) const {
        const auto in = static_cast<double>(n - begin);
        double g = gain;
        if (in < static_cast<double>(fadeIn)) g *= (in / static_cast<double>(fadeIn)) * (in / static_cast<double>(fadeIn));
        if (in < static_cast<double>(joinIn)) g *= std::sin(kQuarterTurn * in / static_cast<double>(joinIn));
        const auto left = static_cast<double>(end - n);
        if (left < static_cast<double>(joinOut)) g *= std::sin(kQuarterTurn * left / static_cast<double>(joinOut));
        return g;
    }
    void AddInto(float* dst, const float* src, int frames, std::int64_t first) const {
        if (Plain()) {
            for (int i = 0; i < frames * kMixChannels; ++i) dst[i] += src[i];
            return;
        }
        for (int i = 0; i < frames; ++i) {
            const auto g = static_cast<float>(GainAt(first + i));
            for (int c = 0; c < kMixChannels; ++c) dst[i * kMixChannels + c] += g * src[i * kMixChannels + c];
        }
    }
    static constexpr double kQuarterTurn = 1.5707963267948966;
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
        a->gain = std::pow(10.0, p.shape.gainDb / 20);
        a->fadeIn = SampleAt(p.shape.fadeIn);
        a->joinIn = SampleAt(p.shape.joinIn);
        a->joinOut = SampleAt(p.shape.joinOut);
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
        a->AddInto(out + (begin - from) * kMixChannels, scratch_.data(), got, begin);
    }
    active_.erase(std::remove_if(active_.begin(), active_.end(),
                                 [&](const std::unique_ptr<Active>& a) { return a->end <= to; }),
                  active_.end());
    ApplyVolume(out, frames);
    for (int i = 0; i < frames * kMixChannels; ++i) out[i] = std::clamp(out[i], -1.0f, 1.0f);
    position_ = to;
    return true;
}

bool AudioMixer::MixFadingOut(float* out, int frames, std::string* error) {
    if (!Mix(out, frames, error)) return false;
    for (int i = 0; i < frames; ++i) {
        const auto g = static_cast<float>(frames - 1 - i) / static_cast<float>(std::max(frames - 1, 1));
        for (int c = 0; c < kMixChannels; ++c) out[i * kMixChannels + c] *= g;
    }
    return true;
}

bool ProbeMusic(const std::string& path, std::string* error) {
    MusicReader reader;
    return reader.Open(path, error);
}
