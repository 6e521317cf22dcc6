#pragma once
// The calls a preview player makes on a playback graph: its video window, its picture size and
// its sound, beside IMediaControl, IMediaEventEx and IMediaSeeking. A graph made by
// IRenderEngine::RenderOutputPins answers them; one without a video renderer answers
// get_Visible with E_NOINTERFACE.
//
// User-interface thread only, like the graph.

#include "platform/render/filter_graph.h"

class IVideoWindow : public virtual IUnknown {
public:
    static constexpr const char* kInterfaceName = "IVideoWindow";
    virtual HRESULT get_Visible(long* visible) const = 0;
    virtual HRESULT put_Visible(long visible) = 0;
    virtual HRESULT get_WindowStyle(long* style) const = 0;
    virtual HRESULT put_WindowStyle(long style) = 0;
    // Windows are QWidget pointers; null removes the owner.
    virtual HRESULT put_Owner(void* owner) = 0;
    virtual HRESULT put_MessageDrain(void* drain) = 0;
    virtual HRESULT SetWindowPosition(long left, long top, long width, long height) = 0;
    virtual HRESULT NotifyOwnerMessage(void* window, long message, long wParam, long lParam) = 0;
};

class IBasicVideo : public virtual IUnknown {
public:
    static constexpr const char* kInterfaceName = "IBasicVideo";
    virtual HRESULT GetVideoSize(long* width, long* height) const = 0;
};

class IBasicAudio : public virtual IUnknown {
public:
    static constexpr const char* kInterfaceName = "IBasicAudio";
    virtual HRESULT put_Volume(long volume) = 0;
    virtual HRESULT get_Volume(long* volume) const = 0;
};

inline constexpr long WS_CHILD = 0x40000000;
inline constexpr long WS_CAPTION = 0x00C00000;
inline constexpr long WS_THICKFRAME = 0x00040000;
inline constexpr long WS_CLIPSIBLINGS = 0x04000000;
inline constexpr long WS_OVERLAPPEDWINDOW = 0x00CF0000;

// What a playback graph has shown so far, for tests and benchmarks.
struct PlaybackStats {
    std::int64_t framesShown = 0;
    std::int64_t framesDropped = 0;
    REFERENCE_TIME worstLateness = 0;  // of the frames shown
    std::int64_t firstFrameSteadyNs = 0;  // steady-clock time of the first picture; 0 before it
    std::int64_t lastFrameShown = -1;
    // The first picture since the last start or seek, and the steady-clock time it was shown.
    std::int64_t stretchFirstFrame = -1;
    std::int64_t stretchFirstSteadyNs = 0;
    bool audioClock = false;  // the pictures kept time with the audio device
};
bool GetPlaybackStats(const std::shared_ptr<IGraphBuilder>& graph, PlaybackStats* stats);
