// The real name of a shortcut file travels with its list entry: the scan
// gives it, every reorder and the deletion move it, the reader opens it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export/Export.h"
#include "links/Genres.h"
#include "links/Import.h"
#include "links/Scan.h"
#include "links/Shortcut.h"
#include "support/Fakes.h"
#include "support/FolderSources.h"
#include "support/MemorySink.h"
#include "support/TempDir.h"

namespace {

const uint32_t kFile = 32;
const uint32_t kDir = 16;

std::vector<std::string> RealPaths(const CLinkList& list) {
    std::vector<std::string> out;
    for (const CLinkEntry& e : list.Items()) out.push_back(e.realPath);
    return out;
}

// Names as a host spells them: "Café" in UTF-8 converts to the same text as
// a file really named "Caf&#233;".
const char kCafeUtf8[] = "Caf\xC3\xA9.url";
const char kCafeText[] = "Caf&#233;.url";

CMemoryFolderSource TreeWithTwins() {
    CMemoryFolderSource source;
    source.favorites = "C:\\Fav";
    source.realFavorites = "/fav/";
    source.Add("C:\\Fav\\", "News", kDir, "news");
    source.Add("C:\\Fav\\News\\", kCafeText, kFile, kCafeUtf8);
    source.Add("C:\\Fav\\News\\", kCafeText, kFile, kCafeText);
    source.Add("C:\\Fav\\News\\", "b.url", kFile, "b.url");
    source.Add("C:\\Fav\\", "a.url", kFile, "a.url");
    return source;
}

}  // namespace

// Equal texts are ordered by their real names, whatever the walk's order;
// everything else by path order of the texts.
TEST(LinksRealName, ScanKeepsRealPathsAndOrdersTwinsByThem) {
    for (bool reversed : {false, true}) {
        CMemoryFolderSource source = TreeWithTwins();
        if (reversed) {
            auto& news = source.folders["C:\\Fav\\News\\*.*"].entries;
            std::swap(news[0], news[1]);
        }
        CMainState state;
        CFakeHost host(state);
        ImportFavorites(state, host, source);
        EXPECT_EQ(ListTexts(state.m_linkList),
                  (std::vector<std::string>{"C:\\Fav\\News\\Caf&#233;.url", "C:\\Fav\\News\\Caf&#233;.url",
                                            "C:\\Fav\\News\\b.url", "C:\\Fav\\a.url"}))
            << reversed;
        // '&' (0x26) comes before the UTF-8 lead 0xC3.
        EXPECT_EQ(RealPaths(state.m_linkList),
                  (std::vector<std::string>{"/fav/news/Caf&#233;.url", std::string("/fav/news/") + kCafeUtf8,
                                            "/fav/news/b.url", "/fav/a.url"}))
            << reversed;
    }
}

// Write reads each twin through its own file; the genre reorder, the refresh
// and a deletion move real names with their entries.
TEST(LinksRealName, WriteAndDeleteMoveRealNames) {
    CMemoryFolderSource source = TreeWithTwins();
    CMainState state;
    CFakeHost host(state);
    ImportFavorites(state, host, source);
    host.controls.outputPath = "out.html";
    host.controls.stdGenre = "Std";
    state.m_style = STYLE_SINGLE;
    CMemorySink sink;
    RunWrite(state, host, sink, [](const CLinkEntry& e) { return "u:" + e.realPath; });
    const std::string page = sink.Content("out.html");
    // The genre sort's exchange takes the first twin behind b.url.
    const std::string rows =
        "<TR><TD>Fav</TD><TD><A HREF=\"u:/fav/a.url\" TARGET=\"_top\">a</A></TD></TR>\r\n"
        "<TR><TD>News</TD><TD><A HREF=\"u:/fav/news/Caf\xC3\xA9.url\" TARGET=\"_top\">Caf&#233;</A></TD></TR>\r\n"
        "<TR><TD>News</TD><TD><A HREF=\"u:/fav/news/b.url\" TARGET=\"_top\">b</A></TD></TR>\r\n"
        "<TR><TD>News</TD><TD><A HREF=\"u:/fav/news/Caf&#233;.url\" TARGET=\"_top\">Caf&#233;</A></TD></TR>\r\n";
    EXPECT_NE(page.find(rows), std::string::npos) << page;
    // The closing refresh puts the real names back in path order.
    EXPECT_EQ(RealPaths(state.m_linkList)[3], "/fav/a.url");

    state.m_linkList.DeleteAt(0);
    EXPECT_EQ(RealPaths(state.m_linkList),
              (std::vector<std::string>{std::string("/fav/news/") + kCafeUtf8, "/fav/news/b.url", "/fav/a.url"}));
}

// The reader opens the real path where an entry has one, else its text.
TEST(LinksRealName, ReaderOpensTheRealFile) {
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    CTempDir::PutShortcut("real.url", "http://real/");
    CTempDir::PutShortcut("text.url", "http://text/");
    const struct {
        const char* text;
        const char* realPath;
        const char* url;
    } rows[] = {
        {"text.url", "real.url", "http://real/"},
        {"text.url", "", "http://text/"},
        {"text.url", "missing.url", ""},  // never falls back to another file
    };
    for (const auto& r : rows) {
        CLinkEntry entry(r.text);
        entry.realPath = r.realPath;
        EXPECT_EQ(ReadShortcutUrl(entry), r.url) << r.realPath;
    }
}
