#pragma once
// The program's texts in the user's language. Language files live in "<root>/language/<name>.ini"
// with sections STRING, DIALOG and MENU; every text the program shows is looked up by its numeric
// id, and the built-in English text stays wherever a file has none. Loading a file also sets the
// C library's locale for its language (numbers stay in the "C" convention) and the interface font
// kept for that language.
//
// One instance, theLanguage, for the whole run; used from the user-interface thread only. Texts
// are UTF-8 whatever the file's encoding.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class MessageBoxes;
class ProfileStore;
class QMenu;
class QWidget;

// The interface font's description, field for field as the settings keep it.
struct LogFont {
    std::int32_t lfHeight = -11;  // negative: character height in pixels
    std::int32_t lfWidth = 0;
    std::int32_t lfEscapement = 0;
    std::int32_t lfOrientation = 0;
    std::int32_t lfWeight = 400;
    std::uint8_t lfItalic = 0;
    std::uint8_t lfUnderline = 0;
    std::uint8_t lfStrikeOut = 0;
    std::uint8_t lfCharSet = 1;
    std::uint8_t lfOutPrecision = 0;
    std::uint8_t lfClipPrecision = 0;
    std::uint8_t lfQuality = 0;  // never stored
    std::uint8_t lfPitchAndFamily = 0;
    std::string lfFaceName = "Microsoft Sans Serif";  // at most 31 bytes

    friend bool operator==(const LogFont&, const LogFont&) = default;
};

enum class EncodingVariant { Plain = 0, Unicode = 1, Utf8 = 2 };

struct LocaleChoice {
    std::string abbreviation;  // lower case; empty when the name matched no locale
    int primaryLanguage = 9;
    int subLanguage = 1;
    std::string posixLocale;  // "de_DE"; empty for none
    int codePage = 1252;      // of a plain file
};

class CLanguage {
public:
    // Where messages go and where fonts are kept; neither is owned. Without them no message is
    // shown and the font keeps its defaults.
    void SetServices(MessageBoxes* boxes, ProfileStore* store);

    // 1 when at least one language file is installed (then `name` is selected), else 0.
    int Init(const std::string& root, const std::string& name);
    // The folder holding "language/English.ini": the program's parent folder, the program's own
    // folder or the installed data folder, in that order (the program's folder when none has it).
    static std::string FindLanguageRoot();
    static std::string FindLanguageRoot(const std::string& programPath, const std::string& dataFolder);
    int EnumLanguages();
    int SelectLanguage(const std::string& name);
    int LoadLanguageFile(const std::string& name);
    std::string ReadEntry(const std::string& section, const std::string& key,
                          const std::string& defaultValue) const;
    LocaleChoice LookupLocale(const std::string& name);
    static std::string ReplaceEscapes(std::string text);

    std::string GetString(std::int32_t id) const;
    std::string GetDialogString(std::int32_t id) const;
    std::string GetDialogText(std::int32_t id) const;
    std::string GetMenuText(std::int32_t id) const;

    // Give a dialog and its controls (direct children carrying control ids) their texts and the
    // interface font; 0 when no language is installed. Defined by the user-interface library.
    int TranslateDialog(QWidget* dialog, int dialogId);
    // Menu items by command id, submenus by a counter from menuId × 65536 in pre-order.
    int TranslateMenu(QMenu* menu, int menuId, bool topLevel);

    const std::string& GetCurrentLanguage() const { return currentName_; }
    int GetLanguageCount() const { return static_cast<int>(installed_.size()); }
    const std::string& GetLanguageName(int index) const {
        return installed_[static_cast<std::size_t>(index)];
    }

    // Reads the current language's font from the settings; 0 (and no font) when it is unusable.
    int LoadInterfaceFont();
    int SaveInterfaceFont(const LogFont& font);
    bool HasInterfaceFont() const { return hasFont_; }
    const LogFont& InterfaceFont() const { return font_; }
    void SetInterfaceFont(const LogFont& font);

    int primaryLanguage() const { return primaryLanguage_; }
    int subLanguage() const { return subLanguage_; }
    EncodingVariant encodingVariant() const { return variant_; }
    const std::string& filePath() const { return filePath_; }
    const std::string& root() const { return root_; }

private:
    using Table = std::vector<std::pair<std::int32_t, std::string>>;
    static std::string Find(const Table& table, std::int32_t id);
    std::string InstalledSpelling(const std::string& name) const;
    std::string FontSection() const;
    void ApplyLocale(const LocaleChoice& locale);
    void Message(const std::string& text, const std::string& caption) const;

    std::string currentName_ = "english";
    std::vector<std::string> installed_;
    Table menu_, string_, dialog_;
    std::string root_;
    int subLanguage_ = 1;
    int primaryLanguage_ = 9;
    std::string filePath_;
    EncodingVariant variant_ = EncodingVariant::Plain;
    std::string document_;  // the loaded file, as UTF-8
    LogFont font_;
    bool hasFont_ = false;
    std::uint32_t popupCounter_ = 0;
    MessageBoxes* boxes_ = nullptr;
    ProfileStore* store_ = nullptr;
};

extern CLanguage theLanguage;

// Lets AMGetErrorText word the platform's failures (failure_texts.h) in theLanguage's texts; for
// the user-interface thread, like theLanguage.
void TranslatePlatformFailures();
