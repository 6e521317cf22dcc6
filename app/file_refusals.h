#pragma once
// What the program says, in the current language, of a path it will not read or write: one that
// is there but is no regular file (a folder, a pipe, a device). Such a path is never opened.

#include <string>

#include "app/slideshow_project.h"

// Why `path` is refused; empty when it is a regular file or names nothing yet.
std::string NotAFileText(const std::string& path);
// The same for the first photo or music file of `project` that is refused; empty when none is.
// A missing file is not refused here: the missing-file locator looks for it.
std::string InputNotAFileText(const SlideshowProject& project);
// Why the output file cannot be written: it has no name, or NotAFileText; empty when it can.
std::string OutputRefusalText(const std::string& path);
// For the command line: why the photo or music file (`what`) at `path` cannot be read.
std::string CannotReadText(const std::string& what, const std::string& path);
