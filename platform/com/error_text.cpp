#include "platform/com/error_text.h"

#include <cstdio>
#include <map>
#include <mutex>

#include "platform/com/failure_texts.h"

namespace {

// Codes of this range are ours: 0x8004A000 and up, in the facility DirectShow uses; the second
// block stands for inputs that cannot be decoded.
constexpr std::uint32_t kFirstCode = 0x8004A000u;
constexpr std::uint32_t kCodes = 0x1000;
constexpr std::uint32_t kFirstInputCode = kFirstCode + kCodes;

struct Registry {
    std::mutex mutex;
    std::map<HRESULT, std::string> texts;
    std::uint32_t next = 0, nextInput = 0;
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

HRESULT Register(std::string text, std::uint32_t first, std::uint32_t* next) {
    Registry& r = Texts();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto hr = static_cast<HRESULT>(first + *next);
    *next = (*next + 1) % kCodes;  // the oldest texts are reused after many failures
    r.texts[hr] = std::move(text);
    return hr;
}

}  // namespace

HRESULT RegisterFailure(std::string text) { return Register(std::move(text), kFirstCode, &Texts().next); }

HRESULT RegisterInputFailure(std::string text) {
    return Register(std::move(text), kFirstInputCode, &Texts().nextInput);
}

bool IsInputFailure(HRESULT hr) {
    const auto code = static_cast<std::uint32_t>(hr);
    return code >= kFirstInputCode && code < kFirstInputCode + kCodes;
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
