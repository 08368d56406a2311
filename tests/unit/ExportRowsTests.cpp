#include <gtest/gtest.h>

#include <string>

#include "core/Text.h"
#include "export/Pages.h"
#include "support/ExpectedPages.h"
#include "support/PageBench.h"

TEST(ExportRowGenre, InnermostFolderWithStandardGenre) {
    const struct { std::string entry, before, stdGenre, after; } rows[] = {
        {"C:\\Favorites\\News\\a.url", "x", "Std", "News"},
        {"C:\\Favorites\\c.url", "x", "Std", "Std"},
        {"C:\\Favorites\\A\\B\\d.url", "x", "Std", "B"},
        {"C:\\Favorites\\A\\Favorites\\d.url", "x", "Std", "Std"},  // a deeper Favorites too
        {"C:\\Favorites\\favorites\\d.url", "x", "Std", "favorites"},  // case matters
        {"C:\\Bookmarks\\d.url", "x", "Std", "Bookmarks"},              // only that name is replaced
        {"C:\\Favorites\\c.url", "x", "", ""},
        {"Favorites\\c.url", "x", "Std", "Std"},                       // the only separator
        {"\\c.url", "x", "Std", ""},                                   // nothing before it
        {"C:\\Fav\\\\c.url", "x", "Std", ""},                          // empty folder name
        {"C:\\Favorites\\\x83\x5C\\e.url", "x", "Std", "\x83\x5C"},   // ソ ends in 0x5C
        {"C:\\\x95\x5C\x83\x5C\\e.url", "x", "Std", "\x95\x5C\x83\x5C"},  // 表ソ
        {"C:\\Fav\\\x83\x5C\x83\x5C", "x", "Std", "Fav"},             // the name ends in ソ
        // No separator: the row genre stays, and "Favorites" still becomes the standard genre.
        {"noseparator.url", "Prev", "Std", "Prev"},
        {"noseparator.url", "Favorites", "Std", "Std"},
        {"\x83\x5C.url", "Prev", "Std", "Prev"},                       // ソ's 0x5C is no separator
        {"", "Prev", "Std", "Prev"},
        {"C:\\Fav\\x\x83", "x", "Std", "Fav"},                         // a lone lead byte at the end
    };
    for (const auto& r : rows) {
        CRowState row;
        row.rowGenre = r.before;
        row.linkText = "keep";
        DeriveRowGenre(r.entry, r.stdGenre, row);
        EXPECT_EQ(row.rowGenre, r.after) << r.entry;
        EXPECT_EQ(row.linkText, "keep") << r.entry;
    }
}

TEST(ExportLinkText, FileNameLessItsLastFourBytes) {
    const struct { std::string entry, before, after; } rows[] = {
        {"C:\\Favorites\\News\\a.url", "x", "a"},
        {"C:\\Favorites\\News\\Long name.url", "x", "Long name"},
        {"C:\\Favorites\\News\\.url", "x", ""},         // four bytes
        {"C:\\Favorites\\News\\url", "x", ""},          // three
        {"C:\\Favorites\\News\\", "x", ""},             // none
        {"C:\\Favorites\\News\\aurl", "x", ""},
        {"C:\\Favorites\\News\\abcurl", "x", "ab"},     // no dot: four bytes cut all the same
        // The cut falls inside ソ: its lead byte stays at the end.
        {"C:\\F\\a\x83\x5C" "url", "x", "a\x83"},
        {"C:\\F\\\x83\x5C\x83\x5C.url", "x", "\x83\x5C\x83\x5C"},  // ソソ.url whole
        {"C:\\F\\\x83\x5C.url", "x", "\x83\x5C"},       // ソ's 0x5C is not the last separator
        {"noseparator.url", "Prev", "Prev"},
        {"", "Prev", "Prev"},
    };
    for (const auto& r : rows) {
        CRowState row;
        row.rowGenre = "keep";
        row.linkText = r.before;
        DeriveLinkText(r.entry, row);
        EXPECT_EQ(row.linkText, r.after) << r.entry;
        EXPECT_EQ(row.rowGenre, "keep") << r.entry;
    }
}

TEST(ExportBaseFolder, PrefixUpToTheLastSeparator) {
    const struct { std::string path, base; } rows[] = {
        {"C:\\web\\top.html", "C:\\web\\"},
        {"C:\\web\\\x83\x5C\x81\x5B\x83\x58.html", "C:\\web\\"},          // ソース.html
        {"C:\\\x83\x5C\x81\x5B\x83\x58\\top.html", "C:\\\x83\x5C\x81\x5B\x83\x58\\"},  // folder ソース
        {"C:\\\x83\x5C", "C:\\"},
        {"link.html", ""},
        {"\x83\x5Clink.html", ""},
        {"", ""},
        {"C:/web/top.html", ""},  // only the backslash separates
        {"\\\\srv\\share\\", "\\\\srv\\share\\"},
    };
    for (const auto& r : rows) EXPECT_EQ(BaseFolder(r.path), r.base) << r.path;
}

TEST(ExportHref, DoubleQuoteBecomesPercent22) {
    const struct { std::string in, out; } rows[] = {
        {"http://a/", "http://a/"},
        {"http://a/\"onmouseover=\"x", "http://a/%22onmouseover=%22x"},
        {"\"", "%22"},
        {"", ""},
        {"http://a/?q=<&>'", "http://a/?q=<&>'"},  // only the quote is touched
        {"http://a/\x83\x5C\"", "http://a/\x83\x5C%22"},
    };
    for (const auto& r : rows) EXPECT_EQ(EscapeHrefQuotes(r.in), r.out) << r.in;
}

TEST(ExportLinkRow, WritesRowGenreAddressAndLinkText) {
    CPageBench b;
    b.Add("C:\\Favorites\\News\\a.url", "News", "http://a/\"q");
    b.Add("noseparator", "News", "http://n/");
    CExportContext& ctx = b.Ctx();
    ctx.m_outFile = b.sink.Create("page");
    ctx.row.rowGenre = "G<&>";
    ASSERT_TRUE(WriteLinkRow(ctx, 0));
    ASSERT_TRUE(WriteLinkRow(ctx, 1));  // keeps the link text "a"
    ASSERT_TRUE(WriteLinkRow(ctx, 0));  // the address is read once per command
    EXPECT_FALSE(WriteLinkRow(ctx, 2));  // past the list: nothing
    ASSERT_TRUE(ctx.m_outFile->Close());
    EXPECT_EQ(b.reads, 2);
    EXPECT_EQ(b.sink.Content("page"), page::Crlf(page::LinkRow("G<&>", "http://a/%22q", "a") +
                                                 page::LinkRow("G<&>", "http://n/", "a") +
                                                 page::LinkRow("G<&>", "http://a/%22q", "a")));
}
