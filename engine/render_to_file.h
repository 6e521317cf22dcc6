#pragma once
// Writes the current timeline to the output file: connects the render engine, builds the graph's
// back end for the output format (a multiplexer and file writer, or the ASF writer with a
// Windows Media profile), the chosen compressors, the event notification, and runs the graph.
// Every failure is reported where it happens; the conversion runs only when Run succeeded.
//
// Runs on the thread that owns the project; the graph then runs on its own threads.

#include <functional>
#include <memory>

#include "app/slideshow_project.h"
#include "platform/codecs/wm_profile.h"
#include "platform/render/render_engine.h"
#include "platform/shell/message_boxes.h"
#include "settings/compressor_enumeration.h"

inline constexpr long kGraphNotifyMessage = 1037;  // WM_USER + 13

struct ConversionObjects {
    std::shared_ptr<IRenderEngine> engine;
    std::shared_ptr<IMediaControl> control;
    std::shared_ptr<IMediaEventEx> event;
};

struct RenderToFileEnv {
    MessageBoxes& boxes;
    IGraphNotifyTarget* notify = nullptr;  // the main window
    // The filters' property pages before MP4, DSM and OGM graphs run; none: skipped.
    std::function<void(const std::shared_ptr<IGraphBuilder>&)> showFilterProperties;
    // Called with the built graph just before it runs, whatever the format (settings given on a
    // command line); false stops the conversion.
    std::function<bool(const std::shared_ptr<IGraphBuilder>&)> beforeRun;
    // Shows the page where a missing multiplexer can be had.
    std::function<void(const std::string& page)> openPage;
    std::shared_ptr<FaultPlan> faults;
    std::shared_ptr<IWMCodecInfo> codecInfo;  // null: FFmpeg's Windows Media encoders
};

struct HeldCompressors {
    HeldCompressor video, audio;
};

// Returns the failure of the engine's creation, SetTimelineObject or ConnectFrontEnd, else S_OK
// (the back end's own failures were reported and leave *running false). On a running graph
// *objects holds its engine, control and event, and the project's converting flag is set.
HRESULT RenderToFile(SlideshowProject& project, const std::shared_ptr<IAMTimeline>& timeline,
                     HeldCompressors& compressors, const RenderToFileEnv& env, ConversionObjects* objects,
                     bool* running);

// Where the user can read about a multiplexer this platform lacks.
inline constexpr const char* kDsmMuxerPage = "help/Formats.htm#dsm";
inline constexpr const char* kMatroskaMuxerPage = "help/Formats.htm#mkv";
