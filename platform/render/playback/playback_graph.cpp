#include "platform/render/playback/playback_graph.h"

#include <algorithm>

#include "platform/com/error_text.h"

namespace {

class RendererFilter final : public FilterBase {
public:
    using FilterBase::FilterBase;
};

// Draws nowhere; a graph without windows still keeps time and counts what it would show.
class HiddenVideoRenderer final : public VideoRendererPort {
public:
    void Present(const VideoPicture&) override {}
    void SetOwner(void*) override {}
    void SetMessageDrain(void*) override {}
    void SetVisible(bool visible) override { visible_ = visible; }
    bool Visible() const override { return visible_; }
    void SetPosition(int, int, int, int) override {}

private:
    bool visible_ = false;
};

// The largest even size within the bounds that keeps the aspect; the size itself when it fits.
void FitInto(int width, int height, int maxWidth, int maxHeight, int* outWidth, int* outHeight) {
    *outWidth = width;
    *outHeight = height;
    if (maxWidth <= 0 || maxHeight <= 0 || (width <= maxWidth && height <= maxHeight)) return;
    const double scale = std::min(static_cast<double>(maxWidth) / width, static_cast<double>(maxHeight) / height);
    *outWidth = std::max(2, static_cast<int>(width * scale) & ~1);
    *outHeight = std::max(2, static_cast<int>(height * scale) & ~1);
}

// The frame on screen at t, as the video file has it: the last one that starts by t (frame starts
// are rounded to the unit, so the plain quotient can fall one short).
std::int64_t FrameAt(REFERENCE_TIME t) {
    std::int64_t n = t * kFpsNum / (kFpsDen * kUnitsPerSecond);
    return FrameStart(n + 1) <= t ? n + 1 : n;
}

}  // namespace

PlaybackGraph::PlaybackGraph(std::shared_ptr<FaultPlan> faults, std::shared_ptr<const ShowPlan> plan, int videoWidth,
                             int videoHeight)
    : faults_(std::move(faults)), plan_(std::move(plan)), videoWidth_(videoWidth), videoHeight_(videoHeight) {}

PlaybackGraph::~PlaybackGraph() { session_.reset(); }

HRESULT PlaybackGraph::Connect(const std::shared_ptr<IBaseFilter>& source) {
    if (HRESULT hr = CheckFault(faults_, "IRenderEngine::RenderOutputPins"); FAILED(hr)) return hr;
    AddFilter(source, "");
    const PreviewRenderers& renderers = GetPreviewRenderers();
    if (plan_->hasVideo) {
        video_ = renderers.video ? renderers.video() : std::make_unique<HiddenVideoRenderer>();
        FitInto(videoWidth_, videoHeight_, renderers.maxWidth, renderers.maxHeight, &drawWidth_, &drawHeight_);
        AddFilter(std::make_shared<RendererFilter>(faults_, "Video Renderer"), "Video Renderer");
    }
    if (plan_->hasAudio) {
        if (renderers.audio) audio_ = renderers.audio();
        // No sound device: the preview plays silently by the steady clock.
        if (audio_ && !audio_->Open()) audio_.reset();
        AddFilter(std::make_shared<RendererFilter>(faults_, "Audio Renderer"), "Audio Renderer");
    }
    return S_OK;
}

HRESULT PlaybackGraph::AddFilter(const std::shared_ptr<IBaseFilter>& filter, const std::string& name) {
    return filters_.Add(filter, name, weak_from_this(), faults_);
}

HRESULT PlaybackGraph::EnumFilters(std::vector<std::shared_ptr<IBaseFilter>>* filters) const {
    return filters_.List(filters, faults_);
}

void PlaybackGraph::StartSession(bool running) {
    session_.reset();
    if (video_ && !photos_) {
        // Kept across seeks, so a short seek finds its photos decoded.
        photos_ = std::make_shared<PhotoSource>(*plan_, drawWidth_, drawHeight_, PhotoSource::Use::Playing);
    }
    std::int64_t start = std::min(FrameAt(position_), std::max<std::int64_t>(0, FrameCount(plan_->length) - 1));
    std::weak_ptr<PlaybackGraph> self = weak_from_this();
    session_ = std::make_unique<PlaybackSession>(*plan_, photos_, drawWidth_, drawHeight_, start, video_.get(), audio_.get(),
                                                 &stats_, &statsMutex_, [self](long code, long param) {
                                                     if (auto graph = self.lock()) graph->events_.Post(code, param);
                                                 });
    session_->SetRunning(running);
}

HRESULT PlaybackGraph::Run() {
    if (HRESULT hr = CheckFault(faults_, "IMediaControl::Run"); FAILED(hr)) return hr;
    if (!session_) {
        StartSession(true);
    } else {
        session_->SetRunning(true);
    }
    state_ = State::Running;
    return S_OK;
}

HRESULT PlaybackGraph::Pause() {
    if (HRESULT hr = CheckFault(faults_, "IMediaControl::Pause"); FAILED(hr)) return hr;
    if (!session_) {
        StartSession(false);
    } else {
        session_->SetRunning(false);
    }
    state_ = State::Paused;
    return S_OK;
}

