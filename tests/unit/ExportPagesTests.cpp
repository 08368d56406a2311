#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export/Export.h"
#include "support/ExpectedPages.h"
#include "support/PageBench.h"

// Expected pages are put together from the hand-typed fragments; the sink
// stores every line feed as CR LF.
namespace {

using page::LinkRow;

// Three genres: Alpha (two links), Beta, and the standard genre Std for the
// link that lies directly in Favorites.
void ThreeGenres(CPageBench& b, int style) {
    b.state.m_style = style;
    b.state.m_caption = "My Page";
    b.state.m_backUrl = "http://back/";
    b.state.m_outputPath = "C:\\web\\top.html";
    b.state.m_stdGenre = "Std";
    b.Add("C:\\Favorites\\Alpha\\a1.url", "Alpha", "http://a1/");
    b.Add("C:\\Favorites\\Alpha\\a2.url", "Alpha", "http://a2/");
    b.Add("C:\\Favorites\\Beta\\b.url", "Beta", "http://b/");
    b.Add("C:\\Favorites\\c.url", "Std", "http://c/");
}

// The main page of |b| written alone, as stored.
std::string MainPage(CPageBench& b) {
    b.Ctx().m_outFile = b.sink.Create("p");
    EXPECT_TRUE(WriteMainPage(b.Ctx()));
    b.Ctx().m_outFile->Close();
    return b.sink.Content("p");
}

}  // namespace

// Every style on the three-genre list, file by file in the order they open.
TEST(ExportStyles, EveryStyleOnThreeGenres) {
    const std::string head = page::HeadTitle("My Page");
    const std::string body = page::BackLink("http://back/") + page::Heading("My Page");
    const std::string alpha = LinkRow("Alpha", "http://a1/", "a1") + LinkRow("Alpha", "http://a2/", "a2");
    const std::string beta = LinkRow("Beta", "http://b/", "b");
    const std::string stdRows = LinkRow("Std", "http://c/", "c");
    const std::string table = page::kTableHead + alpha + beta + stdRows + page::Footer();
    const std::string single = head + page::kHeadEnd + body + table + page::kPageEnd;
    const std::string frames = head + page::kFrameset + page::kHeadEnd + body + table + page::kNoFramesEnd +
                               page::kPageEnd;
    const std::string anchors = head + page::kHeadEnd + page::kTopAnchor + body + page::AnchorIndexItem("Alpha") +
                                page::AnchorIndexItem("Beta") + page::AnchorIndexItem("Std") +
                                page::kAnchorIndexEnd + page::kTableHead + alpha + page::GenreBreak("Beta") + beta +
                                page::GenreBreak("Std") + stdRows + page::Footer() + page::kPageEnd;
    const std::string index = head + page::kHeadEnd + body + page::IndexItem(1, "Alpha") +
                              page::IndexItem(2, "Beta") + page::IndexItem(3, "Std") + page::kIndexEnd;
    const std::string menu = page::MenuItem(1, "Alpha") + page::MenuItem(2, "Beta") + page::MenuItem(3, "Std") +
                             page::kIndexEnd;
    const std::string back = page::GenrePageBack("C:\\web\\top.html");

    const std::string out = "C:\\web\\top.html", g1 = "C:\\web\\00000001.html",
                      g2 = "C:\\web\\00000002.html", g3 = "C:\\web\\00000003.html",
                      menuPath = "C:\\web\\linkmenu.html";
    const struct {
        int style;
        std::vector<std::string> paths;
        std::vector<std::string> contents;
    } rows[] = {
        {STYLE_SINGLE, {out}, {single}},
        {STYLE_ANCHORS, {out}, {anchors}},
        {STYLE_FRAMES, {out, menuPath, g1, g2, g3},
         {frames, menu, page::GenrePage(page::kHeadEnd, "Alpha", alpha),
          page::GenrePage(page::kHeadEnd, "Beta", beta), page::GenrePage(page::kHeadEnd, "Std", stdRows)}},
        {STYLE_INDEX, {out, out, g1, g2, g3},
         {"", index, page::GenrePage(back, "Alpha", alpha), page::GenrePage(back, "Beta", beta),
          page::GenrePage(back, "Std", stdRows)}},
        {0, {out}, {""}},
        {7, {out}, {""}},
    };
    for (const auto& r : rows) {
        CPageBench b;
        ThreeGenres(b, r.style);
        EXPECT_EQ(WriteAllPages(b.Ctx()), PageResult::Ok) << r.style;
        ASSERT_EQ(b.sink.Paths(), r.paths) << r.style;
        for (size_t i = 0; i < r.paths.size(); ++i) {
            EXPECT_EQ(b.sink.files[i]->bytes, page::Crlf(r.contents[i])) << r.style << " file " << i;
            EXPECT_EQ(b.sink.files[i]->closes, 1);
            EXPECT_FALSE(b.sink.files[i]->writeAfterClose);
        }
        EXPECT_EQ(b.sink.mostOpen, 1) << "one file at a time";
        // Frames reads each address once although it writes each link twice.
        EXPECT_EQ(b.reads, (r.style >= 1 && r.style <= 4) ? 4 : 0) << r.style;
    }
}

