#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "export/Export.h"
#include "links/Import.h"
#include "links/Scan.h"
#include "support/ExpectedPages.h"
#include "support/Fakes.h"
#include "support/FolderSources.h"
#include "support/MemorySink.h"
#include "support/PageReader.h"
#include "support/TempDir.h"

namespace {

using page::LinkRow;

const std::string kDone = "msg:ファイルへの出力が完了しました。";
const std::string kEmpty = "msg:出力する内容がありません";
const std::string kInvalid = "msg:フォルダ名かファイル名が不正です。確認してください。";
const std::string kFailed = "msg:ファイルへの出力に失敗しました。";

// A file that refuses to be opened for writing even for root: a read-only
// attribute of the kernel's sysfs.
const char kSysReadOnly[] = "/sys/devices/system/cpu/online";

// The host's events without the list redraws, which belong to the list logic.
std::vector<std::string> Events(const CFakeHost& host) {
    std::vector<std::string> out;
    for (const auto& e : host.events)
        if (e != "list") out.push_back(e);
    return out;
}

// Events of a Write that got past its test open and ended with |message|.
std::vector<std::string> Written(const std::string& message) {
    return {"take", "show", "wait", "take", "endwait", message};
}

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

// Their rows, with the standard genre その他.
const std::string kNewsRows = LinkRow("News", "http://a.example/", "a") +
                              LinkRow("News", "http://b.example/?q=1&r=2", "b");
const std::string kOtherRows = LinkRow("その他", "http://c.example/", "c");
const std::string kTableRows = LinkRow("表", "http://d.example/", "d");

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

    EXPECT_EQ(Events(host), Written(kDone));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].second, MsgKind::Completion);
    EXPECT_EQ(CTempDir::Get("C:\\web\\ソース.html"),
              page::Crlf(page::HeadTitle("Typed") + page::kFrameset + page::kHeadEnd + page::Heading("Typed") +
                         page::kTableHead + kNewsRows + kOtherRows + kTableRows + page::Footer() +
                         page::kNoFramesEnd + page::kPageEnd));
    EXPECT_EQ(CTempDir::Get("C:\\web\\linkmenu.html"),
              page::MenuItem(1, "News") + page::MenuItem(2, "その他") + page::MenuItem(3, "表") + page::kIndexEnd);
    EXPECT_EQ(CTempDir::Get("C:\\web\\00000001.html"), page::Crlf(page::GenrePage(page::kHeadEnd, "News", kNewsRows)));
    EXPECT_EQ(CTempDir::Get("C:\\web\\00000002.html"),
              page::Crlf(page::GenrePage(page::kHeadEnd, "その他", kOtherRows)));
    EXPECT_EQ(CTempDir::Get("C:\\web\\00000003.html"), page::Crlf(page::GenrePage(page::kHeadEnd, "表", kTableRows)));
    EXPECT_FALSE(CTempDir::Exists("C:\\web\\00000004.html"));
    EXPECT_EQ(CTempDir::Get("C:\\web\\00000009.html"), "older page");
    EXPECT_FALSE(CTempDir::Exists("linkmenu.html"));
    EXPECT_EQ(ListTexts(state.m_linkList), links.paths);
}

