#include "lang/language.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "app/list_rows.h"
#include "controls/data_exchange.h"
#include "lang/ini_reader.h"
#include "lang/language_tables.h"
#include "lang/text_encoding.h"
#include "platform/com/error_text.h"
#include "platform/com/failure_texts.h"
#include "platform/shell/profile_store.h"
#include "tests/support/recording_message_boxes.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

// A language root with the given files (name → contents) in its "language" folder.
using Files = std::vector<std::pair<std::string, std::string>>;

struct LanguageRoot {
    TempDir dir;
    explicit LanguageRoot(const Files& files) {
        fs::create_directory(dir.path() / "language");
        for (auto& [name, text] : files) dir.Write("language/" + name, text);
    }
    std::string path() const { return dir.path().string(); }
};

struct Loaded {
    CLanguage language;
    RecordingMessageBoxes boxes;
    TempDir settingsDir;
    ProfileStore store{settingsDir.File("kavrel.ini")};
    Loaded() { language.SetServices(&boxes, &store); }
};

std::string ShippedFolder() { return KAVREL_SOURCE_DIR "/language"; }

// Sets LC_NUMERIC to a German locale made for the test (its decimal mark is a comma), as a user's
// LANG=de_DE.UTF-8 has it when the program starts; false when none could be made.
bool UseGermanNumbers() {
    static TempDir* folder = new TempDir;  // for the whole run: glibc reads it when asked
    static const bool made = [] {
        const std::string target = folder->File("de_DE.UTF-8");
        std::system(("localedef -c -i de_DE -f UTF-8 '" + target + "' >/dev/null 2>&1").c_str());
        return fs::exists(target);
    }();
    if (!made) return false;
    setenv("LOCPATH", folder->path().c_str(), 1);
    return std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
}

}  // namespace

TEST(Language, InstalledLanguagesAreListedInByteOrder) {
    LanguageRoot root(Files{{"French.ini", ""}, {"German_utf-8.ini", ""}, {"English.ini", ""},
                       {"notes.txt", ""}, {"Upper.INI", ""}});
    Loaded l;
    ASSERT_EQ(l.language.Init(root.path(), "english"), 1);
    std::vector<std::string> names;
    for (int i = 0; i < l.language.GetLanguageCount(); ++i) names.push_back(l.language.GetLanguageName(i));
    EXPECT_EQ(names, (std::vector<std::string>{"English", "French", "German_utf-8", "Upper"}));
    EXPECT_EQ(l.language.GetCurrentLanguage(), "english");
    EXPECT_EQ(l.language.filePath(), root.path() + "/language/English.ini");
}

TEST(Language, NoLanguageFolderMeansBuiltInEnglish) {
    TempDir empty;
    Loaded l;
    EXPECT_EQ(l.language.Init(empty.path().string(), "German"), 0);
    EXPECT_EQ(l.language.GetString(108), "Warning");
    EXPECT_EQ(l.language.GetString(101), "&About");
    EXPECT_EQ(l.language.GetDialogString(124), "Stop");
    EXPECT_EQ(l.language.GetDialogString(141), "Preview");
    EXPECT_EQ(l.language.GetDialogText(1000), "");
    EXPECT_EQ(l.language.GetString(9999), "");
    EXPECT_FALSE(l.language.HasInterfaceFont());
    EXPECT_TRUE(l.boxes.shown.empty());
}

TEST(Language, StoredNameIsMatchedWithoutRegardToCase) {
    LanguageRoot root(Files{{"English.ini", ""},
                       {"German.ini", "[STRING]\nIDS_MESSAGE_WARNING=Warnung\n"}});
    Loaded l;
    l.language.Init(root.path(), "GERMAN");
    EXPECT_EQ(l.language.GetCurrentLanguage(), "GERMAN");
    EXPECT_EQ(l.language.GetString(108), "Warnung");
    EXPECT_EQ(l.language.primaryLanguage(), 0x07);
    EXPECT_EQ(l.language.subLanguage(), 0);

    l.language.SelectLanguage("Klingon");  // not installed: English
    EXPECT_EQ(l.language.GetCurrentLanguage(), "english");
    EXPECT_EQ(l.language.GetString(108), "Warning");
}

