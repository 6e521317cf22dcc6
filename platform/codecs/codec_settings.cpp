#include "platform/codecs/codec_settings.h"

#include <sstream>

#include "platform/shell/profile_store.h"

namespace {

constexpr const char* kSection = "CodecSettings";

ProfileStore*& Store() {
    static ProfileStore* store = nullptr;
    return store;
}

// One "name=value" line per setting.
std::string Serialise(const CodecOptions& options) {
    std::string text;
    for (const auto& [name, value] : options) text += name + "=" + value + "\n";
    return text;
}

CodecOptions Parse(const std::string& text) {
    CodecOptions options;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos && eq > 0) options[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return options;
}

}  // namespace

void SetCodecSettingsStore(ProfileStore* store) { Store() = store; }

CodecOptions KeptCodecSettings(const std::string& encoder, CodecOptions start) {
    if (Store() == nullptr || !Store()->Contains(kSection, encoder)) return start;
    return Parse(Store()->GetProfileString(kSection, encoder, ""));
}

void KeepCodecSettings(const std::string& encoder, const CodecOptions& options) {
    if (Store() != nullptr) Store()->WriteProfileString(kSection, encoder, Serialise(options));
}
