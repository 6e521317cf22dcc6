#pragma once
// The show's pictures, frame by frame. Each photo is decoded once, on a worker thread a few photos
// ahead of the one on screen (at most 24 MB of them), and dropped when it has left the screen, so
// memory does not grow with the number of photos. A player that seeks shares one photo source
// between its compositors and keeps as many photos behind as ahead, so a short seek finds its
// photos decoded. A frame of a still photo without a transition
// is the photo's own frame again (the same buffer); only transition frames and moving photos are
// composed.
//
// Frame() is called from one thread, in increasing order of frames.

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/media/ffmpeg_handles.h"
#include "platform/render/compose/effects/transition_effect.h"
#include "platform/render/compose/frame_pool.h"
#include "platform/render/compose/prepared_photo.h"
#include "platform/render/show_plan.h"

class PhotoSource {
public:
    // Encoding: one worker at a lower priority than the encoder's threads. Playing: what is seen
    // waits on the photos, so two workers (the two photos of a transition) at normal priority,
    // and photos behind the first one on screen are kept too.
    enum class Use { Encoding, Playing };
    PhotoSource(const ShowPlan& plan, int width, int height, Use use = Use::Encoding);
    ~PhotoSource();
    PhotoSource(const PhotoSource&) = delete;
    PhotoSource& operator=(const PhotoSource&) = delete;

    // Photo i, waiting for the workers if need be; photos before `keepFrom` may be dropped
    // afterwards. False with an empty *error when interrupted.
    bool Get(std::size_t i, std::size_t keepFrom, std::shared_ptr<const PreparedPhoto>* photo, std::string* error);
    // Photos are wanted from `first` on: what is decoded near it stays, the workers go there next.
    void Restart(std::size_t first);
    // Until the next Restart, Get fails at once, and those waiting now wake and fail.
    void Interrupt();

private:
    void Work();
    void DropOutside(std::size_t first, std::size_t last);  // with mutex_ held

    const ShowPlan& plan_;
    const int width_, height_;
    const FramePtr black_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<std::size_t, std::shared_ptr<const PreparedPhoto>> ready_;
    std::map<std::size_t, std::string> failed_;
    const std::size_t ahead_;  // photos decoded beyond the one wanted
    const Use use_;
    const std::size_t behind_;  // photos kept before keepFrom_
    std::size_t wanted_ = 0;  // the workers decode up to wanted_ + ahead_
    std::size_t keepFrom_ = 0;
    std::size_t next_ = 0;  // the next photo a worker takes
    bool interrupted_ = false;  // until the next Restart
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

class VideoCompositor {
public:
    // A moving photo's rows are drawn by `threads` threads.
    VideoCompositor(const ShowPlan& plan, int width, int height, int threads = 1);
    // Frames from `firstFrame` on, from the photos of `photos` (made for the same plan and size).
    VideoCompositor(const ShowPlan& plan, int width, int height, std::shared_ptr<PhotoSource> photos,
                    std::int64_t firstFrame);
    // The picture of frame n (4:2:0, width × height). *same is true when it is the previous
    // frame's picture.
    bool Frame(std::int64_t n, FramePtr* frame, bool* same, std::string* error);
    // Whether the last failure was a photo that could not be read or decoded.
    bool PhotoFailed() const { return photoFailed_; }

private:
    bool Compose(std::size_t top, REFERENCE_TIME t, FramePtr* out, std::string* error);
    bool Below(std::size_t top, REFERENCE_TIME t, FramePtr* out, std::string* error);
    bool Active(std::size_t i, REFERENCE_TIME t) const;
    bool PhotoAt(std::size_t clip, REFERENCE_TIME t, FramePtr* out, std::string* error);
    TransitionEffect* EffectFor(std::size_t clip, std::string* error);

    const ShowPlan& plan_;
    const int width_, height_, threads_;
    std::shared_ptr<PhotoSource> photos_;
    FramePtr black_;
    FramePool pool_;  // for composed frames
    std::size_t firstActive_ = 0;
    bool photoFailed_ = false;
    std::map<std::size_t, std::unique_ptr<TransitionEffect>> effects_;
    std::int64_t lastKey_ = -2;  // the clip shown whole last frame, -1 for black
};

// A view of a 4:2:0 AVFrame for the effects.
FrameView ViewOf(const AVFrame* frame);
FramePtr BlackFrame(int width, int height);
