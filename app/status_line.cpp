#include "app/status_line.h"

#include <cstdio>

#include "lang/language.h"
#include "platform/shell/file_probe.h"

std::string OutputStatus(const std::string& path, int width, int height) {
    std::string size = width != 0 || height != 0 ? std::to_string(width) + "*" + std::to_string(height)
                                                 : theLanguage.GetString(111);
    return theLanguage.GetString(115) + " " + path + "     " + theLanguage.GetString(116) + " " + size;
}

std::string DoneStatus(const std::string& path, int width, int height) {
    return theLanguage.GetString(151) + ". " + OutputStatus(path, width, height);
}

std::string ElapsedStatus(int seconds) {
    char text[96];
    std::snprintf(text, sizeof text, "Please wait... Used Time: %02d:%02d:%02d", seconds / 3600, seconds % 3600 / 60,
                  seconds % 60);
    return text;
}

// A failed conversion never touches the output: an old file of that name is as it was.
std::string FailedStatus(const std::string& path) {
    constexpr int kFailedFileUnchanged = 274, kFailedNothingWritten = 275;
    std::string text = theLanguage.GetString(KindOfPath(path) == PathKind::File ? kFailedFileUnchanged
                                                                               : kFailedNothingWritten);
    const std::size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, path);
    return text;
}
