#pragma once
// Reads INI text the way the Windows profile reader does: sections and keys are found without
// regard to case; the value is the text after "=", with the blanks around it trimmed and one pair
// of surrounding double quotes removed, at most kIniValueMaxBytes long; lines starting with ";"
// are comments; anything missing reads as empty. Any bytes at all are accepted.

#include <string>
#include <string_view>
#include <vector>

inline constexpr std::size_t kIniValueMaxBytes = 2047;

class IniDocument {
public:
    static IniDocument Parse(std::string_view text);
    // The first key of that name in the first section of that name; empty when there is none.
    std::string Value(std::string_view section, std::string_view key) const;
    bool Has(std::string_view section, std::string_view key) const;

private:
    struct Entry {
        std::string key, value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };
    const Entry* Find(std::string_view section, std::string_view key) const;
    std::vector<Section> sections_;
};

// The bytes of a file, at most maxBytes of them; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path, std::size_t maxBytes = 16u << 20);
