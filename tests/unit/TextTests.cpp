#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/Text.h"

namespace {
int Sign(int x) { return (x > 0) - (x < 0); }
}  // namespace

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

// Path order: characters of code page 932 by value, case-sensitive.
TEST(TextPathOrder, ComparesCharactersByValue) {
    const struct {
        std::string a, b;
        int sign;  // of ComparePathOrder(a, b)
    } rows[] = {
        {"B.url", "a.url", -1},                       // upper case before lower case
        {"abc", "abc", 0},
        {"abc", "abcd", -1},                          // the shorter text first
        {"", "a", -1},
        {"", "", 0},
        {"\xB1", "ア", -1},                            // half-width ｱ before two-byte ア (0x8341)
        {"ｱ", "\x81\x40", -1},                        // any one-byte character before two-byte
        {"\xDF", "\x9F\xFC", -1},
        {"z", "\xA1", -1},                            // one-byte values unsigned
        {"ソ", "ゾ", -1},                              // 0x835C before 0x835D
        {"ソ", "表", -1},                              // 0x835C before 0x955C
        {"\x83\x80", "\x83\x7E", 1},                  // second bytes unsigned
        {"A\x83", "AA", -1},                          // a lead byte at the end ends the text
        {"A\x83", "A", 0},
        {"A\x83", "A\x84", 0},
        {"C:\\Fav\\ｱｲ\\x.url", "C:\\Fav\\アイ\\x.url", -1},
        {"C:\\Fav\\B\\x.url", "C:\\Fav\\a\\x.url", -1},
        {"C:\\Fav\\x.url", "C:\\Fav\\x.url", 0},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(Sign(ComparePathOrder(r.a, r.b)), r.sign) << r.a << " : " << r.b;
        EXPECT_EQ(Sign(ComparePathOrder(r.b, r.a)), -r.sign) << r.b << " : " << r.a;
        // Where the heads differ they give the same order.
        const uint64_t a = PathOrderHead(r.a), b = PathOrderHead(r.b);
        if (a != b) {
            EXPECT_EQ(a < b ? -1 : 1, r.sign) << r.a << " : " << r.b;
        }
    }
}

// The first four characters, 16 bits each, as the sort of bookmarks reads
// them before it compares whole names.
TEST(TextPathOrder, HeadOfFourCharacters) {
    const struct {
        std::string text;
        uint64_t head;
    } rows[] = {
        {"", 0},
        {"a", 0x0061000000000000},
        {"abcde", 0x0061006200630064},           // the fifth is not read
        {"ソa", 0x835C006100000000},              // two bytes, one character
        {"\\ｱ\x81\x40", 0x005C00B181400000},     // the separator, half-width ｱ, a full-width space
        {"A\x83", 0x0041000000000000},            // a lone lead byte ends the text
    };
    for (const auto& r : rows) EXPECT_EQ(PathOrderHead(r.text), r.head) << r.text;
}

// Containment starts only where a character of the entry begins.
TEST(TextContainment, MatchesAtCharacterBoundaries) {
    const struct {
        std::string entry, text;
        bool contained;
    } rows[] = {
        {"ソ", "\\", false},                 // second byte 0x5C
        {"\x81\x40", "@", false},            // second byte 0x40
        {"ャA", "ア", false},                 // 0x83 0x41 only across two characters
        {"表示", "\\\x8E", false},
        {"C:\\ソ", "\\", true},              // the real separator
        {"ソ\\", "\\", true},
        {"a@", "@", true},
        {"ソフト", "フト", true},
        {"ソ", "\x83", true},                // begins at a boundary, ends inside
        {"C:\\Fav\\x.url", "url", true},
        {"C:\\Fav\\x.url", "C:", true},
        {"abc", "B", false},                 // case-sensitive
        {"ＡＢ", "AB", false},               // full-width and half-width differ
        {"ABC", "ＡＢ", false},
        {"abc", "abcd", false},
        {"abc", "", true},
        {"", "", true},
        {"", "a", false},
    };
    for (const auto& r : rows)
        EXPECT_EQ(ContainsAtBoundary(r.entry, r.text), r.contained) << r.entry << " / " << r.text;
}

