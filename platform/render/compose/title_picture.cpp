#include "platform/render/compose/title_picture.h"

#include <algorithm>

#include "platform/render/compose/prepared_clip.h"
#include "platform/render/compose/video_compositor.h"
#include "platform/render/playback/bgra_converter.h"
#include "platform/shell/file_probe.h"

bool DrawTitlePicture(const TitleCard& card, const std::string& photoPath, int width, int height,
                      VideoPicture* picture, std::string* error) {
    width = std::max(2, width & ~1);
    height = std::max(2, height & ~1);
    VideoClip clip;
    clip.title = card;
    // A photo that is no file is left out, as a pipe would be waited on.
    if (card.background != TitleBackground::Colour && KindOfPath(photoPath) == PathKind::File) clip.path = photoPath;
    ShowPlan plan;
    plan.hasVideo = true;
    plan.width = width;
    plan.height = height;
    plan.framing = Framing::Fit;
    const FramePtr black = BlackFrame(width, height);
    PreparedPhoto prepared;
    if (black == nullptr || !PrepareClip(clip, plan, width, height, black, &prepared, error)) return false;
    if (prepared.still == nullptr) {
        *error = "The title card has no picture";
        return false;
    }
    *picture = BgraConverter(width, height).Convert(prepared.still.get(), 0);
    return true;
}
