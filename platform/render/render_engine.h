#pragma once
// Turns a timeline into a graph: ConnectFrontEnd opens every source of the timeline (so a file
// that cannot be read fails it, naming the file) and makes one output pin per group; the caller
// then connects the pins to compressors and a multiplexer and runs the graph.
//
// Used from one thread.

#include <memory>

#include "platform/render/filter_graph.h"
#include "platform/timeline/timeline.h"

inline constexpr long CONNECTF_DYNAMIC_SOURCES = 1;

class IRenderEngine : public virtual IUnknown {
public:
    static constexpr const char* kInterfaceName = "IRenderEngine";
    virtual HRESULT SetTimelineObject(const std::shared_ptr<IAMTimeline>& timeline) = 0;
    virtual HRESULT GetTimelineObject(std::shared_ptr<IAMTimeline>* timeline) const = 0;
    virtual HRESULT SetDynamicReconnectLevel(long level) = 0;
    virtual HRESULT ConnectFrontEnd() = 0;
    virtual HRESULT GetFilterGraph(std::shared_ptr<IGraphBuilder>* graph) const = 0;
    virtual HRESULT GetGroupOutputPin(long group, std::shared_ptr<IPin>* pin) const = 0;
    virtual HRESULT RenderOutputPins() = 0;
    // Stops and dismantles the graph.
    virtual HRESULT ScrapIt() = 0;
    // The frame size of the video output ("Original size" resolved); 0 × 0 before connecting.
    virtual void OutputSize(int* width, int* height) const = 0;
};

HRESULT CreateRenderEngine(std::shared_ptr<FaultPlan> faults, std::shared_ptr<IRenderEngine>* engine);
