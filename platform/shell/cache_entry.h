#pragma once
// What the caches of measured files (songs' analyses, photos' faces) share: the key that tags an
// entry with the file it was measured from (its path, size and modification time), and the plain
// text an entry is written in: a heading, the key, "NAME VALUE" lines with numbers in their
// shortest exact form, and "end", which a file cut short lacks.

#include <charconv>
#include <istream>
#include <string>
#include <string_view>

struct FileKey {
    std::string path;
    long long size = 0;
    long long mtimeNs = 0;
    bool operator==(const FileKey&) const = default;
};

// The key of the file at `path` as it is now; false when it is no file that can be looked at.
bool CurrentFileKey(const std::string& path, FileKey* key);

// The file in `folder` that keeps the entry for `path`: named by the MD5 of the path.
std::string EntryFile(const std::string& folder, const std::string& path);
// What `file` holds; empty when it cannot be read.
std::string ReadEntryFile(const std::string& file);
// Writes `text` as `file`, whole or not at all, making its folder; a failure only costs the cache.
void WriteEntryFile(const std::string& file, const std::string& text);

// An entry's first lines: `heading`, then the key.
std::string EntryHead(const char* heading, const FileKey& key);
// Reads an entry's first lines; false unless they are `heading` and `key`.
bool ReadEntryHead(std::istream& in, const char* heading, const FileKey& key);
// The line that ends a whole entry.
inline constexpr const char* kEntryEnd = "end";
// Reads the last line; false unless it is the end and nothing follows.
bool ReadEntryEnd(std::istream& in);

std::string ExactNumber(double value);

template <typename T>
bool ParseNumber(std::string_view text, T* value) {
    const auto [end, fault] = std::from_chars(text.data(), text.data() + text.size(), *value);
    return fault == std::errc() && end == text.data() + text.size();
}

// Reads "NAME VALUE" from the next line into *value.
bool Field(std::istream& in, const std::string& name, std::string* value);

template <typename T>
bool NumberField(std::istream& in, const std::string& name, T* value) {
    std::string text;
    return Field(in, name, &text) && ParseNumber(text, value);
}
