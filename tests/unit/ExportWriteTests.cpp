#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/TempDir.h"
#include "support/Fakes.h"
#include "support/MemorySink.h"
#include "export/Export.h"

namespace {

const std::string kDone = "msg:ファイルへの出力が完了しました。";
const std::string kEmpty = "msg:出力する内容がありません";
const std::string kInvalid = "msg:フォルダ名かファイル名が不正です。確認してください。";
const std::string kFailed = "msg:ファイルへの出力に失敗しました。";

const std::string kFoot =
    "</TABLE>\r\n<P align=\"right\"><A HREF=\"http://www.orvelle.example\" TARGET=\"_top\">"
    "Orvelle v4.00</A></P>\r\n";
const std::string kTable = "<TABLE BORDER=1>\r\n<TR><TH>ジャンル</TH><TH>リンク</TH></TR>\r\n";
const std::string kGenreTable = "</H1>\r\n<TABLE BORDER=\"1\">\r\n<TR><TD>ジャンル</TD><TD>リンク</TD></TR>\r\n";

std::string Row(const std::string& genre, const std::string& url, const std::string& text) {
    return "<TR><TD>" + genre + "</TD><TD><A HREF=\"" + url + "\" TARGET=\"_top\">" + text +
           "</A></TD></TR>\r\n";
}

// The host's events without the list redraws, which belong to the list logic.
std::vector<std::string> Events(const CFakeHost& host) {
    std::vector<std::string> out;
    for (const auto& e : host.events)
        if (e != "list") out.push_back(e);
    return out;
}

std::vector<std::string> ListOf(const CMainState& s) { return ListTexts(s.m_linkList); }

// Four real shortcut files in path order: News (two), the Favorites folder
// itself, and 表 (second byte 0x5C).
struct CShortcuts {
    std::vector<std::string> paths = {"C:\\Favorites\\News\\a.url", "C:\\Favorites\\News\\b.url",
                                      "C:\\Favorites\\c.url", "C:\\Favorites\\表\\d.url"};
    CShortcuts() {
        CTempDir::PutShortcut(paths[0], "http://a.example/");
        CTempDir::PutShortcut(paths[1], "http://b.example/?q=1&r=2");
        CTempDir::PutShortcut(paths[2], "http://c.example/");
        CTempDir::PutShortcut(paths[3], "http://d.example/");
    }
    void Fill(CMainState& s) const {
        for (const auto& p : paths) s.m_linkList.Append(p);
    }
};

const std::string kRows = Row("News", "http://a.example/", "a") +
                          Row("News", "http://b.example/?q=1&r=2", "b") +
                          Row("その他", "http://c.example/", "c") + Row("表", "http://d.example/", "d");

}  // namespace

// STYLE_FRAMES into C:\web\ソース.html: the pages lie in C:\web\, the title
// is the text typed just before the press, the list is in path order after.
TEST(ExportWrite, FramesWithRealShortcuts) {
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    CShortcuts links;
    CMainState state;
    links.Fill(state);
    state.m_style = STYLE_FRAMES;
    state.m_caption = "old";
    CFakeHost host(state);
    host.controls.caption = "Typed";
    host.controls.outputPath = "C:\\web\\ソース.html";
    host.controls.stdGenre = "その他";
    CTempDir::Put("C:\\web\\00000009.html", "older page");
    CStdioPageSink sink;
    RunWrite(state, host, sink);

    EXPECT_EQ(Events(host), (std::vector<std::string>{"take", "show", "wait", "take", "endwait", kDone}));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].second, MsgKind::Completion);
    EXPECT_EQ(CTempDir::Get("C:\\web\\ソース.html"),
              "<HTML>\r\n<HEAD>\r\n<TITLE>Typed</TITLE>\r\n"
              "<FRAMESET COLS=\"200,*\">\r\n<FRAME SRC=\"linkmenu.html\">\r\n"
              "<FRAME SRC=\"linkmenu.html\" NAME=\"_CONTENT\">\r\n<NOFRAMES>\r\n"
              "</HEAD>\r\n<BODY>\r\n<H1>Typed</H1>\r\n" + kTable + kRows + kFoot +
              "</NOFRAMES>\r\n</BODY>\r\n</HTML>\r\n");
    EXPECT_EQ(CTempDir::Get("C:\\web\\linkmenu.html"),
              "<NOBR><a href=\"00000001.html\" TARGET=\"_CONTENT\">[News]</A>　</NOBR><BR>"
              "<NOBR><a href=\"00000002.html\" TARGET=\"_CONTENT\">[その他]</A>　</NOBR><BR>"
              "<NOBR><a href=\"00000003.html\" TARGET=\"_CONTENT\">[表]</A>　</NOBR><BR></BODY></HTML>");
    const std::string head = "<HTML>\r\n<HEAD>\r\n</HEAD>\r\n<BODY>\r\n<H1>";
    const std::string end = kFoot + "</BODY>\r\n</HTML>\r\n";
    EXPECT_EQ(CTempDir::Get("C:\\web\\00000001.html"),
              head + "News" + kGenreTable + Row("News", "http://a.example/", "a") +
                  Row("News", "http://b.example/?q=1&r=2", "b") + end);
    EXPECT_EQ(CTempDir::Get("C:\\web\\00000002.html"),
              head + "その他" + kGenreTable + Row("その他", "http://c.example/", "c") + end);
    EXPECT_EQ(CTempDir::Get("C:\\web\\00000003.html"),
              head + "表" + kGenreTable + Row("表", "http://d.example/", "d") + end);
    EXPECT_FALSE(CTempDir::Exists("C:\\web\\00000004.html"));
    EXPECT_EQ(CTempDir::Get("C:\\web\\00000009.html"), "older page");
    EXPECT_FALSE(CTempDir::Exists("linkmenu.html"));
    EXPECT_EQ(ListOf(state), links.paths);
}

