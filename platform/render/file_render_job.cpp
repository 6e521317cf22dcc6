#include "platform/render/file_render_job.h"

#include <vector>

#include "platform/com/error_text.h"
#include "platform/render/audio_mixer.h"
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

void FileRenderJob::Run() {
    std::string error;
    bool ok = true;
    {
        std::unique_ptr<VideoCompositor> video;
        if (output_.hasVideo) video = std::make_unique<VideoCompositor>(*plan_, output_.width, output_.height);
        AudioMixer audio(plan_->music);
        std::vector<float> block;
        std::int64_t samplesWritten = 0;
        for (std::int64_t n = 0; n < framesTotal_ && ok && !stop_; ++n) {
            if (video) {
                FramePtr picture;
                bool same = false;
                ok = video->Frame(n, &picture, &same, &error) &&
                     writer_.WriteVideo(picture.get(), n, &error);
            }
            // The sound up to the end of this frame, so the streams stay interleaved.
            const std::int64_t target = SamplesFor(n + 1);
            while (ok && output_.hasAudio && samplesWritten < target) {
                int count = static_cast<int>(std::min<std::int64_t>(4096, target - samplesWritten));
                block.resize(static_cast<std::size_t>(count * kMixChannels));
                ok = audio.Mix(block.data(), count, &error) &&
                     writer_.WriteAudio(block.data(), count, &error);
                samplesWritten += count;
            }
            framesDone_ = n + 1;
        }
    }
    std::string finishError;
    bool finished = writer_.Finish(&finishError);
    if (ok && !finished) {
        ok = false;
        error = finishError;
    }
    if (done_) done_(ok ? S_OK : RegisterFailure(error), error);
}
