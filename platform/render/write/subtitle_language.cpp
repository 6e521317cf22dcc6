#include "platform/render/write/subtitle_language.h"

#include <algorithm>
#include <cctype>

namespace {

struct LanguageCodes {
    const char* twoLetter;
    const char* bibliographic;
    const char* terminological;
};

constexpr LanguageCodes kLanguages[] = {
    {"en", "eng", "eng"}, {"fr", "fre", "fra"}, {"de", "ger", "deu"}, {"it", "ita", "ita"},
    {"es", "spa", "spa"}, {"ru", "rus", "rus"}, {"zh", "chi", "zho"},
};

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

std::string ContainerLanguage(const std::string& code, const std::string& muxer) {
    // "zh_CN" and "pt-BR" name their language by the part before the region.
    const std::string language = Lower(code.substr(0, code.find_first_of("_-")));
    for (const LanguageCodes& l : kLanguages) {
        if (language == l.twoLetter || language == l.bibliographic || language == l.terminological) {
            return muxer == "mp4" ? l.terminological : l.bibliographic;
        }
    }
    const bool letters = std::all_of(language.begin(), language.end(), [](char c) { return c >= 'a' && c <= 'z'; });
    return language.size() == 3 && letters ? language : "und";
}