// The worked example of the main page, byte for byte as typed.
TEST(ExportMainPage, WorkedExampleAnchors) {
    CPageBench b;
    b.state.m_style = STYLE_ANCHORS;
    b.state.m_stdGenre = "その他";
    b.state.m_outputPath = "link.html";
    b.Add("C:\\Favorites\\News\\a.url", "News", "http://a.example/");
    b.Add("C:\\Favorites\\News\\b.url", "News", "http://b.example/");
    b.Add("C:\\Favorites\\c.url", "その他", "http://c.example/");
    EXPECT_EQ(MainPage(b),
              "<HTML>\r\n<HEAD>\r\n<TITLE>My Link</TITLE>\r\n"
              "</HEAD>\r\n<BODY>\r\n"
              "<A NAME=\"TOP\">\r\n"
              "<H1>わたしのお気に入り</H1>\r\n"
              "<NOBR><a href=\"#News\">[News]</A>　</NOBR>"
              "<NOBR><a href=\"#その他\">[その他]</A>　</NOBR>"
              "<HR><TABLE BORDER=1>\r\n<TR><TH>ジャンル</TH><TH>リンク</TH></TR>\r\n"
              "<TR><TD>News</TD><TD><A HREF=\"http://a.example/\" TARGET=\"_top\">a</A></TD></TR>\r\n"
              "<TR><TD>News</TD><TD><A HREF=\"http://b.example/\" TARGET=\"_top\">b</A></TD></TR>\r\n"
              "</TABLE>\r\n<A NAME=\"その他\"><A HREF=\"#TOP\">▲</A><BR>\r\n"
              "<TABLE BORDER=1>\r\n<TR><TH>ジャンル</TH><TH>リンク</TH></TR>\r\n"
              "<TR><TD>その他</TD><TD><A HREF=\"http://c.example/\" TARGET=\"_top\">c</A></TD></TR>\r\n"
              "</TABLE>\r\n<P align=\"right\"><A HREF=\"http://www.orvelle.example\" TARGET=\"_top\">"
              "Orvelle v4.00</A></P>\r\n"
              "</BODY>\r\n</HTML>\r\n");
}

// The head of the main page: title, head end, back link and heading.
TEST(ExportMainPage, HeadVariants) {
    const std::string script = page::kHeadEndScript + std::string(page::kBackLinkScript);
    const struct {
        std::string caption, backUrl;
        int useJava;
        std::string head;
    } rows[] = {
        {"", "", 0, page::kHeadDefaultTitle + std::string(page::kHeadEnd) + page::kHeadingDefault},
        {"T<&>", "", 0, page::HeadTitle("T<&>") + page::kHeadEnd + page::Heading("T<&>")},
        {"T", "http://b/?a=1&b=\"2\"", 0,
         page::HeadTitle("T") + page::kHeadEnd + page::BackLink("http://b/?a=1&b=\"2\"") + page::Heading("T")},
        // The script back link wins over a set back URL, and the heading
        // follows it on the same line.
        {"T", "http://b/", 1, page::HeadTitle("T") + script + page::Heading("T")},
        {"", "", 1, page::kHeadDefaultTitle + script + page::kHeadingDefault},
        {"T", "http://b/", 2, page::HeadTitle("T") + page::kHeadEnd + page::BackLink("http://b/") + page::Heading("T")},
    };
    for (const auto& r : rows) {
        CPageBench b;
        b.state.m_style = STYLE_SINGLE;
        b.state.m_caption = r.caption;
        b.state.m_backUrl = r.backUrl;
        b.state.m_useJava = r.useJava;
        b.state.m_stdGenre = "S";
        b.Add("C:\\Favorites\\x.url", "S", "u");
        EXPECT_EQ(MainPage(b),
                  page::Crlf(r.head + page::kTableHead + LinkRow("S", "u", "x") + page::Footer() + page::kPageEnd))
            << r.caption << " " << r.useJava;
    }
}

