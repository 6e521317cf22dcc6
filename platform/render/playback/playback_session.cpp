#include "platform/render/playback/playback_session.h"

#include <algorithm>
#include <cstring>

#include "platform/com/error_text.h"
#include "platform/render/playback/bgra_converter.h"
#include "platform/render/compose/video_compositor.h"


namespace {

constexpr std::size_t kQueuedFrames = 12;  // half a second of pictures ahead
constexpr int kMixBlock = 2048;

REFERENCE_TIME TimeOfSample(std::int64_t sample) { return sample * kUnitsPerSecond / kMixRate; }

std::int64_t SteadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

PlaybackSession::PlaybackSession(const ShowPlan& plan, std::shared_ptr<PhotoSource> photos, int width, int height,
                                 std::int64_t startFrame, VideoRendererPort* video, AudioRendererPort* audio,
                                 PlaybackStats* stats, std::mutex* statsMutex, Post post)
    : plan_(plan), photos_(std::move(photos)), width_(width), height_(height), startFrame_(startFrame), endFrame_(FrameCount(plan.length)),
      video_(video), audio_(audio), hasProducer_(video != nullptr && plan.hasVideo), stats_(stats),
      statsMutex_(statsMutex), post_(std::move(post)) {
    heldAt_ = FrameStart(startFrame_);
    if (audio_ != nullptr) audio_->Reset(SampleAt(heldAt_));
    if (hasProducer_) producer_ = std::thread([this] { Produce(); });
    if (audio_ != nullptr) mixer_ = std::thread([this] { Mix(); });
    presenter_ = std::thread([this] { Present(); });
}

PlaybackSession::~PlaybackSession() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (photos_) photos_->Interrupt();  // the producer may be waiting for a photo
    for (std::thread* t : {&producer_, &mixer_, &presenter_}) {
        if (t->joinable()) t->join();
    }
    if (audio_ != nullptr) audio_->Play(false);
}

void PlaybackSession::SetRunning(bool running) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (running == running_) return;
        if (!running) heldAt_ = PositionLocked();
        running_ = running;
        runningSince_ = std::chrono::steady_clock::now();
    }
    if (audio_ != nullptr) audio_->Play(running);
    changed_.notify_all();
}

REFERENCE_TIME PlaybackSession::Position() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return PositionLocked();
}

REFERENCE_TIME PlaybackSession::PositionLocked() const {
    // Never before the start: the sample clock is coarser than the frame starts.
    if (audio_ != nullptr) return std::max(FrameStart(startFrame_), TimeOfSample(audio_->Clock()));
    if (!running_) return heldAt_;
    auto elapsed = std::chrono::steady_clock::now() - runningSince_;
    return heldAt_ + std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count() / 100;
}

void PlaybackSession::Produce() {
    VideoCompositor compositor(plan_, width_, height_, photos_, startFrame_);
    BgraConverter converter(width_, height_);
    VideoPicture last;
    for (std::int64_t n = startFrame_; n < endFrame_; ++n) {
        FramePtr frame;
        bool same = false;
        std::string error;
        if (!compositor.Frame(n, &frame, &same, &error)) {
            if (Stopping()) return;  // interrupted
            post_(EC_ERRORABORT, RegisterFailure(error));
            break;
        }
        // An unchanged picture is the previous one again: no conversion, no copy.
        VideoPicture picture = same && last.pixels ? last : converter.Convert(frame.get(), n);
        picture.frame = n;
        last = picture;
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return stopping_ || queue_.size() < kQueuedFrames; });
        if (stopping_) return;
        queue_.push_back({n, std::move(picture)});
        changed_.notify_all();
    }
    std::lock_guard<std::mutex> lock(mutex_);
    producerDone_ = true;
    changed_.notify_all();
}

void PlaybackSession::Mix() {
    AudioMixer mixer(plan_.music, plan_.musicVolume, plan_.musicRun);
    std::vector<float> block(static_cast<std::size_t>(kMixBlock * kMixChannels));
    const std::int64_t end = SampleAt(FrameStart(endFrame_));
    const std::int64_t start = SampleAt(FrameStart(startFrame_));
    std::string error;
    mixer.StartAt(start);
    for (std::int64_t at = start; at < end;) {
        int count = static_cast<int>(std::min<std::int64_t>(kMixBlock, end - at));
        if (!mixer.Mix(block.data(), count, &error)) {
            post_(EC_ERRORABORT, RegisterFailure(error));
            return;
        }
        int taken = 0;
        while (taken < count) {
            taken += audio_->Write(at + taken, block.data() + taken * kMixChannels, count - taken);
            if (taken == count) break;
            std::unique_lock<std::mutex> lock(mutex_);
            if (changed_.wait_for(lock, std::chrono::milliseconds(10), [&] { return stopping_; })) return;
        }
        at += count;
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_) return;
    }
}

bool PlaybackSession::Stopping() {
    std::lock_guard<std::mutex> lock(mutex_);
    return stopping_;
}

bool PlaybackSession::WaitUntilDue(REFERENCE_TIME due) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        if (stopping_) return false;
        if (running_) {
            const REFERENCE_TIME now = PositionLocked();
            if (now >= due) return true;
            const auto wait = std::chrono::microseconds(std::clamp<REFERENCE_TIME>((due - now) / 10, 100, 5000));
            changed_.wait_for(lock, wait);
        } else {
            changed_.wait(lock);
        }
    }
}

void PlaybackSession::Shown(const VideoPicture& picture, REFERENCE_TIME lateness) {
    video_->Present(picture);
    std::lock_guard<std::mutex> lock(*statsMutex_);
    ++stats_->framesShown;
    stats_->worstLateness = std::max(stats_->worstLateness, lateness);
    stats_->lastFrameShown = picture.frame;
    if (stats_->firstFrameSteadyNs == 0) stats_->firstFrameSteadyNs = SteadyNs();
    stats_->audioClock = audio_ != nullptr;
}

void PlaybackSession::Present() {
    bool first = true;
    for (;;) {
        Queued next;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] { return stopping_ || !queue_.empty() || producerDone_ || !hasProducer_; });
            if (stopping_) return;
            if (queue_.empty()) break;  // every frame is out
            next = std::move(queue_.front());
            queue_.pop_front();
        }
        changed_.notify_all();
        if (first) {  // shown at once, so a held graph shows where it stands
            first = false;
            Shown(next.picture, 0);
            std::lock_guard<std::mutex> lock(*statsMutex_);
            stats_->stretchFirstFrame = next.frame;
            stats_->stretchFirstSteadyNs = SteadyNs();
            continue;
        }
        if (!WaitUntilDue(FrameStart(next.frame))) return;
        const REFERENCE_TIME now = Position();
        if (now >= FrameStart(next.frame + 1) && next.frame + 1 < endFrame_) {
            std::lock_guard<std::mutex> lock(*statsMutex_);
            ++stats_->framesDropped;
            continue;
        }
        Shown(next.picture, now - FrameStart(next.frame));
    }
    if (WaitUntilDue(FrameStart(endFrame_))) post_(EC_COMPLETE, 0);
}
