#include "platform/render/file_render_job.h"

#include <thread>
#include <vector>

#include "platform/com/error_text.h"
#include "platform/render/audio_mixer.h"
#include "platform/render/bounded_queue.h"
#include "platform/render/video_compositor.h"

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

namespace {

struct Picture {
    FramePtr frame;
    std::string error;  // set when the frame could not be made
};

struct SoundBlock {
    std::vector<float> samples;  // interleaved stereo
    std::string error;
};

constexpr int kSoundBlock = 4096;

}  // namespace

// Frames are composed and sound is mixed on threads of their own, ahead of the encoders, so the
// thread that encodes and writes does nothing else.
void FileRenderJob::Run() {
    std::string error;
    bool ok = true;
    {
        BoundedQueue<Picture> pictures(8);
        BoundedQueue<SoundBlock> sound(16);
        std::thread composer, mixer;
        if (output_.hasVideo) {
            composer = std::thread([&] {
                VideoCompositor video(*plan_, output_.width, output_.height);
                for (std::int64_t n = 0; n < framesTotal_; ++n) {
                    Picture p;
                    bool same = false;
                    if (!video.Frame(n, &p.frame, &same, &p.error) && p.error.empty()) p.error = "A frame failed";
                    const bool failed = !p.error.empty();
                    if (!pictures.Push(std::move(p)) || failed) break;
                }
                pictures.Close();
            });
        }
        if (output_.hasAudio) {
            mixer = std::thread([&] {
                AudioMixer audio(plan_->music);
                const std::int64_t total = SamplesFor(framesTotal_);
                for (std::int64_t at = 0; at < total;) {
                    const int count = static_cast<int>(std::min<std::int64_t>(kSoundBlock, total - at));
                    SoundBlock b;
                    b.samples.resize(static_cast<std::size_t>(count * kMixChannels));
                    const bool failed = !audio.Mix(b.samples.data(), count, &b.error);
                    if (!sound.Push(std::move(b)) || failed) break;
                    at += count;
                }
                sound.Close();
            });
        }
        SoundBlock pending;
        std::size_t pendingAt = 0;  // sample frames of `pending` already written
        std::int64_t samplesWritten = 0;
        for (std::int64_t n = 0; n < framesTotal_ && ok && !stop_; ++n) {
            if (output_.hasVideo) {
                Picture p;
                if (!pictures.Pop(&p)) {
                    ok = false;
                    error = "The pictures ended early";
                } else if (!p.error.empty()) {
                    ok = false;
                    error = p.error;
                } else {
                    ok = writer_.WriteVideo(p.frame.get(), n, &error);
                }
            }
            // The sound up to the end of this frame, so the streams stay interleaved.
            const std::int64_t target = SamplesFor(n + 1);
            while (ok && output_.hasAudio && samplesWritten < target) {
                if (pendingAt * kMixChannels >= pending.samples.size()) {
                    if (!sound.Pop(&pending)) {
                        ok = false;
                        error = "The sound ended early";
                        break;
                    }
                    pendingAt = 0;
                    if (!pending.error.empty()) {
                        ok = false;
                        error = pending.error;
                        break;
                    }
                }
                const std::size_t left = pending.samples.size() / kMixChannels - pendingAt;
                const int count = static_cast<int>(std::min<std::int64_t>(static_cast<std::int64_t>(left),
                                                                          target - samplesWritten));
                ok = writer_.WriteAudio(pending.samples.data() + pendingAt * kMixChannels, count, &error);
                pendingAt += static_cast<std::size_t>(count);
                samplesWritten += count;
            }
            framesDone_ = n + 1;
        }
        pictures.Close();
        sound.Close();
        if (composer.joinable()) composer.join();
        if (mixer.joinable()) mixer.join();
    }
    std::string finishError;
    bool finished = writer_.Finish(&finishError);
    if (ok && !finished) {
        ok = false;
        error = finishError;
    }
    if (done_) done_(ok ? S_OK : RegisterFailure(error), error);
}
