#pragma once

#include <cstdio>

#include "tools/kavrel_render/render_options.h"

class MessageBoxes;
class SlideshowProject;

// Fills the project as the main window's Add commands would; 0 or an exit status.
int BuildShowProject(const RenderOptions& options, SlideshowProject* project, MessageBoxes& boxes);

// Builds the show of `options` with the program's own project and timeline builder and prints
// the timeline's XML to `out`. Problems go to `boxes`; returns the process exit status.
int RunDumpTimeline(const RenderOptions& options, std::FILE* out, MessageBoxes& boxes);