// STYLE_INDEX into link.html (no folder): the index page is the whole main
// file and the genre pages lie beside it, linking back to "link.html".
TEST(ExportWrite, IndexBesideAFolderlessOutput) {
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    CShortcuts links;
    CMainState state;
    links.Fill(state);
    state.m_style = STYLE_INDEX;
    CFakeHost host(state);
    host.controls.outputPath = "link.html";
    host.controls.stdGenre = "その他";
    host.controls.backUrl = "http://home/";
    CStdioPageSink sink;
    RunWrite(state, host, sink);

    EXPECT_EQ(Events(host), (std::vector<std::string>{"take", "show", "wait", "take", "endwait", kDone}));
    EXPECT_EQ(CTempDir::Get("link.html"),
              "<HTML>\r\n<HEAD>\r\n<TITLE>My Link</TITLE>\r\n</HEAD>\r\n<BODY>\r\n"
              "<A HREF=\"http://home/\" TARGET=\"_top\">戻る</A>\r\n<H1>わたしのお気に入り</H1>\r\n"
              "<NOBR><a href=\"00000001.html\">[News]</A>　</NOBR><BR>"
              "<NOBR><a href=\"00000002.html\">[その他]</A>　</NOBR><BR>"
              "<NOBR><a href=\"00000003.html\">[表]</A>　</NOBR><BR></BODY></HTML>");
    const std::string head =
        "<HTML>\r\n<HEAD>\r\n</HEAD>\r\n<BODY>\r\n<A HREF=\"link.html\" TARGET=\"_top\">戻る</A>\r\n<H1>";
    EXPECT_EQ(CTempDir::Get("00000002.html"),
              head + "その他" + kGenreTable + Row("その他", "http://c.example/", "c") + kFoot +
                  "</BODY>\r\n</HTML>\r\n");
    EXPECT_TRUE(CTempDir::Exists("00000001.html"));
    EXPECT_TRUE(CTempDir::Exists("00000003.html"));
    EXPECT_FALSE(CTempDir::Exists("linkmenu.html"));
}

// A double quote in a shortcut's address cannot end the href.
TEST(ExportWrite, QuoteInAddressIsEscaped) {
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    CTempDir::PutShortcut("C:\\Favorites\\x.url", "http://q.example/\"onclick=\"alert(1)");
    CMainState state;
    state.m_linkList.Append("C:\\Favorites\\x.url");
    state.m_style = STYLE_SINGLE;
    CFakeHost host(state);
    host.controls.outputPath = "out.html";
    host.controls.stdGenre = "S";
    CStdioPageSink sink;
    RunWrite(state, host, sink);
    EXPECT_EQ(CTempDir::Get("out.html"),
              "<HTML>\r\n<HEAD>\r\n<TITLE>My Link</TITLE>\r\n</HEAD>\r\n<BODY>\r\n"
              "<H1>わたしのお気に入り</H1>\r\n" + kTable +
                  Row("S", "http://q.example/%22onclick=%22alert(1)", "x") + kFoot +
                  "</BODY>\r\n</HTML>\r\n");
}

