#include "lang/ini_reader.h"

#include <gtest/gtest.h>

#include "lang/text_encoding.h"

TEST(IniReader, ReadsValuesLikeTheProfileReader) {
    IniDocument doc = IniDocument::Parse(
        "; a comment\n"
        "[String]\n"
        "IDS_A = Hello world  \n"
        "ids_b=\"  quoted  \"\n"
        "IDS_C=\"only one pair\"\"\n"
        "  ; indented comment=not a key\n"
        "IDS_D=a=b\n"
        "IDS_A=second one is not read\n"
        "IDS_EMPTY=\n"
        "no equals sign here\n"
        "[ DIALOG ]\n"
        "IDC_X\t=\tTabbed\t\n"
        "[string]\n"
        "IDS_LATE=later section of the same name is not read\n");
    EXPECT_EQ(doc.Value("STRING", "IDS_A"), "Hello world");
    EXPECT_EQ(doc.Value("string", "IDS_B"), "  quoted  ");
    EXPECT_EQ(doc.Value("STRING", "IDS_C"), "only one pair\"");
    EXPECT_EQ(doc.Value("STRING", "IDS_D"), "a=b");
    EXPECT_EQ(doc.Value("STRING", "IDS_EMPTY"), "");
    EXPECT_TRUE(doc.Has("STRING", "IDS_EMPTY"));
    EXPECT_FALSE(doc.Has("STRING", "; indented comment"));
    EXPECT_EQ(doc.Value("Dialog", "idc_x"), "Tabbed");
    EXPECT_EQ(doc.Value("STRING", "IDS_LATE"), "");
    EXPECT_EQ(doc.Value("MENU", "IDS_A"), "");
    EXPECT_EQ(doc.Value("STRING", "IDS_MISSING"), "");
}

TEST(IniReader, SurvivesAnyFile) {
    // CR LF, a final line without a newline, a NUL byte, stray brackets.
    IniDocument doc = IniDocument::Parse(std::string("[S]\r\nA=one\r\nB=tw\0o\r\n[\r\n]\r\nC=three", 33));
    EXPECT_EQ(doc.Value("S", "A"), "one");
    EXPECT_EQ(doc.Value("S", "B"), "tw");

    std::string huge = "[S]\nLONG=" + std::string(1 << 20, 'x') + "\nAFTER=yes";
    IniDocument big = IniDocument::Parse(huge);
    EXPECT_EQ(big.Value("S", "LONG").size(), kIniValueMaxBytes);
    EXPECT_EQ(big.Value("S", "AFTER"), "yes");

    std::string garbage;
    for (int i = 0; i < 200000; ++i) garbage += static_cast<char>((i * 2654435761u) >> 24);
    IniDocument::Parse(garbage).Value("S", "A");  // must not crash
    EXPECT_EQ(IniDocument::Parse("").Value("S", "A"), "");
    EXPECT_EQ(IniDocument::Parse("A=before any section\n").Value("", "A"), "");
}

TEST(IniReader, LongValuesAreCutAtACharacterBoundary) {
    std::string value = std::string(2046, 'a') + "\xC3\xA9";  // 2048 bytes ending in "é"
    IniDocument doc = IniDocument::Parse("[S]\nK=" + value + "\n");
    EXPECT_EQ(doc.Value("S", "K"), std::string(2046, 'a'));
}

TEST(TextEncoding, CodePagesAndUtf16BecomeUtf8) {
    EXPECT_EQ(DecodeToUtf8("\xDC" "ber", FileEncoding::CodePage, 1252), "Über");
    EXPECT_EQ(DecodeToUtf8("\xCF\xF0\xE8\xE2\xE5\xF2", FileEncoding::CodePage, 1251), "Привет");
    EXPECT_EQ(DecodeToUtf8("\xC4\xE3\xBA\xC3", FileEncoding::CodePage, 936), "你好");
    EXPECT_EQ(DecodeToUtf8("\xA4\xA4\xA4\xE5", FileEncoding::CodePage, 950), "中文");
    EXPECT_EQ(DecodeToUtf8(std::string("\xFF\xFE" "A\0\xE9\0", 6), FileEncoding::Utf16, 0), "Aé");
    EXPECT_EQ(DecodeToUtf8(std::string("\xFE\xFF\0A\0\xE9", 6), FileEncoding::Utf16, 0), "Aé");
    EXPECT_EQ(DecodeToUtf8(std::string("A\0B\0", 4), FileEncoding::Utf16, 0), "AB");  // no BOM: LE
    EXPECT_EQ(DecodeToUtf8("\xEF\xBB\xBFplain", FileEncoding::CodePage, 1251), "plain");  // BOM wins
}

TEST(TextEncoding, BadBytesAreReplacedNotFatal) {
    EXPECT_EQ(DecodeToUtf8("a\xFF" "b", FileEncoding::Utf8, 0), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(DecodeToUtf8("a\xC4", FileEncoding::CodePage, 936), "a\xEF\xBF\xBD");  // cut off
    EXPECT_EQ(DecodeToUtf8(std::string("\xFF\xFE" "A\0B", 5), FileEncoding::Utf16, 0), "A\xEF\xBF\xBD");
    std::string out;
    EXPECT_TRUE(EncodeFromUtf8("Привет", 1251, &out));
    EXPECT_EQ(out, "\xCF\xF0\xE8\xE2\xE5\xF2");
    EXPECT_FALSE(EncodeFromUtf8("你好", 1252, &out));
}
