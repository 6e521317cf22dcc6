#pragma once
// One stretch of playback from a start frame (a seek starts a new one): a producer thread composes
// the frames ahead into a short queue (each changed picture converted once to BGRA), a sound thread mixes ahead into the
// audio renderer, and a presenting thread shows each frame when the clock reaches it. The clock
// is the audio device's when sound plays, else a steady clock that runs only while playing. A
// frame whose successor is already due is dropped, never shown late. The first frame is shown at
// once, playing or not, so a held preview shows where it stands.
//
// Made, set running and destroyed on the graph's thread; `post` is called on the presenting
// thread when the end is reached (EC_COMPLETE) or a source fails (EC_ERRORABORT).

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/render/compose/video_compositor.h"
#include "platform/render/playback/playback.h"
#include "platform/render/playback/preview_renderers.h"
#include "platform/render/show_plan.h"

class PlaybackSession {
public:
    using Post = std::function<void(long code, long param)>;
    // `photos` is made for the plan at width × height and outlives the session.
    PlaybackSession(const ShowPlan& plan, std::shared_ptr<PhotoSource> photos, int width, int height,
                    std::int64_t startFrame, VideoRendererPort* video, AudioRendererPort* audio, PlaybackStats* stats,
                    std::mutex* statsMutex, Post post);
    ~PlaybackSession();
    PlaybackSession(const PlaybackSession&) = delete;
    PlaybackSession& operator=(const PlaybackSession&) = delete;

    void SetRunning(bool running);
    // The show time the clock stands at.
    REFERENCE_TIME Position() const;

private:
    struct Queued {
        std::int64_t frame;
        VideoPicture picture;
    };
    void Produce();
    void Mix();
    void Present();
    bool WaitUntilDue(REFERENCE_TIME due);
    bool Stopping();
    void Shown(const VideoPicture& picture, REFERENCE_TIME lateness);
    REFERENCE_TIME PositionLocked() const;  // with mutex_ held

    const ShowPlan& plan_;
    const std::shared_ptr<PhotoSource> photos_;
    const int width_, height_;
    const std::int64_t startFrame_, endFrame_;
    VideoRendererPort* video_;
    AudioRendererPort* audio_;
    const bool hasProducer_;
    PlaybackStats* stats_;
    std::mutex* statsMutex_;
    Post post_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Queued> queue_;
    bool producerDone_ = false;
    bool stopping_ = false;
    bool running_ = false;
    // The steady clock: show time at the last start or hold, and when it started.
    REFERENCE_TIME heldAt_ = 0;
    std::chrono::steady_clock::time_point runningSince_;

    std::thread producer_, mixer_, presenter_;
};
