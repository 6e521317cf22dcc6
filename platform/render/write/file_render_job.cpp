#include "platform/render/write/file_render_job.h"

#include <algorithm>
#include <deque>
#include <limits>
#include <thread>
#include <vector>

#include "platform/com/error_text.h"
#include "platform/render/audio_mixer.h"
#include "platform/render/bounded_queue.h"
#include "platform/render/write/sound_gate.h"
#include "platform/render/compose/video_compositor.h"

extern "C" {
#include <libavutil/mathematics.h>
}

namespace {

// Sample frames of sound that the first `frames` pictures last.
std::int64_t SamplesFor(std::int64_t frames) {
    return av_rescale(frames, kFpsDen * kMixRate, kFpsNum);
}

}  // namespace

FileRenderJob::FileRenderJob(std::shared_ptr<const ShowPlan> plan, OutputSpec output)
    : plan_(std::move(plan)), output_(std::move(output)) {
    framesTotal_ = FrameCount(plan_->length);
}

FileRenderJob::~FileRenderJob() { Stop(); }

HRESULT FileRenderJob::Start(Done done) {
    std::string error;
    if (!writer_.Open(output_, &error)) return RegisterFailure(error);
    done_ = std::move(done);
    worker_ = std::thread([this] { Run(); });
    return S_OK;
}

void FileRenderJob::Stop() {
    stop_ = true;
    if (worker_.joinable()) worker_.join();
}

void FileRenderJob::Abandon() {
    abandon_ = true;
    Stop();
}

namespace {

struct Picture {
    FramePtr frame;
    std::string error;  // set when the frame could not be made
    bool input = false;  // ... because a photo could not be decoded
};

struct SoundBlock {
    std::vector<PacketPtr> packets;  // the encoded sound
    std::string error;
    bool input = false;  // set when the music could not be decoded
    std::int64_t mixedTo = 0;  // the sample frame the sound is mixed up to with this block
};

constexpr std::int64_t kSoundBlock = 2048;
// Sound is mixed at most 20 ms ahead of the pictures written, so that a stop ends it right after
// the last picture; and written 0.25 s behind them, more than any audio encoder holds back
// (a block still to be mixed, the encoder's frame and its delay), so the writer never waits for
// sound that the gate holds.
constexpr std::int64_t kSoundAhead = kMixRate / 50;
constexpr std::int64_t kSoundBehind = kMixRate / 4;
// Wherever the sound stops, it falls to silence over its last 20 ms.
constexpr std::int64_t kEndFade = kMixRate / 50;

// Composed frames waiting for the encoder: enough to ride out an uneven frame, within about 12 MB
// (three 1080p frames; the pool keeps every frame that was ever out at once).
std::size_t PicturesAhead(int width, int height) {
    return std::clamp<std::size_t>((12u << 20) / FrameBytes(width, height), 3, 8);
}

struct SoundLine {
    const ShowPlan& plan;
    FileWriter& writer;
    std::int64_t total;  // sample frames of the whole show
    const std::atomic<bool>& abandon;
};

// The sound falls to silence over the 20 ms before the music stops: at the show's end (the last
// picture may outlast it by part of a frame) or where the pictures stop.
void MixSound(const SoundLine& line, BoundedQueue<SoundBlock>& sound, SoundGate& gate) {
    AudioMixer audio(line.plan.music, line.plan.musicVolume, line.plan.musicRun);
    std::int64_t end = line.total;
    std::int64_t fadeEnd = std::min(end, SampleAt(line.plan.length));
    std::int64_t fadeFrom = std::max<std::int64_t>(fadeEnd - kEndFade, 0);
    std::vector<float> samples;
    for (std::int64_t at = 0; at < end;) {
        const SoundGate::Permit permit = gate.WaitFor(at >= fadeFrom && at < fadeEnd ? fadeEnd : at + 1);
        if (permit.ended && permit.allowed < line.total) {  // stopped
            if (line.abandon) break;
            end = std::min(line.total, std::max(permit.allowed, at + kEndFade));
            if (fadeEnd > at) {
                fadeEnd = std::min(fadeEnd, end);
                fadeFrom = std::max(fadeEnd - kEndFade, at);
            }
        }
        const bool fading = at >= fadeFrom && at < fadeEnd;
        const std::int64_t limit = permit.ended ? end : permit.allowed;
        const int count = static_cast<int>(
            fading ? fadeEnd - at : std::min({kSoundBlock, (at < fadeFrom ? fadeFrom : end) - at, limit - at}));
        samples.resize(static_cast<std::size_t>(count * kMixChannels));
        SoundBlock b;
        at += count;
        b.mixedTo = at;
        b.input = fading ? !audio.MixFadingOut(samples.data(), count, &b.error) : !audio.Mix(samples.data(), count, &b.error);
        const bool failed = b.input || !line.writer.EncodeAudio(samples.data(), count, at == end, &b.packets, &b.error);
        if (!sound.Push(std::move(b)) || failed || at == end) break;
    }
    sound.Close();
}

}  // namespace

