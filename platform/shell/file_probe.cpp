#include "platform/shell/file_probe.h"

#include <sys/stat.h>
#include <unistd.h>

PathKind KindOfPath(const std::string& path) {
    struct stat st {};
    if (path.empty()) return PathKind::Missing;
    // What stat() cannot reach (a folder on the way missing or closed to us), opening cannot
    // either: it then says why.
    if (::stat(path.c_str(), &st) != 0) return PathKind::Missing;
    if (S_ISREG(st.st_mode)) return PathKind::File;
    if (S_ISDIR(st.st_mode)) return PathKind::Folder;
    if (S_ISFIFO(st.st_mode)) return PathKind::Pipe;
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return PathKind::Device;
    return PathKind::Other;
}

bool FileCanBeOpenedForReading(const std::string& path) {
    return KindOfPath(path) == PathKind::File && ::access(path.c_str(), R_OK) == 0;
}

bool PathCanTakeOutput(const std::string& path) {
    const PathKind kind = KindOfPath(path);
    return kind == PathKind::File || kind == PathKind::Missing;
}
