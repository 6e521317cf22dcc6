#pragma once
// What kavrel-render does with a show: makes it from the photos and options, or reads it from a
// show file with the options that override it; fits it to its music and saves it when asked; then
// prints its timeline or writes its video.

#include <cstdio>

#include "tools/kavrel_render/render_options.h"

class MessageBoxes;

// Problems go to `boxes`, the timeline to `out`; returns the process exit status.
int RunShowCommand(const RenderOptions& options, std::FILE* out, MessageBoxes& boxes);