// After a Write the list is in path order again, filtered by the texts of
// the moment, whatever order it was given in: bookmarks of one text and
// folder by their source's order.
TEST(ExportWrite, ListBackInPathOrder) {
    struct Given {
        const char* text;
        uint32_t sourceOrder;
    };
    const struct {
        const char* name;
        std::vector<Given> list;
        std::string exclude;
        std::vector<std::pair<std::string, uint32_t>> after;
    } rows[] = {
        {"in path order", {{"C:\\F\\A\\1.url", 0}, {"C:\\F\\B\\2.url", 0}, {"C:\\F\\c.url", 0}}, "",
         {{"C:\\F\\A\\1.url", 0}, {"C:\\F\\B\\2.url", 0}, {"C:\\F\\c.url", 0}}},
        {"out of order", {{"C:\\F\\c.url", 0}, {"C:\\F\\B\\2.url", 0}, {"C:\\F\\A\\1.url", 0}}, "",
         {{"C:\\F\\A\\1.url", 0}, {"C:\\F\\B\\2.url", 0}, {"C:\\F\\c.url", 0}}},
        {"one text twice", {{"C:\\F\\B\\x.url", 2}, {"C:\\F\\A\\x.url", 1}, {"C:\\F\\B\\x.url", 1}}, "",
         {{"C:\\F\\A\\x.url", 1}, {"C:\\F\\B\\x.url", 1}, {"C:\\F\\B\\x.url", 2}}},
        {"exclusion typed since", {{"C:\\F\\A\\1.url", 0}, {"C:\\F\\B\\2.url", 0}}, "B",
         {{"C:\\F\\A\\1.url", 0}}},
    };
    for (const auto& r : rows) {
        CMainState state;
        for (const Given& g : r.list) {
            CLinkEntry entry(g.text);
            entry.sourceOrder = g.sourceOrder;
            entry.SetAddress("http://x/");
            state.m_linkList.Append(std::move(entry));
        }
        CFakeHost host(state);
        host.controls.outputPath = "out.html";
        host.controls.excludeText = r.exclude;
        CMemorySink sink;
        RunWrite(state, host, sink);
        ASSERT_EQ(host.messages.size(), 1u) << r.name;
        EXPECT_EQ("msg:" + host.messages[0].first, kDone) << r.name;
        std::vector<std::pair<std::string, uint32_t>> after;
        for (const CLinkEntry& e : state.m_linkList.Items()) after.emplace_back(e.text, e.sourceOrder);
        EXPECT_EQ(after, r.after) << r.name;
    }
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

    EXPECT_EQ(Events(host), Written(kDone));
    EXPECT_EQ(CTempDir::Get("link.html"),
              page::Crlf(page::kHeadDefaultTitle + std::string(page::kHeadEnd) + page::BackLink("http://home/") +
                         page::kHeadingDefault + page::IndexItem(1, "News") + page::IndexItem(2, "その他") +
                         page::IndexItem(3, "表") + page::kIndexEnd));
    EXPECT_EQ(CTempDir::Get("00000002.html"),
              page::Crlf(page::GenrePage(page::GenrePageBack("link.html"), "その他", kOtherRows)));
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
              page::Crlf(page::kHeadDefaultTitle + std::string(page::kHeadEnd) + page::kHeadingDefault +
                         page::kTableHead + LinkRow("S", "http://q.example/%22onclick=%22alert(1)", "x") +
                         page::Footer() + page::kPageEnd));
}

// Styles outside 1..5 empty the main file and still complete.
TEST(ExportWrite, UnknownStyleLeavesAnEmptyFile) {
    for (int style : {0, 6, 7, -1}) {
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
        EXPECT_EQ(Events(host), Written(kDone));
        EXPECT_FALSE(CTempDir::Exists("linkmenu.html"));
        EXPECT_FALSE(CTempDir::Exists("00000001.html"));
    }
}

// The refusals, in every style: nothing written or changed, message before
// the refresh, no wait cursor. A read-only output file is refused at the
// test open; root writes files of mode 0444 anyway, so there a read-only
// sysfs file stands in.
TEST(ExportWrite, RefusalsWriteNothing) {
    const bool root = geteuid() == 0;
    const std::string readOnly = root ? kSysReadOnly : "ro.html";
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
        {"read-only file", true, readOnly, kInvalid},
    };
    for (const auto& r : rows) {
        if (r.outputPath == kSysReadOnly && !std::filesystem::exists(kSysReadOnly)) continue;
        for (int style : {STYLE_SINGLE, STYLE_INDEX, STYLE_FRAMES, STYLE_ANCHORS, STYLE_TODAY}) {
            CTempDir dir;
            ASSERT_TRUE(dir.ok());
            CShortcuts links;
            CTempDir::MakeFolder("C:\\web");
            CTempDir::Put("out.html", "keep me");
            CTempDir::Put("ro.html", "keep me too");
            ASSERT_TRUE(CTempDir::SetMode("ro.html", 0444));
            const std::string before = CTempDir::Get(r.outputPath);
            CMainState state;
            if (r.withLinks) links.Fill(state);
            state.m_style = style;
            CFakeHost host(state);
            host.controls.outputPath = r.outputPath;
            CStdioPageSink sink;
            RunWrite(state, host, sink);
            EXPECT_EQ(Events(host), (std::vector<std::string>{"take", "show", r.message, "take"}))
                << r.name << " " << style;
            ASSERT_EQ(host.messages.size(), 1u);
            EXPECT_EQ(host.messages[0].second, MsgKind::Refusal) << r.name;
            EXPECT_EQ(CTempDir::Get(r.outputPath), before) << r.name << " " << style;
            EXPECT_EQ(CTempDir::Get("out.html"), "keep me") << r.name << " " << style;
            EXPECT_FALSE(CTempDir::Exists("linkmenu.html")) << r.name << " " << style;
            EXPECT_FALSE(CTempDir::Exists("00000001.html")) << r.name << " " << style;
            EXPECT_FALSE(CTempDir::Exists("missing")) << r.name << " " << style;
        }
    }
}

