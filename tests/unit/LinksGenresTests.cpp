#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/Fakes.h"
#include "support/LiteralSorts.h"
#include "links/Genres.h"

namespace {


struct Derived {
    std::vector<std::string> paths;
    std::vector<std::string> genres;
    std::vector<std::string> events;
};

Derived Derive(CMainState& state, const std::vector<std::string>& paths) {
    state.m_linkList.Reset();
    for (const auto& p : paths) state.m_linkList.Append(p);
    CFakeHost host(state);
    DeriveGenres(state, host);
    Derived d;
    d.paths = ListTexts(state.m_linkList);
    d.genres.assign(state.m_genres.begin(), state.m_genres.begin() + static_cast<std::ptrdiff_t>(d.paths.size()));
    d.events = host.events;
    return d;
}

}  // namespace

// The innermost folder of each entry, and the list reordered by it.
TEST(LinksGenres, InnermostFolderInGenreOrder) {
    const struct {
        const char* name;
        std::string stdGenre;
        std::vector<std::string> paths;  // list order before
        std::vector<std::string> sortedPaths;
        std::vector<std::string> genres;
    } rows[] = {
        {"Favorites gets the standard genre", "標準",
         {"C:\\Favorites\\x.url"}, {"C:\\Favorites\\x.url"}, {"標準"}},
        {"deeper Favorites too; favorites keeps its name", "Std",
         {"C:\\F\\Favorites\\a.url", "C:\\F\\favorites\\b.url"},
         {"C:\\F\\Favorites\\a.url", "C:\\F\\favorites\\b.url"}, {"Std", "favorites"}},
        {"only the innermost folder counts", "",
         {"C:\\F\\News\\Local\\a.url", "C:\\F\\Sports\\Local\\b.url", "C:\\F\\News\\n.url"},
         {"C:\\F\\News\\Local\\a.url", "C:\\F\\Sports\\Local\\b.url", "C:\\F\\News\\n.url"},
         {"Local", "Local", "News"}},
        {"names ending in 0x5C are whole", "",
         {"C:\\F\\表\\b.url", "C:\\F\\ソ\\a.url", "C:\\F\\ソ表\\c.url"},
         {"C:\\F\\ソ\\a.url", "C:\\F\\ソ表\\c.url", "C:\\F\\表\\b.url"}, {"ソ", "ソ表", "表"}},
        {"one separator: from the start", "", {"News\\a.url"}, {"News\\a.url"}, {"News"}},
        {"leading separator: empty genre", "x", {"\\a.url"}, {"\\a.url"}, {""}},
        {"empty standard genre sorts first", "",
         {"C:\\Favorites\\A\\a.url", "C:\\Favorites\\z.url"},
         {"C:\\Favorites\\z.url", "C:\\Favorites\\A\\a.url"}, {"", "A"}},
        {"one-byte names first, upper case before lower", "",
         {"C:\\F\\a\\1.url", "C:\\F\\ア\\2.url", "C:\\F\\ｱ\\3.url", "C:\\F\\B\\4.url"},
         {"C:\\F\\B\\4.url", "C:\\F\\a\\1.url", "C:\\F\\ｱ\\3.url", "C:\\F\\ア\\2.url"},
         {"B", "a", "ｱ", "ア"}},
        {"B A B A: the two Bs reversed", "",
         {"C:\\F\\1\\B\\x.url", "C:\\F\\2\\A\\x.url", "C:\\F\\3\\B\\x.url", "C:\\F\\4\\A\\x.url"},
         {"C:\\F\\2\\A\\x.url", "C:\\F\\4\\A\\x.url", "C:\\F\\3\\B\\x.url", "C:\\F\\1\\B\\x.url"},
         {"A", "A", "B", "B"}},
        {"empty list", "x", {}, {}, {}},
    };
    for (const auto& r : rows) {
        CMainState state;
        state.m_stdGenre = r.stdGenre;
        Derived d = Derive(state, r.paths);
        EXPECT_EQ(d.paths, r.sortedPaths) << r.name;
        EXPECT_EQ(d.genres, r.genres) << r.name;
        EXPECT_EQ(d.events, (std::vector<std::string>{"list", "show"})) << r.name;  // no "take"
    }
}

