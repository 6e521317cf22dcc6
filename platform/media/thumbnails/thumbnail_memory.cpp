#include "platform/media/thumbnails/thumbnail_memory.h"

std::size_t ThumbnailMemory::BytesOf(const Order::value_type& e) {
    constexpr std::size_t kBookkeeping = 128;  // list and map nodes, the shared pointer's block
    const ThumbnailEntry& t = e.second;
    return kBookkeeping + 2 * e.first.size() + t.failure.size() + (t.picture != nullptr ? t.picture->bytes() : 0);
}

const ThumbnailEntry* ThumbnailMemory::Find(const std::string& path) {
    const auto found = where_.find(path);
    if (found == where_.end()) return nullptr;
    entries_.splice(entries_.begin(), entries_, found->second);
    return &entries_.front().second;
}

void ThumbnailMemory::Put(const std::string& path, ThumbnailEntry entry) {
    const auto found = where_.find(path);
    if (found != where_.end()) Drop(found->second);
    entries_.emplace_front(path, std::move(entry));
    where_[path] = entries_.begin();
    bytes_ += BytesOf(entries_.front());
    while (bytes_ > mostBytes_ && entries_.size() > 1) Drop(std::prev(entries_.end()));
}

void ThumbnailMemory::Clear() {
    entries_.clear();
    where_.clear();
    bytes_ = 0;
}

void ThumbnailMemory::Drop(Order::iterator it) {
    bytes_ -= BytesOf(*it);
    where_.erase(it->first);
    entries_.erase(it);
}
