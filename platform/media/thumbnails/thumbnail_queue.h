#pragma once
// The photos waiting for their thumbnails, in the order they are to be made: those asked for
// first (the rows in view) ahead of those only wanted.
//
// Not thread-safe: its owner locks it.

#include <list>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class ThumbnailQueue {
public:
    // Puts the paths at the front in this order; a path already waiting moves there.
    void Prioritise(const std::vector<std::string>& paths);
    // Adds the paths not yet waiting at the back.
    void Append(const std::vector<std::string>& paths);
    void Remove(const std::string& path);
    void Clear();
    std::optional<std::string> TakeFront();
    bool empty() const { return order_.empty(); }
    std::size_t size() const { return order_.size(); }

private:
    std::list<std::string> order_;
    std::unordered_map<std::string, std::list<std::string>::iterator> where_;
};
