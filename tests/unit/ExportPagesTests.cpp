#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ExportPageTestKit.h"
#include "export/Export.h"

// Expected pages are spelled out from the fragment texts, line by line, with
// every line feed stored as CR LF.
namespace {

const std::string kFoot =
    "</TABLE>\r\n<P align=\"right\"><A HREF=\"http://www.orvelle.example\" TARGET=\"_top\">"
    "Orvelle v4.00</A></P>\r\n";
const std::string kEnd = "</BODY>\r\n</HTML>\r\n";
const std::string kTable = "<TABLE BORDER=1>\r\n<TR><TH>ジャンル</TH><TH>リンク</TH></TR>\r\n";

std::string Row(const std::string& genre, const std::string& url, const std::string& text) {
    return "<TR><TD>" + genre + "</TD><TD><A HREF=\"" + url + "\" TARGET=\"_top\">" + text +
           "</A></TD></TR>\r\n";
}

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

const std::string kThreeHead =
    "<HTML>\r\n<HEAD>\r\n<TITLE>My Page</TITLE>\r\n";
const std::string kThreeBody =
    "<A HREF=\"http://back/\" TARGET=\"_top\">戻る</A>\r\n<H1>My Page</H1>\r\n";
const std::string kThreeRows = Row("Alpha", "http://a1/", "a1") + Row("Alpha", "http://a2/", "a2") +
                               Row("Beta", "http://b/", "b") + Row("Std", "http://c/", "c");

std::string GenrePage(const std::string& head, const std::string& genre, const std::string& rows) {
    return "<HTML>\r\n<HEAD>\r\n" + head + "<H1>" + genre +
           "</H1>\r\n<TABLE BORDER=\"1\">\r\n<TR><TD>ジャンル</TD><TD>リンク</TD></TR>\r\n" + rows +
           kFoot + kEnd;
}
const std::string kIndexBack =
    "</HEAD>\r\n<BODY>\r\n<A HREF=\"C:\\web\\top.html\" TARGET=\"_top\">戻る</A>\r\n";
const std::string kFramesHead = "</HEAD>\r\n<BODY>\r\n";

}  // namespace

