#include "platform/render/graph_events.h"

#include <algorithm>
#include <chrono>

HRESULT GraphEvents::SetNotifyWindow(IGraphNotifyTarget* target, long message, long instance) {
    std::lock_guard<std::mutex> lock(mutex_);
    target_ = target;
    message_ = message;
    instance_ = instance;
    return S_OK;
}

void GraphEvents::Post(long code, long param) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back({code, param});
        if (target_ != nullptr) target_->PostGraphNotify(message_, instance_);
    }
    ready_.notify_all();
}

HRESULT GraphEvents::GetEvent(long* code, long* param1, long* param2, long timeoutMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!ready_.wait_for(lock, std::chrono::milliseconds(std::max(0L, timeoutMs)),
                         [&] { return !events_.empty(); })) {
        return E_ABORT;
    }
    *code = events_.front().first;
    *param1 = events_.front().second;
    *param2 = 0;
    events_.pop_front();
    return S_OK;
}