// The anchor index and the genre breaks of STYLE_ANCHORS.
TEST(ExportMainPage, AnchorGenreRuns) {
    const std::string head = page::kHeadDefaultTitle + std::string(page::kHeadEnd) + page::kTopAnchor +
                             page::kHeadingDefault;
    auto item = page::AnchorIndexItem;
    const std::string hr = std::string(page::kAnchorIndexEnd) + page::kTableHead;
    struct Entry { std::string path, genre; };
    const struct {
        const char* name;
        std::string stdGenre;
        std::vector<Entry> list;
        std::string body;
    } rows[] = {
        {"one genre", "S",
         {{"C:\\Favorites\\A\\1.url", "A"}, {"C:\\Favorites\\A\\2.url", "A"}},
         item("A") + hr + LinkRow("A", "u", "1") + LinkRow("A", "u", "2")},
        {"three genres", "S",
         {{"C:\\Favorites\\A\\1.url", "A"}, {"C:\\Favorites\\B\\2.url", "B"}, {"C:\\Favorites\\C\\3.url", "C"}},
         item("A") + item("B") + item("C") + hr + LinkRow("A", "u", "1") + page::GenreBreak("B") +
             LinkRow("B", "u", "2") + page::GenreBreak("C") + LinkRow("C", "u", "3")},
        // Empty standard genre: no item and no break for it, none for the first
        // named genre either; the next change is the first break.
        {"empty standard genre", "",
         {{"C:\\Favorites\\1.url", ""}, {"C:\\Favorites\\A\\2.url", "A"}, {"C:\\Favorites\\B\\3.url", "B"}},
         item("A") + item("B") + hr + LinkRow("", "u", "1") + LinkRow("A", "u", "2") + page::GenreBreak("B") +
             LinkRow("B", "u", "3")},
        {"all empty", "",
         {{"C:\\Favorites\\1.url", ""}, {"C:\\Favorites\\2.url", ""}},
         hr + LinkRow("", "u", "1") + LinkRow("", "u", "2")},
    };
    for (const auto& r : rows) {
        CPageBench b;
        b.state.m_style = STYLE_ANCHORS;
        b.state.m_stdGenre = r.stdGenre;
        for (const auto& e : r.list) b.Add(e.path, e.genre, "u");
        EXPECT_EQ(MainPage(b), page::Crlf(head + r.body + page::Footer() + page::kPageEnd)) << r.name;
    }
}

// Index and menu pages when every genre is empty; genre pages then do not exist.
TEST(ExportIndexPage, AllGenresEmpty) {
    const struct { int style; std::string path, content; } rows[] = {
        {STYLE_INDEX, "C:\\w\\i.html",
         page::kHeadDefaultTitle + std::string(page::kHeadEnd) + page::kHeadingDefault + page::kIndexEnd},
        {STYLE_FRAMES, "C:\\w\\linkmenu.html", page::kIndexEnd},
    };
    for (const auto& r : rows) {
        CPageBench b;
        b.state.m_style = r.style;
        b.state.m_outputPath = "C:\\w\\i.html";
        b.Add("C:\\Favorites\\1.url", "", "u");
        b.Add("C:\\Favorites\\2.url", "", "u");
        EXPECT_EQ(WriteIndexPage(b.Ctx()), PageResult::Ok);
        EXPECT_EQ(WriteGenrePages(b.Ctx()), PageResult::Ok);
        ASSERT_EQ(b.sink.Paths(), std::vector<std::string>{r.path});
        EXPECT_EQ(b.sink.files[0]->bytes, page::Crlf(r.content));
        EXPECT_EQ(b.reads, 0);
    }
}