TEST(Language, NamesMapToTheirLocaleRow) {
    LanguageRoot root(Files{{"English.ini", ""}, {"german.ini", ""}, {"deu.ini", ""},
                       {"German_utf-8.ini", ""}, {"Chinese_Traditional_unicode.ini", ""}});
    Loaded l;
    l.language.Init(root.path(), "english");
    for (const char* name : {"german", "deu", "German_utf-8"}) {
        l.language.SelectLanguage(name);
        EXPECT_EQ(l.language.primaryLanguage(), 0x07) << name;
        EXPECT_EQ(l.language.subLanguage(), 0) << name;
        EXPECT_EQ(l.language.LookupLocale(name).abbreviation, "deu") << name;
    }
    l.language.SelectLanguage("German_utf-8");
    EXPECT_EQ(l.language.encodingVariant(), EncodingVariant::Utf8);
    l.language.SelectLanguage("Chinese_Traditional_unicode");
    EXPECT_EQ(l.language.encodingVariant(), EncodingVariant::Unicode);
    EXPECT_EQ(l.language.primaryLanguage(), 0x04);
    EXPECT_EQ(l.language.subLanguage(), 0x1F);  // 0x7C04
    EXPECT_TRUE(l.boxes.shown.empty());
}

TEST(Language, UnknownNameIsReportedAndStillLoaded) {
    LanguageRoot root(Files{{"English.ini", ""}, {"Xyz_utf-8.ini", "[DIALOG]\nIDC_BUTTON_EXIT=Quit it\n"}});
    Loaded l;
    l.language.Init(root.path(), "english");
    l.language.SelectLanguage("German");  // a known row: nothing shown
    l.language.SelectLanguage("Xyz_utf-8");
    ASSERT_EQ(l.boxes.shown.size(), 1u);
    EXPECT_EQ(l.boxes.shown[0].text, "Your language file name may be not proper,\n please read the help file!");
    EXPECT_EQ(l.boxes.shown[0].caption, "xyz");
    EXPECT_EQ(l.boxes.shown[0].owner, MessageOwner::None);
    EXPECT_EQ(l.language.GetDialogText(1054), "Quit it");
    EXPECT_EQ(l.language.primaryLanguage(), 9);  // the previous values stay
}

TEST(Language, EscapesAndSharedKeys) {
    LanguageRoot root(Files{{"English.ini",
                        "[STRING]\nIDS_MESSAGE_WARNING=two\\nlines\nIDS_MESSAGE_ERROR=back\\\\nslash\n"
                        "IDS_MESSAGE_SELECT_ITEM=tab\\there\\r\n"
                        "[DIALOG]\nIDC_BUTTON_OPTIONS_OK=Fine\nIDC_STATIC_OUTPUT_FORMAT=Container:\n"
                        "IDC_BUTTON_STOP=Halt\n[MENU]\nIDM_SELECT_LANGUAGE=Tongue\nIDM_ABOUT=Info\n"}});
    Loaded l;
    l.language.Init(root.path(), "english");
    EXPECT_EQ(l.language.GetString(108), "two\nlines");
    EXPECT_EQ(l.language.GetString(105), "back\\\nslash");
    EXPECT_EQ(l.language.GetString(149), "tab\there\r");
    for (int id : {1074, 1076, 1082}) EXPECT_EQ(l.language.GetDialogText(id), "Fine");
    EXPECT_EQ(l.language.GetDialogText(1029), "Container:");
    EXPECT_EQ(l.language.GetDialogString(124), "Halt");
    EXPECT_EQ(l.language.GetDialogString(125), "Convert");  // empty in the file: built-in
    EXPECT_EQ(l.language.GetMenuText(10485760), "Tongue");
    EXPECT_EQ(l.language.GetMenuText(32777), "Info");
    EXPECT_EQ(l.language.ReadEntry("STRING", "IDS_MESSAGE_WARNING", "x"), "two\\nlines");
    EXPECT_EQ(l.language.ReadEntry("STRING", "IDS_NOT_THERE", "fallback"), "fallback");
    EXPECT_EQ(CLanguage::ReplaceEscapes("a\\tb\\nc\\rd"), "a\tb\nc\rd");
}

