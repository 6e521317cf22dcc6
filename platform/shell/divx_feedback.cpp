#include "platform/shell/divx_feedback.h"

#include <charconv>

#include "platform/shell/profile_store.h"

namespace {
constexpr const char* kFeedbackKey = "Disable feedback";
}

void DisableDivXFeedback(ProfileStore& divxStore) {
    if (!divxStore.Contains("", kFeedbackKey)) return;
    std::string text = divxStore.GetProfileString("", kFeedbackKey, "");
    if (text.empty()) return;
    int number = 0;
    auto [end, err] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (err == std::errc() && end == text.data() + text.size()) {
        // A number is a little-endian DWORD: its first byte is the low byte.
        divxStore.WriteProfileInt("", kFeedbackKey, (number & ~0xFF) | 1);
    } else {
        text[0] = '\x01';
        divxStore.WriteProfileString("", kFeedbackKey, text);
    }
}

void DisableDivXFeedback() {
    auto store = ProfileStore::ForScope("DivXNetworks", "DivX4Windows");
    DisableDivXFeedback(*store);
}
