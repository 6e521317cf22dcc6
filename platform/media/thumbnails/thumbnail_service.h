#pragma once
// Thumbnails of photos made in the background: taken from memory, else from the desktop's
// thumbnail cache, else made from the photo (and kept there, or its failure), on worker threads
// at a lower priority, one fewer than the cores (at least one). Each picture is delivered fitted
// into the box the caller shows it in and kept in memory up to a number of bytes.
//
// The service belongs to the thread that makes it (the window's): call it there only. `ready`
// runs there too, as a queued call, once a photo's thumbnail or failure is known; never for a
// cancelled photo. Destroying the service waits for the photos being made and drops the rest.

#include <QObject>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/media/thumbnails/thumbnail_cache.h"
#include "platform/media/thumbnails/thumbnail_memory.h"
#include "platform/media/thumbnails/thumbnail_queue.h"

struct ThumbnailServiceOptions {
    std::string cacheRoot = DefaultThumbnailRoot();
    int boxWidth = 64, boxHeight = 48;      // in device pixels
    int workers = 0;                        // 0: one fewer than the cores, at least 1
    std::size_t memoryBytes = 24u << 20;    // a thousand 64 × 48 pictures and more
};

class ThumbnailService : public QObject {
public:
    ThumbnailService(const ThumbnailServiceOptions& options, std::function<void(const std::string& path)> ready,
                     QObject* parent = nullptr);
    ~ThumbnailService() override;

    // True with the photo's picture or failure when it is known; false while it is not.
    bool Known(const std::string& path, ThumbnailEntry* entry);
    // The photos not yet known, made before every other waiting one, in this order.
    void Request(const std::vector<std::string>& paths);
    // The photos not yet known, made after every waiting one.
    void Want(const std::vector<std::string>& paths);
    void Cancel(const std::string& path);
    void CancelAll();

    int workerCount() const { return static_cast<int>(workers_.size()); }
    std::size_t memoryBytes();
    // The edge of the cache's thumbnails this service reads and writes (128 or 256).
    int cacheEdge() const { return edge_; }

private:
    void Work();
    // The next photo to make, now being made; false when the service stops.
    bool TakeNext(std::string* path);
    // Keeps what was made unless it was cancelled meanwhile (false); *drained: nothing waits.
    bool Keep(const std::string& path, ThumbnailEntry entry, bool* drained);
    ThumbnailEntry Make(const std::string& path) const;
    std::vector<std::string> Unknown(const std::vector<std::string>& paths);

    const ThumbnailServiceOptions options_;
    const int edge_;
    const ThumbnailCache cache_;
    std::function<void(const std::string&)> ready_;

    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    ThumbnailQueue queue_;
    ThumbnailMemory memory_;
    std::multiset<std::string> making_;
    std::multiset<std::string> cancelled_;  // of those being made
    std::vector<std::thread> workers_;
};