// The working genre carries over between entries and between calls.
TEST(LinksGenres, WorkingGenreCarriesOver) {
    CMainState state;
    state.m_stdGenre = "S";
    state.m_workGenre = "Earlier";
    EXPECT_EQ(Derive(state, {"lonely.url"}).genres, std::vector<std::string>{"Earlier"});

    Derived d = Derive(state, {"C:\\F\\News\\a.url", "no-separator.url"});
    EXPECT_EQ(d.genres, (std::vector<std::string>{"News", "News"}));
    EXPECT_EQ(state.m_workGenre, "News");

    // The standard genre replaces the working genre itself.
    d = Derive(state, {"C:\\Favorites\\x.url", "plain"});
    EXPECT_EQ(d.genres, (std::vector<std::string>{"S", "S"}));
    EXPECT_EQ(state.m_workGenre, "S");
}

TEST(LinksGenres, LeavesLaterGenresAndShowsFields) {
    CMainState state;
    state.m_genres[2] = "old";
    state.m_caption = "field";
    CFakeHost host(state);
    state.m_linkList.Append("C:\\F\\B\\1.url");
    state.m_linkList.Append("C:\\F\\A\\2.url");
    DeriveGenres(state, host);
    EXPECT_EQ(state.m_genres[0], "A");
    EXPECT_EQ(state.m_genres[1], "B");
    EXPECT_EQ(state.m_genres[2], "old");
    EXPECT_EQ(host.controls.caption, "field");
}

// Random lists with many equal genres: the fast reordering is the literal
// exchange sort, entry for entry.
TEST(LinksGenres, FastMatchesLiteralOnRandomLists) {
    const std::vector<std::string> folders = {"A", "B", "a", "ソ", "表", "Favorites", "favorites", "ｱ", "ア", ""};
    std::mt19937 random(4321);
    for (int round = 0; round < 400; ++round) {
        std::uniform_int_distribution<size_t> size(0, 300), alphabet(1, folders.size());
        const size_t n = size(random);
        std::uniform_int_distribution<size_t> folder(0, alphabet(random) - 1);
        std::uniform_int_distribution<int> shape(0, 9);
        std::vector<std::string> paths;
        for (size_t k = 0; k < n; ++k) {
            int s = shape(random);
            std::string p;
            if (s == 0) p = "bare" + std::to_string(k);                       // no separator
            else if (s == 1) p = folders[folder(random)] + "\\" + std::to_string(k);
            else p = "C:\\" + folders[folder(random)] + "\\" + folders[folder(random)] + "\\" + std::to_string(k) + ".url";
            paths.push_back(p);
        }
        const std::string stdGenre = (round % 3 == 0) ? "" : "標準";
        const std::string startWork = (round % 2 == 0) ? "" : "B";

        std::string work = startWork;
        std::vector<std::string> genres = LiteralGenres(paths, stdGenre, work);
        std::vector<std::string> sortedPaths = paths;
        LiteralGenreSort(genres, sortedPaths);

        CMainState state;
        state.m_stdGenre = stdGenre;
        state.m_workGenre = startWork;
        Derived d = Derive(state, paths);
        ASSERT_EQ(d.genres, genres) << "round " << round;
        ASSERT_EQ(d.paths, sortedPaths) << "round " << round;
        ASSERT_EQ(state.m_workGenre, work) << "round " << round;
    }
}

// A full list whose genres come in descending order, the exchange sort's
// worst case (its time is measured by the benchmark, not here).
TEST(LinksGenres, FullListInDescendingGenres) {
    std::vector<std::string> paths;
    for (size_t k = 0; k < kMaxLinks; ++k) {
        size_t genre = 5000 - 1 - (k * 5000) / kMaxLinks;
        paths.push_back("C:\\Users\\u\\Favorites\\g" + std::to_string(100000 + genre) + "\\" +
                        std::to_string(k) + ".url");
    }
    CMainState state;
    Derived d = Derive(state, paths);
    ASSERT_EQ(d.paths.size(), kMaxLinks);
    EXPECT_EQ(d.genres.front(), "g100000");
    EXPECT_EQ(d.genres.back(), "g104999");

    // Entries beyond kMaxLinks are not handled: the list keeps the first ones.
    paths.push_back("C:\\Users\\u\\Favorites\\g000000\\extra.url");
    d = Derive(state, paths);
    ASSERT_EQ(d.paths.size(), kMaxLinks);
    EXPECT_EQ(d.genres.front(), "g100000");
}
