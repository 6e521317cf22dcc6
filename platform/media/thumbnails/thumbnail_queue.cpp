#include "platform/media/thumbnails/thumbnail_queue.h"

void ThumbnailQueue::Prioritise(const std::vector<std::string>& paths) {
    for (auto p = paths.rbegin(); p != paths.rend(); ++p) {
        Remove(*p);
        order_.push_front(*p);
        where_[*p] = order_.begin();
    }
}

void ThumbnailQueue::Append(const std::vector<std::string>& paths) {
    for (const std::string& p : paths) {
        if (where_.count(p) != 0) continue;
        order_.push_back(p);
        where_[p] = std::prev(order_.end());
    }
}

void ThumbnailQueue::Remove(const std::string& path) {
    const auto found = where_.find(path);
    if (found == where_.end()) return;
    order_.erase(found->second);
    where_.erase(found);
}

void ThumbnailQueue::Clear() {
    order_.clear();
    where_.clear();
}

std::optional<std::string> ThumbnailQueue::TakeFront() {
    if (order_.empty()) return std::nullopt;
    std::string path = std::move(order_.front());
    where_.erase(path);
    order_.pop_front();
    return path;
}
