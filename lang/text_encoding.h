#pragma once
// Turns the bytes of a language file into UTF-8, whatever it was written in. Bytes that do not
// belong to the encoding become U+FFFD; nothing fails.

#include <string>
#include <string_view>

enum class FileEncoding {
    CodePage,  // a Windows ANSI code page (0: none, read as UTF-8)
    Utf8,
    Utf16,     // little or big endian by its byte-order mark; little without one
};

std::string DecodeToUtf8(std::string_view bytes, FileEncoding encoding, int codePage);
// Valid UTF-8 with every malformed sequence replaced.
std::string SanitiseUtf8(std::string_view bytes);
// UTF-8 into a Windows code page (for writing shipped files); false when a character has no
// place in it.
bool EncodeFromUtf8(std::string_view utf8, int codePage, std::string* out);