// Pages that cannot be opened or written once the test open has passed: a
// name taken by a folder, a link to a full disk, to a read-only file or into
// a missing folder, and the main file itself on a full disk. The export
// stops there with the matching message instead of completion; the pages
// before are written, none after; the list is back in path order.
TEST(ExportWrite, PagesThatCannotBeWritten) {
    const bool full = std::filesystem::exists("/dev/full");
    const bool sys = std::filesystem::exists(kSysReadOnly);
    const struct {
        const char* name;
        int style;
        std::string output;
        const char* page;    // the page name made unusable, or null
        const char* target;  // a folder there (null), or a link to this
        std::string message;
        std::vector<std::string> written;  // pages that must exist after
        std::vector<std::string> absent;   // pages that must not
        bool needsFull, needsSys;
    } rows[] = {
        {"genre page taken by a folder", STYLE_INDEX, "out.html", "00000002.html", nullptr, kInvalid,
         {"out.html", "00000001.html"}, {"00000003.html"}, false, false},
        {"menu page taken by a folder", STYLE_FRAMES, "out.html", "linkmenu.html", nullptr, kInvalid, {"out.html"},
         {"00000001.html"}, false, false},
        {"menu page on a full disk", STYLE_FRAMES, "out.html", "linkmenu.html", "/dev/full", kFailed, {"out.html"},
         {"00000001.html"}, true, false},
        {"second genre page on a full disk", STYLE_INDEX, "out.html", "00000002.html", "/dev/full", kFailed,
         {"out.html", "00000001.html"}, {"00000003.html"}, true, false},
        {"first genre page on a full disk", STYLE_FRAMES, "out.html", "00000001.html", "/dev/full", kFailed,
         {"out.html", "linkmenu.html"}, {"00000002.html"}, true, false},
        {"genre page read-only", STYLE_INDEX, "out.html", "00000003.html", kSysReadOnly, kInvalid,
         {"out.html", "00000001.html", "00000002.html"}, {}, false, true},
        {"genre page into a missing folder", STYLE_FRAMES, "out.html", "00000002.html", "missing/x.html", kInvalid,
         {"out.html", "linkmenu.html", "00000001.html"}, {"00000003.html"}, false, false},
        {"main page on a full disk", STYLE_SINGLE, "/dev/full", nullptr, nullptr, kFailed, {}, {}, true, false},
        {"frames page on a full disk", STYLE_FRAMES, "/dev/full", nullptr, nullptr, kFailed, {},
         {"linkmenu.html"}, true, false},
        {"anchors page on a full disk", STYLE_ANCHORS, "/dev/full", nullptr, nullptr, kFailed, {}, {}, true, false},
        // The empty first version closes fine; the index page over it fails.
        {"index page on a full disk", STYLE_INDEX, "/dev/full", nullptr, nullptr, kFailed, {},
         {"00000001.html", "/dev/00000001.html"}, true, false},
    };
    for (const auto& r : rows) {
        if ((r.needsFull && !full) || (r.needsSys && !sys)) continue;
        CTempDir dir;
        ASSERT_TRUE(dir.ok());
        CShortcuts links;
        if (r.page && r.target) {
            ASSERT_TRUE(CTempDir::Link(r.target, r.page)) << r.name;
        } else if (r.page) {
            CTempDir::MakeFolder(r.page);
        }
        CMainState state;
        links.Fill(state);
        state.m_style = r.style;
        CFakeHost host(state);
        host.controls.outputPath = r.output;
        host.controls.stdGenre = "その他";
        CStdioPageSink sink;
        RunWrite(state, host, sink);
        EXPECT_EQ(Events(host), Written(r.message)) << r.name;
        ASSERT_EQ(host.messages.size(), 1u) << r.name;
        EXPECT_EQ(host.messages[0].second, MsgKind::Refusal) << r.name;
        for (const auto& p : r.written) {
            const std::string bytes = CTempDir::Get(p);
            EXPECT_TRUE(bytes != "<none>" && !bytes.empty()) << r.name << " " << p;
        }
        for (const auto& p : r.absent) EXPECT_FALSE(CTempDir::Exists(p)) << r.name << " " << p;
        if (r.page && !r.target) {
            EXPECT_TRUE(CTempDir::IsFolder(r.page)) << r.name;
        }
        EXPECT_EQ(ListTexts(state.m_linkList), links.paths) << r.name;
    }
}

