#include "platform/render/render_engine.h"

#include <set>

#include "platform/com/error_text.h"
#include "platform/render/filter_graph_internal.h"
#include "platform/render/decode/photo_decoder.h"
#include "platform/render/playback/playback_graph.h"

namespace {

class GroupPin final : public IPin {
public:
    GroupPin(std::shared_ptr<FaultPlan> f, int group, bool video)
        : faults_(std::move(f)), group_(group), video_(video) {}
    const std::shared_ptr<FaultPlan>& Faults() const override { return faults_; }
    int group() const override { return group_; }
    bool isVideo() const override { return video_; }

private:
    std::shared_ptr<FaultPlan> faults_;
    int group_;
    bool video_;
};

class TimelineSource final : public FilterBase {
public:
    using FilterBase::FilterBase;
};

class RenderEngine final : public IRenderEngine {
public:
    explicit RenderEngine(std::shared_ptr<FaultPlan> f) : faults_(std::move(f)) {}
    ~RenderEngine() override { ScrapIt(); }
    const std::shared_ptr<FaultPlan>& Faults() const override { return faults_; }

    HRESULT SetTimelineObject(const std::shared_ptr<IAMTimeline>& timeline) override {
        if (HRESULT hr = CheckFault(faults_, "IRenderEngine::SetTimelineObject"); FAILED(hr)) return hr;
        if (!timeline) return E_POINTER;
        timeline_ = timeline;
        return S_OK;
    }
    HRESULT GetTimelineObject(std::shared_ptr<IAMTimeline>* timeline) const override {
        if (HRESULT hr = CheckFault(faults_, "IRenderEngine::GetTimelineObject"); FAILED(hr)) return hr;
        *timeline = timeline_;
        return timeline_ ? S_OK : E_UNEXPECTED;
    }
    HRESULT SetDynamicReconnectLevel(long) override { return S_OK; }

    HRESULT ConnectFrontEnd() override {
        if (HRESULT hr = CheckFault(faults_, "IRenderEngine::ConnectFrontEnd"); FAILED(hr)) return hr;
        if (!timeline_) return RegisterFailure("The render engine has no timeline");
        // One plan for the engine, its graph and the render job: a long show is described once.
        auto plan = std::make_shared<ShowPlan>();
        ReadShowPlan(*timeline_, plan.get());
        if (HRESULT hr = OpenSources(*plan); FAILED(hr)) return hr;
        auto graph = std::make_shared<FilterGraph>(faults_);
        source_ = std::make_shared<TimelineSource>(faults_, "Kavrel timeline");
        graph->AddFilter(source_, "Kavrel timeline");
        pins_.clear();
        int groups = 0;
        timeline_->GetGroupCount(&groups);
        for (int g = 0; g < groups; ++g) {
            TimelineObjPtr group;
            timeline_->GetGroup(&group, g);
            AM_MEDIA_TYPE mt;
            std::dynamic_pointer_cast<IAMTimelineGroup>(group)->GetMediaType(&mt);
            pins_.push_back(std::make_shared<GroupPin>(faults_, g, mt.majortype == MEDIATYPE_Video));
        }
        plan_ = plan;
        graph->SetShow(plan, width_, height_);
        graph_ = graph;
        return S_OK;
    }