// Every style on the three-genre list, file by file in the order they open.
TEST(ExportStyles, EveryStyleOnThreeGenres) {
    const std::string single = kThreeHead + "</HEAD>\r\n<BODY>\r\n" + kThreeBody + kTable + kThreeRows +
                               kFoot + kEnd;
    const std::string frames =
        kThreeHead +
        "<FRAMESET COLS=\"200,*\">\r\n<FRAME SRC=\"linkmenu.html\">\r\n"
        "<FRAME SRC=\"linkmenu.html\" NAME=\"_CONTENT\">\r\n<NOFRAMES>\r\n"
        "</HEAD>\r\n<BODY>\r\n" + kThreeBody + kTable + kThreeRows + kFoot + "</NOFRAMES>\r\n" + kEnd;
    const std::string anchors =
        kThreeHead + "</HEAD>\r\n<BODY>\r\n<A NAME=\"TOP\">\r\n" + kThreeBody +
        "<NOBR><a href=\"#Alpha\">[Alpha]</A>　</NOBR><NOBR><a href=\"#Beta\">[Beta]</A>　</NOBR>"
        "<NOBR><a href=\"#Std\">[Std]</A>　</NOBR><HR>" + kTable +
        Row("Alpha", "http://a1/", "a1") + Row("Alpha", "http://a2/", "a2") +
        "</TABLE>\r\n<A NAME=\"Beta\"><A HREF=\"#TOP\">▲</A><BR>\r\n" + kTable + Row("Beta", "http://b/", "b") +
        "</TABLE>\r\n<A NAME=\"Std\"><A HREF=\"#TOP\">▲</A><BR>\r\n" + kTable + Row("Std", "http://c/", "c") +
        kFoot + kEnd;
    const std::string index =
        kThreeHead + "</HEAD>\r\n<BODY>\r\n" + kThreeBody +
        "<NOBR><a href=\"00000001.html\">[Alpha]</A>　</NOBR><BR>"
        "<NOBR><a href=\"00000002.html\">[Beta]</A>　</NOBR><BR>"
        "<NOBR><a href=\"00000003.html\">[Std]</A>　</NOBR><BR></BODY></HTML>";
    const std::string menu =
        "<NOBR><a href=\"00000001.html\" TARGET=\"_CONTENT\">[Alpha]</A>　</NOBR><BR>"
        "<NOBR><a href=\"00000002.html\" TARGET=\"_CONTENT\">[Beta]</A>　</NOBR><BR>"
        "<NOBR><a href=\"00000003.html\" TARGET=\"_CONTENT\">[Std]</A>　</NOBR><BR></BODY></HTML>";
    const std::string alphaRows = Row("Alpha", "http://a1/", "a1") + Row("Alpha", "http://a2/", "a2");
    const std::string betaRows = Row("Beta", "http://b/", "b");
    const std::string stdRows = Row("Std", "http://c/", "c");

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
         {frames, menu, GenrePage(kFramesHead, "Alpha", alphaRows), GenrePage(kFramesHead, "Beta", betaRows),
          GenrePage(kFramesHead, "Std", stdRows)}},
        {STYLE_INDEX, {out, out, g1, g2, g3},
         {"", index, GenrePage(kIndexBack, "Alpha", alphaRows), GenrePage(kIndexBack, "Beta", betaRows),
          GenrePage(kIndexBack, "Std", stdRows)}},
        {0, {out}, {""}},
        {7, {out}, {""}},
    };
    for (const auto& r : rows) {
        CPageBench b;
        ThreeGenres(b, r.style);
        EXPECT_EQ(WriteAllPages(b.Ctx()), PageResult::Ok) << r.style;
        ASSERT_EQ(b.sink.Paths(), r.paths) << r.style;
        for (size_t i = 0; i < r.paths.size(); ++i) {
            EXPECT_EQ(b.sink.files[i]->bytes, r.contents[i]) << r.style << " file " << i;
            EXPECT_EQ(b.sink.files[i]->closes, 1);
            EXPECT_FALSE(b.sink.files[i]->writeAfterClose);
        }
        EXPECT_EQ(b.sink.mostOpen, 1) << "one file at a time";
        // Frames reads each address once although it writes each link twice.
        EXPECT_EQ(b.reads, (r.style >= 1 && r.style <= 4) ? 4 : 0) << r.style;
    }
}

