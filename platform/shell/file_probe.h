#pragma once

#include <string>

// The file-exists test used throughout the program: a regular file that can be opened for
// reading. A folder or an unreadable file does not count.
// Never blocks (a FIFO is not waited on).
bool FileCanBeOpenedForReading(const std::string& path);
