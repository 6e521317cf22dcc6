#include "platform/render/filter_graph.h"

#include <algorithm>
#include <cstdio>
#include <condition_variable>
#include <filesystem>

#include "platform/com/error_text.h"
#include "platform/render/filter_graph_internal.h"
#include "platform/render/write/subtitle_cues.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
}

namespace {

struct MuxerKind {
    const GUID& id;
    const char* muxer;
    const char* name;
};
const MuxerKind kMuxerKinds[] = {{MEDIASUBTYPE_Avi, "avi", "AVI Mux"},
                                 {CLSID_MatroskaMuxer, "matroska", "Matroska Muxer"},
                                 {CLSID_Mp4Muxer, "mp4", "MP4 Muxer"},
                                 {CLSID_OggMuxer, "ogg", "Ogg Muxer"},
                                 {CLSID_WMAsfWriter, "asf", "WM ASF Writer"}};

}  // namespace

namespace {

std::string NumberText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

// The settings an FFmpeg object's class offers, with their defaults and current values.
std::vector<FilterOption> OptionsOf(const AVClass* cls, const std::map<std::string, std::string>& current) {
    std::vector<FilterOption> options;
    if (cls == nullptr) return options;
    const AVOption* o = nullptr;
    const void* klass = &cls;
    while ((o = av_opt_next(klass, o)) != nullptr) {
        if (o->type == AV_OPT_TYPE_CONST || (o->flags & AV_OPT_FLAG_ENCODING_PARAM) == 0) continue;
        FilterOption f;
        f.name = o->name;
        f.help = o->help ? o->help : "";
        f.minimum = o->min;
        f.maximum = o->max;
        switch (o->type) {
            case AV_OPT_TYPE_BOOL:
                if (o->default_val.i64 < 0) {  // "auto": the encoder decides, neither on nor off
                    f.kind = FilterOption::Choice;
                    f.defaultValue = "-1";
                    f.choices = {{"-1", "auto"}, {"0", "off"}, {"1", "on"}};
                } else {
                    f.kind = FilterOption::Boolean;
                    f.defaultValue = o->default_val.i64 ? "1" : "0";
                }
                break;
            case AV_OPT_TYPE_INT: case AV_OPT_TYPE_INT64: case AV_OPT_TYPE_UINT64:
                f.kind = FilterOption::Integer; f.defaultValue = std::to_string(o->default_val.i64); break;
            case AV_OPT_TYPE_FLOAT: case AV_OPT_TYPE_DOUBLE:
                f.kind = FilterOption::Number; f.defaultValue = NumberText(o->default_val.dbl); break;
            case AV_OPT_TYPE_STRING:
                f.kind = FilterOption::Text; f.defaultValue = o->default_val.str ? o->default_val.str : ""; break;
            default: continue;  // kinds no page edits
        }
        if (o->unit != nullptr && f.kind == FilterOption::Integer) {
            for (const AVOption* c = av_opt_next(klass, nullptr); c; c = av_opt_next(klass, c)) {
                if (c->type == AV_OPT_TYPE_CONST && c->unit && std::string(c->unit) == o->unit) {
                    f.choices.emplace_back(std::to_string(c->default_val.i64), c->name);
                }
            }
            if (!f.choices.empty()) f.kind = FilterOption::Choice;
        }
        auto it = current.find(f.name);
        f.value = it != current.end() ? it->second : f.defaultValue;
        options.push_back(std::move(f));
    }
    return options;
}

class CompressorFilter final : public FilterBase, public ISpecifyPropertyPages {
public:
    CompressorFilter(std::shared_ptr<FaultPlan> faults, std::string name, EncoderChoice choice, bool video)
        : FilterBase(std::move(faults), name), friendlyName_(std::move(name)), choice_(std::move(choice)),
          video_(video) {}
    HRESULT GetPages(std::vector<FilterOption>* options) const override {
        const AVCodec* codec = avcodec_find_encoder_by_name(choice_.codec.c_str());
        *options = OptionsOf(codec ? codec->priv_class : nullptr, choice_.options);
        return S_OK;
    }
    HRESULT SetOption(const std::string& name, const std::string& value) override {
        choice_.options[name] = value;
        return S_OK;
    }
    std::string friendlyName_;  // the device's name, whatever name the graph gives the filter
    EncoderChoice choice_;
    bool video_;
};

class FileWriterFilter final : public FilterBase, public IFileSinkFilter2 {
public:
    FileWriterFilter(std::shared_ptr<FaultPlan> faults, std::string file)
        : FilterBase(std::move(faults), "File writer"), file_(std::move(file)) {}
    HRESULT SetMode(unsigned mode) override {
        mode_ = mode;
        return S_OK;
    }
    HRESULT GetMode(unsigned* mode) const override {
        *mode = mode_;
        return S_OK;
    }
    HRESULT GetCurFile(std::string* name) const override {
        *name = file_;
        return S_OK;
    }
    std::string file_;
    unsigned mode_ = 0;
};

}  // namespace

