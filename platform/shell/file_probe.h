#pragma once
// Every path the program reads or writes is looked at here first, by stat() with links followed,
// never by opening it: opening a pipe waits for its other end, and opening a device may act on it.

#include <string>

enum class PathKind {
    Missing,  // nothing stat() finds: no such name, a link to nothing, a folder on the way missing or closed
    File,     // a regular file
    Folder,
    Pipe,
    Device,   // a character or block device
    Other,    // a socket
};

PathKind KindOfPath(const std::string& path);
// Whether the program may read from `path`: a regular file that stat() finds readable.
bool FileCanBeOpenedForReading(const std::string& path);
// Whether the program may write its output to `path`: a regular file, or a name not yet taken.
bool PathCanTakeOutput(const std::string& path);
