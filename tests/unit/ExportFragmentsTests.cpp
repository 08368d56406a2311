#include <gtest/gtest.h>

#include <string>

#include "core/Texts.h"
#include "export/Fragments.h"

// The Japanese words and marks, spelled as code page 932 bytes, so that these
// checks do not lean on the compiler's conversion of the fragments.
#define BACK "\x96\xDF\x82\xE9"               // 戻る
#define GENRE "\x83\x57\x83\x83\x83\x93\x83\x8B"  // ジャンル
#define LINK "\x83\x8A\x83\x93\x83\x4E"       // リンク
#define WIDE_SPACE "\x81\x40"
#define TRIANGLE "\x81\xA3"

TEST(ExportFragments, ConstantsOfTheFooter) {
    EXPECT_STREQ(kVersion, "4.00");
    EXPECT_STREQ(kHomePageUrl, "http://www.orvelle.example");
    EXPECT_STREQ(kMenuPageName, "linkmenu.html");
    EXPECT_STREQ(kGenrePageName, "%08d.html");
}

TEST(ExportFragments, JapaneseBytesInFragments) {
    const struct { const char* fragment; const char* bytes; } rows[] = {
        {kBackLink, "<A HREF=\"%s\" TARGET=\"_top\">" BACK "</A>\n"},
        {kGenrePageBack, "</HEAD>\n<BODY>\n<A HREF=\"%s\" TARGET=\"_top\">" BACK "</A>\n"},
        {kTableHead, "<TABLE BORDER=1>\n<TR><TH>" GENRE "</TH><TH>" LINK "</TH></TR>\n"},
        {kGenrePageHeading,
         "<H1>%s</H1>\n<TABLE BORDER=\"1\">\n<TR><TD>" GENRE "</TD><TD>" LINK "</TD></TR>\n"},
        {kGenreBreak, "</TABLE>\n<A NAME=\"%s\"><A HREF=\"#TOP\">" TRIANGLE "</A><BR>\n"
                      "<TABLE BORDER=1>\n<TR><TH>" GENRE "</TH><TH>" LINK "</TH></TR>\n"},
        {kAnchorIndexItem, "<NOBR><a href=\"#%s\">[%s]</A>" WIDE_SPACE "</NOBR>"},
        {kIndexItem, "<NOBR><a href=\"%08d.html\">[%s]</A>" WIDE_SPACE "</NOBR><BR>"},
        {kMenuItem, "<NOBR><a href=\"%08d.html\" TARGET=\"_CONTENT\">[%s]</A>" WIDE_SPACE "</NOBR><BR>"},
        {kHeadingDefault,
         "<H1>\x82\xED\x82\xBD\x82\xB5\x82\xCC\x82\xA8\x8B\x43\x82\xC9\x93\xFC\x82\xE8</H1>\n"},
        {kBackLinkScript,
         "<SCRIPT LANGUAGE=\"JavaScript\">\n<!--\ndocument.writeln('<A HREF=\"javascript:goback();\" "
         "TARGET=\"_top\">" BACK "</a>');\n//-->\n</script>"},
    };
    for (const auto& r : rows) EXPECT_EQ(std::string(r.fragment), std::string(r.bytes));
}

// Fragments that end without a line feed, so the next fragment continues the line.
TEST(ExportFragments, FragmentsWithoutTrailingLineFeed) {
    const char* rows[] = {kBackLinkScript, kAnchorIndexItem, kAnchorIndexEnd,
                          kIndexItem, kMenuItem, kIndexEnd};
    for (const char* f : rows) {
        std::string s(f);
        ASSERT_FALSE(s.empty());
        EXPECT_NE(s.back(), '\n') << s;
    }
    EXPECT_STREQ(kAnchorIndexEnd, "<HR>");
    EXPECT_STREQ(kIndexEnd, "</BODY></HTML>");
}

TEST(ExportFragments, FormatFillsPlaceholdersInOrder) {
    const struct { std::string got, want; } rows[] = {
        {FormatFragment(kHeading, {"A&<B"}), "<H1>A&<B</H1>\n"},
        {FormatFragment(kGenrePageName, {1L}), "00000001.html"},
        {FormatFragment(kGenrePageName, {30000L}), "00030000.html"},
        {FormatFragment(kGenrePageName, {123456789L}), "123456789.html"},
        {FormatFragment(kFooter, {kHomePageUrl, kVersion}),
         "</TABLE>\n<P align=\"right\"><A HREF=\"http://www.orvelle.example\" TARGET=\"_top\">"
         "Orvelle v4.00</A></P>\n"},
        {FormatFragment(kLinkRow, {"G", "u\"x", "t"}),
         "<TR><TD>G</TD><TD><A HREF=\"u\"x\" TARGET=\"_top\">t</A></TD></TR>\n"},
        {FormatFragment(kIndexItem, {7L, "News"}),
         "<NOBR><a href=\"00000007.html\">[News]</A>" WIDE_SPACE "</NOBR><BR>"},
        // Values are inserted as bytes: a percent sign in a value stays as it is.
        {FormatFragment(kHeading, {"100%s%d"}), "<H1>100%s%d</H1>\n"},
        // Missing or mismatched values leave the placeholder empty.
        {FormatFragment(kLinkRow, {"G"}), "<TR><TD>G</TD><TD><A HREF=\"\" TARGET=\"_top\"></A></TD></TR>\n"},
        {FormatFragment(kGenrePageName, {"x"}), ".html"},
        {FormatFragment(kHeading, {5L}), "<H1></H1>\n"},
        {FormatFragment(kHeadEnd, {"unused"}), "</HEAD>\n<BODY>\n"},
        {FormatFragment("50% off %s", {"now"}), "50% off now"},
    };
    for (const auto& r : rows) EXPECT_EQ(r.got, r.want);
}

TEST(ExportFragments, LongValuesAreWholeWithZeroBytes) {
    std::string big(100000, 'x');
    big[50000] = '\0';  // a zero byte inside a value is a byte like any other
    std::string got = FormatFragment(kHeading, {big});
    ASSERT_EQ(got.size(), big.size() + 10);
    EXPECT_EQ(got.substr(0, 4), "<H1>");
    EXPECT_EQ(got.substr(4, big.size()), big);
    EXPECT_EQ(got.substr(4 + big.size()), "</H1>\n");
}
