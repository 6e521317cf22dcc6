#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "tools/kavrel_render/render_options.h"

class MessageBoxes;
class SlideshowProject;

// Fills the project as the main window's Add commands would, each file by its absolute path (so a
// show saved from it names the same files); 0 or an exit status.
int BuildShowProject(const RenderOptions& options, SlideshowProject* project, MessageBoxes& boxes);
// The captions of --captions given to the project's photos, which were named `givenPaths`.
int ApplyCaptions(const RenderOptions& options, const std::vector<std::string>& givenPaths,
                  SlideshowProject& project, MessageBoxes& boxes);
// `path` from the current folder, when it is relative.
std::string AbsolutePath(const std::string& path);

// Builds the timeline of `project` with the program's own timeline builder and prints its XML to
// `out`. Problems go to `boxes`; returns the process exit status.
int RunDumpTimeline(const RenderOptions& options, SlideshowProject& project, std::FILE* out, MessageBoxes& boxes);
