#include <gtest/gtest.h>

#include <string>

#include "core/Text.h"

// The build compiles narrow literals to code page 932; everything else
// (registry values, page bytes, comparisons) depends on it.
TEST(Cp932Literals, JapaneseLiteralIsCp932Bytes) {
    const std::string so = "ソ表";
    EXPECT_EQ(so, std::string("\x83\x5C\x95\x5C"));
    EXPECT_EQ(std::string("　"), std::string("\x81\x40"));
    EXPECT_EQ(std::string("▲"), std::string("\x81\xA3"));
    EXPECT_EQ(std::string("\\"), std::string("\x5C"));  // not a yen sign
}

TEST(TextLeadByte, CodePage932Table) {
    const struct { unsigned char c; bool lead; } rows[] = {
        {0x00, false}, {0x5C, false}, {0x7F, false}, {0x80, false}, {0x81, true},
        {0x9F, true}, {0xA0, false}, {0xA1, false}, {0xDF, false}, {0xE0, true},
        {0xFC, true}, {0xFD, false}, {0xFF, false},
    };
    for (const auto& r : rows) EXPECT_EQ(IsLeadByte(r.c), r.lead) << int(r.c);
}

TEST(TextStep, NextCharacter) {
    const struct { std::string text; size_t at, next; } rows[] = {
        {"ab", 0, 1},
        {"ソx", 0, 2},          // a two-byte character, second byte 0x5C
        {"x\x83", 1, 2},        // a lone lead byte at the end is one character
        {"\xB1\xB2", 0, 1},     // half-width katakana: one byte each
        {"ab", 2, 2},           // at the end stays at the end
        {"", 0, 0},
    };
    for (const auto& r : rows) EXPECT_EQ(NextChar(r.text, r.at), r.next) << r.text << " @" << r.at;
}

// One table for every separator walk: the last two separators, whether the
// text ends in one, its base folder, its innermost folder and its stem.
TEST(TextSeparators, WalksPassOverSecondBytes) {
    const size_t npos = std::string::npos;
    const char* const kept = "<kept>";
    const struct {
        std::string path;
        size_t last, beforeLast;
        bool endsInSeparator;
        std::string base, folder, stem;  // kept: the call leaves its output alone
    } rows[] = {
        {"C:\\Fav\\News\\x.url", 11, 6, false, "C:\\Fav\\News\\", "News", "x"},
        {"C:\\ソ\\表\\ab.url", 8, 5, false, "C:\\ソ\\表\\", "表", "ab"},
        {"C:\\ソ", 2, npos, false, "C:\\", "C:", ""},           // ソ's 0x5C is no separator
        {"C:\\表\\", 5, 2, true, "C:\\表\\", "表", ""},
        {"x.url", npos, npos, false, "", kept, kept},
        {"", npos, npos, false, "", kept, kept},
        {"\\", 0, npos, true, "\\", "", ""},
        {"\\a.url", 0, npos, false, "\\", "", "a"},
        {"C:\\Fav\\x\x83", 6, 2, false, "C:\\Fav\\", "Fav", ""},  // lone lead byte at the end
        {"\x83\\\\", 2, npos, true, "\x83\\\\", "ソ", ""},      // ソ then a real separator
        {"a\\\\b.url", 2, 1, false, "a\\\\", "", "b"},          // empty folder between two
        {"C:\\F\\アイ.url", 4, 2, false, "C:\\F\\", "F", "アイ"},
        {"C:\\F\\アイ.ur", 4, 2, false, "C:\\F\\", "F", "ア\x83"},  // the cut keeps a lead byte
        {"C:\\F\\.url", 4, 2, false, "C:\\F\\", "F", ""},       // four bytes: empty stem
    };
    for (const auto& r : rows) {
        SeparatorPair sep = LastSeparators(r.path);
        EXPECT_EQ(sep.last, r.last) << r.path;
        EXPECT_EQ(sep.beforeLast, r.beforeLast) << r.path;
        EXPECT_EQ(EndsWithSeparator(r.path), r.endsInSeparator) << r.path;
        EXPECT_EQ(BaseFolder(r.path), r.base) << r.path;
        std::string folder = kept, stem = kept;
        EXPECT_EQ(TakeInnermostFolder(r.path, folder), r.folder != kept) << r.path;
        EXPECT_EQ(folder, r.folder) << r.path;
        EXPECT_EQ(TakeFileNameStem(r.path, stem), r.stem != kept) << r.path;
        EXPECT_EQ(stem, r.stem) << r.path;
    }
}