TEST(Language, NumbersKeepTheirFullStop) {
    LanguageRoot root(Files{{"English.ini", ""}, {"German.ini", ""}, {"Russian.ini", ""}});
    Loaded l;
    l.language.Init(root.path(), "German");
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f", 2.5);
    EXPECT_STREQ(buf, "2.500");
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    l.language.SelectLanguage("Russian");
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
}

TEST(Language, NumbersAreEnglishUnderAnyLocaleEvenWithoutLanguageFiles) {
    ASSERT_TRUE(UseGermanNumbers()) << "localedef and Debian's locales package make the test's locale";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f", 8.0);
    ASSERT_STREQ(buf, "8,000");  // the locale the program starts with
    TempDir empty;
    Loaded l;
    l.language.Init(empty.path().string(), "German");
    EXPECT_EQ(PhotoRowTexts({"a.jpg", 8, 0, 2.5})[1], "8.000");
    EXPECT_EQ(PhotoRowTexts({"a.jpg", 8, 0, 2.5})[3], "2.500");
    EXPECT_EQ(ReadLeadingNumber("2.5"), 2.5);
    std::setlocale(LC_NUMERIC, "C");
    unsetenv("LOCPATH");
}

TEST(Language, FindsItsRootInTheBuildTreeAnInstallAndACopy) {
    TempDir t;
    auto make = [&](const std::string& folder) {
        fs::create_directories(t.path() / folder / "language");
        t.Write(folder + "/language/English.ini", "");
    };
    fs::create_directories(t.path() / "tree/build");
    make("tree");
    EXPECT_EQ(CLanguage::FindLanguageRoot(t.File("tree/build/kavrel"), ""), t.File("tree"));
    fs::create_directories(t.path() / "prefix/bin");
    make("prefix/share/kavrel");
    EXPECT_EQ(CLanguage::FindLanguageRoot(t.File("prefix/bin/kavrel"), ""), t.File("prefix/share/kavrel"));
    make("copy");
    EXPECT_EQ(CLanguage::FindLanguageRoot(t.File("copy/kavrel"), ""), t.File("copy"));
    fs::create_directories(t.path() / "bare");
    make("data");
    EXPECT_EQ(CLanguage::FindLanguageRoot(t.File("bare/kavrel"), t.File("data")), t.File("data"));
    EXPECT_EQ(CLanguage::FindLanguageRoot(t.File("bare/kavrel"), ""), t.File("bare"));
}

// A UTF-16 file with its byte-order mark is read as UTF-16 whatever its name says.
TEST(Language, AUtf16MarkIsHonouredWhateverTheName) {
    const std::u16string text = u"\uFEFF[STRING]\r\nIDS_MESSAGE_WARNING=Предупреждение\r\n";
    std::string bytes;
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    LanguageRoot root(Files{{"English.ini", ""}, {"Russian.ini", bytes}});
    Loaded l;
    l.language.Init(root.path(), "Russian");
    EXPECT_EQ(l.language.GetString(108), "Предупреждение");
}

