#pragma once
// The fixed tables of the language files: which symbolic names a file may hold and what numeric
// id each stands for, the program's built-in English strings, and the locales a file's name can
// pick.

#include <cstdint>
#include <string_view>
#include <vector>

enum class LanguageSection { Menu, String, Dialog };

struct IdentifierRow {
    std::string_view key;  // "IDS_MESSAGE_WARNING"
    std::int32_t id;
    std::string_view builtinText;  // the English text the program shows without a file
};

// In table order; a key may appear for several ids.
const std::vector<IdentifierRow>& IdentifierTable();
// "IDS" → STRING, "IDM"/"IDR" → MENU, "IDD"/"IDC" → DIALOG, by the key's first three letters.
LanguageSection SectionOfKey(std::string_view key);
const char* SectionName(LanguageSection section);

// The built-in string table (ids 101 to 151); empty for an id it does not have.
std::string_view BuiltinString(std::int32_t id);

struct LocaleRow {
    std::string_view longName;      // "German_Germany"
    std::string_view abbreviation;  // "DEU"
    std::uint16_t langId;           // primary language in the low 10 bits, sub language above
    std::string_view posixLocale;   // "de_DE"
    int codePage;                   // of a plain-text file in this language; 0: none (UTF-8)
};

const std::vector<LocaleRow>& LocaleTable();
