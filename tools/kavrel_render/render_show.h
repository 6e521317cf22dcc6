#pragma once

#include "app/show_file.h"
#include "tools/kavrel_render/render_options.h"

class MessageBoxes;

// Writes `project` to the file `output` names, in its container with its compressors (by name,
// "none", or empty for the format's default), through the program's own timeline builder and
// Render to file, with the --option settings of `options`; shows progress on standard error and
// returns the process exit status.
int RunRender(SlideshowProject& project, const ShowOutput& output, const RenderOptions& options, MessageBoxes& boxes);
// The compressor a format takes when none is named: H.264 and AAC for MP4; empty for the others,
// whose default is the program's own (DivX-compatible MPEG-4, Microsoft ADPCM).
std::string FormatDefaultCompressor(bool video, int format);
// Prints the installed compressors, as the output settings would list them.
int ListCompressors(MessageBoxes& boxes);