// The worked example of the main page, byte for byte.
TEST(ExportMainPage, WorkedExampleAnchors) {
    CPageBench b;
    b.state.m_style = STYLE_ANCHORS;
    b.state.m_stdGenre = "その他";
    b.state.m_outputPath = "link.html";
    b.Add("C:\\Favorites\\News\\a.url", "News", "http://a.example/");
    b.Add("C:\\Favorites\\News\\b.url", "News", "http://b.example/");
    b.Add("C:\\Favorites\\c.url", "その他", "http://c.example/");
    b.Ctx().m_outFile = b.sink.Create("link.html");
    ASSERT_TRUE(WriteMainPage(b.Ctx()));
    ASSERT_TRUE(b.Ctx().m_outFile->Close());
    EXPECT_EQ(b.sink.Content("link.html"),
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
    const std::string script =
        "<SCRIPT LANGUAGE=\"JavaScript\">\r\n<!--\r\nfunction goback()\r\n{\r\n"
        "if (window.history.length == 0)\r\n{\r\nwindow.close();\r\n}\r\nelse\r\n{\r\n"
        "window.history.back()\r\n}\r\n}//-->\r\n</SCRIPT>\r\n</HEAD><BODY>\r\n";
    const std::string scriptBack =
        "<SCRIPT LANGUAGE=\"JavaScript\">\r\n<!--\r\n"
        "document.writeln('<A HREF=\"javascript:goback();\" TARGET=\"_top\">戻る</a>');\r\n"
        "//-->\r\n</script>";
    const struct {
        std::string caption, backUrl;
        int useJava;
        std::string head;
    } rows[] = {
        {"", "", 0,
         "<HTML>\r\n<HEAD>\r\n<TITLE>My Link</TITLE>\r\n</HEAD>\r\n<BODY>\r\n"
         "<H1>わたしのお気に入り</H1>\r\n"},
        {"T<&>", "", 0,
         "<HTML>\r\n<HEAD>\r\n<TITLE>T<&></TITLE>\r\n</HEAD>\r\n<BODY>\r\n<H1>T<&></H1>\r\n"},
        {"T", "http://b/?a=1&b=\"2\"", 0,
         "<HTML>\r\n<HEAD>\r\n<TITLE>T</TITLE>\r\n</HEAD>\r\n<BODY>\r\n"
         "<A HREF=\"http://b/?a=1&b=\"2\"\" TARGET=\"_top\">戻る</A>\r\n<H1>T</H1>\r\n"},
        // The script back link wins over a set back URL, and the heading
        // follows it on the same line.
        {"T", "http://b/", 1,
         "<HTML>\r\n<HEAD>\r\n<TITLE>T</TITLE>\r\n" + script + scriptBack + "<H1>T</H1>\r\n"},
        {"", "", 1,
         "<HTML>\r\n<HEAD>\r\n<TITLE>My Link</TITLE>\r\n" + script + scriptBack +
             "<H1>わたしのお気に入り</H1>\r\n"},
        {"T", "http://b/", 2,
         "<HTML>\r\n<HEAD>\r\n<TITLE>T</TITLE>\r\n</HEAD>\r\n<BODY>\r\n"
         "<A HREF=\"http://b/\" TARGET=\"_top\">戻る</A>\r\n<H1>T</H1>\r\n"},
    };
    for (const auto& r : rows) {
        CPageBench b;
        b.state.m_style = STYLE_SINGLE;
        b.state.m_caption = r.caption;
        b.state.m_backUrl = r.backUrl;
        b.state.m_useJava = r.useJava;
        b.state.m_stdGenre = "S";
        b.Add("C:\\Favorites\\x.url", "S", "u");
        b.Ctx().m_outFile = b.sink.Create("p");
        ASSERT_TRUE(WriteMainPage(b.Ctx()));
        b.Ctx().m_outFile->Close();
        EXPECT_EQ(b.sink.Content("p"), r.head + kTable + Row("S", "u", "x") + kFoot + kEnd)
            << r.caption << " " << r.useJava;
    }
}

// The anchor index and the genre breaks of STYLE_ANCHORS.
TEST(ExportMainPage, AnchorGenreRuns) {
    const std::string head =
        "<HTML>\r\n<HEAD>\r\n<TITLE>My Link</TITLE>\r\n</HEAD>\r\n<BODY>\r\n<A NAME=\"TOP\">\r\n"
        "<H1>わたしのお気に入り</H1>\r\n";
    auto item = [](const std::string& g) { return "<NOBR><a href=\"#" + g + "\">[" + g + "]</A>　</NOBR>"; };
    auto brk = [](const std::string& g) {
        return "</TABLE>\r\n<A NAME=\"" + g + "\"><A HREF=\"#TOP\">▲</A><BR>\r\n" + kTable;
    };
    struct Entry { std::string path, genre; };
    const struct {
        const char* name;
        std::string stdGenre;
        std::vector<Entry> list;
        std::string body;
    } rows[] = {
        {"one genre", "S",
         {{"C:\\Favorites\\A\\1.url", "A"}, {"C:\\Favorites\\A\\2.url", "A"}},
         item("A") + "<HR>" + kTable + Row("A", "u", "1") + Row("A", "u", "2")},
        {"three genres", "S",
         {{"C:\\Favorites\\A\\1.url", "A"}, {"C:\\Favorites\\B\\2.url", "B"}, {"C:\\Favorites\\C\\3.url", "C"}},
         item("A") + item("B") + item("C") + "<HR>" + kTable + Row("A", "u", "1") + brk("B") +
             Row("B", "u", "2") + brk("C") + Row("C", "u", "3")},
        // Empty standard genre: no item and no break for it, none for the first
        // named genre either; the next change is the first break.
        {"empty standard genre", "",
         {{"C:\\Favorites\\1.url", ""}, {"C:\\Favorites\\A\\2.url", "A"}, {"C:\\Favorites\\B\\3.url", "B"}},
         item("A") + item("B") + "<HR>" + kTable + Row("", "u", "1") + Row("A", "u", "2") + brk("B") +
             Row("B", "u", "3")},
        {"all empty", "",
         {{"C:\\Favorites\\1.url", ""}, {"C:\\Favorites\\2.url", ""}},
         "<HR>" + kTable + Row("", "u", "1") + Row("", "u", "2")},
    };
    for (const auto& r : rows) {
        CPageBench b;
        b.state.m_style = STYLE_ANCHORS;
        b.state.m_stdGenre = r.stdGenre;
        for (const auto& e : r.list) b.Add(e.path, e.genre, "u");
        b.Ctx().m_outFile = b.sink.Create("p");
        ASSERT_TRUE(WriteMainPage(b.Ctx()));
        b.Ctx().m_outFile->Close();
        EXPECT_EQ(b.sink.Content("p"), head + r.body + kFoot + kEnd) << r.name;
    }
}

// Index and menu pages when every genre is empty; genre pages then do not exist.
TEST(ExportIndexPage, AllGenresEmpty) {
    const struct { int style; std::string path, content; } rows[] = {
        {STYLE_INDEX, "C:\\w\\i.html",
         "<HTML>\r\n<HEAD>\r\n<TITLE>My Link</TITLE>\r\n</HEAD>\r\n<BODY>\r\n"
         "<H1>わたしのお気に入り</H1>\r\n</BODY></HTML>"},
        {STYLE_FRAMES, "C:\\w\\linkmenu.html", "</BODY></HTML>"},
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
        EXPECT_EQ(b.sink.files[0]->bytes, r.content);
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
              "<NOBR><a href=\"00000001.html\" TARGET=\"_CONTENT\">[A<&]</A>　</NOBR><BR>"
              "<NOBR><a href=\"00000002.html\" TARGET=\"_CONTENT\">[Local]</A>　</NOBR><BR>"
              "<NOBR><a href=\"00000003.html\" TARGET=\"_CONTENT\">[ソ]</A>　</NOBR><BR></BODY></HTML>");
    EXPECT_EQ(b.sink.Content("00000001.html"), GenrePage(kFramesHead, "A<&", Row("A<&", "u1", "1")));
    EXPECT_EQ(b.sink.Content("00000002.html"),
              GenrePage(kFramesHead, "Local", Row("Local", "u2", "2") + Row("Local", "u3", "3")));
    EXPECT_EQ(b.sink.Content("00000003.html"), GenrePage(kFramesHead, "ソ", Row("ソ", "u4", "4")));
}

// Genre pages of STYLE_INDEX link back to the output path as configured.
TEST(ExportGenrePages, BackLinkIsTheOutputPath) {
    const char* paths[] = {"link.html", "C:\\web\\top.html", "C:\\ソ\\top.html"};
    for (const char* out : paths) {
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
                  GenrePage("</HEAD>\r\n<BODY>\r\n<A HREF=\"" + std::string(out) +
                                "\" TARGET=\"_top\">戻る</A>\r\n",
                            "A", Row("A", "u", "1")));
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
