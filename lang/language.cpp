#include "lang/language.h"

#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <strings.h>

#include "app/settings_table.h"
#include "lang/ini_reader.h"
#include "lang/language_tables.h"
#include "lang/text_encoding.h"
#include "platform/com/failure_texts.h"
#include "platform/shell/file_probe.h"
#include "platform/shell/message_boxes.h"
#include "platform/shell/profile_store.h"

CLanguage theLanguage;

namespace fs = std::filesystem;

namespace {

std::string Lowered(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool EndsWithNoCase(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() &&
           strcasecmp(s.c_str() + s.size() - suffix.size(), suffix.c_str()) == 0;
}

std::string ParentFolder(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return path;
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool HasEnglishFile(const std::string& folder) {
    return FileCanBeOpenedForReading(folder + "/language/English.ini");
}

std::string ProgramPath() {
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : self.string();
}

}  // namespace

void CLanguage::SetServices(MessageBoxes* boxes, ProfileStore* store) {
    boxes_ = boxes;
    store_ = store;
}

void CLanguage::Message(const std::string& text, const std::string& caption) const {
    if (boxes_ != nullptr) {
        boxes_->Show({MessageOwner::None, text, caption, MessageButtons::Ok, MessageIcon::None});
    }
}

int CLanguage::Init(const std::string& root, const std::string& name) {
    // Numbers are English whatever the language, also when no language file is found.
    std::setlocale(LC_NUMERIC, "C");
    root_ = root;
    installed_.clear();
    EnumLanguages();
    if (installed_.empty()) return 0;
    SelectLanguage(name);
    return 1;
}

std::string CLanguage::FindLanguageRoot() {
#ifdef KAVREL_DATA_FOLDER
    return FindLanguageRoot(ProgramPath(), KAVREL_DATA_FOLDER);
#else
    return FindLanguageRoot(ProgramPath(), "");
#endif
}

std::string CLanguage::FindLanguageRoot(const std::string& programPath,
                                        const std::string& dataFolder) {
    std::string programFolder = ParentFolder(programPath);
    std::string parent = ParentFolder(programFolder);
    if (HasEnglishFile(parent)) return parent;
    if (HasEnglishFile(programFolder)) return programFolder;
    // An installed copy keeps its files in <prefix>/share/kavrel, beside <prefix>/bin.
    std::string besideBin = parent + "/share/kavrel";
    if (HasEnglishFile(besideBin)) return besideBin;
    if (!dataFolder.empty() && HasEnglishFile(dataFolder)) return dataFolder;
    return programFolder;
}

int CLanguage::EnumLanguages() {
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(root_ + "/language", ec)) {
        std::string file = e.path().filename().string();
        if (EndsWithNoCase(file, ".ini") && file.size() > 4 && e.is_regular_file(ec)) {
            installed_.push_back(file.substr(0, file.size() - 4));
        }
    }
    std::sort(installed_.begin(), installed_.end());
    return installed_.empty() ? 0 : 1;
}

int CLanguage::SelectLanguage(const std::string& name) {
    menu_.clear();
    string_.clear();
    dialog_.clear();
    currentName_ = "english";
    for (const std::string& installed : installed_) {
        if (strcasecmp(installed.c_str(), name.c_str()) == 0) {
            currentName_ = name;
            break;
        }
    }
    LoadLanguageFile(name == currentName_ ? name : std::string("english"));
    return 1;
}

// The file of an installed language as it is spelled on disk, so that "GERMAN" finds German.ini
// on a file system that tells case apart.
std::string CLanguage::InstalledSpelling(const std::string& name) const {
    for (const std::string& installed : installed_) {
        if (installed == name) return installed;
    }
    for (const std::string& installed : installed_) {
        if (strcasecmp(installed.c_str(), name.c_str()) == 0) return installed;
    }
    return name;
}

int CLanguage::LoadLanguageFile(const std::string& name) {
    if (installed_.empty()) return 0;
    std::string lower = Lowered(name);
    variant_ = lower.find("_utf-8") != std::string::npos      ? EncodingVariant::Utf8
               : lower.find("_unicode") != std::string::npos ? EncodingVariant::Unicode
                                                             : EncodingVariant::Plain;
    LocaleChoice locale = LookupLocale(name);
    filePath_ = root_ + "/language/" + InstalledSpelling(name) + ".ini";
    FileEncoding encoding = variant_ == EncodingVariant::Utf8      ? FileEncoding::Utf8
                            : variant_ == EncodingVariant::Unicode ? FileEncoding::Utf16
                                                                   : FileEncoding::CodePage;
    document_ = DecodeToUtf8(ReadFileBytes(filePath_), encoding, locale.codePage);
    IniDocument doc = IniDocument::Parse(document_);
    for (const IdentifierRow& row : IdentifierTable()) {
        LanguageSection section = SectionOfKey(row.key);
        std::string text = ReplaceEscapes(doc.Value(SectionName(section), row.key));
        Table& table = section == LanguageSection::Menu     ? menu_
                       : section == LanguageSection::String ? string_
                                                            : dialog_;
        table.emplace_back(row.id, std::move(text));
    }
    ApplyLocale(locale);
    LoadInterfaceFont();
    return 1;
}

void CLanguage::ApplyLocale(const LocaleChoice& locale) {
    if (locale.abbreviation.empty()) {
        std::setlocale(LC_ALL, "");
    } else if (!locale.posixLocale.empty()) {
        // Only where the machine has the locale; otherwise the current one stays.
        std::setlocale(LC_ALL, (locale.posixLocale + ".UTF-8").c_str());
    }
    std::setlocale(LC_NUMERIC, "C");
}

std::string CLanguage::ReadEntry(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
    IniDocument doc = IniDocument::Parse(document_);
    return doc.Has(section, key) ? doc.Value(section, key) : defaultValue;
}

LocaleChoice CLanguage::LookupLocale(const std::string& name) {
    std::string lower = Lowered(name);
    auto cut = [&](std::size_t n) { lower = lower.size() > n ? lower.substr(0, lower.size() - n) : ""; };
    if (variant_ == EncodingVariant::Utf8) cut(6);
    if (variant_ == EncodingVariant::Unicode) cut(8);
    LocaleChoice choice;
    if (lower == "english") {
        choice.abbreviation = "english";
        choice.primaryLanguage = primaryLanguage_ = 9;
        choice.subLanguage = subLanguage_ = 1;
        choice.posixLocale = "en_US";
        return choice;
    }
    for (const LocaleRow& row : LocaleTable()) {
        std::string abbr = Lowered(std::string(row.abbreviation));
        if (lower == Lowered(std::string(row.longName)) || lower == abbr) {
            choice.abbreviation = abbr;
            choice.primaryLanguage = primaryLanguage_ = row.langId & 0x3FF;
            choice.subLanguage = subLanguage_ = row.langId >> 10;
            choice.posixLocale = std::string(row.posixLocale);
            choice.codePage = row.codePage;
            return choice;
        }
    }
    Message("Your language file name may be not proper,\n please read the help file!", lower);
    choice.primaryLanguage = primaryLanguage_;
    choice.subLanguage = subLanguage_;
    return choice;
}

std::string CLanguage::ReplaceEscapes(std::string text) {
    for (auto [escape, replacement] : {std::pair{"\\t", '\t'}, {"\\n", '\n'}, {"\\r", '\r'}}) {
        for (std::size_t at = text.find(escape); at != std::string::npos; at = text.find(escape, at)) {
            text.replace(at, 2, 1, replacement);
        }
    }
    return text;
}

std::string CLanguage::Find(const Table& table, std::int32_t id) {
    for (const auto& [key, text] : table) {
        if (key == id) return text;
    }
    return {};
}

std::string CLanguage::GetString(std::int32_t id) const {
    std::string text = Find(string_, id);
    return text.empty() ? std::string(BuiltinString(id)) : text;
}

std::string CLanguage::GetDialogString(std::int32_t id) const {
    std::string text = Find(dialog_, id);
    return text.empty() ? std::string(BuiltinString(id)) : text;
}

std::string CLanguage::GetDialogText(std::int32_t id) const { return Find(dialog_, id); }

std::string CLanguage::GetMenuText(std::int32_t id) const { return Find(menu_, id); }

namespace {

// A description the platform could not draw with.
bool UsableFont(const LogFont& f) {
    return std::abs(f.lfHeight) <= 4096 && std::abs(f.lfWidth) <= 4096 && f.lfWeight >= 0 &&
           f.lfWeight <= 1000;
}

std::string LimitFaceName(std::string face) {
    if (face.size() <= 31) return face;
    std::size_t n = 31;
    while (n > 0 && (static_cast<unsigned char>(face[n]) & 0xC0) == 0x80) --n;
    return face.substr(0, n);
}

}  // namespace

int CLanguage::LoadInterfaceFont() {
    LogFont f;
    if (store_ != nullptr) {
        const auto& keys = settings::kInterfaceFont;
        const std::string section = FontSection();
        auto get = [&](int i) {
            return store_->GetProfileInt(section, std::string(keys[i].key), keys[i].intDefault);
        };
        auto byte = [&](int i) { return static_cast<std::uint8_t>(get(i) & 0xFF); };
        f.lfHeight = get(0);
        f.lfWidth = get(1);
        f.lfEscapement = get(2);
        f.lfOrientation = get(3);
        f.lfWeight = get(4);
        f.lfItalic = byte(5);
        f.lfUnderline = byte(6);
        f.lfStrikeOut = byte(7);
        f.lfCharSet = byte(8);
        f.lfOutPrecision = byte(9);
        f.lfClipPrecision = byte(10);
        f.lfPitchAndFamily = byte(11);
        f.lfFaceName = LimitFaceName(
            store_->GetProfileString(section, std::string(keys[12].key), std::string(keys[12].textDefault)));
    }
    f.lfQuality = 0;
    hasFont_ = false;
    if (!UsableFont(f)) {
        Message("Failed to create font", "Error");
        return 0;
    }
    font_ = f;
    hasFont_ = true;
    return 1;
}

// The language's font section as the file spells it, found whatever the case of the language's
// name (a font stored under "english" is English's).
std::string CLanguage::FontSection() const {
    return store_->ExistingSection(currentName_).value_or(currentName_);
}

int CLanguage::SaveInterfaceFont(const LogFont& f) {
    if (store_ == nullptr) return 1;
    const auto& keys = settings::kInterfaceFont;
    const int values[12] = {f.lfHeight,      f.lfWidth,       f.lfEscapement,   f.lfOrientation,
                            f.lfWeight,      f.lfItalic,      f.lfUnderline,    f.lfStrikeOut,
                            f.lfCharSet,     f.lfOutPrecision, f.lfClipPrecision, f.lfPitchAndFamily};
    const std::string section = FontSection();
    for (int i = 0; i < 12; ++i) store_->WriteProfileInt(section, std::string(keys[i].key), values[i]);
    store_->WriteProfileString(section, std::string(keys[12].key), LimitFaceName(f.lfFaceName));
    return 1;
}

void CLanguage::SetInterfaceFont(const LogFont& font) {
    font_ = font;
    font_.lfFaceName = LimitFaceName(font_.lfFaceName);
    font_.lfQuality = 0;
    hasFont_ = UsableFont(font_);
}

void TranslatePlatformFailures() {
    SetFailureTranslator([](int id) { return theLanguage.GetString(id); });
}