    HRESULT GetFilterGraph(std::shared_ptr<IGraphBuilder>* graph) const override {
        if (HRESULT hr = CheckFault(faults_, "IRenderEngine::GetFilterGraph"); FAILED(hr)) return hr;
        *graph = graph_;
        return graph_ ? S_OK : E_UNEXPECTED;
    }
    HRESULT GetGroupOutputPin(long group, std::shared_ptr<IPin>* pin) const override {
        if (HRESULT hr = CheckFault(faults_, "IRenderEngine::GetGroupOutputPin"); FAILED(hr)) return hr;
        if (group < 0 || group >= static_cast<long>(pins_.size())) return E_INVALIDARG;
        *pin = pins_[static_cast<std::size_t>(group)];
        return S_OK;
    }
    HRESULT RenderOutputPins() override {
        if (!graph_ || !source_) return E_UNEXPECTED;
        auto playback = std::make_shared<PlaybackGraph>(faults_, plan_, width_, height_);
        if (HRESULT hr = playback->Connect(source_); FAILED(hr)) return hr;
        graph_ = playback;
        return S_OK;
    }
    HRESULT ScrapIt() override {
        if (auto control = std::dynamic_pointer_cast<IMediaControl>(graph_)) control->Stop();
        graph_.reset();
        pins_.clear();
        return S_OK;
    }
    void OutputSize(int* width, int* height) const override {
        *width = width_;
        *height = height_;
    }

private:
    // Every distinct source must open; the first photo gives "Original size" (a title card on a
    // colour shows no file).
    HRESULT OpenSources(const ShowPlan& plan) {
        width_ = plan.width;
        height_ = plan.height;
        std::set<std::string> seen;
        bool sized = width_ != 0 || height_ != 0;
        for (std::size_t i = 0; i < plan.clips.size(); ++i) {
            const std::string& path = plan.clips[i].path;
            const auto& title = plan.clips[i].title;
            if (title && (path.empty() || title->background == TitleBackground::Colour)) continue;
            if (!seen.insert(path).second && sized) continue;
            PhotoSize size;
            std::string error;
            if (!ProbePhoto(path, &size, &error)) return RegisterInputFailure(error);
            if (!sized) {
                sized = true;
                width_ = std::max(2, size.width & ~1);
                height_ = std::max(2, size.height & ~1);
            }
        }
        std::vector<std::string> music;
        for (const AudioPlacement& m : plan.music) music.push_back(m.path);
        if (plan.musicRun) {
            for (const RunItem& item : plan.musicRun->pattern()) music.push_back(item.name);
        }
        for (const std::string& path : music) {
            if (!seen.insert(path).second) continue;
            std::string error;
            if (!ProbeMusic(path, &error)) return RegisterInputFailure(error);
        }
        if (width_ == 0 || height_ == 0) {
            width_ = 640;
            height_ = 480;
        }
        return S_OK;
    }

    std::shared_ptr<FaultPlan> faults_;
    std::shared_ptr<IAMTimeline> timeline_;
    std::shared_ptr<IGraphBuilder> graph_;
    std::shared_ptr<IBaseFilter> source_;
    std::shared_ptr<const ShowPlan> plan_;
    std::vector<std::shared_ptr<IPin>> pins_;
    int width_ = 0, height_ = 0;
};

}  // namespace

HRESULT CreateRenderEngine(std::shared_ptr<FaultPlan> faults, std::shared_ptr<IRenderEngine>* engine) {
    if (HRESULT hr = CheckFault(faults, "CoCreateInstance(CLSID_RenderEngine)"); FAILED(hr)) return hr;
    *engine = std::make_shared<RenderEngine>(std::move(faults));
    return S_OK;
}

bool AsfEncoderFor(const IWMProfile& profile, bool video, EncoderChoice* choice) {
    for (const auto& stream : profile.streams()) {
        auto props = std::dynamic_pointer_cast<IWMMediaProps>(stream);
        if (!props) continue;
        WM_MEDIA_TYPE mt;
        props->GetMediaType(&mt);
        if (video && stream->streamType() == WMMEDIATYPE_Video) {
            VIDEOINFOHEADER vih;
            if (!mt.GetVideoInfo(&vih)) continue;
            std::uint32_t fourcc = vih.bmiHeader.biCompression;
            if (fourcc == MakeFourCC("WMV2")) {
                choice->codec = "wmv2";
            } else if (fourcc == MakeFourCC("WMV1")) {
                choice->codec = "wmv1";
            } else {
                continue;
            }
            choice->options["b"] = std::to_string(stream->bitrate());
            auto vp = std::dynamic_pointer_cast<IWMVideoMediaProps>(stream);
            if (vp && vp->maxKeyFrameSpacing() > 0) {
                // Key frames at most that far apart, in frames of 24000/1001 a second.
                choice->options["g"] = std::to_string(vp->maxKeyFrameSpacing() * 24 / kUnitsPerSecond);
            }
            return true;
        }
        if (!video && stream->streamType() == WMMEDIATYPE_Audio) {
            WAVEFORMATEX w;
            if (!WaveFormatOf(mt, &w)) continue;
            if (w.wFormatTag == 0x161) {
                choice->codec = "wmav2";
            } else if (w.wFormatTag == 0x160) {
                choice->codec = "wmav1";
            } else {
                continue;
            }
            choice->options["b"] = std::to_string(w.nAvgBytesPerSec * 8);
            return true;
        }
    }
    return false;
}
