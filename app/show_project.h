#pragma once
// Between a show file's show and the Slideshow project: what a show keeps of a project, and the
// project a show makes (its music measured again).

#include <functional>

#include "app/show_file.h"

// The show `project` holds; the output's compressors are left for the caller to name.
Show ShowOfProject(const SlideshowProject& project);
// The lists, the framing, motion amount and pace and the music's fade-out of `show` in place of the
// project's, each music file measured with `measure`. The output settings are the caller's to take.
void PutShowInProject(const Show& show, SlideshowProject* project,
                      const std::function<REFERENCE_TIME(const std::string&)>& measure);
// The show's format, file, size and bitrates in `out`; a show that names no file keeps out's own.
void PutShowOutput(const ShowOutput& show, OutputSettings* out);
