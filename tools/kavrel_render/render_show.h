#pragma once

#include "tools/kavrel_render/render_options.h"

class MessageBoxes;

// Writes the show of `options` to its output file with the program's own timeline builder and
// Render to file, showing progress on standard error; returns the process exit status.
int RunRender(const RenderOptions& options, MessageBoxes& boxes);
// Prints the installed compressors, as the output settings would list them.
int ListCompressors(MessageBoxes& boxes);
