#pragma once
// The file-writing graph as the program builds it: the render engine's group outputs, optional
// compressor filters, and a multiplexer with its file writer (or the ASF writer), connected by
// ICaptureGraphBuilder2::RenderStream and run by IMediaControl. Events of the running graph are
// handed to a notify target from the graph's own threads; GetEvent takes them on the caller's.
//
// A graph is built and controlled from one thread (the user-interface thread).

#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/com/guid.h"
#include "platform/com/unknown.h"
#include "platform/render/write/file_writer.h"

class IFilterGraph;
class IWMProfile;

struct FILTER_INFO {
    std::string achName;
    std::shared_ptr<IFilterGraph> pGraph;
};

// A filter's setting as its property page shows it.
struct FilterOption {
    std::string name, help;
    enum Kind { Integer, Number, Boolean, Choice, Text } kind = Text;
    double minimum = 0, maximum = 0;
    std::string defaultValue, value;
    std::vector<std::pair<std::string, std::string>> choices;  // value, label
};

class IBaseFilter : public virtual IUnknown {
public:
    static constexpr const char* kInterfaceName = "IBaseFilter";
    virtual HRESULT QueryFilterInfo(FILTER_INFO* info) const = 0;
};

// The pages of a filter's settings: here its option set, applied to the live filter.
class ISpecifyPropertyPages : public virtual IUnknown {
public:
    static constexpr const char* kInterfaceName = "ISpecifyPropertyPages";
    virtual HRESULT GetPages(std::vector<FilterOption>* options) const = 0;
    virtual HRESULT SetOption(const std::string& name, const std::string& value) = 0;
};

class IFileSinkFilter2 : public virtual IUnknown {
public:
    static constexpr const char* kInterfaceName = "IFileSinkFilter2";
    virtual HRESULT SetMode(unsigned mode) = 0;
    virtual HRESULT GetMode(unsigned* mode) const = 0;
    virtual HRESULT GetCurFile(std::string* name) const = 0;
};
inline constexpr unsigned AM_FILE_OVERWRITE = 1;

class IConfigInterleaving : public virtual IUnknown {
public:
    static constexpr const char* kInterfaceName = "IConfigInterleaving";
    virtual HRESULT put_Mode(int mode) = 0;
};
inline constexpr int INTERLEAVE_FULL = 2;

class IConfigAsfWriter : public virtual IUnknown {
public:
    static constexpr const char* kInterfaceName = "IConfigAsfWriter";
    virtual HRESULT ConfigureFilterUsingProfile(const std::shared_ptr<IWMProfile>& profile) = 0;
};

// An output of the render engine: one per timeline group.
class IPin : public virtual IUnknown {
public:
    static constexpr const char* kInterfaceName = "IPin";
    virtual int group() const = 0;
    virtual bool isVideo() const = 0;
};

class IFilterGraph : public virtual IUnknown {
public:
    static constexpr const char* kInterfaceName = "IFilterGraph";
    virtual HRESULT AddFilter(const std::shared_ptr<IBaseFilter>& filter, const std::string& name) = 0;
    virtual HRESULT EnumFilters(std::vector<std::shared_ptr<IBaseFilter>>* filters) const = 0;
};
using IGraphBuilder = IFilterGraph;

class IMediaControl : public virtual IUnknown {
public:
    static constexpr const char* kInterfaceName = "IMediaControl";
    virtual HRESULT Run() = 0;
    virtual HRESULT Pause() = 0;
    virtual HRESULT Stop() = 0;
};

// Ours: ends a running file graph without keeping what it wrote, for a process told to end; the
// output file keeps what it had and the temporary goes. Without an event, as Stop.
class IMediaAbandon : public virtual IUnknown {
public:
    static constexpr const char* kInterfaceName = "IMediaAbandon";
    virtual HRESULT Abandon() = 0;
};

// Receives the graph's "an event is waiting" notice, on a graph thread; it must hand the notice
// over to its own thread (the window posts it to itself).
class IGraphNotifyTarget {
public:
    virtual ~IGraphNotifyTarget() = default;
    virtual void PostGraphNotify(long message, long instance) = 0;
};

