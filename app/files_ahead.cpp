#include "app/files_ahead.h"

FilesAhead::FilesAhead(std::function<void(const std::string&)> look) : look_(std::move(look)) {
    pool_.setMaxThreadCount(1);
    pool_.setThreadPriority(QThread::LowPriority);
}

FilesAhead::~FilesAhead() {
    pool_.clear();
    pool_.waitForDone();
}

void FilesAhead::LookAt(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        pool_.start([this, path] { look_(path); });
    }
}
