#pragma once
// The thumbnails made, kept in memory up to a number of bytes; the least recently used go first.
// A photo that could not be read is kept with the reason.
//
// Not thread-safe: its owner locks it.

#include <cstddef>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>

#include "platform/media/thumbnails/thumbnail_picture.h"

struct ThumbnailEntry {
    std::shared_ptr<const ThumbnailPicture> picture;  // null when the photo could not be read
    std::string failure;                              // why, in English
};

class ThumbnailMemory {
public:
    explicit ThumbnailMemory(std::size_t mostBytes) : mostBytes_(mostBytes) {}

    // The entry of the path, now the most recently used; null when none.
    const ThumbnailEntry* Find(const std::string& path);
    void Put(const std::string& path, ThumbnailEntry entry);
    void Clear();
    std::size_t bytes() const { return bytes_; }
    std::size_t size() const { return entries_.size(); }

private:
    using Order = std::list<std::pair<std::string, ThumbnailEntry>>;
    static std::size_t BytesOf(const Order::value_type& e);
    void Drop(Order::iterator it);

    std::size_t mostBytes_;
    std::size_t bytes_ = 0;
    Order entries_;  // most recently used first
    std::unordered_map<std::string, Order::iterator> where_;
};