// Styles outside 1..4 empty the main file and still complete.
TEST(ExportWrite, UnknownStyleLeavesAnEmptyFile) {
    for (int style : {0, 5, 7, -1}) {
        CTempDir dir;
        ASSERT_TRUE(dir.ok());
        CShortcuts links;
        CTempDir::Put("out.html", "previous export");
        CMainState state;
        links.Fill(state);
        state.m_style = style;
        CFakeHost host(state);
        host.controls.outputPath = "out.html";
        CStdioPageSink sink;
        RunWrite(state, host, sink);
        EXPECT_EQ(CTempDir::Get("out.html"), "") << style;
        EXPECT_EQ(Events(host), (std::vector<std::string>{"take", "show", "wait", "take", "endwait", kDone}));
        EXPECT_FALSE(CTempDir::Exists("linkmenu.html"));
        EXPECT_FALSE(CTempDir::Exists("00000001.html"));
    }
}

// The two refusals: nothing written or changed, message before the refresh,
// no wait cursor.
TEST(ExportWrite, RefusalsWriteNothing) {
    const struct {
        const char* name;
        bool withLinks;
        std::string outputPath;
        std::string message;
    } rows[] = {
        {"empty list", false, "out.html", kEmpty},
        {"empty path", true, "", kInvalid},
        {"missing folder", true, "missing/out.html", kInvalid},
        {"a folder's name", true, "C:\\web", kInvalid},
    };
    for (const auto& r : rows) {
        CTempDir dir;
        ASSERT_TRUE(dir.ok());
        CShortcuts links;
        CTempDir::MakeFolder("C:\\web");
        CTempDir::Put("out.html", "keep me");
        CMainState state;
        if (r.withLinks) links.Fill(state);
        state.m_style = STYLE_FRAMES;
        CFakeHost host(state);
        host.controls.outputPath = r.outputPath;
        CStdioPageSink sink;
        RunWrite(state, host, sink);
        EXPECT_EQ(Events(host), (std::vector<std::string>{"take", "show", r.message, "take"})) << r.name;
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].second, MsgKind::Refusal) << r.name;
        EXPECT_EQ(CTempDir::Get("out.html"), "keep me") << r.name;
        EXPECT_FALSE(CTempDir::Exists("linkmenu.html")) << r.name;
        EXPECT_FALSE(CTempDir::Exists("missing")) << r.name;
    }
}

// A genre page whose name a folder occupies stops the export with the
// invalid-name message; the pages before it are written, none after it.
TEST(ExportWrite, GenrePageNameTakenByAFolder) {
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    CShortcuts links;
    CTempDir::MakeFolder("00000002.html");
    CMainState state;
    links.Fill(state);
    state.m_style = STYLE_INDEX;
    CFakeHost host(state);
    host.controls.outputPath = "link.html";
    host.controls.stdGenre = "その他";
    CStdioPageSink sink;
    RunWrite(state, host, sink);
    EXPECT_EQ(Events(host), (std::vector<std::string>{"take", "show", "wait", "take", "endwait", kInvalid}));
    EXPECT_EQ(host.messages[0].second, MsgKind::Refusal);
    EXPECT_TRUE(CTempDir::Exists("00000001.html"));
    EXPECT_TRUE(CTempDir::IsFolder("00000002.html"));
    EXPECT_FALSE(CTempDir::Exists("00000003.html"));
    EXPECT_EQ(ListOf(state), links.paths);
}

// A full disk under the real sink: failure, never completion.
TEST(ExportWrite, FullDiskReportsFailure) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no full device";
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    CShortcuts links;
    for (int style : {STYLE_SINGLE, STYLE_FRAMES, STYLE_ANCHORS}) {
        CMainState state;
        links.Fill(state);
        state.m_style = style;
        CFakeHost host(state);
        host.controls.outputPath = "/dev/full";
        CStdioPageSink sink;
        RunWrite(state, host, sink);
        EXPECT_EQ(Events(host), (std::vector<std::string>{"take", "show", "wait", "take", "endwait", kFailed}))
            << style;
        EXPECT_EQ(host.messages[0].second, MsgKind::Refusal);
        EXPECT_FALSE(CTempDir::Exists("linkmenu.html"));
    }
}