// Injected failures of an open, a write or a close of the n-th file (the
// test open counts as file 0): the export stops there, closes what it has
// open exactly once, never touches a file that did not open, and ends with
// the matching message instead of completion.
TEST(ExportWrite, InjectedFailuresStopTheExport) {
    const std::string out = "C:\\w\\o.html", menu = "C:\\w\\linkmenu.html", p1 = "C:\\w\\00000001.html",
                      p2 = "C:\\w\\00000002.html";
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
        RunWrite(state, host, sink, [](const CLinkEntry&) { return std::string("u"); });
        EXPECT_EQ(sink.events, r.events) << r.name;
        for (const auto& f : sink.files) {
            EXPECT_EQ(f->closes, 1) << r.name << " " << f->path;
            EXPECT_FALSE(f->writeAfterClose) << r.name;
        }
        EXPECT_EQ(sink.mostOpen, 1) << r.name;
        EXPECT_EQ(sink.openNow, 0) << r.name;
        const std::vector<std::string> refused = {"take", "show", "take", r.message};
        EXPECT_EQ(Events(host), r.waitCursor ? Written(r.message) : refused) << r.name;
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
             [](const CLinkEntry&) -> std::string { throw std::runtime_error("no memory"); });
    EXPECT_EQ(Events(host), Written(kFailed));
    EXPECT_EQ(sink.openNow, 0);
}

// Random Favorites trees on the real file system, imported and written in
// every style with the real reader and page files, then read back: every
// shortcut of the tree is in the list once, on the main page once and on its
// genre's page once, with the address its file holds.
namespace {

// A shortcut as the tree made it, and what its row must show.
struct CMadeShortcut {
    std::string entry;   // the list entry: folder path and name, separators "\"
    std::string folder;  // the name of the folder that holds it
    page::CPageRow row;        // genre cell (before the standard genre), href, link text
};

class CRandomTree {
public:
    CRandomTree(unsigned seed) : m_rng(seed) {}

    std::vector<CMadeShortcut> made;
    std::string favorites;  // the Favorites folder as a scan path
    std::string stdGenre;
    std::string outputPath;
    std::string baseFolder;  // the output's folder with its separator, or empty

    // Parts are kept apart: a byte-wise search for "\" would split ソ and 表.
    void Build() {
        const char* roots[] = {"Favorites", "Favorites", "ソ表", "ｿｰｽ"};
        const std::string root = roots[Pick(4)];
        favorites = "T\\" + root;
        const char* genres[] = {"その他", "", "Favorites", "表ソ"};
        stdGenre = genres[Pick(4)];
        const struct {
            const char* folder;
            const char* file;
        } outputs[] = {{"", "link.html"}, {"web表", "top.html"}, {"ｿｰｽ", "ソース.html"}};
        const auto& out = outputs[Pick(3)];
        baseFolder = *out.folder ? std::string(out.folder) + "\\" : std::string();
        outputPath = baseFolder + out.file;
        if (!baseFolder.empty()) CTempDir::MakeFolder(out.folder);
        CTempDir::MakeFolder(favorites);
        Folder(favorites, root, 0);
    }

private:
    size_t Pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(m_rng); }