// Menu lines and genre pages share their numbers; an empty genre at the top
// gets neither; the page genre comes from the genre array.
TEST(ExportGenrePages, NumberedLikeTheMenuLines) {
    CPageBench b;
    b.state.m_style = STYLE_FRAMES;
    b.state.m_outputPath = "link.html";
    b.state.m_stdGenre = "";
    b.Add("C:\\Favorites\\0.url", "", "u0");
    b.Add("C:\\Favorites\\A<&\\1.url", "A<&", "u1");
    b.Add("C:\\X\\Local\\2.url", "Local", "u2");
    b.Add("C:\\Y\\Local\\3.url", "Local", "u3");
    b.Add("C:\\Favorites\\\x83\x5C\\4.url", "\x83\x5C", "u4");
    ASSERT_EQ(WriteIndexPage(b.Ctx()), PageResult::Ok);
    ASSERT_EQ(WriteGenrePages(b.Ctx()), PageResult::Ok);
    EXPECT_EQ(b.sink.Paths(), (std::vector<std::string>{"linkmenu.html", "00000001.html", "00000002.html",
                                                         "00000003.html"}));
    EXPECT_EQ(b.sink.Content("linkmenu.html"),
              page::MenuItem(1, "A<&") + page::MenuItem(2, "Local") + page::MenuItem(3, "ソ") + page::kIndexEnd);
    const struct { const char* name; std::string genre, rows; } pages[] = {
        {"00000001.html", "A<&", LinkRow("A<&", "u1", "1")},
        {"00000002.html", "Local", LinkRow("Local", "u2", "2") + LinkRow("Local", "u3", "3")},
        {"00000003.html", "ソ", LinkRow("ソ", "u4", "4")},
    };
    for (const auto& p : pages)
        EXPECT_EQ(b.sink.Content(p.name), page::Crlf(page::GenrePage(page::kHeadEnd, p.genre, p.rows))) << p.name;
}

// Genre pages of STYLE_INDEX link back to the output path as configured.
TEST(ExportGenrePages, BackLinkIsTheOutputPath) {
    for (const char* out : {"link.html", "C:\\web\\top.html", "C:\\ソ\\top.html"}) {
        CPageBench b;
        b.state.m_style = STYLE_INDEX;
        b.state.m_outputPath = out;
        b.state.m_backUrl = "http://ignored/";
        b.state.m_useJava = 1;
        b.Add("C:\\Favorites\\A\\1.url", "A", "u");
        ASSERT_EQ(WriteGenrePages(b.Ctx()), PageResult::Ok);
        ASSERT_EQ(b.sink.files.size(), 1u);
        EXPECT_EQ(b.sink.files[0]->path, BaseFolder(out) + "00000001.html");
        EXPECT_EQ(b.sink.files[0]->bytes,
                  page::Crlf(page::GenrePage(page::GenrePageBack(out), "A", LinkRow("A", "u", "1"))));
    }
}

// Every line feed of every file is CR LF; no bare LF and no CR without LF.
TEST(ExportStyles, OnlyCrLfLineBreaks) {
    for (int style : {STYLE_SINGLE, STYLE_INDEX, STYLE_FRAMES, STYLE_ANCHORS}) {
        CPageBench b;
        ThreeGenres(b, style);
        b.state.m_useJava = 1;
        ASSERT_EQ(WriteAllPages(b.Ctx()), PageResult::Ok);
        for (const auto& f : b.sink.files) {
            const std::string& s = f->bytes;
            for (size_t i = 0; i < s.size(); ++i) {
                if (s[i] == '\n') {
                    EXPECT_TRUE(i > 0 && s[i - 1] == '\r') << f->path << " at " << i;
                }
                if (s[i] == '\r') {
                    EXPECT_TRUE(i + 1 < s.size() && s[i + 1] == '\n') << f->path;
                }
            }
        }
    }
}
