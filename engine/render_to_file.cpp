#include "engine/render_to_file.h"

#include <cstdio>

#include "engine/output_format.h"
#include "engine/wm_profile_generator.h"
#include "platform/com/error_text.h"

namespace {

class Conversion {
public:
    Conversion(SlideshowProject& project, HeldCompressors& compressors, const RenderToFileEnv& env)
        : project_(project), compressors_(compressors), env_(env) {}

    HRESULT FrontEnd(const std::shared_ptr<IAMTimeline>& timeline, ConversionObjects* objects, bool* running) {
        *running = false;
        HRESULT hr = CreateRenderEngine(env_.faults, &objects->engine);
        if (FAILED(hr)) {
            env_.boxes.Show({MessageOwner::MainWindow, "Could not create pRenderEngine", "Error",
                             MessageButtons::Ok, MessageIcon::None});
            return hr;
        }
        engine_ = objects->engine;
        if (FAILED(hr = engine_->SetTimelineObject(timeline))) {
            env_.boxes.AppMessage("Could not SetTimelineObject");
            return hr;
        }
        engine_->SetDynamicReconnectLevel(CONNECTF_DYNAMIC_SOURCES);
        if (FAILED(hr = engine_->ConnectFrontEnd())) {
            env_.boxes.AppMessage("Could not ConnectFrontEnd");
            env_.boxes.AppMessage(AMGetErrorText(hr));
            return hr;
        }
        int groups = 0;
        timeline->GetGroupCount(&groups);
        for (int g = 0; g < groups; ++g) {
            TimelineObjPtr group;
            timeline->GetGroup(&group, g);
            std::dynamic_pointer_cast<IAMTimelineGroup>(group)->SetPreviewMode(false);
        }
        *running = BackEnd(objects);
        return S_OK;
    }

private:
    void HrMessage(const char* format, HRESULT hr) {
        char text[512];
        std::snprintf(text, sizeof text, format, static_cast<unsigned>(hr));
        env_.boxes.Show({MessageOwner::None, text, "message", MessageButtons::Ok, MessageIcon::None});
    }

    void PlatformError(HRESULT hr) { env_.boxes.AppMessage(AMGetErrorText(hr)); }

    bool BackEnd(ConversionObjects* objects) {
        std::shared_ptr<ICaptureGraphBuilder2> builder;
        if (FAILED(CreateCaptureGraphBuilder(env_.faults, &builder))) {
            env_.boxes.AppMessage("Could not create ICaptureGraphBuilder2");
            return false;
        }
        std::shared_ptr<IAMTimeline> timeline;
        std::shared_ptr<IGraphBuilder> graph;
        if (FAILED(engine_->GetTimelineObject(&timeline)) || FAILED(engine_->GetFilterGraph(&graph))) return false;
        int groups = 0;
        timeline->GetGroupCount(&groups);
        if (groups == 0) {
            env_.boxes.AppMessage("Could not GetGroupCount( &Groups )");
            return false;
        }
        if (FAILED(builder->SetFiltergraph(graph))) {
            env_.boxes.AppMessage("Error pBuilder->SetFiltergraph( pGraph )");
            return false;
        }
        std::shared_ptr<IBaseFilter> mux;
        if (!AttachOutput(*builder, &mux)) return false;
        for (int g = 0; g < groups; ++g) {
            if (!ConnectGroup(*builder, *graph, g, mux)) return false;
        }
        return Start(graph, objects);
    }

    bool AttachOutput(ICaptureGraphBuilder2& builder, std::shared_ptr<IBaseFilter>* mux) {
        const std::string& file = project_.output().path;
        std::shared_ptr<IFileSinkFilter2> writer;
        const int format = project_.output().format;
        HRESULT hr = S_OK;
        switch (format) {
            case kFormatAvi:
                if (FAILED(builder.SetOutputFileName(MEDIASUBTYPE_Avi, file, mux, &writer))) {
                    env_.boxes.AppMessage("Error pBuilder->SetOutputFileName(&guid, Filename, &pMux, &pWriter )");
                    return false;
                }
                break;
            case kFormatMkv:
            case kFormatMp4:
                // MP4 is written as MP4, not as Matroska under an ".mp4" name.
                hr = builder.SetOutputFileName(format == kFormatMp4 ? CLSID_Mp4Muxer : CLSID_MatroskaMuxer, file, mux,
                                               &writer);
                if (FAILED(hr)) {
                    env_.boxes.AppMessage("Please install MKV codec)");
                    if (env_.openPage) env_.openPage(kMatroskaMuxerPage);
                    return false;
                }
                break;
            case kFormatDsm:
                if (FAILED(builder.SetOutputFileName(CLSID_DsmMuxer, file, mux, &writer))) {
                    env_.boxes.AppMessage("Please install DSM Splitter/Muxer codec)");
                    if (env_.openPage) env_.openPage(kDsmMuxerPage);
                    return false;
                }
                break;
            case kFormatWmv:
            case kFormatAsf:
                return AttachAsfWriter(builder, file, mux);
            case kFormatOgm:
                if (FAILED(builder.SetOutputFileName(CLSID_OggMuxer, file, mux, &writer))) return false;
                break;
            default:
                return false;
        }
        if (writer) writer->SetMode(AM_FILE_OVERWRITE);
        return true;
    }