    // Names from letters, digits, spaces and characters whose second byte is
    // 0x5C, with half-width katakana; never with a dot, so none is hidden.
    std::string Name() {
        static const char* pieces[] = {"a", "b", "Z", "0", "9", " ", "-", "_", "ソ",
                                       "表", "ｿ", "ｰ", "ｽ", "予", "能", "十"};
        std::string name;
        for (size_t k = 0, n = 1 + Pick(6); k < n; ++k) name += pieces[Pick(16)];
        return name;
    }
    std::string Unique(std::set<std::string>& taken, const std::string& suffix) {
        for (;;) {
            std::string name = Name() + suffix;
            if (taken.insert(name).second) return name;
        }
    }
    std::string UrlText(size_t length) {
        static const char* pieces[] = {"a", "Z", "9", "/", "?", "&", "=", "%", ".", "-", "ソ", "表", "ｿ"};
        std::string out;
        while (out.size() < length) out += pieces[Pick(13)];
        return out;
    }

    // A shortcut's content, and the href its row must show.
    void Content(std::string& bytes, std::string& href) {
        switch (Pick(8)) {
        case 0:
            bytes.clear();  // empty
            href.clear();
            break;
        case 1: {  // one word of junk without "=", white space, NUL or Ctrl-Z
            bytes.clear();
            for (size_t k = 0, n = 1 + Pick(3000); k < n; ++k) {
                char c = static_cast<char>(0x21 + Pick(0xFF - 0x21 + 1));
                bytes.push_back(c == '=' ? '+' : c);
            }
            href.clear();
            break;
        }
        case 2: {  // a long address
            href = "http://long/" + UrlText(600 + Pick(3000));
            bytes = "[InternetShortcut]\r\nURL=" + href + "\r\n";
            break;
        }
        case 3: {  // double quotes in the address
            std::string url = "http://q/\"" + UrlText(Pick(20)) + "\"x";
            bytes = "[InternetShortcut]\r\nURL=" + url + "\r\n";
            href.clear();
            for (char c : url) href += c == '"' ? std::string("%22") : std::string(1, c);
            break;
        }
        case 4: {  // UTF-16 with its mark, as an editor saves it
            bytes = "\xFF\xFE";
            for (char c : std::string("[InternetShortcut]\r\nURL=http://u16/\r\n")) {
                bytes.push_back(c);
                bytes.push_back('\0');
            }
            href.clear();
            break;
        }
        default:
            href = "http://n" + std::to_string(m_next++) + ".example/" + UrlText(Pick(30));
            bytes = "[InternetShortcut]\r\nURL=" + href + "\r\n";
            break;
        }
    }

    void Folder(const std::string& path, const std::string& name, int depth) {
        std::set<std::string> taken;
        for (size_t k = 0, n = Pick(6); k < n; ++k) {
            size_t kind = Pick(20);
            std::string file;
            if (kind == 0)
                file = Unique(taken, ".txt");  // not a shortcut
            else if (kind == 1)
                file = Unique(taken, ".URL");  // upper case: not a shortcut
            else if (kind == 2)
                file = Unique(taken, "url");  // the last three bytes count
            else
                file = Unique(taken, ".url");
            const std::string entry = path + "\\" + file;
            std::string bytes, href;
            Content(bytes, href);
            CTempDir::Put(entry, bytes);
            if (kind < 2) continue;
            CMadeShortcut s;
            s.entry = entry;
            s.folder = name;
            s.row.href = href;
            s.row.text = file.size() > 4 ? file.substr(0, file.size() - 4) : std::string();
            made.push_back(s);
        }
        if (depth >= 3) return;
        for (size_t k = 0, n = Pick(4); k < n; ++k) {
            size_t kind = Pick(7);
            std::string sub;
            if (kind == 0 && taken.insert("Favorites").second)
                sub = "Favorites";
            else if (kind == 1)
                sub = Unique(taken, "url");  // a folder named like a shortcut
            else
                sub = Unique(taken, "");
            CTempDir::MakeFolder(path + "\\" + sub);
            Folder(path + "\\" + sub, sub, depth + 1);
        }
    }

    std::mt19937 m_rng;
    int m_next = 0;
};

}  // namespace

