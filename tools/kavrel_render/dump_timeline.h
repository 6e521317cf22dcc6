#pragma once

#include <cstdio>

#include "tools/kavrel_render/render_options.h"

class MessageBoxes;

// Builds the show of `options` with the program's own project and timeline builder and prints
// the timeline's XML to `out`. Problems go to `boxes`; returns the process exit status.
int RunDumpTimeline(const RenderOptions& options, std::FILE* out, MessageBoxes& boxes);
