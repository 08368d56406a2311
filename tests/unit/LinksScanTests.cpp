#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "export/Export.h"
#include "links/Ordering.h"
#include "links/Import.h"
#include "links/Scan.h"
#include "support/ExpectedPages.h"
#include "support/Fakes.h"
#include "support/FolderSources.h"
#include "support/MemorySink.h"
#include "support/PageReader.h"
#include "support/TempDir.h"

namespace {

const uint32_t kFile = 32;
const uint32_t kDir = 16;
const std::string kDone = "ファイルへの出力が完了しました。";

std::vector<std::string> Import(IFolderSource& source, CFakeHost& host, CMainState& state) {
    ImportFavorites(state, host, source);
    return ListTexts(state.m_linkList);
}

// |count| copies of ソ (0x83 0x5C): a name full of second bytes 0x5C.
std::string So(size_t count) {
    std::string out;
    for (size_t k = 0; k < count; ++k) out += "ソ";
    return out;
}

}  // namespace

// Which entries are listed and which folders are entered.
TEST(LinksScan, NameAndAttributeRules) {
    const struct {
        std::string name;
        uint32_t attributes;
        bool listed;   // as a shortcut
        bool entered;  // as a folder
    } rows[] = {
        {"Example.url", kFile, true, false},
        {"EXAMPLE.URL", kFile, false, false},
        {"notes.curl", kFile, true, false},
        {"url", kFile, true, false},
        {"rl", kFile, false, false},
        {"x.urlx", kFile, false, false},
        {"hidden.url", 34, true, false},        // file attributes are not examined
        {"system.url", 36, true, false},
        {"Daily", kDir, false, true},
        {"Folder.url", kDir, false, true},      // a folder named like a shortcut
        {"ReadOnly", 17, false, false},
        {"Hidden", 18, false, false},
        {"System", 20, false, false},
        {"Archive", 48, false, false},
        {"Linked", 1040, false, false},
        {"ro.url", 17, true, false},            // not a folder here, so a shortcut
        {"dot.url", 18, true, false},
        {"sys.url", 20, true, false},
        {"arc.url", 48, true, false},
        {"link.url", 1040, true, false},
    };
    for (const auto& r : rows) {
        CMemoryFolderSource source;
        source.Add("C:\\Fav\\", ".", kDir);
        source.Add("C:\\Fav\\", "..", kDir);
        source.Add("C:\\Fav\\", r.name, r.attributes);
        source.Add("C:\\Fav\\" + r.name + "\\", "inner.url", kFile);
        CMainState state;
        CFakeHost host(state);
        std::vector<std::string> expected;
        if (r.entered) expected.push_back("C:\\Fav\\" + r.name + "\\inner.url");
        if (r.listed) expected.push_back("C:\\Fav\\" + r.name);
        EXPECT_EQ(Import(source, host, state), expected) << r.name;
        std::vector<std::string> listed = {"C:\\Fav\\*.*"};
        if (r.entered) listed.push_back("C:\\Fav\\" + r.name + "\\*.*");
        EXPECT_EQ(source.listed, listed) << r.name;
        EXPECT_TRUE(host.messages.empty()) << r.name;
    }
}

// How the Favorites path becomes the scan's first folder.
TEST(LinksScan, FavoritesPathGetsOneSeparator) {
    const struct {
        std::string favorites;
        std::string folder;  // the folder listed first
    } rows[] = {
        {"C:\\Fav", "C:\\Fav\\"},
        {"C:\\Fav\\", "C:\\Fav\\"},
        {"C:\\Users\\ソ", "C:\\Users\\ソ\\"},    // ends in a second byte 0x5C
        {"C:\\Users\\表\\", "C:\\Users\\表\\"},
    };
    for (const auto& r : rows) {
        CMemoryFolderSource source;
        source.favorites = r.favorites;
        source.Add(r.folder, "a.url", kFile);
        CMainState state;
        CFakeHost host(state);
        EXPECT_EQ(Import(source, host, state), std::vector<std::string>{r.folder + "a.url"}) << r.favorites;
        EXPECT_EQ(source.listed, std::vector<std::string>{r.folder + "*.*"}) << r.favorites;
    }
}

