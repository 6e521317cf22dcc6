// libFuzzer target: any bytes, in any of the encodings a language file may have, through the INI
// reader and the lookups the language code makes.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "lang/ini_reader.h"
#include "lang/text_encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte picks the encoding, the rest is the file.
    const auto encoding = static_cast<FileEncoding>(data[0] % 3);
    const int codePages[] = {0, 1252, 1251, 936, 950, 932, 949, 874};
    std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string text = DecodeToUtf8(bytes, encoding, codePages[data[0] / 3 % 8]);
    IniDocument doc = IniDocument::Parse(text);
    for (const char* section : {"STRING", "dialog", "Menu", ""}) {
        for (const char* key : {"IDS_MESSAGE_WARNING", "idc_button_ok", "", "A"}) {
            std::string value = doc.Value(section, key);
            if (value.size() > kIniValueMaxBytes) __builtin_trap();
        }
    }
    return 0;
}
