#include <gtest/gtest.h>

#include <string>

#include "links/Cp932.h"

// The build compiles narrow literals to code page 932; everything else
// (registry values, page bytes, comparisons) depends on it.
TEST(Cp932Literals, JapaneseLiteralIsCp932Bytes) {
    const std::string so = "ソ表";
    EXPECT_EQ(so, std::string("\x83\x5C\x95\x5C"));
    EXPECT_EQ(std::string("　"), std::string("\x81\x40"));
    EXPECT_EQ(std::string("▲"), std::string("\x81\xA3"));
    EXPECT_EQ(std::string("\\"), std::string("\x5C"));  // not a yen sign
}

TEST(Cp932LeadByte, OwnRuleIndependentOfHost) {
    const struct { unsigned char c; bool lead; } rows[] = {
        {0x00, false}, {0x5C, false}, {0x7F, false}, {0x80, false}, {0x81, true},
        {0x9F, true}, {0xA0, false}, {0xA1, false}, {0xDF, false}, {0xE0, true},
        {0xFC, true}, {0xFD, false}, {0xFF, false},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(IsCp932LeadByte(r.c), r.lead) << int(r.c);
        EXPECT_EQ(Cp932LeadBytes().IsLead(r.c), r.lead) << int(r.c);
    }
}

TEST(Cp932Separator, EndsWithSeparatorWalksCharacters) {
    const LeadByteTable& lead = Cp932LeadBytes();
    const struct { std::string text; bool ends; } rows[] = {
        {"C:\\Fav\\", true},
        {"C:\\Fav", false},
        {"C:\\ソ", false},          // second byte 0x5C of ソ
        {"C:\\表\\", true},
        {"", false},
        {"\\", true},
        {"C:\\\x83", false},        // a lone lead byte at the end
        {"\x83\\\\", true},         // ソ then a real separator
    };
    for (const auto& r : rows) EXPECT_EQ(EndsWithSeparator(r.text, lead), r.ends) << r.text;
}
