#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "export/Export.h"
#include "support/ExpectedPages.h"
#include "support/LiteralPages.h"
#include "support/PageBench.h"

namespace {

struct RandomCase {
    int style;
    std::string stdGenre, incomingGenre, incomingText;
    bool mainPageFirst;
    std::vector<std::string> paths, genres;
};

RandomCase MakeCase(std::mt19937& rng) {
    const char* folders[] = {"Favorites", "A", "B", "\x83\x5C", "\x95\x5C", "Std", "", "favorites"};
    const char* names[] = {"a.url", "bb.url", "\x83\x5C.url", "x", ".url", "c\"q.url", "abcurl"};
    const char* stds[] = {"Std", "", "Favorites", "A"};
    const char* genres[] = {"", "A", "B", "\x83\x5C", "Std", "Favorites", "Q"};
    auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    RandomCase c;
    c.style = pick(2) ? STYLE_FRAMES : STYLE_INDEX;
    c.stdGenre = stds[pick(4)];
    c.incomingGenre = pick(2) ? c.stdGenre : std::string(genres[pick(7)]);
    c.incomingText = pick(2) ? "" : "prev";
    c.mainPageFirst = pick(2) != 0;
    size_t n = pick(14);
    std::string genre = genres[pick(7)];
    for (size_t i = 0; i < n; ++i) {
        std::string path;
        size_t depth = pick(4);  // 0: no separator at all
        if (depth > 0) path = "C:";
        for (size_t d = 1; d < depth; ++d) path += std::string("\\") + folders[pick(8)];
        if (depth > 0) path += "\\";
        path += names[pick(7)];
        c.paths.push_back(path);
        // Runs of genres, sometimes coming back to an earlier one.
        if (pick(3) == 0) genre = genres[pick(7)];
        c.genres.push_back(genre);
    }
    return c;
}

void RunCase(const RandomCase& c, bool literal, CPageBench& b) {
    b.state.m_style = c.style;
    b.state.m_stdGenre = c.stdGenre;
    b.state.m_outputPath = "C:\\out\\\x83\x5C.html";
    for (size_t i = 0; i < c.paths.size(); ++i)
        b.Add(c.paths[i], c.genres[i], "http://u/" + c.paths[i]);
    CExportContext& ctx = b.Ctx();
    ctx.row.rowGenre = c.incomingGenre;
    ctx.row.linkText = c.incomingText;
    if (c.mainPageFirst) {
        ctx.m_outFile = b.sink.Create("main");
        ASSERT_TRUE(WriteMainPage(ctx));
        ASSERT_EQ(FinishPage(ctx, true), PageResult::Ok);
    }
    ASSERT_EQ(literal ? LiteralGenrePages(ctx) : WriteGenrePages(ctx), PageResult::Ok);
}

}  // namespace

// The one-pass genre pages against the literal page walk, byte for byte,
// on random lists with separator-less entries, empty and "Favorites"
// standard genres, repeated genres and genres that match no entry.
TEST(ExportGenreWalk, OnePassEqualsLiteralWalk) {
    std::mt19937 rng(932);
    for (int k = 0; k < 1000; ++k) {
        RandomCase c = MakeCase(rng);
        CPageBench fast, literal;
        RunCase(c, false, fast);
        RunCase(c, true, literal);
        ASSERT_EQ(fast.sink.Paths(), literal.sink.Paths()) << "case " << k;
        for (size_t i = 0; i < fast.sink.files.size(); ++i)
            ASSERT_EQ(fast.sink.files[i]->bytes, literal.sink.files[i]->bytes) << "case " << k << " file " << i;
        EXPECT_EQ(fast.Ctx().row.rowGenre, literal.Ctx().row.rowGenre) << "case " << k;
        EXPECT_EQ(fast.Ctx().row.linkText, literal.Ctx().row.linkText) << "case " << k;
        EXPECT_LE(fast.reads, static_cast<int>(c.paths.size()));
    }
}

// Hand-checked corner of the carried state: a separator-less entry at the
// top takes, on the first page, the row genre the main page left, and on
// later pages the row genre of the list's last entry.
TEST(ExportGenreWalk, SeparatorLessEntryFollowsCarriedState) {
    CPageBench b;
    b.state.m_style = STYLE_FRAMES;
    b.state.m_stdGenre = "S";
    b.state.m_outputPath = "o.html";
    b.Add("lone.url", "A", "u0");           // no separator: row genre carried
    b.Add("C:\\Favorites\\A\\1.url", "A", "u1");
    b.Add("C:\\Favorites\\B\\2.url", "B", "u2");
    b.Ctx().row.rowGenre = "A";             // as if the main page ended on A
    b.Ctx().row.linkText = "t";
    ASSERT_EQ(WriteGenrePages(b.Ctx()), PageResult::Ok);
    using page::LinkRow;
    // Page 1 (A): lone.url has row genre A and keeps the link text "t".
    EXPECT_EQ(b.sink.Content("00000001.html"),
              page::Crlf(page::GenrePage(page::kHeadEnd, "A", LinkRow("A", "u0", "t") + LinkRow("A", "u1", "1"))));
    // Page 2 (B): the walk starts from B (the last entry's), so lone.url is B too.
    EXPECT_EQ(b.sink.Content("00000002.html"),
              page::Crlf(page::GenrePage(page::kHeadEnd, "B", LinkRow("B", "u0", "1") + LinkRow("B", "u2", "2"))));
}

// 30000 links in 5000 genres: one page per run, each address read once
// (the time is the benchmark's to measure).
TEST(ExportGenreWalk, FullListOnePagePerRun) {
    CPageBench b;
    b.state.m_style = STYLE_FRAMES;
    b.state.m_stdGenre = "S";
    b.state.m_outputPath = "C:\\out\\top.html";
    for (size_t i = 0; i < kMaxLinks; ++i) {
        std::string genre = "genre" + std::to_string(10000 + i / 6);
        b.Add("C:\\Favorites\\" + genre + "\\link" + std::to_string(i) + ".url", genre, "http://x/");
    }
    ASSERT_EQ(WriteAllPages(b.Ctx()), PageResult::Ok);
    EXPECT_EQ(b.sink.files.size(), 2u + 5000u);
    EXPECT_EQ(b.reads, static_cast<int>(kMaxLinks));
}
