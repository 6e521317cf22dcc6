#include "platform/com/failure_texts.h"

#include <cstring>
#include <mutex>

namespace {

constexpr FailureFormat kFormats[] = {kPhotoTooLargeText, kPhotoKindText, kPhotoCannotDecodeText,
                                      kPhotoCannotOpenText, kPhotoHoldsNoPictureText};

std::mutex translatorMutex;
FailureTranslator& Translator() {
    static FailureTranslator translator;
    return translator;
}

// The values that fill `format` to give `text`; false when it does not. A value ends where the
// format's next fixed part is found last, so a file name may hold the fixed words itself.
bool Matches(const std::string& format, const std::string& text, std::vector<std::string>* values) {
    std::vector<std::string> parts;
    for (std::size_t from = 0;;) {
        const std::size_t at = format.find("%s", from);
        parts.push_back(
            format.substr(from, at == std::string::npos ? std::string::npos : at - from));
        if (at == std::string::npos) break;
        from = at + 2;
    }
    if (text.compare(0, parts.front().size(), parts.front()) != 0) return false;
    std::size_t pos = parts.front().size();
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        const std::size_t at =
            last ? text.size() - std::min(text.size(), parts[i].size()) : text.rfind(parts[i]);
        if (at == std::string::npos || at < pos || text.compare(at, parts[i].size(), parts[i]) != 0)
            return false;
        values->push_back(text.substr(pos, at - pos));
        pos = at + parts[i].size();
    }
    return pos == text.size();
}

}  // namespace

std::string FilledText(const char* format, const std::vector<std::string>& values) {
    std::string text = format;
    std::size_t from = 0;
    for (const std::string& value : values) {
        const std::size_t at = text.find("%s", from);
        if (at == std::string::npos) break;
        text.replace(at, 2, value);
        from = at + value.size();
    }
    return text;
}

void SetFailureTranslator(FailureTranslator translator) {
    std::lock_guard<std::mutex> lock(translatorMutex);
    Translator() = std::move(translator);
}

std::string TranslatedFailure(const std::string& text) {
    FailureTranslator translator;
    {
        std::lock_guard<std::mutex> lock(translatorMutex);
        translator = Translator();
    }
    if (!translator) return text;
    for (const FailureFormat& f : kFormats) {
        std::vector<std::string> values;
        if (!Matches(f.english, text, &values)) continue;
        const std::string translated = translator(f.stringId);
        return translated.empty() ? text : FilledText(translated.c_str(), values);
    }
    return text;
}
