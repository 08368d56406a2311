#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/Fakes.h"
#include "support/LiteralSorts.h"
#include "links/Ordering.h"

namespace {


int Sign(int x) { return (x > 0) - (x < 0); }

CLinkList ListOf(const std::vector<std::string>& entries) {
    CLinkList list;
    for (const auto& e : entries) list.Append(e);
    return list;
}

}  // namespace

// Path order: characters of code page 932 by value, case-sensitive.
TEST(LinksPathOrder, ComparesCharactersByValue) {
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
    }
}

// Containment starts only where a character of the entry begins.
TEST(LinksContainment, MatchesAtCharacterBoundaries) {
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

// The refresh: control values first, path order, both filters, then the window.
TEST(LinksRefresh, FiltersAfterTakingControlValues) {
    const std::vector<std::string> scanned = {
        "C:\\Fav\\Sports\\b.url", "C:\\Fav\\News\\z.url", "C:\\Fav\\a.url",
        "C:\\Fav\\B.url", "C:\\Fav\\News\\Local\\n.url", "C:\\Fav\\ソフト\\x.url",
    };
    const struct {
        const char* name;
        std::string exclude, include;
        std::vector<std::string> expected;
    } rows[] = {
        {"no filters: path order", "", "",
         {"C:\\Fav\\B.url", "C:\\Fav\\News\\Local\\n.url", "C:\\Fav\\News\\z.url",
          "C:\\Fav\\Sports\\b.url", "C:\\Fav\\a.url", "C:\\Fav\\ソフト\\x.url"}},
        {"inclusion of a folder name", "", "News",
         {"C:\\Fav\\News\\Local\\n.url", "C:\\Fav\\News\\z.url"}},
        {"exclusion wins over inclusion", "Local", "News", {"C:\\Fav\\News\\z.url"}},
        {"exclusion anywhere, drive included", "C:", "", {}},
        {"exclusion is case-sensitive", "NEWS", "",
         {"C:\\Fav\\B.url", "C:\\Fav\\News\\Local\\n.url", "C:\\Fav\\News\\z.url",
          "C:\\Fav\\Sports\\b.url", "C:\\Fav\\a.url", "C:\\Fav\\ソフト\\x.url"}},
        {"inclusion is case-sensitive", "", "b.url", {"C:\\Fav\\Sports\\b.url"}},
        {"inclusion in a Japanese name", "", "フト", {"C:\\Fav\\ソフト\\x.url"}},
        {"no match of a second byte 0x5C", "", "\\フト", {}},
        {"nothing contains the inclusion", "", "zzz", {}},
    };
    for (const auto& r : rows) {
        CMainState state;
        state.m_linkList = ListOf(scanned);
        state.m_excludeText = "stale";  // replaced by the control values
        CFakeHost host(state);
        host.controls.excludeText = r.exclude;
        host.controls.includeText = r.include;
        RefreshLinkList(state, host);
        EXPECT_EQ(ListTexts(state.m_linkList), r.expected) << r.name;
        EXPECT_EQ(host.events, (std::vector<std::string>{"take", "list"})) << r.name;
        EXPECT_EQ(state.m_excludeText, r.exclude) << r.name;
    }
}

TEST(LinksRefresh, SmallListsAndRemovedEntries) {
    const struct {
        const char* name;
        std::vector<std::string> entries;
        std::string include;
        std::vector<std::string> expected;
    } rows[] = {
        {"empty list", {}, "", {}},
        {"one entry passes", {"C:\\F\\x.url"}, "x", {"C:\\F\\x.url"}},
        {"one entry removed", {"C:\\F\\x.url"}, "y", {}},
    };
    for (const auto& r : rows) {
        CMainState state;
        state.m_linkList = ListOf(r.entries);
        CFakeHost host(state);
        host.controls.includeText = r.include;
        RefreshLinkList(state, host);
        EXPECT_EQ(ListTexts(state.m_linkList), r.expected) << r.name;
    }

    // Clearing the texts does not bring removed entries back; only Import does.
    CMainState state;
    state.m_linkList = ListOf({"C:\\F\\b.url", "C:\\F\\a.url"});
    CFakeHost host(state);
    host.controls.excludeText = "a.url";
    RefreshLinkList(state, host);
    host.controls.excludeText.clear();
    RefreshLinkList(state, host);
    EXPECT_EQ(ListTexts(state.m_linkList), (std::vector<std::string>{"C:\\F\\b.url"}));
}

TEST(LinksRefresh, LeavesGenresAndCapsAtLimit) {
    CMainState state;
    std::vector<std::string> many;
    for (size_t k = 0; k < kMaxLinks + 5; ++k) many.push_back("C:\\F\\" + std::to_string(kMaxLinks + 5 - k) + ".url");
    state.m_linkList = ListOf(many);
    state.m_genres[0] = "kept";
    CFakeHost host(state);
    RefreshLinkList(state, host);
    ASSERT_EQ(state.m_linkList.Count(), kMaxLinks);
    // The first kMaxLinks entries in list order were handled, the rest dropped.
    EXPECT_EQ(state.m_linkList.Text(0), "C:\\F\\10.url");
    for (size_t k = 1; k < kMaxLinks; ++k)
        ASSERT_LT(ComparePathOrder(state.m_linkList.Text(k - 1), state.m_linkList.Text(k)), 0);
    EXPECT_EQ(state.m_genres[0], "kept");
}

// Texts that compare equal without being identical (a lone lead byte at the
// end) still come out exactly as the exchange sort leaves them.
TEST(LinksRefresh, MatchesLiteralExchangeSort) {
    const std::vector<std::string> pieces = {"A", "B", "a", "\x83", "\x84", "ソ", "\\", "\xB1"};
    std::mt19937 random(932);
    for (int round = 0; round < 200; ++round) {
        std::uniform_int_distribution<size_t> count(0, 40), length(1, 3), piece(0, pieces.size() - 1);
        std::vector<std::string> entries(count(random));
        for (auto& e : entries) {
            size_t len = length(random);
            for (size_t k = 0; k < len; ++k) e += pieces[piece(random)];
        }
        std::vector<std::string> expected = entries;
        std::vector<int> unused(expected.size());
        LiteralExchangeSort(expected, unused, [](const std::string& a, const std::string& b) {
            return ComparePathOrder(a, b);
        });
        CMainState state;
        state.m_linkList = ListOf(entries);
        CFakeHost host(state);
        RefreshLinkList(state, host);
        ASSERT_EQ(ListTexts(state.m_linkList), expected) << "round " << round;
    }
}
