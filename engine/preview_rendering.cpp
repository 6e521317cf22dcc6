#include "engine/preview_rendering.h"

#include "platform/com/error_text.h"

HRESULT RenderPreview(const std::shared_ptr<IAMTimeline>& timeline, const PreviewEnv& env, PreviewObjects* objects) {
    HRESULT hr = CreateRenderEngine(env.faults, &objects->engine);
    if (FAILED(hr)) {
        env.boxes.Show({MessageOwner::MainWindow, "Could not create pRenderEngine", "Error", MessageButtons::Ok,
                        MessageIcon::None});
        return hr;
    }
    IRenderEngine& engine = *objects->engine;
    if (FAILED(hr = engine.SetTimelineObject(timeline))) {
        env.boxes.AppMessage("Could not SetTimelineObject");
        return hr;
    }
    engine.SetDynamicReconnectLevel(CONNECTF_DYNAMIC_SOURCES);
    if (FAILED(hr = engine.ConnectFrontEnd())) {
        env.boxes.AppMessage("Could not ConnectFrontEnd");
        env.boxes.AppMessage(AMGetErrorText(hr));  // which file could not be opened, and why
        return hr;
    }
    if (FAILED(hr = engine.RenderOutputPins())) {
        env.boxes.AppMessage("Could not RenderOutputPins");
        return hr;
    }
    if (FAILED(hr = engine.GetFilterGraph(&objects->graph))) {
        env.boxes.AppMessage("Could not GetFilterGraph");
        return hr;
    }
    objects->player = env.makePlayer();
    if (FAILED(hr = objects->player->Open(objects->graph))) {
        env.boxes.AppMessage("Could run graph");
        return hr;
    }
    return S_OK;
}

void EndPreview(PreviewObjects* objects) {
    if (objects->player) objects->player->Close();
    objects->player.reset();
    objects->graph.reset();
    if (objects->engine) objects->engine->ScrapIt();
    objects->engine.reset();
}
