#pragma once
// The preview's graph: the show played to the default video and audio renderers, under
// IMediaControl (Run, Pause, Stop), IMediaSeeking (rewinding), IVideoWindow and IBasicVideo (the
// renderer's window) and IBasicAudio. Not for use above the platform layer: the render engine
// makes it in RenderOutputPins.

#include <memory>

#include "platform/render/filter_graph_internal.h"
#include "platform/render/playback/playback.h"
#include "platform/render/playback/playback_session.h"

class PlaybackGraph final : public IGraphBuilder, public IMediaControl, public IMediaEventEx, public IMediaSeeking,
                            public IVideoWindow, public IBasicVideo, public IBasicAudio,
                            public std::enable_shared_from_this<PlaybackGraph> {
public:
    // `videoWidth` × `videoHeight` is the show's frame size; pictures are drawn at the renderers'
    // largest useful size when that is smaller.
    PlaybackGraph(std::shared_ptr<FaultPlan> faults, std::shared_ptr<const ShowPlan> plan, int videoWidth,
                  int videoHeight);
    ~PlaybackGraph() override;
    const std::shared_ptr<FaultPlan>& Faults() const override { return faults_; }
    // Connects the renderers the groups need; joins the timeline's source filter.
    HRESULT Connect(const std::shared_ptr<IBaseFilter>& source);

    HRESULT AddFilter(const std::shared_ptr<IBaseFilter>& filter, const std::string& name) override;
    HRESULT EnumFilters(std::vector<std::shared_ptr<IBaseFilter>>* filters) const override;

    HRESULT Run() override;
    HRESULT Pause() override;
    HRESULT Stop() override;

    HRESULT SetNotifyWindow(IGraphNotifyTarget* target, long message, long instance) override;
    HRESULT GetEvent(long* code, long* param1, long* param2, long timeoutMs) override;
    HRESULT FreeEventParams(long, long, long) override { return S_OK; }

    HRESULT GetCurrentPosition(REFERENCE_TIME* position) const override;
    HRESULT GetDuration(REFERENCE_TIME* duration) const override;
    HRESULT SetRate(double rate) override;
    HRESULT SetPositions(REFERENCE_TIME* current, unsigned currentFlags, REFERENCE_TIME* stop,
                         unsigned stopFlags) override;

    HRESULT get_Visible(long* visible) const override;
    HRESULT put_Visible(long visible) override;
    HRESULT get_WindowStyle(long* style) const override;
    HRESULT put_WindowStyle(long style) override;
    HRESULT put_Owner(void* owner) override;
    HRESULT put_MessageDrain(void* drain) override;
    HRESULT SetWindowPosition(long left, long top, long width, long height) override;
    HRESULT NotifyOwnerMessage(void*, long, long, long) override;

    HRESULT GetVideoSize(long* width, long* height) const override;
    HRESULT put_Volume(long volume) override;
    HRESULT get_Volume(long* volume) const override;

    PlaybackStats Stats() const;

private:
    enum class State { Stopped, Paused, Running };
    void StartSession(bool running);
    HRESULT NoVideo() const;

    std::shared_ptr<FaultPlan> faults_;
    GraphFilters filters_;
    std::shared_ptr<const ShowPlan> plan_;
    const int videoWidth_, videoHeight_;
    int drawWidth_ = 0, drawHeight_ = 0;
    std::shared_ptr<PhotoSource> photos_;
    std::unique_ptr<VideoRendererPort> video_;
    std::unique_ptr<AudioRendererPort> audio_;
    std::unique_ptr<PlaybackSession> session_;
    State state_ = State::Stopped;
    REFERENCE_TIME position_ = 0;  // where a stopped graph stands
    long style_ = WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS;
    long volume_ = 0;
    mutable std::mutex statsMutex_;
    PlaybackStats stats_;
    GraphEvents events_;
};