// Frames are composed on a thread of their own, and sound is mixed and encoded on another, ahead
// of the picture encoder, so the thread that encodes the pictures and writes does nothing else.
void FileRenderJob::Run() {
    std::string error;
    bool ok = true, inputFailed = false;
    {
        BoundedQueue<Picture> pictures(PicturesAhead(output_.width, output_.height));
        BoundedQueue<SoundBlock> sound(16);
        SoundGate gate;
        gate.Allow(kSoundAhead);
        std::thread composer, mixer;
        if (output_.hasVideo) {
            composer = std::thread([&] {
                VideoCompositor video(*plan_, output_.width, output_.height);
                for (std::int64_t n = 0; n < framesTotal_; ++n) {
                    Picture p;
                    bool same = false;
                    if (!video.Frame(n, &p.frame, &same, &p.error) && p.error.empty()) p.error = "A frame failed";
                    const bool failed = !p.error.empty();
                    p.input = failed && video.PhotoFailed();
                    if (!pictures.Push(std::move(p)) || failed) break;
                }
                pictures.Close();
            });
        }
        if (output_.hasAudio) {
            mixer = std::thread([&] { MixSound({*plan_, writer_, SamplesFor(framesTotal_), abandon_}, sound, gate); });
        }
        std::deque<PacketPtr> audioPackets;
        bool soundEnded = false;  // every packet of the sound has arrived
        std::int64_t mixedTo = 0;
        // Writes the sound that starts before sample frame `until`, taking blocks until the sound
        // is mixed up to `mixed`: the encoders' delay is shorter than kSoundBehind, so whatever
        // starts before `until` has arrived by then.
        auto writeSound = [&](std::int64_t until, std::int64_t mixed) {
            while (ok) {
                if (audioPackets.empty()) {
                    SoundBlock b;
                    if (soundEnded || mixedTo >= mixed) return;
                    if (!sound.Pop(&b)) {
                        soundEnded = true;
                        return;
                    }
                    if (!b.error.empty()) {
                        ok = false;
                        error = b.error;
                        inputFailed = b.input;
                        return;
                    }
                    mixedTo = b.mixedTo;
                    for (PacketPtr& p : b.packets) audioPackets.push_back(std::move(p));
                    continue;
                }
                if (writer_.AudioPacketStart(audioPackets.front().get()) >= until) return;
                ok = writer_.WriteAudioPacket(std::move(audioPackets.front()), &error);
                audioPackets.pop_front();
            }
        };
        for (std::int64_t n = 0; n < framesTotal_ && ok && !stop_; ++n) {
            if (output_.hasVideo) {
                Picture p;
                if (!pictures.Pop(&p)) {
                    ok = false;
                    error = "The pictures ended early";
                } else if (!p.error.empty()) {
                    ok = false;
                    error = p.error;
                    inputFailed = p.input;
                } else {
                    ok = writer_.WriteVideo(p.frame.get(), n, &error);
                }
            }
            // The sound up to a moment before this frame's end, so the streams stay interleaved.
            gate.Allow(SamplesFor(n + 1) + kSoundAhead);
            if (output_.hasAudio) writeSound(SamplesFor(n + 1) - kSoundBehind, SamplesFor(n + 1));
            framesDone_ = n + 1;
        }
        // The encoder's last packets, which may start after the last frame's end; after a stop,
        // the sound up to the last picture and its short fade to silence.
        gate.End(SamplesFor(framesDone_));
        if (ok && output_.hasAudio) {
            writeSound(std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::int64_t>::max());
        }
        pictures.Close();
        sound.Close();
        if (composer.joinable()) composer.join();
        if (mixer.joinable()) mixer.join();
    }
    if (abandon_) {
        ok = false;
        error = "The conversion was abandoned";
    }
    if (!ok) {
        writer_.Abandon();
    } else {
        // A stop must be quick: what the picture encoder holds back beyond that is left out.
        ok = stop_ ? writer_.Finish(&error, std::chrono::milliseconds(200)) : writer_.Finish(&error);
    }
    if (done_) done_(ok ? S_OK : inputFailed ? RegisterInputFailure(error) : RegisterFailure(error), error);
}
