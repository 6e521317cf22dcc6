#pragma once
// The texts of the main window's status line, in the current language.

#include <string>

// "Output file: PATH     Resolution: 640*480" ("Original size" when both sides are 0).
std::string OutputStatus(const std::string& path, int width, int height);
// "Done. " before the output status.
std::string DoneStatus(const std::string& path, int width, int height);
// "Please wait... Used Time: 01:02:05".
std::string ElapsedStatus(int seconds);
// A conversion that ended with an error: the output file, if there was one, is unchanged.
std::string FailedStatus(const std::string& path);
