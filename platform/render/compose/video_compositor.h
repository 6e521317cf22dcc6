#pragma once
// The show's pictures, frame by frame. Each photo is decoded once, on a worker thread a few photos
// ahead of the one on screen (at most 24 MB of them), and dropped when it has left the screen, so
// memory does not grow with the number of photos. A frame of a still photo without a transition
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
    PhotoSource(const ShowPlan& plan, int width, int height);
    ~PhotoSource();
    PhotoSource(const PhotoSource&) = delete;
    PhotoSource& operator=(const PhotoSource&) = delete;

    // Photo i, waiting for the worker if need be; photos before `keepFrom` may be dropped
    // afterwards.
    bool Get(std::size_t i, std::size_t keepFrom, std::shared_ptr<const PreparedPhoto>* photo, std::string* error);

private:
    void Work();

    const ShowPlan& plan_;
    const int width_, height_;
    const FramePtr black_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<std::size_t, std::shared_ptr<const PreparedPhoto>> ready_;
    std::map<std::size_t, std::string> failed_;
    const std::size_t ahead_;  // photos decoded beyond the one wanted
    std::size_t wanted_ = 0;  // the worker decodes up to wanted_ + ahead_
    std::size_t keepFrom_ = 0;
    bool stopping_ = false;
    std::thread worker_;
};

class VideoCompositor {
public:
    // A moving photo's rows are drawn by `threads` threads.
    VideoCompositor(const ShowPlan& plan, int width, int height, int threads = 1);
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
    PhotoSource photos_;
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