class IMediaEventEx : public virtual IUnknown {
public:
    static constexpr const char* kInterfaceName = "IMediaEventEx";
    // A null target stops the notices.
    virtual HRESULT SetNotifyWindow(IGraphNotifyTarget* target, long message, long instance) = 0;
    // E_ABORT when no event comes within timeoutMs.
    virtual HRESULT GetEvent(long* code, long* param1, long* param2, long timeoutMs) = 0;
    virtual HRESULT FreeEventParams(long code, long param1, long param2) = 0;
};

class IMediaSeeking : public virtual IUnknown {
public:
    static constexpr const char* kInterfaceName = "IMediaSeeking";
    virtual HRESULT GetCurrentPosition(REFERENCE_TIME* position) const = 0;
    virtual HRESULT GetDuration(REFERENCE_TIME* duration) const = 0;
    virtual HRESULT SetRate(double rate) = 0;
    // Either position may be null; a flag of AM_SEEKING_NoPositioning leaves it unchanged.
    virtual HRESULT SetPositions(REFERENCE_TIME* current, unsigned currentFlags, REFERENCE_TIME* stop,
                                 unsigned stopFlags) = 0;
};
inline constexpr unsigned AM_SEEKING_NoPositioning = 0;
inline constexpr unsigned AM_SEEKING_AbsolutePositioning = 1;

class ICaptureGraphBuilder2 : public virtual IUnknown {
public:
    static constexpr const char* kInterfaceName = "ICaptureGraphBuilder2";
    virtual HRESULT SetFiltergraph(const std::shared_ptr<IGraphBuilder>& graph) = 0;
    // `type` is MEDIASUBTYPE_Avi or a multiplexer's class; the multiplexer and its file writer
    // join the graph.
    virtual HRESULT SetOutputFileName(const GUID& type, const std::string& file,
                                      std::shared_ptr<IBaseFilter>* mux,
                                      std::shared_ptr<IFileSinkFilter2>* writer) = 0;
    virtual HRESULT RenderStream(const GUID* category, const GUID* type,
                                 const std::shared_ptr<IPin>& source,
                                 const std::shared_ptr<IBaseFilter>& intermediate,
                                 const std::shared_ptr<IBaseFilter>& sink) = 0;
};

inline const GUID MEDIASUBTYPE_Avi = GuidFromLiteral("{E436EB88-524F-11CE-9F53-0020AF0BA770}");
inline const GUID CLSID_WMAsfWriter = GuidFromLiteral("{7C23220E-55BB-11D3-8B16-00C04FB6BD3D}");
inline const GUID CLSID_MatroskaMuxer = GuidFromLiteral("{A28F324B-DDC5-4999-AA25-D3A7E25EF7A8}");
inline const GUID CLSID_DsmMuxer = GuidFromLiteral("{C6590B76-587E-4082-9125-680D0693A97B}");
// Ours: FFmpeg's MP4 and Ogg multiplexers.
inline const GUID CLSID_Mp4Muxer = GuidFromLiteral("{6B0F4C52-5D6B-4E8E-9A49-2D8E1F3C7A10}");
inline const GUID CLSID_OggMuxer = GuidFromLiteral("{6B0F4C52-5D6B-4E8E-9A49-2D8E1F3C7A11}");

HRESULT CreateCaptureGraphBuilder(std::shared_ptr<FaultPlan> faults,
                                  std::shared_ptr<ICaptureGraphBuilder2>* builder);

// A compressor as a filter: an FFmpeg encoder with its settings; made by the compressor
// enumeration.
std::shared_ptr<IBaseFilter> MakeCompressorFilter(std::shared_ptr<FaultPlan> faults,
                                                  std::string friendlyName, EncoderChoice choice,
                                                  bool video);
// Whether the multiplexer of class `muxer` can hold the stream `compressor` makes (null: the
// uncompressed stream of that kind); false for a multiplexer not installed here.
bool MultiplexerHolds(const GUID& muxer, const std::shared_ptr<IBaseFilter>& compressor, bool video);
// The encoder a compressor filter stands for; false for any other filter.
bool CompressorOf(const std::shared_ptr<IBaseFilter>& filter, EncoderChoice* choice, bool* video);
// The device name a compressor filter was made with, whatever name a graph gave it since.
std::string CompressorFriendlyName(const std::shared_ptr<IBaseFilter>& filter);
