#include "lang/ini_reader.h"

#include <fstream>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

// Cuts to at most `max` bytes without splitting a UTF-8 sequence.
std::string_view Limit(std::string_view s, std::size_t max) {
    if (s.size() <= max) return s;
    std::size_t n = max;
    while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
    return s.substr(0, n);
}

std::string_view CleanValue(std::string_view v) {
    v = Trim(v);
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    return Limit(v, kIniValueMaxBytes);
}

}  // namespace

IniDocument IniDocument::Parse(std::string_view text) {
    IniDocument doc;
    Section* current = nullptr;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        // A NUL byte ends the line, as it ends a narrow string.
        if (std::size_t nul = line.find('\0'); nul != std::string_view::npos) line = line.substr(0, nul);
        line = Trim(line);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            std::size_t close = line.find(']');
            std::string_view name = line.substr(1, close == std::string_view::npos ? line.npos : close - 1);
            doc.sections_.push_back({std::string(Trim(name)), {}});
            current = &doc.sections_.back();
            continue;
        }
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos || current == nullptr) continue;
        current->entries.push_back(
            {std::string(Trim(line.substr(0, eq))), std::string(CleanValue(line.substr(eq + 1)))});
    }
    return doc;
}

const IniDocument::Entry* IniDocument::Find(std::string_view section, std::string_view key) const {
    for (const Section& s : sections_) {
        if (!SameName(s.name, section)) continue;
        for (const Entry& e : s.entries) {
            if (SameName(e.key, key)) return &e;
        }
        return nullptr;  // only the first section of a name is read
    }
    return nullptr;
}

std::string IniDocument::Value(std::string_view section, std::string_view key) const {
    const Entry* e = Find(section, key);
    return e ? e->value : std::string();
}

bool IniDocument::Has(std::string_view section, std::string_view key) const {
    return Find(section, key) != nullptr;
}

std::string ReadFileBytes(const std::string& path, std::size_t maxBytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::string bytes;
    char buf[65536];
    while (bytes.size() < maxBytes && in.read(buf, sizeof buf), in.gcount() > 0) {
        bytes.append(buf, static_cast<std::size_t>(in.gcount()));
    }
    if (bytes.size() > maxBytes) bytes.resize(maxBytes);
    return bytes;
}