TEST(LocaleTable, RowsAndTheirIds) {
    const auto& rows = LocaleTable();
    ASSERT_EQ(rows.size(), 273u);
    std::map<std::string, std::uint16_t> ids;
    for (const LocaleRow& r : rows) {
        ids[std::string(r.longName)] = r.langId;
        EXPECT_EQ(r.abbreviation.size(), 3u) << r.longName;
        if (r.longName.find('_') == std::string_view::npos && r.longName != "Serbian") {
            EXPECT_EQ(r.langId >> 10, 0) << r.longName;  // a bare language has no sub language
        }
    }
    EXPECT_EQ(ids["English"], 0x0009);
    EXPECT_EQ(ids["English_United_States"], 0x0409);
    EXPECT_EQ(ids["German"], 0x0007);
    EXPECT_EQ(ids["German_Germany"], 0x0407);
    EXPECT_EQ(ids["Chinese_Simplified"], 0x0004);
    EXPECT_EQ(ids["Chinese_Peoples_Republic_of_China"], 0x0804);
    EXPECT_EQ(ids["Japanese"], 0x0011);
    EXPECT_EQ(ids["Russian"], 0x0019);
    EXPECT_EQ(ids["Spanish_Spain"], 0x0C0A);
    EXPECT_EQ(ids["Serbian"], 0x7C1A);
    EXPECT_EQ(ids["Chinese_Traditional"], 0x7C04);
    EXPECT_TRUE(ids.count("English_United_Kingdom)"));
    EXPECT_TRUE(ids.count("Spanish_United States"));
    EXPECT_EQ(rows.front().longName, "Afrikaans");
    EXPECT_EQ(rows.back().longName, "Yoruba_Nigeria");
}

TEST(InterfaceFont, DefaultsAndOneDescriptionPerLanguage) {
    LanguageRoot root(Files{{"English.ini", ""}, {"German.ini", ""}, {"French.ini", ""}});
    Loaded l;
    l.language.Init(root.path(), "english");
    ASSERT_TRUE(l.language.HasInterfaceFont());
    const LogFont& f = l.language.InterfaceFont();
    EXPECT_EQ(f.lfHeight, -11);
    EXPECT_EQ(f.lfWeight, 400);
    EXPECT_EQ(f.lfCharSet, 1);
    EXPECT_EQ(f.lfFaceName, "Microsoft Sans Serif");

    l.language.SelectLanguage("German");
    LogFont bold = f;
    bold.lfHeight = -16;
    bold.lfWeight = 700;
    bold.lfItalic = 1;
    bold.lfCharSet = 204;
    bold.lfFaceName = "A face name that is far longer than thirty-one bytes";
    l.language.SaveInterfaceFont(bold);
    l.language.SelectLanguage("French");
    EXPECT_EQ(l.language.InterfaceFont(), LogFont());
    l.language.SelectLanguage("German");
    LogFont expected = bold;
    expected.lfFaceName = expected.lfFaceName.substr(0, 31);
    EXPECT_EQ(l.language.InterfaceFont(), expected);
    EXPECT_EQ(l.store.GetProfileInt("German", "lfCharSet", 0), 204);
    EXPECT_EQ(l.store.GetProfileInt("French", "lfWeight", 0), 0);  // nothing written for French
}

// Sections of the settings file are found whatever the case of the language's name, as a font
// stored under "english" is still English's once the menu names it "English".
TEST(InterfaceFont, ItsSectionIsFoundWhateverTheCaseOfTheName) {
    LanguageRoot root(Files{{"English.ini", ""}});
    Loaded l;
    l.store.WriteProfileInt("english", "lfHeight", -20);
    l.store.WriteProfileString("english", "lfFaceName", "DejaVu Serif");
    l.language.Init(root.path(), "english");
    l.language.SelectLanguage("English");
    EXPECT_EQ(l.language.InterfaceFont().lfHeight, -20);
    EXPECT_EQ(l.language.InterfaceFont().lfFaceName, "DejaVu Serif");
    LogFont larger = l.language.InterfaceFont();
    larger.lfHeight = -24;
    l.language.SaveInterfaceFont(larger);
    EXPECT_EQ(l.store.GetProfileInt("english", "lfHeight", 0), -24);  // the section it was in
    EXPECT_EQ(l.store.ExistingSection("English").value_or(""), "english");  // no second section
}

TEST(InterfaceFont, UnusableDescriptionIsReported) {
    LanguageRoot root(Files{{"English.ini", ""}});
    Loaded l;
    l.store.WriteProfileInt("english", "lfHeight", 100000);
    l.language.Init(root.path(), "english");
    EXPECT_FALSE(l.language.HasInterfaceFont());
    ASSERT_EQ(l.boxes.shown.size(), 1u);
    EXPECT_EQ(l.boxes.shown[0].text, "Failed to create font");
    EXPECT_EQ(l.boxes.shown[0].caption, "Error");
}