TEST(ExportWrite, RandomTreesImportedAndWritten) {
    // What the trees held in all, so that a generator gone flat shows.
    size_t shortcuts = 0, genrePages = 0, emptyGenreRows = 0, emptyTrees = 0, quotedOrLong = 0;
    for (unsigned seed = 1; seed <= 50; ++seed) {
        CTempDir dir;
        ASSERT_TRUE(dir.ok());
        CRandomTree tree(seed);
        tree.Build();

        // The genre of each shortcut, and the rows every page must show.
        std::vector<std::string> made;
        std::vector<page::CPageRow> allRows;
        std::map<std::string, std::vector<page::CPageRow>> rowsByGenre;
        for (auto& s : tree.made) {
            s.row.genre = s.folder == "Favorites" ? tree.stdGenre : s.folder;
            made.push_back(s.entry);
            allRows.push_back(s.row);
            if (!s.row.genre.empty()) rowsByGenre[s.row.genre].push_back(s.row);
            emptyGenreRows += s.row.genre.empty();
            quotedOrLong += s.row.href.find("%22") != std::string::npos || s.row.href.size() > 600;
        }
        shortcuts += made.size();
        emptyTrees += made.empty();
        allRows = Sorted(allRows);
        for (auto& g : rowsByGenre) g.second = Sorted(g.second);

        CMainState state;
        CFakeHost host(state);
        host.controls.outputPath = tree.outputPath;
        host.controls.stdGenre = tree.stdGenre;
        host.controls.caption = "R";
        CPosixFolderSource source(tree.favorites);
        ImportFavorites(state, host, source);
        const std::vector<std::string> imported = ListTexts(state.m_linkList);
        ASSERT_EQ(Sorted(imported), Sorted(made)) << "seed " << seed;
        EXPECT_TRUE(host.messages.empty()) << "seed " << seed;

        const std::string& base = tree.baseFolder;
        for (int style : {STYLE_SINGLE, STYLE_INDEX, STYLE_FRAMES, STYLE_ANCHORS}) {
            const std::string at = "seed " + std::to_string(seed) + " style " + std::to_string(style);
            state.m_style = style;
            host.messages.clear();
            CStdioPageSink sink;
            RunWrite(state, host, sink);
            EXPECT_EQ(ListTexts(state.m_linkList), imported) << at;
            ASSERT_EQ(host.messages.size(), 1u) << at;
            if (made.empty()) {
                EXPECT_EQ(host.messages[0].first, "出力する内容がありません") << at;
                continue;
            }
            EXPECT_EQ(host.messages[0].first, "ファイルへの出力が完了しました。") << at;
            EXPECT_EQ(host.messages[0].second, MsgKind::Completion) << at;

            if (style != STYLE_INDEX) {
                const auto rows = Sorted(page::PageRows(CTempDir::Get(tree.outputPath)));
                EXPECT_TRUE(rows == allRows) << at << ": " << rows.size() << " rows for " << allRows.size();
            }
            if (style != STYLE_INDEX && style != STYLE_FRAMES) continue;

            // Each genre once in the index, numbered 1, 2, ... in order; its
            // page holds exactly its rows.
            const std::string index =
                CTempDir::Get(style == STYLE_INDEX ? tree.outputPath : base + "linkmenu.html");
            std::vector<page::CIndexItem> items = page::IndexItems(index);
            ASSERT_EQ(items.size(), rowsByGenre.size()) << at;
            std::set<std::string> seen;
            for (size_t k = 0; k < items.size(); ++k) {
                const auto& item = items[k];
                EXPECT_EQ(item.number, long(k) + 1) << at;
                EXPECT_TRUE(seen.insert(item.genre).second) << at << " genre twice: " << item.genre;
                auto expected = rowsByGenre.find(item.genre);
                ASSERT_NE(expected, rowsByGenre.end()) << at << " unknown genre " << item.genre;
                const std::string bytes = CTempDir::Get(base + page::GenrePageName(int(item.number)));
                EXPECT_EQ(page::PageHeading(bytes), item.genre) << at;
                EXPECT_TRUE(Sorted(page::PageRows(bytes)) == expected->second) << at << " page " << item.number;
                ++genrePages;
            }
            EXPECT_FALSE(CTempDir::Exists(base + page::GenrePageName(int(items.size()) + 1))) << at;
        }
    }
    std::printf("[ trees    ] %zu shortcuts, %zu genre pages checked, %zu rows of the empty genre, "
                "%zu quoted or long addresses, %zu empty trees\n",
                shortcuts, genrePages, emptyGenreRows, quotedOrLong, emptyTrees);
    EXPECT_GT(shortcuts, 500u);
    EXPECT_GT(genrePages, 200u);
    EXPECT_GT(emptyGenreRows, 0u);
    EXPECT_GT(quotedOrLong, 50u);
}
