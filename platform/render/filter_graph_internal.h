#pragma once
// The concrete graph objects, shared by the graph, the capture graph builder and the render
// engine. Not for use above the platform layer.

#include <condition_variable>
#include <deque>
#include <optional>

#include "platform/codecs/wm_profile.h"
#include "platform/render/write/file_render_job.h"
#include "platform/render/filter_graph.h"
#include "platform/render/graph_events.h"

class FilterBase : public virtual IUnknown, public IBaseFilter {
public:
    FilterBase(std::shared_ptr<FaultPlan> faults, std::string name)
        : faults_(std::move(faults)), name_(std::move(name)) {}
    const std::shared_ptr<FaultPlan>& Faults() const override { return faults_; }
    HRESULT QueryFilterInfo(FILTER_INFO* info) const override {
        if (HRESULT hr = CheckFault(faults_, "IBaseFilter::QueryFilterInfo"); FAILED(hr)) return hr;
        info->achName = name_;
        info->pGraph = graph_.lock();
        return S_OK;
    }

protected:
    HRESULT Fault(const char* call) const { return CheckFault(faults_, call); }

public:
    std::shared_ptr<FaultPlan> faults_;
    std::string name_;
    std::weak_ptr<IFilterGraph> graph_;
};

// The filters of a graph, in the order they joined it; a filter joins once and learns its graph.
class GraphFilters {
public:
    HRESULT Add(const std::shared_ptr<IBaseFilter>& filter, const std::string& name,
                std::weak_ptr<IFilterGraph> graph, const std::shared_ptr<FaultPlan>& faults);
    HRESULT List(std::vector<std::shared_ptr<IBaseFilter>>* filters, const std::shared_ptr<FaultPlan>& faults) const;

private:
    std::vector<std::shared_ptr<IBaseFilter>> filters_;
};

// A multiplexer and, for ASF, the Windows Media writer that encodes by itself.
class MuxFilter final : public FilterBase, public ISpecifyPropertyPages, public IConfigInterleaving,
                        public IConfigAsfWriter {
public:
    MuxFilter(std::shared_ptr<FaultPlan> faults, std::string name, std::string muxer, bool asfWriter);
    HRESULT GetPages(std::vector<FilterOption>* options) const override;
    HRESULT SetOption(const std::string& name, const std::string& value) override;
    HRESULT put_Mode(int mode) override;
    HRESULT ConfigureFilterUsingProfile(const std::shared_ptr<IWMProfile>& profile) override;

    std::string muxer_;
    bool asfWriter_;
    std::map<std::string, std::string> options_;
    int interleave_ = 0;
    std::shared_ptr<IWMProfile> profile_;
};

class FilterGraph final : public IGraphBuilder, public IMediaControl, public IMediaAbandon, public IMediaEventEx,
                          public IMediaSeeking, public std::enable_shared_from_this<FilterGraph> {
public:
    explicit FilterGraph(std::shared_ptr<FaultPlan> faults);
    ~FilterGraph() override;
    const std::shared_ptr<FaultPlan>& Faults() const override { return faults_; }

    HRESULT AddFilter(const std::shared_ptr<IBaseFilter>& filter, const std::string& name) override;
    HRESULT EnumFilters(std::vector<std::shared_ptr<IBaseFilter>>* filters) const override;
    HRESULT Run() override;
    HRESULT Pause() override;
    HRESULT Stop() override;
    HRESULT Abandon() override;
    HRESULT SetNotifyWindow(IGraphNotifyTarget* target, long message, long instance) override;
    HRESULT GetEvent(long* code, long* param1, long* param2, long timeoutMs) override;
    HRESULT FreeEventParams(long code, long param1, long param2) override;
    HRESULT GetCurrentPosition(REFERENCE_TIME* position) const override;
    HRESULT GetDuration(REFERENCE_TIME* duration) const override;
    // A file is written from its start at normal speed.
    HRESULT SetRate(double rate) override { return rate == 1.0 ? S_OK : E_NOTIMPL; }
    HRESULT SetPositions(REFERENCE_TIME*, unsigned, REFERENCE_TIME*, unsigned) override { return E_NOTIMPL; }

    void SetShow(std::shared_ptr<const ShowPlan> plan, int width, int height);
    // A stream to the multiplexer: through `compressor` (its settings as they are when the graph
    // runs), or with `choice` when there is none.
    HRESULT AddRoute(bool video, const EncoderChoice& choice, std::shared_ptr<IBaseFilter> compressor);

    std::shared_ptr<MuxFilter> mux_;
    std::shared_ptr<IFileSinkFilter2> writer_;

private:
    void Finished(HRESULT result);
    void EndJob(bool keep);
    void Post(long code, long param);

    std::shared_ptr<FaultPlan> faults_;
    GraphFilters filters_;
    std::shared_ptr<const ShowPlan> plan_ = std::make_shared<ShowPlan>();
    int width_ = 0, height_ = 0;
    struct Route {
        EncoderChoice choice;
        std::shared_ptr<IBaseFilter> compressor;
        EncoderChoice Current() const;
    };
    std::optional<Route> videoRoute_, audioRoute_;
    std::unique_ptr<FileRenderJob> job_;
    std::atomic<bool> stoppedByUser_{false};
    REFERENCE_TIME finalPosition_ = 0;
    GraphEvents events_;
};

// The encoders a Windows Media profile names for the ASF writer; false without such a stream.
bool AsfEncoderFor(const IWMProfile& profile, bool video, EncoderChoice* choice);
// What "no compressor" writes into a container.
EncoderChoice UncompressedChoice(const std::string& muxer, bool video);
