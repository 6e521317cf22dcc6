#include "platform/render/text/text_input.h"

#include <algorithm>
#include <cmath>

#include <glib.h>

#include "platform/render/text/text_items.h"

namespace {

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Cuts `text` to at most `limit` bytes without splitting a character.
void CutBetweenCharacters(std::string& text, std::size_t limit) {
    if (text.size() <= limit) return;
    std::size_t end = limit;
    while (end > 0 && IsContinuationByte(text[end])) --end;
    text.resize(end);
}

bool IsDroppedControl(unsigned char c) { return (c < 0x20 && c != '\n' && c != '\t') || c == 0x7F; }

}  // namespace

std::string UsableText(std::string_view text) {
    // Each bad byte may grow to the three of U+FFFD, so only a bounded prefix is looked at.
    std::string raw(text.substr(0, kMaxTextBytes));
    for (std::size_t i = 0; i + 1 < raw.size(); ++i) {
        if (raw[i] == '\r' && raw[i + 1] == '\n') raw[i] = '\x7F';
    }
    for (char& c : raw) {
        if (c == '\r') c = '\n';
    }
    std::erase_if(raw, [](char c) { return IsDroppedControl(static_cast<unsigned char>(c)); });
    gchar* valid = g_utf8_make_valid(raw.data(), static_cast<gssize>(raw.size()));
    std::string result(valid);
    g_free(valid);
    CutBetweenCharacters(result, kMaxTextBytes);
    return result;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return lines;
        start = end + 1;
    }
}

bool IsBlank(const std::string& line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
}

double UsableSize(double size, double fallback) {
    if (!std::isfinite(size)) return fallback;
    return std::clamp(size, kMinTextSize, kMaxTextSize);
}