// ---- multiplexer -------------------------------------------------------------------------

MuxFilter::MuxFilter(std::shared_ptr<FaultPlan> faults, std::string name, std::string muxer, bool asfWriter)
    : FilterBase(std::move(faults), std::move(name)), muxer_(std::move(muxer)), asfWriter_(asfWriter) {}

HRESULT MuxFilter::GetPages(std::vector<FilterOption>* options) const {
    const AVOutputFormat* of = av_guess_format(muxer_.c_str(), nullptr, nullptr);
    *options = OptionsOf(of ? of->priv_class : nullptr, options_);
    return S_OK;
}

HRESULT MuxFilter::SetOption(const std::string& name, const std::string& value) {
    options_[name] = value;
    return S_OK;
}

HRESULT MuxFilter::put_Mode(int mode) {
    interleave_ = mode;
    return S_OK;
}

HRESULT MuxFilter::ConfigureFilterUsingProfile(const std::shared_ptr<IWMProfile>& profile) {
    if (!asfWriter_) return E_NOINTERFACE;
    if (HRESULT hr = Fault("IConfigAsfWriter::ConfigureFilterUsingProfile"); FAILED(hr)) return hr;
    if (!profile) return E_POINTER;
    profile_ = profile;
    return S_OK;
}

// ---- the graph ---------------------------------------------------------------------------

FilterGraph::FilterGraph(std::shared_ptr<FaultPlan> faults) : faults_(std::move(faults)) {}

FilterGraph::~FilterGraph() { Stop(); }

HRESULT GraphFilters::Add(const std::shared_ptr<IBaseFilter>& filter, const std::string& name,
                          std::weak_ptr<IFilterGraph> graph, const std::shared_ptr<FaultPlan>& faults) {
    if (HRESULT hr = CheckFault(faults, "IFilterGraph::AddFilter"); FAILED(hr)) return hr;
    auto base = std::dynamic_pointer_cast<FilterBase>(filter);
    if (!base) return E_POINTER;
    if (std::find(filters_.begin(), filters_.end(), filter) != filters_.end()) return S_OK;
    if (!name.empty()) base->name_ = name;
    base->graph_ = std::move(graph);
    filters_.push_back(filter);
    return S_OK;
}

HRESULT GraphFilters::List(std::vector<std::shared_ptr<IBaseFilter>>* filters,
                           const std::shared_ptr<FaultPlan>& faults) const {
    if (HRESULT hr = CheckFault(faults, "IFilterGraph::EnumFilters"); FAILED(hr)) return hr;
    if (filters == nullptr) return E_POINTER;
    *filters = filters_;
    return S_OK;
}

HRESULT FilterGraph::AddFilter(const std::shared_ptr<IBaseFilter>& filter, const std::string& name) {
    return filters_.Add(filter, name, weak_from_this(), faults_);
}

HRESULT FilterGraph::EnumFilters(std::vector<std::shared_ptr<IBaseFilter>>* filters) const {
    return filters_.List(filters, faults_);
}

void FilterGraph::SetShow(std::shared_ptr<const ShowPlan> plan, int width, int height) {
    plan_ = std::move(plan);
    width_ = width;
    height_ = height;
}

HRESULT FilterGraph::AddRoute(bool video, const EncoderChoice& choice, std::shared_ptr<IBaseFilter> compressor) {
    (video ? videoRoute_ : audioRoute_) = Route{choice, std::move(compressor)};
    return S_OK;
}

EncoderChoice FilterGraph::Route::Current() const {
    EncoderChoice current = choice;
    bool video = false;
    if (compressor) CompressorOf(compressor, &current, &video);
    return current;
}

namespace {

// The show's own files, so that the output never replaces one of them.
bool IsInput(const ShowPlan& plan, const std::string& output) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::exists(output, ec)) return false;
    auto same = [&](const std::string& input) { return fs::equivalent(input, output, ec); };
    for (const VideoClip& c : plan.clips) {
        if (same(c.path)) return true;
    }
    for (const AudioPlacement& m : plan.music) {
        if (same(m.path)) return true;
    }
    if (plan.musicRun) {
        for (const RunItem& item : plan.musicRun->pattern()) {
            if (same(item.name)) return true;
        }
    }
    return false;
}

}  // namespace

