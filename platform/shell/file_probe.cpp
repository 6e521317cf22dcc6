#include "platform/shell/file_probe.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool FileCanBeOpenedForReading(const std::string& path) {
    if (path.empty()) return false;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st {};
    bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    return regular;
}
