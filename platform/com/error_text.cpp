#include "platform/com/error_text.h"

#include <cstdio>
#include <map>
#include <mutex>

#include "platform/com/failure_texts.h"

namespace {

// Codes of this range are ours: 0x8004A000 and up, in the facility DirectShow uses.
constexpr std::uint32_t kFirstCode = 0x8004A000u;
constexpr std::uint32_t kCodes = 0x1000;

struct Registry {
    std::mutex mutex;
    std::map<HRESULT, std::string> texts;
    std::uint32_t next = 0;
};

Registry& Texts() {
    static Registry registry;
    return registry;
}

const char* StandardText(HRESULT hr) {
    switch (hr) {
        case S_OK: return "No error.";
        case E_FAIL: return "Unspecified error.";
        case E_OUTOFMEMORY: return "Not enough memory is available to complete this operation.";
        case E_INVALIDARG: return "An invalid parameter was passed to the function.";
        case E_POINTER: return "An invalid pointer was passed to the function.";
        case E_NOINTERFACE: return "The object does not support the requested interface.";
        case E_NOTIMPL: return "The function is not implemented.";
        case E_ABORT: return "The operation was aborted.";
        case E_UNEXPECTED: return "An unexpected error occurred.";
        case REGDB_E_CLASSNOTREG: return "The class is not registered.";
        default: return nullptr;
    }
}

}  // namespace

HRESULT RegisterFailure(std::string text) {
    Registry& r = Texts();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto hr = static_cast<HRESULT>(kFirstCode + r.next);
    r.next = (r.next + 1) % kCodes;  // the oldest texts are reused after many failures
    r.texts[hr] = std::move(text);
    return hr;
}

std::string AMGetErrorText(HRESULT hr, std::size_t maxChars) {
    std::string text;
    {
        Registry& r = Texts();
        std::lock_guard<std::mutex> lock(r.mutex);
        auto it = r.texts.find(hr);
        if (it != r.texts.end()) text = it->second;
    }
    text = TranslatedFailure(text);
    if (text.empty()) {
        const char* standard = StandardText(hr);
        char buf[64];
        std::snprintf(buf, sizeof buf, "Unknown error 0x%08x.", static_cast<unsigned>(hr));
        text = standard != nullptr ? standard : buf;
    }
    if (maxChars > 0 && text.size() > maxChars) text.resize(maxChars);
    return text;
}