// The comparison skips common prefixes eight bytes at a time and steps back
// to the character the first difference lies in; a walk a character at a
// time from the start must agree on texts whose prefixes are long and full
// of bytes in the lead range (ソ is 0x83 0x5C, 表 0x95 0x5C, ー 0x81 0x5B).
TEST(TextPathOrder, AgreesWithACharacterWalk) {
    auto walk = [](const std::string& a, const std::string& b) {
        size_t i = 0;
        for (;;) {
            const bool endA = i >= a.size() || (IsLeadByte(static_cast<unsigned char>(a[i])) && i + 1 >= a.size());
            const bool endB = i >= b.size() || (IsLeadByte(static_cast<unsigned char>(b[i])) && i + 1 >= b.size());
            if (endA || endB) return endA == endB ? 0 : (endA ? -1 : 1);
            auto value = [](const std::string& s, size_t k) {
                const unsigned char c = static_cast<unsigned char>(s[k]);
                return IsLeadByte(c) ? c * 256u + static_cast<unsigned char>(s[k + 1]) : c;
            };
            const unsigned x = value(a, i), y = value(b, i);
            if (x != y) return x < y ? -1 : 1;
            i += x > 255 ? 2 : 1;
        }
    };
    const std::vector<std::string> pieces = {"ソ", "表", "ー", "\x83\x83", "\x81", "a", "\\", "\xB1", "\xE0\xE0", "Favorites\\"};
    std::mt19937 random(932);
    std::uniform_int_distribution<size_t> piece(0, pieces.size() - 1), length(0, 12);
    for (int round = 0; round < 20000; ++round) {
        std::string prefix;
        for (size_t k = length(random); k > 0; --k) prefix += pieces[piece(random)];
        std::string a = prefix, b = prefix;
        for (size_t k = length(random) % 4; k > 0; --k) a += pieces[piece(random)];
        for (size_t k = length(random) % 4; k > 0; --k) b += pieces[piece(random)];
        const int want = walk(a, b);
        const int got = ComparePathOrder(a, b);
        ASSERT_EQ((got > 0) - (got < 0), want) << "round " << round;
        const uint64_t headA = PathOrderHead(a), headB = PathOrderHead(b);
        if (headA != headB) {
            ASSERT_EQ(headA < headB ? -1 : 1, want) << "round " << round;
        }
    }
}

// The separators are found from the end, eight bytes at a time, each
// checked to begin a character; a walk from the start must find the same.
TEST(TextSeparators, FromTheEndAgreesWithAWalk) {
    const std::vector<std::string> pieces = {"ソ", "表", "\\", "\x81", "\x83\x83", "a", "\xB1", "\xE0\\", "abcdefgh"};
    std::mt19937 random(5);
    std::uniform_int_distribution<size_t> piece(0, pieces.size() - 1), length(0, 30);
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        for (size_t k = length(random); k > 0; --k) text += pieces[piece(random)];
        size_t last = std::string::npos, beforeLast = std::string::npos;
        std::string replaced = text;
        for (size_t i = 0; i < text.size(); i = NextChar(text, i))
            if (text[i] == '\\') {
                beforeLast = last;
                last = i;
                replaced[i] = '/';
            }
        const SeparatorPair pair = LastSeparators(text);
        ASSERT_EQ(pair.last, last) << "round " << round;
        ASSERT_EQ(pair.beforeLast, beforeLast) << "round " << round;
        ReplaceSeparators(text, '/');
        ASSERT_EQ(text, replaced) << "round " << round;
    }
}

