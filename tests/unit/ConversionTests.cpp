// UTF-16 to the program's code page 932 texts and back: a character with a
// round-trip form becomes its bytes, any other a decimal reference.
#include <gtest/gtest.h>

#include <string>

#include "core/CodePage932.h"
#include "core/Text.h"

namespace {

std::string Hex(const std::u16string& s) {
    std::string out;
    char buf[8];
    for (char16_t c : s) {
        snprintf(buf, sizeof buf, "%04X ", static_cast<unsigned>(c));
        out += buf;
    }
    return out;
}

}  // namespace

TEST(Conversion, WideToTextAndBack) {
    const struct {
        const char* what;
        std::u16string wide;
        std::string text;
        bool roundTrip;  // the text comes back as the same wide string
    } rows[] = {
        {"ASCII and the separator", u"C:\\Fav\\a~.url", "C:\\Fav\\a~.url", true},
        {"half-width katakana", u"\uFF71\uFF72", "\xB1\xB2", true},
        {"kanji with a 0x5C second byte", u"\u30BD\u8868", "\x83\x5C\x95\x5C", true},
        {"hiragana, full-width letters", u"\u3042\uFF21", "\x82\xA0\x82\x60", true},
        {"NEC row 13", u"\u2460\u3231", "\x87\x40\x87\x8A", true},
        {"IBM extension row 0xFA", u"\u2170", "\xFA\x40", true},
        {"full-width tilde has a form", u"\uFF5E", "\x81\x60", true},
        {"empty", u"", "", true},
        {"e acute", u"Caf\u00E9", "Caf&#233;", true},
        {"wave dash U+301C", u"\u6771\u4EAC\u301C\u5927\u962A", "\x93\x8C\x8B\x9E&#12316;\x91\xE5\x8D\xE3", true},
        {"en and em dash", u"a\u2013b\u2014c", "a&#8211;b&#8212;c", true},
        {"yen sign is never 0x5C", u"\u00A5100", "&#165;100", true},
        {"hangul", u"\uD55C", "&#54620;", true},
        {"simplified Chinese", u"\u4EEC", "&#20204;", true},
        {"emoji: one reference for the pair", u"\U0001F600 smile", "&#128512; smile", true},
        {"lone high surrogate", std::u16string(1, u'\xD83D') + u"x", "&#55357;x", true},
        {"lone low surrogate at the end", u"x" + std::u16string(1, u'\xDE00'), "x&#56832;", true},
        {"reference text in a real name", u"Caf&#233;", "Caf&#233;", false},  // comes back as Café
        // Converted in pieces of 200 units: a pair, or a run of references,
        // across the end of a piece.
        {"a pair across two pieces", std::u16string(199, u'a') + u"\U0001F600b",
         std::string(199, 'a') + "&#128512;b", true},
        {"references past a piece", std::u16string(250, u'\u00E9'),
         [] {
             std::string s;
             for (int k = 0; k < 250; ++k) s += "&#233;";
             return s;
         }(),
         true},
        {"two-byte characters past a piece", std::u16string(450, u'\u8868') + u"x",
         [] {
             std::string s;
             for (int k = 0; k < 450; ++k) s += "\x95\x5C";
             return s + "x";
         }(),
         true},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(TextFromUtf16(r.wide), r.text) << r.what;
        std::string into = "\x83the buffer of an earlier, longer name";
        TextFromUtf16(r.wide, into);
        EXPECT_EQ(into, r.text) << r.what;
        if (r.roundTrip) {
            EXPECT_EQ(Hex(Utf16FromText(r.text)), Hex(r.wide)) << r.what;
        }
    }
}

TEST(Conversion, TextToWide) {
    const struct {
        const char* what;
        std::string text;
        std::u16string wide;
    } rows[] = {
        {"reference of a character without a form", "Caf&#233;.url", u"Caf\u00E9.url"},
        {"reference of a character with a form stays text", "&#65;&#12354;", u"&#65;&#12354;"},
        {"leading zero", "&#0233;", u"&#0233;"},
        {"no semicolon", "&#233", u"&#233"},
        {"no digits", "&#;&#x41;", u"&#;&#x41;"},
        {"zero", "&#0;", u"&#0;"},
        {"beyond Unicode", "&#1114112;", u"&#1114112;"},
        {"largest code point", "&#1114111;", u"\U0010FFFF"},
        {"two in a row", "&#12316;&#12316;", u"\u301C\u301C"},
        {"amp before a reference", "&&#233;", u"&\u00E9"},
        {"IBM row of NEC-selected 0xED40", "\xED\x40", u"\u7E8A"},
        {"NEC-selected 0xEEF9 not-sign", "\xEE\xF9", u"\uFFE2"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(Hex(Utf16FromText(r.text)), Hex(r.wide)) << r.what;
        // Appended after what a buffer already holds, which stays.
        std::u16string appended = u"\u8868\\";
        AppendUtf16FromText(r.text, appended);
        EXPECT_EQ(Hex(appended), Hex(u"\u8868\\" + r.wide)) << r.what;
    }
}

// Characters of the rows 0xED and 0xEE come back in the form code page 932's
// own conversion gives them: the IBM rows 0xFA to 0xFC, or the JIS row.
TEST(Conversion, DuplicateCodesTakeThePlatformForm) {
    EXPECT_EQ(TextFromUtf16(Utf16FromText("\xED\x40")), "\xFA\x5C");
    EXPECT_EQ(TextFromUtf16(Utf16FromText("\xEE\xF9")), "\x81\xCA");
    EXPECT_EQ(TextFromUtf16(Utf16FromText("\x87\x9A")), "\x81\xE6");  // ∵ from NEC row 13
}

// The table the conversions look characters up in: a round-trip form, or
// none; ASCII is itself.
TEST(Conversion, FormsTable) {
    const struct {
        char16_t unit;
        uint16_t form;
    } rows[] = {
        {u'A', 0x41},      {u'\\', 0x5C},     {u'~', 0x7E},       {u'\0', 0x00},
        {u'\u3042', 0x82A0}, {u'\uFF71', 0xB1}, {u'\uFF5E', 0x8160}, {u'\u8868', 0x955C},
        {u'\u00A5', kNoCp932Form},  // ¥: no best fit to 0x5C
        {u'\u301C', kNoCp932Form},  // 〜
        {u'\xD83D', kNoCp932Form},  // a surrogate alone
    };
    const uint16_t* forms = Cp932Forms();
    for (const auto& r : rows) {
        EXPECT_EQ(forms[r.unit], r.form) << std::hex << unsigned(r.unit);
        std::string bytes;
        EXPECT_EQ(EncodeCp932(std::u16string(1, r.unit), bytes), r.form != kNoCp932Form)
            << std::hex << unsigned(r.unit);
    }
}

// A lone lead byte at the end is no character: it converts to something
// visible and nothing is read past the text.
TEST(Conversion, LoneLeadByte) {
    std::u16string wide = Utf16FromText("a\x83");
    ASSERT_EQ(wide.size(), 2u);
    EXPECT_EQ(wide[0], u'a');
    EXPECT_NE(wide[1], u'\0');
}
