#pragma once
// Plays the current timeline in the preview player: a render engine of its own connects the
// timeline to the default video and audio renderers, and the player runs the graph. Every failure
// is reported where it happens.
//
// User-interface thread only.

#include <functional>
#include <memory>

#include "platform/render/render_engine.h"
#include "platform/shell/message_boxes.h"

// The preview player window.
class IPreviewPlayer {
public:
    virtual ~IPreviewPlayer() = default;
    // Shows the graph's video in the player's window and runs it; a negative result after the
    // player has shown its messages and closed itself.
    virtual HRESULT Open(const std::shared_ptr<IGraphBuilder>& graph) = 0;
    virtual void Close() = 0;
};

struct PreviewObjects {
    std::shared_ptr<IRenderEngine> engine;
    std::shared_ptr<IGraphBuilder> graph;
    std::unique_ptr<IPreviewPlayer> player;
};

struct PreviewEnv {
    MessageBoxes& boxes;
    std::function<std::unique_ptr<IPreviewPlayer>()> makePlayer;
    std::shared_ptr<FaultPlan> faults;  // null in the program
};

// 0 when the preview plays; else the failure of the first step that failed (the objects made
// before it stay in *objects).
HRESULT RenderPreview(const std::shared_ptr<IAMTimeline>& timeline, const PreviewEnv& env, PreviewObjects* objects);
// Ends a preview: the player closed and forgotten, the graph released, the engine scrapped and
// released.
void EndPreview(PreviewObjects* objects);
