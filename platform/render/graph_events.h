#pragma once
// The event queue of a graph: events posted from the graph's threads, a notice to the notify
// target for each, and GetEvent taking them on the owner's thread.

#include <condition_variable>
#include <deque>
#include <mutex>

#include "platform/render/filter_graph.h"

class GraphEvents {
public:
    HRESULT SetNotifyWindow(IGraphNotifyTarget* target, long message, long instance);
    HRESULT GetEvent(long* code, long* param1, long* param2, long timeoutMs);
    // Any thread. The target is told while the queue is locked, so a target that has just been
    // cleared is never called again.
    void Post(long code, long param);

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::pair<long, long>> events_;
    IGraphNotifyTarget* target_ = nullptr;
    long message_ = 0, instance_ = 0;
};