HRESULT FilterGraph::Run() {
    if (HRESULT hr = CheckFault(faults_, "IMediaControl::Run"); FAILED(hr)) return hr;
    if (job_) return S_OK;
    if (!mux_ || !writer_) return RegisterFailure("The graph has no output: nothing was connected to a multiplexer");
    if (!videoRoute_ && !audioRoute_) return RegisterFailure("No stream is connected to the multiplexer");
    OutputSpec output;
    writer_->GetCurFile(&output.path);
    if (IsInput(*plan_, output.path)) {
        return RegisterFailure("The output file " + output.path +
                               " is one of the show's photos or music files; it is not written over");
    }
    output.muxer = mux_->muxer_;
    output.muxOptions = mux_->options_;
    output.width = width_;
    output.height = height_;
    output.hasVideo = videoRoute_.has_value() && plan_->hasVideo;
    output.hasAudio = audioRoute_.has_value();
    if (output.hasVideo) output.video = videoRoute_->Current();
    if (output.hasAudio) output.audio = audioRoute_->Current();
    output.subtitles = SubtitleCues(*plan_);
    output.subtitleLanguage = plan_->subtitleLanguage;
    // Captions also burned into the picture are not shown a second time unless asked for.
    output.subtitlesDefault = plan_->captionStyle.output == CaptionOutput::Subtitles;
    if (!output.hasVideo && !output.hasAudio) return RegisterFailure("The show has nothing to write");
    stoppedByUser_ = false;
    job_ = std::make_unique<FileRenderJob>(plan_, output);
    std::weak_ptr<FilterGraph> self = weak_from_this();
    HRESULT hr = job_->Start([self](HRESULT result, const std::string&) {
        if (auto graph = self.lock()) graph->Finished(result);
    });
    if (FAILED(hr)) job_.reset();
    return hr;
}

HRESULT FilterGraph::Pause() { return E_NOTIMPL; }

HRESULT FilterGraph::Stop() {
    EndJob(true);
    return S_OK;
}

HRESULT FilterGraph::Abandon() {
    EndJob(false);
    return S_OK;
}

void FilterGraph::EndJob(bool keep) {
    if (!job_) return;
    stoppedByUser_ = true;
    if (keep) {
        job_->Stop();
    } else {
        job_->Abandon();
    }
    finalPosition_ = FrameStart(job_->framesDone());
    job_.reset();
}

void FilterGraph::Finished(HRESULT result) {
    if (stoppedByUser_) return;  // Stop ends the graph without an event, as a stopped graph does
    Post(SUCCEEDED(result) ? EC_COMPLETE : EC_ERRORABORT, SUCCEEDED(result) ? 0 : result);
}

void FilterGraph::Post(long code, long param) { events_.Post(code, param); }

HRESULT FilterGraph::SetNotifyWindow(IGraphNotifyTarget* target, long message, long instance) {
    if (HRESULT hr = CheckFault(faults_, "IMediaEventEx::SetNotifyWindow"); FAILED(hr)) return hr;
    return events_.SetNotifyWindow(target, message, instance);
}

HRESULT FilterGraph::GetEvent(long* code, long* param1, long* param2, long timeoutMs) {
    return events_.GetEvent(code, param1, param2, timeoutMs);
}

HRESULT FilterGraph::FreeEventParams(long, long, long) { return S_OK; }

HRESULT FilterGraph::GetCurrentPosition(REFERENCE_TIME* position) const {
    *position = job_ ? FrameStart(job_->framesDone()) : finalPosition_;
    return S_OK;
}

HRESULT FilterGraph::GetDuration(REFERENCE_TIME* duration) const {
    *duration = FrameStart(FrameCount(plan_->length));
    return S_OK;
}

// ---- the capture graph builder -----------------------------------------------------------

namespace {

class CaptureGraphBuilder final : public ICaptureGraphBuilder2 {
public:
    explicit CaptureGraphBuilder(std::shared_ptr<FaultPlan> faults) : faults_(std::move(faults)) {}
    const std::shared_ptr<FaultPlan>& Faults() const override { return faults_; }

    HRESULT SetFiltergraph(const std::shared_ptr<IGraphBuilder>& graph) override {
        if (HRESULT hr = CheckFault(faults_, "ICaptureGraphBuilder2::SetFiltergraph"); FAILED(hr)) return hr;
        graph_ = std::dynamic_pointer_cast<FilterGraph>(graph);
        return graph_ ? S_OK : E_INVALIDARG;
    }

    HRESULT SetOutputFileName(const GUID& type, const std::string& file, std::shared_ptr<IBaseFilter>* mux,
                              std::shared_ptr<IFileSinkFilter2>* writer) override {
        if (HRESULT hr = CheckFault(faults_, "ICaptureGraphBuilder2::SetOutputFileName"); FAILED(hr)) return hr;
        if (!graph_) return E_UNEXPECTED;
        for (const MuxerKind& k : kMuxerKinds) {
            if (k.id != type) continue;
            auto m = std::make_shared<MuxFilter>(faults_, k.name, k.muxer, type == CLSID_WMAsfWriter);
            auto w = std::make_shared<FileWriterFilter>(faults_, file);
            graph_->AddFilter(m, k.name);
            graph_->AddFilter(w, "File writer");
            graph_->mux_ = m;
            graph_->writer_ = w;
            if (mux) *mux = m;
            if (writer) *writer = w;
            return S_OK;
        }
        return REGDB_E_CLASSNOTREG;  // the DSM multiplexer, or anything else not installed here
    }

