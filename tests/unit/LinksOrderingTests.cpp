#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/Fakes.h"
#include "support/LiteralSorts.h"
#include "links/Ordering.h"

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
        state.m_linkList.Assign(ToEntries(scanned));
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
        state.m_linkList.Assign(ToEntries(r.entries));
        CFakeHost host(state);
        host.controls.includeText = r.include;
        RefreshLinkList(state, host);
        EXPECT_EQ(ListTexts(state.m_linkList), r.expected) << r.name;
    }

    // Clearing the texts does not bring removed entries back; only Import does.
    CMainState state;
    state.m_linkList.Assign(ToEntries({"C:\\F\\b.url", "C:\\F\\a.url"}));
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
    state.m_linkList.Assign(ToEntries(many));
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
        state.m_linkList.Assign(ToEntries(entries));
        CFakeHost host(state);
        RefreshLinkList(state, host);
        ASSERT_EQ(ListTexts(state.m_linkList), expected) << "round " << round;
    }
}
