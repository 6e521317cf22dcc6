#pragma once

#include "app/show_file.h"
#include "tools/kavrel_render/render_options.h"

class MessageBoxes;

// Writes `project` to the file `output` names, in its container with its compressors (by name,
// "none", or empty for the format's default), through the program's own timeline builder and
// Render to file, with the --option settings of `options`; shows progress on standard error and
// returns the process exit status: 2 for a photo or music file that cannot be decoded, found before
// or while writing.
int RunRender(SlideshowProject& project, const ShowOutput& output, const RenderOptions& options, MessageBoxes& boxes);
// Prints the installed compressors, as the output settings would list them.
int ListCompressors(MessageBoxes& boxes);
