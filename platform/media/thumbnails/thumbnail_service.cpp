#include "platform/media/thumbnails/thumbnail_service.h"

#include <QThread>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>

#include "platform/media/heap_pages.h"

namespace {

// Below the window's thread, so that it never waits for the workers.
constexpr int kWorkerNice = 10;

int WorkerCount(int asked) {
    if (asked > 0) return asked;
    return std::max(1, QThread::idealThreadCount() - 1);  // the cores this process may use
}

void LowerThisThread() {
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), kWorkerNice);
}

}  // namespace

ThumbnailService::ThumbnailService(const ThumbnailServiceOptions& options,
                                   std::function<void(const std::string& path)> ready, QObject* parent)
    : QObject(parent),
      options_(options),
      edge_(std::max(options.boxWidth, options.boxHeight) <= kNormalThumbnailEdge ? kNormalThumbnailEdge
                                                                               : kLargeThumbnailEdge),
      cache_(options.cacheRoot),
      ready_(std::move(ready)),
      memory_(options.memoryBytes) {
    for (int i = WorkerCount(options.workers); i > 0; --i) workers_.emplace_back([this] { Work(); });
}

ThumbnailService::~ThumbnailService() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.Clear();
    }
    wake_.notify_all();
    for (std::thread& t : workers_) t.join();
}

bool ThumbnailService::Known(const std::string& path, ThumbnailEntry* entry) {
    std::lock_guard lock(mutex_);
    const ThumbnailEntry* found = memory_.Find(path);
    if (found != nullptr) *entry = *found;
    return found != nullptr;
}

std::vector<std::string> ThumbnailService::Unknown(const std::vector<std::string>& paths) {
    std::vector<std::string> unknown;
    for (const std::string& p : paths) {
        if (making_.count(p) != 0) {
            cancelled_.erase(p);  // asked for again while it was being made
        } else if (memory_.Find(p) == nullptr) {
            unknown.push_back(p);
        }
    }
    return unknown;
}

void ThumbnailService::Request(const std::vector<std::string>& paths) {
    {
        std::lock_guard lock(mutex_);
        queue_.Prioritise(Unknown(paths));
    }
    wake_.notify_all();
}

void ThumbnailService::Want(const std::vector<std::string>& paths) {
    {
        std::lock_guard lock(mutex_);
        queue_.Append(Unknown(paths));
    }
    wake_.notify_all();
}

void ThumbnailService::Cancel(const std::string& path) {
    std::lock_guard lock(mutex_);
    queue_.Remove(path);
    if (making_.count(path) != 0 && cancelled_.count(path) == 0) cancelled_.insert(path);
}

void ThumbnailService::CancelAll() {
    std::lock_guard lock(mutex_);
    queue_.Clear();
    cancelled_ = making_;
}

std::size_t ThumbnailService::memoryBytes() {
    std::lock_guard lock(mutex_);
    return memory_.bytes();
}

void ThumbnailService::Work() {
    LowerThisThread();
    std::string path;
    while (TakeNext(&path)) {
        bool drained = false;
        if (Keep(path, Make(path), &drained)) {
            QMetaObject::invokeMethod(this, [this, path] { ready_(path); }, Qt::QueuedConnection);
        }
        if (drained) ReturnFreeHeapPages();
    }
}

bool ThumbnailService::TakeNext(std::string* path) {
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (stopping_) return false;
    *path = *queue_.TakeFront();
    making_.insert(*path);
    return true;
}

bool ThumbnailService::Keep(const std::string& path, ThumbnailEntry entry, bool* drained) {
    std::lock_guard lock(mutex_);
    *drained = queue_.empty();
    making_.erase(making_.find(path));
    const auto cancelled = cancelled_.find(path);
    if (cancelled != cancelled_.end()) {
        cancelled_.erase(cancelled);
        return false;
    }
    memory_.Put(path, std::move(entry));
    return true;
}

ThumbnailEntry ThumbnailService::Make(const std::string& path) const {
    // A pipe or a device would hold a worker, and the window's closing, for as long as it gives nothing.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        return {nullptr, path + " is not an ordinary file; Kavrel reads and writes only ordinary files."};
    }
    long long mtime = 0;
    const bool dated = PhotoModificationTime(path, &mtime);
    ThumbnailPicture picture;
    std::string failure;
    const bool cached = dated && cache_.Find(path, mtime, edge_, &picture, &failure);
    if (!cached) {
        const bool made = MakeThumbnail(path, edge_, &picture, &failure);
        if (dated && made) cache_.Store(path, mtime, edge_, picture);
        if (dated && !made) cache_.StoreFailure(path, mtime, failure);
    }
    if (picture.width == 0) return {nullptr, failure.empty() ? "Cannot decode the photo " + path : failure};
    return {std::make_shared<const ThumbnailPicture>(FittedInto(picture, options_.boxWidth, options_.boxHeight)), {}};
}
