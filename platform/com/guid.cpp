#include "platform/com/guid.h"

#include <cstdio>
#include <stdexcept>

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads `digits` hex digits at text[pos]; false when any is not a hex digit.
bool ReadHex(std::string_view text, std::size_t pos, int digits, std::uint64_t* value) {
    std::uint64_t v = 0;
    for (int i = 0; i < digits; ++i) {
        int h = HexValue(text[pos + i]);
        if (h < 0) return false;
        v = (v << 4) | static_cast<std::uint64_t>(h);
    }
    *value = v;
    return true;
}

}  // namespace

HRESULT CLSIDFromString(std::string_view text, CLSID* out) {
    if (out == nullptr) return E_POINTER;
    // {8-4-4-4-12}
    if (text.size() != 38 || text.front() != '{' || text.back() != '}' || text[9] != '-' ||
        text[14] != '-' || text[19] != '-' || text[24] != '-') {
        return E_INVALIDARG;
    }
    GUID g;
    std::uint64_t v = 0;
    if (!ReadHex(text, 1, 8, &v)) return E_INVALIDARG;
    g.data1 = static_cast<std::uint32_t>(v);
    if (!ReadHex(text, 10, 4, &v)) return E_INVALIDARG;
    g.data2 = static_cast<std::uint16_t>(v);
    if (!ReadHex(text, 15, 4, &v)) return E_INVALIDARG;
    g.data3 = static_cast<std::uint16_t>(v);
    const std::size_t bytePos[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int i = 0; i < 8; ++i) {
        if (!ReadHex(text, bytePos[i], 2, &v)) return E_INVALIDARG;
        g.data4[i] = static_cast<std::uint8_t>(v);
    }
    *out = g;
    return S_OK;
}

std::string GuidToString(const GUID& g) {
    char buf[39];
    std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.data1,
                  g.data2, g.data3, g.data4[0], g.data4[1], g.data4[2], g.data4[3], g.data4[4],
                  g.data4[5], g.data4[6], g.data4[7]);
    return buf;
}

GUID GuidFromLiteral(std::string_view text) {
    GUID g;
    if (FAILED(CLSIDFromString(text, &g))) {
        throw std::invalid_argument("malformed GUID literal: " + std::string(text));
    }
    return g;
}