// Injected failures of an open, a write or a close of the n-th file (the
// test open counts as file 0): the export stops there, closes what it has
// open exactly once, never touches a file that did not open, and ends with
// the matching message instead of completion.
TEST(ExportWrite, InjectedFailuresStopTheExport) {
    const std::string out = "C:\\w\\o.html", menu = "C:\\w\\linkmenu.html", p1 = "C:\\w\\00000001.html",
                      p2 = "C:\\w\\00000002.html";
    const std::vector<std::string> wait = {"take", "show", "wait", "take", "endwait"};
    const struct {
        const char* name;
        int style, failOpen, failWrite, failClose;
        std::vector<std::string> events;  // sink events
        std::string message;
        bool waitCursor;
    } rows[] = {
        {"main file at the second open", STYLE_SINGLE, 1, -1, -1,
         {"open:" + out, "close:" + out, "fail:" + out}, kInvalid, true},
        {"index file reopened", STYLE_INDEX, 2, -1, -1,
         {"open:" + out, "close:" + out, "open:" + out, "close:" + out, "fail:" + out}, kInvalid, true},
        {"menu page", STYLE_FRAMES, 2, -1, -1,
         {"open:" + out, "close:" + out, "open:" + out, "close:" + out, "fail:" + menu}, kInvalid, true},
        {"second genre page", STYLE_FRAMES, 4, -1, -1,
         {"open:" + out, "close:" + out, "open:" + out, "close:" + out, "open:" + menu, "close:" + menu,
          "open:" + p1, "close:" + p1, "fail:" + p2},
         kInvalid, true},
        {"write of the main page", STYLE_ANCHORS, -1, 1, -1,
         {"open:" + out, "close:" + out, "open:" + out, "close:" + out}, kFailed, true},
        {"write of the menu page", STYLE_FRAMES, -1, 2, -1,
         {"open:" + out, "close:" + out, "open:" + out, "close:" + out, "open:" + menu, "close:" + menu},
         kFailed, true},
        {"write of a genre page", STYLE_INDEX, -1, 3, -1,
         {"open:" + out, "close:" + out, "open:" + out, "close:" + out, "open:" + out, "close:" + out,
          "open:" + p1, "close:" + p1},
         kFailed, true},
        {"close of the test open", STYLE_SINGLE, -1, -1, 0, {"open:" + out, "close:" + out}, kFailed, false},
        {"close of the main page", STYLE_FRAMES, -1, -1, 1,
         {"open:" + out, "close:" + out, "open:" + out, "close:" + out}, kFailed, true},
        {"close of the last genre page", STYLE_FRAMES, -1, -1, 4,
         {"open:" + out, "close:" + out, "open:" + out, "close:" + out, "open:" + menu, "close:" + menu,
          "open:" + p1, "close:" + p1, "open:" + p2, "close:" + p2},
         kFailed, true},
    };
    for (const auto& r : rows) {
        CMainState state;
        state.m_linkList.Append("C:\\Favorites\\A\\1.url");
        state.m_linkList.Append("C:\\Favorites\\B\\2.url");
        state.m_style = r.style;
        CFakeHost host(state);
        host.controls.outputPath = out;
        CMemorySink sink;
        sink.failOpenAt = r.failOpen;
        sink.failWriteAt = r.failWrite;
        sink.failWriteAfter = 10;
        sink.failCloseAt = r.failClose;
        RunWrite(state, host, sink, [](const std::string&) { return std::string("u"); });
        EXPECT_EQ(sink.events, r.events) << r.name;
        for (const auto& f : sink.files) {
            EXPECT_EQ(f->closes, 1) << r.name << " " << f->path;
            EXPECT_FALSE(f->writeAfterClose) << r.name;
        }
        EXPECT_EQ(sink.mostOpen, 1) << r.name;
        EXPECT_EQ(sink.openNow, 0) << r.name;
        std::vector<std::string> events =
            r.waitCursor ? wait : std::vector<std::string>{"take", "show", "take"};
        events.push_back(r.message);
        EXPECT_EQ(Events(host), events) << r.name;
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].second, MsgKind::Refusal) << r.name;
    }
}

// A failure that throws inside a page (here the reader) ends as a failed
// export: the wait cursor ends, nothing stays open, no completion.
TEST(ExportWrite, ThrowingPageEndsAsFailure) {
    CMainState state;
    state.m_linkList.Append("C:\\Favorites\\A\\1.url");
    state.m_style = STYLE_SINGLE;
    CFakeHost host(state);
    host.controls.outputPath = "o.html";
    CMemorySink sink;
    RunWrite(state, host, sink,
             [](const std::string&) -> std::string { throw std::runtime_error("no memory"); });
    EXPECT_EQ(Events(host), (std::vector<std::string>{"take", "show", "wait", "take", "endwait", kFailed}));
    EXPECT_EQ(sink.openNow, 0);
}