TEST(LinksScan, ImportStepsAndFilters) {
    CMemoryFolderSource source;
    source.Add("C:\\Fav\\", "b.url", kFile);
    source.Add("C:\\Fav\\", "News", kDir);
    source.Add("C:\\Fav\\", "A.url", kFile);
    source.Add("C:\\Fav\\News\\", "n.url", kFile);
    CMainState state;
    state.m_linkList.Append("C:\\Old\\stale.url");
    state.m_genres[0] = "untouched";
    CFakeHost host(state);
    host.controls.includeText = "url";
    host.controls.excludeText = "News";

    EXPECT_EQ(Import(source, host, state), (std::vector<std::string>{"C:\\Fav\\A.url", "C:\\Fav\\b.url"}));
    EXPECT_EQ(host.events, (std::vector<std::string>{"wait", "take", "take", "list", "endwait"}));
    EXPECT_EQ(state.m_genres[0], "untouched");

    // A second Import gives the same list, deleted entries included.
    host.controls.excludeText.clear();
    EXPECT_EQ(Import(source, host, state),
              (std::vector<std::string>{"C:\\Fav\\A.url", "C:\\Fav\\News\\n.url", "C:\\Fav\\b.url"}));
    state.m_linkList.DeleteAt(0);
    EXPECT_EQ(Import(source, host, state),
              (std::vector<std::string>{"C:\\Fav\\A.url", "C:\\Fav\\News\\n.url", "C:\\Fav\\b.url"}));
}

// Failing listings end their folder; nothing is repeated, nothing is told.
TEST(LinksScan, ListingFailures) {
    CMemoryFolderSource source;
    source.Add("C:\\Fav\\", "a.url", kFile);
    source.Add("C:\\Fav\\", "Gone", kDir);       // cannot be listed at all
    source.Add("C:\\Fav\\", "Broken", kDir);
    source.Add("C:\\Fav\\", "z.url", kFile);
    source.Add("C:\\Fav\\Broken\\", "1.url", kFile);
    source.Add("C:\\Fav\\Broken\\", "2.url", kFile);
    source.Add("C:\\Fav\\Broken\\", "3.url", kFile);
    source.folders["C:\\Fav\\Broken\\*.*"].failAfter = 2;
    CMainState state;
    CFakeHost host(state);
    EXPECT_EQ(Import(source, host, state),
              (std::vector<std::string>{"C:\\Fav\\Broken\\1.url", "C:\\Fav\\Broken\\2.url",
                                        "C:\\Fav\\a.url", "C:\\Fav\\z.url"}));
    EXPECT_EQ(source.listed, (std::vector<std::string>{"C:\\Fav\\*.*", "C:\\Fav\\Gone\\*.*",
                                                       "C:\\Fav\\Broken\\*.*"}));
    EXPECT_TRUE(host.messages.empty());
}