HRESULT PlaybackGraph::Stop() {
    if (HRESULT hr = CheckFault(faults_, "IMediaControl::Stop"); FAILED(hr)) return hr;
    if (session_) position_ = session_->Position();
    session_.reset();
    state_ = State::Stopped;
    return S_OK;
}

HRESULT PlaybackGraph::SetNotifyWindow(IGraphNotifyTarget* target, long message, long instance) {
    if (HRESULT hr = CheckFault(faults_, "IMediaEventEx::SetNotifyWindow"); FAILED(hr)) return hr;
    return events_.SetNotifyWindow(target, message, instance);
}

HRESULT PlaybackGraph::GetEvent(long* code, long* param1, long* param2, long timeoutMs) {
    return events_.GetEvent(code, param1, param2, timeoutMs);
}

HRESULT PlaybackGraph::GetCurrentPosition(REFERENCE_TIME* position) const {
    *position = session_ ? std::min(session_->Position(), plan_->length) : position_;
    return S_OK;
}

HRESULT PlaybackGraph::GetDuration(REFERENCE_TIME* duration) const {
    *duration = plan_->length;
    return S_OK;
}

HRESULT PlaybackGraph::SetRate(double rate) {
    if (HRESULT hr = CheckFault(faults_, "IMediaSeeking::SetRate"); FAILED(hr)) return hr;
    return rate == 1.0 ? S_OK : E_INVALIDARG;  // the preview plays at normal speed only
}

HRESULT PlaybackGraph::SetPositions(REFERENCE_TIME* current, unsigned currentFlags, REFERENCE_TIME*, unsigned) {
    if (HRESULT hr = CheckFault(faults_, "IMediaSeeking::SetPositions"); FAILED(hr)) return hr;
    if (current == nullptr || (currentFlags & AM_SEEKING_AbsolutePositioning) == 0) return S_OK;
    position_ = std::clamp<REFERENCE_TIME>(*current, 0, plan_->length);
    if (session_) StartSession(state_ == State::Running);
    return S_OK;
}

HRESULT PlaybackGraph::NoVideo() const { return E_NOINTERFACE; }

HRESULT PlaybackGraph::get_Visible(long* visible) const {
    if (HRESULT hr = CheckFault(faults_, "IVideoWindow::get_Visible"); FAILED(hr)) return hr;
    if (!video_) return NoVideo();
    *visible = video_->Visible() ? -1 : 0;
    return S_OK;
}

HRESULT PlaybackGraph::put_Visible(long visible) {
    if (!video_) return NoVideo();
    video_->SetVisible(visible != 0);
    return S_OK;
}

HRESULT PlaybackGraph::get_WindowStyle(long* style) const {
    if (!video_) return NoVideo();
    *style = style_;
    return S_OK;
}

HRESULT PlaybackGraph::put_WindowStyle(long style) {
    if (!video_) return NoVideo();
    style_ = style;
    return S_OK;
}

HRESULT PlaybackGraph::put_Owner(void* owner) {
    if (!video_) return NoVideo();
    video_->SetOwner(owner);
    return S_OK;
}

HRESULT PlaybackGraph::put_MessageDrain(void* drain) {
    if (!video_) return NoVideo();
    video_->SetMessageDrain(drain);
    return S_OK;
}

HRESULT PlaybackGraph::SetWindowPosition(long left, long top, long width, long height) {
    if (HRESULT hr = CheckFault(faults_, "IVideoWindow::SetWindowPosition"); FAILED(hr)) return hr;
    if (!video_) return NoVideo();
    video_->SetPosition(static_cast<int>(left), static_cast<int>(top), static_cast<int>(width),
                        static_cast<int>(height));
    return S_OK;
}

HRESULT PlaybackGraph::NotifyOwnerMessage(void*, long, long, long) { return video_ ? S_OK : NoVideo(); }

HRESULT PlaybackGraph::GetVideoSize(long* width, long* height) const {
    if (HRESULT hr = CheckFault(faults_, "IBasicVideo::GetVideoSize"); FAILED(hr)) return hr;
    if (!video_) return NoVideo();
    *width = videoWidth_;
    *height = videoHeight_;
    return S_OK;
}

HRESULT PlaybackGraph::put_Volume(long volume) {
    volume_ = std::clamp(volume, -10000L, 0L);
    if (audio_) audio_->SetVolume(volume_);
    return S_OK;
}

HRESULT PlaybackGraph::get_Volume(long* volume) const {
    *volume = volume_;
    return S_OK;
}

PlaybackStats PlaybackGraph::Stats() const {
    std::lock_guard<std::mutex> lock(statsMutex_);
    return stats_;
}

bool GetPlaybackStats(const std::shared_ptr<IGraphBuilder>& graph, PlaybackStats* stats) {
    auto playback = std::dynamic_pointer_cast<PlaybackGraph>(graph);
    if (!playback) return false;
    *stats = playback->Stats();
    return true;
}

namespace {
PreviewRenderers& Installed() {
    static PreviewRenderers renderers;
    return renderers;
}
}  // namespace

void SetPreviewRenderers(PreviewRenderers renderers) { Installed() = std::move(renderers); }
const PreviewRenderers& GetPreviewRenderers() { return Installed(); }