// One reading of UTF-8 for the decoder and the measure: each row gives the
// counts the measure finds and the text Utf16FromUtf8 makes, one U+FFFD for
// each ill-formed sequence.
TEST(TextUtf8, MeasureAndDecoderAgree) {
    const struct {
        const char* name;
        std::string bytes;
        size_t wellFormed, illFormed;
        std::u16string wide;
    } rows[] = {
        {"ASCII only, past eight bytes", "abcdefghijklmnopq", 0, 0, u"abcdefghijklmnopq"},
        {"a 3-byte character", "\xE6\x97\xA5", 1, 0, u"日"},
        {"a character across an eight-byte word", "abcdefg\xC3\xA9hijklmnop", 1, 0, u"abcdefgéhijklmnop"},
        {"a 4-byte character", "\xF0\x9F\x98\x80", 1, 0, u"\U0001F600"},
        {"a stray continuation byte", "a\x80z", 0, 1, u"a\xFFFDz"},
        {"cut at the end", "x\xE6\x97", 0, 1, u"x\xFFFD"},
        {"cut, then whole", "\xE6\x97\xE6\x97\xA5", 1, 1, u"\xFFFD日"},
        {"overlong 2-byte form", "\xC0\xAF", 0, 2, u"\xFFFD\xFFFD"},
        {"overlong 3-byte form", "\xE0\x9F\xBF", 0, 3, u"\xFFFD\xFFFD\xFFFD"},
        {"a surrogate", "\xED\xA0\x80", 0, 3, u"\xFFFD\xFFFD\xFFFD"},
        {"past U+10FFFF", "\xF4\x90\x80\x80", 0, 4, u"\xFFFD\xFFFD\xFFFD\xFFFD"},
        {"Shift_JIS text", "\x82\xA8\x8B\x43\x82\xC9", 0, 5, u"\xFFFD\xFFFD\xFFFD" u"C\xFFFD\xFFFD"},
        {"three bytes led by EF", "\xEF\xBC\x9A", 1, 0, u"\uFF1A"},
        {"three bytes led by EE", "\xEE\x80\x80", 1, 0, u"\uE000"},
        {"E1 before a byte that continues nothing", "\xE1\x41\x80", 0, 2, u"\xFFFD" u"A\xFFFD"},
        {"EF cut after two bytes", "\xEF\xBC", 0, 1, u"\xFFFD"},
        {"a character across a piece of 256 bytes", std::string(255, 'a') + "\xE6\x97\xA5" "b", 1, 0,
         std::u16string(255, u'a') + u"日b"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const Utf8Measure measure = MeasureUtf8(r.bytes);
        EXPECT_EQ(measure.wellFormed, r.wellFormed);
        EXPECT_EQ(measure.illFormed, r.illFormed);
        EXPECT_EQ(Utf16FromUtf8(r.bytes), r.wide);
        std::u16string appended = u"表";
        AppendUtf16FromUtf8(r.bytes, appended);
        EXPECT_EQ(appended, u"表" + r.wide);
    }
}

// UTF-16 to UTF-8, short texts and one longer than the room on the stack.
TEST(TextUtf8, FromUtf16) {
    const struct {
        const char* name;
        std::u16string wide;
        std::string bytes;
    } rows[] = {
        {"ASCII", u"Favorites\\a.url", "Favorites\\a.url"},
        {"two and three bytes", u"é表", "\xC3\xA9\xE8\xA1\xA8"},
        {"a pair", u"\U0001F600", "\xF0\x9F\x98\x80"},
        {"a lone high surrogate", std::u16string(1, u'\xD83D') + u"x", "\xEF\xBF\xBDx"},
        {"a lone low surrogate", u"x" + std::u16string(1, u'\xDE00'), "x\xEF\xBF\xBD"},
        {"longer than a path", std::u16string(600, u'あ') + u"\U0001F600",
         [] {
             std::string s;
             for (int k = 0; k < 600; ++k) s += "\xE3\x81\x82";
             return s + "\xF0\x9F\x98\x80";
         }()},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(Utf8FromUtf16(r.wide), r.bytes);
        std::string appended = "x";
        AppendUtf8FromUtf16(r.wide, appended);
        EXPECT_EQ(appended, "x" + r.bytes);
    }
}

// ASCII capitals only, byte by byte: no locale, so bytes past ASCII never
// change.
TEST(TextAsciiCase, LowersCapitalsOnly) {
    const struct {
        std::string text, lower;
        bool equal;  // EqualsAsciiNoCase(text, lower)
    } rows[] = {
        {"META", "meta", true},
        {"@[`{", "`{`{", false},  // the neighbours of A, Z, a and z
        {"\xC1", "\xE1", false},  // Á and á of Latin-1 stay apart
        {"Z\xDA", "z\xDA", true},  // Ú of Latin-1 (0xDA = 'Z' + 0x80) stays
    };
    for (const auto& r : rows) {
        EXPECT_EQ(EqualsAsciiNoCase(r.text, r.lower), r.equal) << r.text;
        std::string lowered;
        for (char c : r.text) lowered.push_back(AsciiLower(c));
        EXPECT_EQ(lowered == r.lower, r.equal) << r.text;
    }
}