// Nothing to take: the shell has no Favorites folder or gives an empty path
// (nothing is listed then, not even the drive's root), or the folder is
// empty, holds no shortcut or cannot be listed. The list ends empty without
// a message, and Write then refuses with the empty-list message and opens
// nothing.
TEST(LinksScan, EmptyOrMissingFavorites) {
    const std::vector<std::string> top = {"C:\\Fav\\*.*"};
    const struct {
        const char* name;
        bool has;
        std::string path;
        std::vector<FolderEntry> entries;  // of C:\Fav\, when it can be listed
        std::vector<std::string> listed;
    } rows[] = {
        {"shell has none", false, "C:\\Fav", {{"a.url", kFile}}, {}},
        {"empty path", true, "", {{"a.url", kFile}}, {}},
        {"empty folder", true, "C:\\Fav", {{".", kDir}, {"..", kDir}}, top},
        {"no shortcut in it", true, "C:\\Fav", {{".", kDir}, {"..", kDir}, {"readme.txt", kFile}}, top},
        {"missing folder", true, "C:\\Fav", {}, top},
    };
    for (const auto& r : rows) {
        CMemoryFolderSource source;
        source.hasFavorites = r.has;
        source.favorites = r.path;
        source.Add("\\", "root.url", kFile);
        if (!r.entries.empty()) source.folders["C:\\Fav\\*.*"].entries = r.entries;
        CMainState state;
        state.m_linkList.Append("C:\\Old\\x.url");
        state.m_style = STYLE_FRAMES;
        CFakeHost host(state);
        host.controls.outputPath = "out.html";
        EXPECT_TRUE(Import(source, host, state).empty()) << r.name;
        EXPECT_EQ(source.listed, r.listed) << r.name;
        EXPECT_TRUE(host.messages.empty()) << r.name;
        EXPECT_EQ(host.events, (std::vector<std::string>{"wait", "take", "take", "list", "endwait"})) << r.name;

        CMemorySink sink;
        RunWrite(state, host, sink);
        ASSERT_EQ(host.messages.size(), 1u) << r.name;
        EXPECT_EQ(host.messages[0].first, "出力する内容がありません") << r.name;
        EXPECT_TRUE(sink.files.empty()) << r.name;
    }
}

// At most kMaxLinks entries, the first ones found; one message when more
// were found, and the walk ends in the folder where the limit was hit. The
// full list then writes whole in every style: each entry once on the main
// page and once on its genre's page.
TEST(LinksScan, LimitOfLinks) {
    // C:\Fav\ holds the folders G000, G001, ..., each with up to 1000
    // shortcuts n<k>.url, in that order.
    const size_t kPerFolder = 1000;
    auto folder = [](size_t g) {
        std::string digits = std::to_string(g);
        return "G" + std::string(3 - std::min<size_t>(3, digits.size()), '0') + digits;
    };
    auto entry = [&](size_t k) { return "C:\\Fav\\" + folder(k / kPerFolder) + "\\n" + std::to_string(k) + ".url"; };
    for (size_t shortcuts : {kMaxLinks - 1, kMaxLinks, kMaxLinks + 1, size_t(100000)}) {
        CMemoryFolderSource source;
        for (size_t k = 0; k < shortcuts; ++k) {
            if (k % kPerFolder == 0) source.Add("C:\\Fav\\", folder(k / kPerFolder), kDir);
            source.Add("C:\\Fav\\" + folder(k / kPerFolder) + "\\", "n" + std::to_string(k) + ".url", kFile);
        }
        CMainState imported;
        CFakeHost importHost(imported);
        const std::vector<std::string> list = Import(source, importHost, imported);
        const size_t taken = std::min(shortcuts, kMaxLinks);
        std::vector<std::string> first;
        for (size_t k = 0; k < taken; ++k) first.push_back(entry(k));
        ASSERT_EQ(Sorted(list), Sorted(first)) << shortcuts;
        // The top and every folder up to the one holding the first shortcut too many.
        EXPECT_EQ(source.listed.size(), 1 + (std::min(shortcuts, kMaxLinks + 1) + kPerFolder - 1) / kPerFolder)
            << shortcuts;
        if (shortcuts <= kMaxLinks) {
            EXPECT_TRUE(importHost.messages.empty()) << shortcuts;
            continue;
        }
        ASSERT_EQ(importHost.messages.size(), 1u) << shortcuts;
        EXPECT_EQ(importHost.messages[0].first, "お気に入りが多すぎます。最初の30000件だけを取り込みました。");
        EXPECT_EQ(importHost.messages[0].second, MsgKind::Refusal);
        EXPECT_EQ(importHost.events.back(), "msg:" + importHost.messages[0].first);
        EXPECT_EQ(importHost.events[importHost.events.size() - 2], "endwait");

        // The reader gives "u:" and the file name.
        std::vector<page::CPageRow> all;
        for (size_t k = 0; k < taken; ++k)
            all.push_back({folder(k / kPerFolder), "u:n" + std::to_string(k) + ".url", "n" + std::to_string(k)});
        all = Sorted(all);
        for (int style : {STYLE_SINGLE, STYLE_INDEX, STYLE_FRAMES, STYLE_ANCHORS}) {
            CMainState state = imported;
            state.m_style = style;
            CFakeHost host(state);
            host.controls.outputPath = "C:\\w\\o.html";
            host.controls.stdGenre = "S";
            CMemorySink sink;
            RunWrite(state, host, sink, [](const CLinkEntry& entry) {
                return "u:" + entry.text.substr(entry.text.rfind('\\') + 1);
            });
            ASSERT_EQ(host.messages.size(), 1u) << style;
            EXPECT_EQ(host.messages[0].first, kDone) << style;
            EXPECT_EQ(ListTexts(state.m_linkList), list) << style;
            if (style != STYLE_INDEX) {
                EXPECT_TRUE(Sorted(page::PageRows(sink.Content("C:\\w\\o.html"))) == all) << style;
            }
            if (style != STYLE_INDEX && style != STYLE_FRAMES) continue;
            std::vector<page::CPageRow> onGenrePages;
            for (int g = 0; g < 30; ++g) {
                const std::string bytes = sink.Content("C:\\w\\" + page::GenrePageName(g + 1));
                EXPECT_EQ(page::PageHeading(bytes), folder(g)) << style;
                for (const auto& row : page::PageRows(bytes)) {
                    EXPECT_EQ(row.genre, folder(g)) << style;
                    onGenrePages.push_back(row);
                }
            }
            EXPECT_EQ(sink.Content("C:\\w\\" + page::GenrePageName(31)), "<none>") << style;
            EXPECT_TRUE(Sorted(onGenrePages) == all) << style;
        }
    }
}

