#include "platform/render/compose/video_compositor.h"

#include "platform/render/compose/prepared_clip.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/media/heap_pages.h"
#include "platform/render/decode/photo_decoder.h"
#include "platform/render/compose/video_colour.h"

namespace {
// How far the decoder may run ahead: a few photos, so an encoder never waits on one slow photo,
// within a small budget of memory for large frames. A moving photo keeps its picture (the frame's
// size, its zoom and a quarter to spare each way) and its backdrop: about four frames.
std::size_t PhotosAhead(const ShowPlan& plan, int width, int height) {
    constexpr std::size_t kBudgetBytes = 24u << 20;
    bool moving = plan.framing != Framing::Fit;
    for (const VideoClip& c : plan.clips)
        moving = moving || c.motion.Moves() || c.motion.HasViews() || c.motion.framing.value_or(Framing::Fit) != Framing::Fit;
    const std::size_t frameBytes = FrameBytes(width, height);
    return std::clamp<std::size_t>(kBudgetBytes / (frameBytes * (moving ? 4 : 1)), 1, 4);
}
}  // namespace

PhotoSource::PhotoSource(const ShowPlan& plan, int width, int height, Use use)
    : plan_(plan), width_(width), height_(height), black_(BlackFrame(width, height)),
      ahead_(PhotosAhead(plan, width, height)), use_(use), behind_(use == Use::Playing ? ahead_ : 0) {
    for (int i = 0; i < (use == Use::Playing ? 2 : 1); ++i) workers_.emplace_back([this] { Work(); });
}

PhotoSource::~PhotoSource() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

void PhotoSource::Work() {
    // Encoding, the decoder only has to stay ahead: the encoder's threads come first.
    if (use_ == Use::Encoding) setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_) {
        if (next_ >= plan_.clips.size() || next_ > wanted_ + ahead_) {
            changed_.wait(lock);
            continue;
        }
        // Passed over without being shown, or kept from before a seek.
        if (next_ < keepFrom_ || ready_.count(next_) != 0 || failed_.count(next_) != 0) {
            ++next_;
            continue;
        }
        std::size_t i = next_++;
        lock.unlock();
        auto photo = std::make_shared<PreparedPhoto>();
        std::string error;
        const VideoClip& clip = plan_.clips[i];
        bool ok = PrepareClip(clip, plan_, width_, height_, black_, photo.get(), &error);
        ReturnFreeHeapPages();  // keeps the footprint flat over a thousand photos
        lock.lock();
        if (!ok) {
            failed_[i] = error;
        } else if (i + behind_ >= keepFrom_ && i <= wanted_ + ahead_) {  // still wanted after a seek
            ready_[i] = std::move(photo);
        }
        changed_.notify_all();
    }
}

void PhotoSource::DropOutside(std::size_t first, std::size_t last) {
    ready_.erase(ready_.begin(), ready_.lower_bound(first));
    ready_.erase(ready_.upper_bound(last), ready_.end());
}

bool PhotoSource::Get(std::size_t i, std::size_t keepFrom, std::shared_ptr<const PreparedPhoto>* photo,
                      std::string* error) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (i > wanted_ || keepFrom > keepFrom_) {
        wanted_ = std::max(wanted_, i);
        keepFrom_ = std::max(keepFrom_, keepFrom);
        ready_.erase(ready_.begin(), ready_.lower_bound(keepFrom_ - std::min(keepFrom_, behind_)));
        changed_.notify_all();
    }
    changed_.wait(lock, [&] { return ready_.count(i) || failed_.count(i) || interrupted_; });
    if (auto f = failed_.find(i); f != failed_.end()) {
        *error = f->second;
        return false;
    }
    if (ready_.count(i) == 0) return false;  // interrupted
    *photo = ready_[i];
    return true;
}

void PhotoSource::Restart(std::size_t first) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        wanted_ = first;
        keepFrom_ = first;
        next_ = first;
        interrupted_ = false;
        DropOutside(first - std::min(first, behind_), first + ahead_);
    }
    changed_.notify_all();
}

void PhotoSource::Interrupt() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        interrupted_ = true;
    }
    changed_.notify_all();
}

FrameView ViewOf(const AVFrame* f) {
    FrameView v;
    v.width = f->width;
    v.height = f->height;
    v.planeCount = 3;
    for (int i = 0; i < 3; ++i) {
        PlaneView& p = v.planes[static_cast<std::size_t>(i)];
        p.data = f->data[i];
        p.stride = f->linesize[i];
        p.shiftX = p.shiftY = i == 0 ? 0 : 1;
        p.width = i == 0 ? f->width : (f->width + 1) / 2;
        p.height = i == 0 ? f->height : (f->height + 1) / 2;
    }
    return v;
}

FramePtr BlackFrame(int width, int height) {
    FramePtr f(av_frame_alloc());
    f->format = AV_PIX_FMT_YUV420P;
    f->width = width;
    f->height = height;
    av_frame_get_buffer(f.get(), 32);
    FrameView v = ViewOf(f.get());
    for (int i = 0; i < 3; ++i) {
        PlaneView p = v.Plane(i);
        for (int y = 0; y < p.height; ++y) std::memset(p.Row(y), i == 0 ? 16 : 128, static_cast<std::size_t>(p.width));
    }
    TagFrame(f.get(), VideoColourFor(height));
    return f;
}