TEST(ShippedLanguages, EveryFileHasEveryKeyAndLoadsCleanly) {
    std::set<std::string> shipped;
    for (const auto& e : fs::directory_iterator(ShippedFolder())) {
        if (e.path().extension() == ".ini") shipped.insert(e.path().stem().string());
    }
    EXPECT_GE(shipped.size(), 7u);
    EXPECT_TRUE(shipped.count("English"));
    Loaded l;
    ASSERT_EQ(l.language.Init(KAVREL_SOURCE_DIR, "english"), 1);
    for (const std::string& name : shipped) {
        l.language.SelectLanguage(name);
        EXPECT_EQ(l.language.GetCurrentLanguage(), name);
        for (const IdentifierRow& row : IdentifierTable()) {
            std::string text = SectionOfKey(row.key) == LanguageSection::String ? l.language.GetString(row.id)
                               : SectionOfKey(row.key) == LanguageSection::Menu ? l.language.GetMenuText(row.id)
                                                                                : l.language.GetDialogText(row.id);
            EXPECT_FALSE(text.empty()) << name << " lacks " << row.key;
            EXPECT_EQ(SanitiseUtf8(text), text) << name << " " << row.key;
            if (name == "English") {
                EXPECT_EQ(text, row.builtinText) << row.key;
            }
        }
    }
    EXPECT_TRUE(l.boxes.shown.empty()) << l.boxes.shown.at(0).caption;
}

TEST(ShippedLanguages, TranslationsArriveIntact) {
    Loaded l;
    l.language.Init(KAVREL_SOURCE_DIR, "German");
    EXPECT_EQ(l.language.GetDialogText(1059), "Übergangseffekt:");
    l.language.SelectLanguage("French");
    EXPECT_EQ(l.language.GetString(131), "existe déjà. Voulez-vous le remplacer ?");
    l.language.SelectLanguage("Russian");
    EXPECT_EQ(l.language.GetDialogText(1075), "Отмена");
    l.language.SelectLanguage("Chinese_Simplified");
    EXPECT_EQ(l.language.GetDialogText(1006), "添加照片");
    EXPECT_EQ(l.language.GetString(151), "完成");
}

TEST(ShippedLanguages, ShippedFilesAreTheirMastersInTheirCodePage) {
    for (const auto& e : fs::directory_iterator(ShippedFolder() + "/masters")) {
        std::string name = e.path().stem().string();
        int codePage = name == "Russian" ? 1251 : name == "Chinese_Simplified" ? 936 : 1252;
        std::string expected;
        ASSERT_TRUE(EncodeFromUtf8(ReadFileBytes(e.path().string()), codePage, &expected)) << name;
        EXPECT_EQ(ReadFileBytes(ShippedFolder() + "/" + name + ".ini"), expected)
            << name << ": run language/update-shipped-files.sh";
    }
}

TEST(Language, PhotoFailuresAreShownInTheUsersLanguage) {
    ASSERT_EQ(theLanguage.Init(KAVREL_SOURCE_DIR, "German"), 1);
    TranslatePlatformFailures();
    const std::string tooLarge = FilledText(kPhotoTooLargeText.english, {"/tmp/a b.png", "12000", "9000"});
    EXPECT_EQ(AMGetErrorText(RegisterFailure(tooLarge)),
              "Das Foto /tmp/a b.png hat 12000 x 9000 Pixel, mehr als die 100 Megapixel, die dieses "
              "Programm dekodiert");
    EXPECT_EQ(AMGetErrorText(RegisterFailure("Cannot decode the photo /tmp/x: y.tif: Invalid data")),
              "Das Foto /tmp/x: y.tif kann nicht dekodiert werden: Invalid data");
    EXPECT_EQ(AMGetErrorText(RegisterFailure("Something else")), "Something else");
    SetFailureTranslator(nullptr);
    EXPECT_EQ(AMGetErrorText(RegisterFailure(tooLarge)), tooLarge);
    theLanguage.Init(KAVREL_SOURCE_DIR, "English");
}