// ScanFolder on its own: the limit counts entries already in the list.
TEST(LinksScan, ScanFolderCountsExistingEntries) {
    CMemoryFolderSource source;
    source.Add("C:\\Fav\\", "a.url", kFile);
    source.Add("C:\\Fav\\", "b.url", kFile);
    CLinkList list;
    for (size_t k = 0; k + 1 < kMaxLinks; ++k) list.Append("x");
    EXPECT_FALSE(ScanFolder("C:\\Fav\\", HostName(), source, list));
    EXPECT_EQ(list.Count(), kMaxLinks);
    CLinkList empty;
    EXPECT_TRUE(ScanFolder("C:\\Fav\\", HostName(), source, empty));
    EXPECT_EQ(empty.Count(), 2u);
}

// Entries of 259 to 5000 bytes are listed, sorted and written whole: no cut
// at 260 or 1023 bytes, and the 0x5C second bytes of long names are never
// taken for separators.
TEST(LinksScan, LongPathsStayWhole) {
    // Favorites C:\F (4 bytes with its separator), a folder of |folder| bytes,
    // then the file; the entry's length is the sum.
    const struct {
        size_t length;  // bytes of the whole entry
        size_t folder;  // bytes of the folder name (ソ pairs, one "x" when odd)
    } rows[] = {{259, 100}, {260, 100}, {261, 101}, {1023, 500}, {1024, 500}, {1025, 501}, {5000, 2000}};
    for (const auto& r : rows) {
        const std::string favorites = "C:\\F\\";
        const std::string folder = So(r.folder / 2) + (r.folder % 2 ? "x" : "");
        const size_t fileBytes = r.length - favorites.size() - folder.size() - 1;
        const std::string stem = So((fileBytes - 4) / 2) + ((fileBytes - 4) % 2 ? "y" : "");
        const std::string entry = favorites + folder + "\\" + stem + ".url";
        ASSERT_EQ(entry.size(), r.length);

        CMemoryFolderSource source;
        source.favorites = "C:\\F";
        source.Add(favorites, folder, kDir);
        source.Add(favorites + folder + "\\", stem + ".url", kFile);
        CMainState state;
        CFakeHost host(state);
        host.controls.outputPath = "o.html";
        ASSERT_EQ(Import(source, host, state), std::vector<std::string>{entry}) << r.length;

        state.m_style = STYLE_SINGLE;
        CMemorySink sink;
        std::string readPath;
        RunWrite(state, host, sink, [&](const CLinkEntry& entry) {
            readPath = entry.text;
            return std::string("http://long/");
        });
        EXPECT_EQ(readPath, entry) << r.length;
        EXPECT_TRUE(page::PageRows(sink.Content("o.html")) ==
                    (std::vector<page::CPageRow>{{folder, "http://long/", stem}}))
            << r.length;
        EXPECT_EQ(host.messages.back().first, kDone);
    }
}

