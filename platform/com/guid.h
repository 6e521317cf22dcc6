#pragma once
// Class, interface and media-type identifiers in their Windows text form
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/com/hresult.h"

struct GUID {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::array<std::uint8_t, 8> data4{};

    friend bool operator==(const GUID&, const GUID&) = default;
};
using CLSID = GUID;

inline constexpr GUID GUID_NULL{};

// Parses the braced text form (case-insensitive). Anything else is E_INVALIDARG and *out is
// left unchanged.
HRESULT CLSIDFromString(std::string_view text, CLSID* out);
// Upper-case braced text form, as the catalogue writes identifiers.
std::string GuidToString(const GUID& guid);
// Builds a GUID from its text at compile-time call sites; the text must be valid.
GUID GuidFromLiteral(std::string_view text);