VideoCompositor::VideoCompositor(const ShowPlan& plan, int width, int height, int threads)
    : plan_(plan), width_(width), height_(height), threads_(threads),
      photos_(std::make_shared<PhotoSource>(plan, width, height)), black_(BlackFrame(width, height)),
      pool_(width, height) {}

VideoCompositor::VideoCompositor(const ShowPlan& plan, int width, int height, std::shared_ptr<PhotoSource> photos,
                                 std::int64_t firstFrame)
    : plan_(plan), width_(width), height_(height), threads_(1), photos_(std::move(photos)),
      black_(BlackFrame(width, height)), pool_(width, height) {
    const REFERENCE_TIME t = FrameStart(firstFrame);
    while (firstActive_ < plan_.clips.size() && plan_.clips[firstActive_].stop <= t) ++firstActive_;
    photos_->Restart(firstActive_);
}

bool VideoCompositor::Active(std::size_t i, REFERENCE_TIME t) const {
    const VideoClip& c = plan_.clips[i];
    return c.start <= t && t < c.stop;
}

TransitionEffect* VideoCompositor::EffectFor(std::size_t clip, std::string* error) {
    auto it = effects_.find(clip);
    if (it != effects_.end()) return it->second.get();
    std::unique_ptr<TransitionEffect> effect;
    // The photo's position seeds the random effects: the same show gives the same frames.
    if (FAILED(CreateTransitionEffect(plan_.clips[clip].effect, plan_.clips[clip].properties,
                                      static_cast<std::uint64_t>(clip), &effect, error))) {
        return nullptr;
    }
    return effects_.emplace(clip, std::move(effect)).first->second.get();
}

// What the tracks under `top` show at t: the next active one beneath, itself perhaps in its
// transition, or black.
bool VideoCompositor::Below(std::size_t top, REFERENCE_TIME t, FramePtr* out, std::string* error) {
    for (std::size_t i = top; i-- > firstActive_;) {
        if (Active(i, t)) return Compose(i, t, out, error);
    }
    out->reset(av_frame_clone(black_.get()));
    return true;
}

// Photo `clip` as it stands at t: its still frame, or drawn where its path has brought it.
bool VideoCompositor::PhotoAt(std::size_t clip, REFERENCE_TIME t, FramePtr* out, std::string* error) {
    std::shared_ptr<const PreparedPhoto> photo;
    if (!photos_->Get(clip, firstActive_, &photo, error)) {
        photoFailed_ = true;
        return false;
    }
    if (!photo->Moves()) {
        out->reset(av_frame_clone(photo->still.get()));
        return true;
    }
    FramePtr drawn = pool_.Get();
    if (drawn == nullptr) {
        *error = "Out of memory for a frame of " + std::to_string(width_) + " x " + std::to_string(height_);
        return false;
    }
    av_frame_copy_props(drawn.get(), photo->backdrop.get());
    const VideoClip& c = plan_.clips[clip];
    DrawMovingClip(*photo, MotionProgress(t, c.start, c.stop, c.motion.eased), drawn.get(), threads_);
    *out = std::move(drawn);
    return true;
}

bool VideoCompositor::Compose(std::size_t top, REFERENCE_TIME t, FramePtr* out, std::string* error) {
    const VideoClip& c = plan_.clips[top];
    FramePtr photo;
    if (!PhotoAt(top, t, &photo, error)) return false;
    bool inTransition = c.hasTransition && c.transitionStart <= t && t < c.transitionStop &&
                        c.transitionStop > c.transitionStart;
    if (!inTransition) {
        *out = std::move(photo);
        return true;
    }
    FramePtr under;
    if (!Below(top, t, &under, error)) return false;
    TransitionEffect* effect = EffectFor(top, error);
    if (effect == nullptr) return false;
    FramePtr composed = pool_.Get();
    if (composed == nullptr) {
        *error = "Out of memory for a frame of " + std::to_string(width_) + " x " + std::to_string(height_);
        return false;
    }
    av_frame_copy_props(composed.get(), photo.get());
    double p = static_cast<double>(t - c.transitionStart) / static_cast<double>(c.transitionStop - c.transitionStart);
    effect->Render(ViewOf(under.get()), ViewOf(photo.get()), p, ViewOf(composed.get()));
    *out = std::move(composed);
    return true;
}

bool VideoCompositor::Frame(std::int64_t n, FramePtr* frame, bool* same, std::string* error) {
    const REFERENCE_TIME t = FrameStart(n);
    while (firstActive_ < plan_.clips.size() && plan_.clips[firstActive_].stop <= t) {
        effects_.erase(firstActive_);
        ++firstActive_;
    }
    std::size_t top = plan_.clips.size();
    for (std::size_t i = plan_.clips.size(); i-- > firstActive_;) {
        if (Active(i, t)) {
            top = i;
            break;
        }
    }
    if (top == plan_.clips.size()) {
        *same = lastKey_ == -1;
        lastKey_ = -1;
        frame->reset(av_frame_clone(black_.get()));
        return true;
    }
    const VideoClip& c = plan_.clips[top];
    bool still = !(c.hasTransition && c.transitionStart <= t && t < c.transitionStop) && !c.motion.Moves();
    *same = still && lastKey_ == static_cast<std::int64_t>(top);
    lastKey_ = still ? static_cast<std::int64_t>(top) : -2;
    return Compose(top, t, frame, error);
}