// The same on the real file system: a chain of folders deeper than 260 and
// 1023 bytes, read back through the real reader.
TEST(LinksScan, LongPathsOnDisk) {
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    // Five folders of 200 and 250 bytes (ソ pairs and a 表): entries of about
    // 1100 bytes, each name within the host's 255-byte limit.
    std::string path = "Favorites";
    std::vector<std::string> entries;
    for (int level = 0; level < 5; ++level) {
        path += "\\" + So(level % 2 ? 124 : 99) + "表";
        entries.push_back(path + "\\" + So(60) + std::to_string(level) + ".url");
        CTempDir::PutShortcut(entries.back(), "http://depth" + std::to_string(level) + "/");
    }
    ASSERT_GT(entries[0].size(), 260u);
    ASSERT_GT(entries[4].size(), 1023u);

    CPosixFolderSource source("Favorites");
    CMainState state;
    state.m_style = STYLE_SINGLE;
    CFakeHost host(state);
    host.controls.outputPath = "out.html";
    EXPECT_EQ(Sorted(Import(source, host, state)), Sorted(entries));

    CStdioPageSink sink;
    RunWrite(state, host, sink);
    EXPECT_EQ(host.messages.back().first, kDone);
    std::vector<std::string> hrefs;
    for (const auto& row : page::PageRows(CTempDir::Get("out.html"))) hrefs.push_back(row.href);
    EXPECT_EQ(Sorted(hrefs), (std::vector<std::string>{"http://depth0/", "http://depth1/", "http://depth2/",
                                                      "http://depth3/", "http://depth4/"}));
}

// The listing rules over a real tree, with attribute words as Wine gives them.
TEST(LinksScan, RealFolderTree) {
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string f = "ソ\\";  // the Favorites folder: its name ends in 0x5C
    for (const char* file : {"Example.url", "EXAMPLE.URL", "notes.curl", "url", "readme.txt", ".dot.url",
                             "x.url\\inner.url", "ソフト\\予定.url", "表\\a.url", ".hidden\\h.url", "ro.url\\r.url"})
        CTempDir::Put(f + file, "");
    CTempDir::MakeFolder(f + ".hidden.url");
    ASSERT_TRUE(CTempDir::SetMode(f + "ro.url", 0555));
    ASSERT_TRUE(CTempDir::Link("ソフト", f + "alias"));
    ASSERT_TRUE(CTempDir::Link("表", f + "alias.url"));

    CPosixFolderSource source("ソ");
    CMainState state;
    CFakeHost host(state);
    EXPECT_EQ(Import(source, host, state),
              (std::vector<std::string>{f + ".dot.url", f + ".hidden.url", f + "Example.url", f + "alias.url",
                                        f + "notes.curl", f + "ro.url", f + "url", f + "x.url\\inner.url",
                                        f + "ソフト\\予定.url", f + "表\\a.url"}));
    EXPECT_TRUE(host.messages.empty());
}
