#pragma once
// The renderers a preview graph ends in: a video renderer whose window shows the pictures and an
// audio renderer that plays the sound. The window program installs its own (a Qt widget, the
// audio device); without them a preview draws nowhere and plays silently, which is what
// programs without windows and the benchmarks use.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// One picture to show: BGRA rows of `stride` bytes.
struct VideoPicture {
    int width = 0, height = 0, stride = 0;
    std::shared_ptr<const std::vector<std::uint8_t>> pixels;
    std::int64_t frame = 0;
};

class VideoRendererPort {
public:
    virtual ~VideoRendererPort() = default;
    // Called on the graph's presenting thread; the picture must be handed over to the window's
    // thread. Never called after the port's graph has stopped playing.
    virtual void Present(const VideoPicture& picture) = 0;
    // The window calls, on the user-interface thread. Windows are passed as QWidget pointers.
    virtual void SetOwner(void* owner) = 0;
    virtual void SetMessageDrain(void* drain) = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool Visible() const = 0;
    virtual void SetPosition(int left, int top, int width, int height) = 0;
};

class AudioRendererPort {
public:
    virtual ~AudioRendererPort() = default;
    // Opens the device for 44100 Hz stereo; false when there is none (the preview is then silent
    // and keeps time by a steady clock).
    virtual bool Open() = 0;
    // User-interface thread: plays or holds; Reset drops what is queued and makes `frame` the one
    // heard next.
    virtual void Play(bool playing) = 0;
    virtual void Reset(std::int64_t frame) = 0;
    // Worker thread: queues interleaved stereo floats that start at sample frame `first`; returns
    // how many frames were taken (fewer when the queue is full).
    virtual int Write(std::int64_t first, const float* samples, int frames) = 0;
    // Any thread: the sample frame being heard now.
    virtual std::int64_t Clock() const = 0;
    virtual void SetVolume(long volume) = 0;  // hundredths of a decibel, 0 = full
};

struct PreviewRenderers {
    std::function<std::unique_ptr<VideoRendererPort>()> video;
    std::function<std::unique_ptr<AudioRendererPort>()> audio;
    // The largest picture worth drawing (the screen's work area); 0: the output size.
    int maxWidth = 0, maxHeight = 0;
};

// Installed once at start-up, before any preview; not thread-safe.
void SetPreviewRenderers(PreviewRenderers renderers);
const PreviewRenderers& GetPreviewRenderers();