    bool AttachAsfWriter(ICaptureGraphBuilder2& builder, const std::string& file, std::shared_ptr<IBaseFilter>* mux) {
        const OutputSettings& o = project_.output();
        int width = 0, height = 0;
        engine_->OutputSize(&width, &height);
        AudioParams audio{o.audioBitrate, 0x161, 44100, 2};
        VideoParams video{MakeFourCC("WMV3"), o.videoBitrate, height, width, 23, 0, 8};
        std::shared_ptr<IWMProfileManager> manager;
        std::shared_ptr<IWMProfile> profile;
        HRESULT hr = WMCreateProfileManager(env_.faults, &manager, env_.codecInfo);
        if (SUCCEEDED(hr)) hr = GenerateProfile(*manager, &audio, std::nullopt, 1, &video, WMT_VER_9_0, &profile);
        if (FAILED(hr)) {
            HrMessage("Failed to GenerateProfile Audio video with script!  hr=0x%x\n", hr);
            return false;
        }
        std::shared_ptr<IFileSinkFilter2> writer;
        if (FAILED(builder.SetOutputFileName(CLSID_WMAsfWriter, file, mux, &writer))) {
            env_.boxes.AppMessage("Error pBuilder->SetOutputFileName(&guid, Filename, &pMux, &pWriter )");
            return false;
        }
        std::shared_ptr<IConfigInterleaving> interleaving;
        if (SUCCEEDED(QueryInterface(*mux, &interleaving))) interleaving->put_Mode(INTERLEAVE_FULL);
        if (writer) writer->SetMode(AM_FILE_OVERWRITE);
        std::shared_ptr<IConfigAsfWriter> config;
        if (FAILED(hr = QueryInterface(*mux, &config))) {
            HrMessage("Failed to QI for IConfigAsfWriter!  hr=0x%x\n", hr);
            return false;
        }
        if (o.fileProfile == 1) {
            std::shared_ptr<IWMProfile> stored;
            if (FAILED(hr = manager->LoadProfileByData("test2", &stored))) {
                HrMessage("Failed to map profile ID!  hr=0x%x\n", hr);
                return false;
            }
            if (FAILED(hr = config->ConfigureFilterUsingProfile(stored))) {
                HrMessage("Failed to configure filter to use file profile!  hr=0x%x\n", hr);
                return false;
            }
        } else if (FAILED(hr = config->ConfigureFilterUsingProfile(profile))) {
            HrMessage("Failed to configure filter to use profile!  hr=0x%x\n", hr);
            return false;
        }
        // The ASF writer encodes by itself: its pins take the group outputs directly.
        project_.output().useVideoCompressor = 0;
        project_.output().useAudioCompressor = 0;
        return true;
    }

    bool ConnectGroup(ICaptureGraphBuilder2& builder, IGraphBuilder& graph, int g,
                      const std::shared_ptr<IBaseFilter>& mux) {
        std::shared_ptr<IPin> pin;
        if (FAILED(engine_->GetGroupOutputPin(g, &pin))) {
            env_.boxes.AppMessage("Could not GetGroupOutputPin( g, &pPin )");
            return false;
        }
        const bool video = g == 0;
        const bool use = video ? project_.output().useVideoCompressor != 0 : project_.output().useAudioCompressor != 0;
        const HeldCompressor& held = video ? compressors_.video : compressors_.audio;
        std::shared_ptr<IBaseFilter> compressor;
        if (use && held.filter) {
            HRESULT hr = graph.AddFilter(held.filter, video ? "VideoCompressor" : "AudioCompressor");
            if (FAILED(hr)) {
                PlatformError(hr);
                return false;
            }
            compressor = held.filter;
        }
        HRESULT hr = builder.RenderStream(nullptr, nullptr, pin, compressor, mux);
        if (FAILED(hr)) {
            env_.boxes.AppMessage("failed pBuilder->RenderStream( NULL, NULL, pPin, NULL, pMux )");
            PlatformError(hr);
            return false;
        }
        return true;
    }

    bool Start(const std::shared_ptr<IGraphBuilder>& graph, ConversionObjects* objects) {
        if (FAILED(QueryInterface(graph, &objects->control))) {
            env_.boxes.AppMessage("Could not get pControl");
            return false;
        }
        if (FAILED(QueryInterface(graph, &objects->event))) {
            env_.boxes.AppMessage("Could not get pEvent");
            return false;
        }
        if (FAILED(objects->event->SetNotifyWindow(env_.notify, kGraphNotifyMessage, 0))) {
            env_.boxes.AppMessage("can not SetNotifyWindow!!!");
            return false;
        }
        if (env_.beforeRun && !env_.beforeRun(graph)) return false;
        if (project_.output().format > kFormatAsf && env_.showFilterProperties) env_.showFilterProperties(graph);
        HRESULT hr = objects->control->Run();
        if (FAILED(hr)) {
            env_.boxes.AppMessage("can not pControl->Run()!!!");
            PlatformError(hr);
            return false;
        }
        project_.run().converting = true;
        return true;
    }

    SlideshowProject& project_;
    HeldCompressors& compressors_;
    const RenderToFileEnv& env_;
    std::shared_ptr<IRenderEngine> engine_;
};

}  // namespace

HRESULT RenderToFile(SlideshowProject& project, const std::shared_ptr<IAMTimeline>& timeline,
                     HeldCompressors& compressors, const RenderToFileEnv& env, ConversionObjects* objects,
                     bool* running) {
    *objects = ConversionObjects();
    return Conversion(project, compressors, env).FrontEnd(timeline, objects, running);
}