    HRESULT RenderStream(const GUID*, const GUID*, const std::shared_ptr<IPin>& source,
                         const std::shared_ptr<IBaseFilter>& intermediate,
                         const std::shared_ptr<IBaseFilter>& sink) override {
        if (HRESULT hr = CheckFault(faults_, "ICaptureGraphBuilder2::RenderStream"); FAILED(hr)) return hr;
        auto mux = std::dynamic_pointer_cast<MuxFilter>(sink);
        if (!graph_ || !source || !mux) return E_INVALIDARG;
        const bool video = source->isVideo();
        EncoderChoice choice;
        std::string compressorName;
        if (mux->asfWriter_) {
            if (intermediate) return RegisterFailure("The ASF writer encodes by itself; no compressor goes before it");
            if (!mux->profile_) return RegisterFailure("The ASF writer has no profile");
            if (!AsfEncoderFor(*mux->profile_, video, &choice)) {
                return RegisterFailure(std::string("The Windows Media profile has no ") + (video ? "video" : "audio") + " stream");
            }
            compressorName = choice.codec;
        } else if (intermediate) {
            bool isVideo = false;
            if (!CompressorOf(intermediate, &choice, &isVideo) || isVideo != video) {
                return RegisterFailure(std::string("The filter before the multiplexer is not a ") +
                                       (video ? "video" : "audio") + " compressor");
            }
            compressorName = std::dynamic_pointer_cast<CompressorFilter>(intermediate)->friendlyName_;
        } else {
            choice = UncompressedChoice(mux->muxer_, video);
            compressorName = video ? "Full frames (uncompressed)" : "Uncompressed Audio";
        }
        if (!ContainerHolds(mux->muxer_, choice.codec)) {
            FILTER_INFO info;
            mux->QueryFilterInfo(&info);
            return RegisterFailure("The container of " + info.achName + " (" + mux->muxer_ +
                                   ") cannot hold the output of the compressor " + compressorName);
        }
        return graph_->AddRoute(video, choice, intermediate);
    }

private:
    std::shared_ptr<FaultPlan> faults_;
    std::shared_ptr<FilterGraph> graph_;
};

}  // namespace

EncoderChoice UncompressedChoice(const std::string& muxer, bool video) {
    if (!video) return {"pcm_s16le", {}};
    // Uncompressed AVI frames are bottom-up RGB, as players expect of them.
    if (muxer == "avi") return {"rawvideo", {{"pix_fmt", "bgr24"}}};
    return {"rawvideo", {{"pix_fmt", "yuv420p"}}};
}

HRESULT CreateCaptureGraphBuilder(std::shared_ptr<FaultPlan> faults,
                                  std::shared_ptr<ICaptureGraphBuilder2>* builder) {
    if (HRESULT hr = CheckFault(faults, "CoCreateInstance(CLSID_CaptureGraphBuilder2)"); FAILED(hr)) return hr;
    *builder = std::make_shared<CaptureGraphBuilder>(std::move(faults));
    return S_OK;
}

std::shared_ptr<IBaseFilter> MakeCompressorFilter(std::shared_ptr<FaultPlan> faults, std::string friendlyName,
                                                  EncoderChoice choice, bool video) {
    return std::make_shared<CompressorFilter>(std::move(faults), std::move(friendlyName), std::move(choice), video);
}

bool MultiplexerHolds(const GUID& muxer, const std::shared_ptr<IBaseFilter>& compressor, bool video) {
    for (const MuxerKind& k : kMuxerKinds) {
        if (k.id != muxer) continue;
        EncoderChoice choice = UncompressedChoice(k.muxer, video);
        bool isVideo = video;
        if (compressor && (!CompressorOf(compressor, &choice, &isVideo) || isVideo != video)) return false;
        return ContainerHolds(k.muxer, choice.codec);
    }
    return false;
}

bool CompressorOf(const std::shared_ptr<IBaseFilter>& filter, EncoderChoice* choice, bool* video) {
    auto c = std::dynamic_pointer_cast<CompressorFilter>(filter);
    if (!c) return false;
    *choice = c->choice_;
    *video = c->video_;
    return true;
}

std::string CompressorFriendlyName(const std::shared_ptr<IBaseFilter>& filter) {
    auto c = std::dynamic_pointer_cast<CompressorFilter>(filter);
    return c ? c->friendlyName_ : std::string();
}
