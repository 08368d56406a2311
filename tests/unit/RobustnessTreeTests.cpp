// Favorites trees at and past the limits: more shortcuts than kMaxLinks with
// a Write of the full list, paths around and far beyond 260 bytes, empty and
// missing Favorites folders. The limit's count and message, listing failures
// and a missing shell folder are LinksScan's (LimitOfLinks,
// ListingFailures, NoFavoritesFolder).
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "support/TempDir.h"
#include "support/Fakes.h"
#include "support/MemorySink.h"
#include "support/FolderSources.h"
#include "RobustnessPages.h"
#include "export/Export.h"
#include "links/Scan.h"

namespace {

using robust::CPageRow;
using robust::PageRows;


const std::string kDone = "ファイルへの出力が完了しました。";

// A tree made up as it is listed: C:\Fav\ holds the folders G000, G001, ...
// (attribute 16), each holding up to 1000 shortcuts n<k>.url, |total| in all.
// Nothing is kept per file, so 100000 shortcuts cost no memory up front.
class CGeneratedTree : public IFolderSource {
public:
    explicit CGeneratedTree(size_t total) : m_total(total) {}
    static const size_t kPerFolder = 1000;

    static std::string Folder(size_t g) {
        std::string digits = std::to_string(g);
        return "G" + std::string(3 - std::min<size_t>(3, digits.size()), '0') + digits;
    }
    bool FavoritesPath(std::string& path) override {
        path = "C:\\Fav";
        return true;
    }
    std::unique_ptr<IFolderListing> List(const std::string& pattern) override {
        ++listings;
        if (pattern == "C:\\Fav\\*.*") return Make(true, 0);
        const std::string head = "C:\\Fav\\G";
        if (pattern.compare(0, head.size(), head) != 0) return nullptr;
        return Make(false, std::stoul(pattern.substr(head.size(), 3)));
    }
    int listings = 0;

private:
    class CListing : public IFolderListing {
    public:
        CListing(bool top, size_t from, size_t to) : m_top(top), m_next(from), m_to(to) {}
        bool Next(FolderEntry& entry) override {
            if (m_next >= m_to) return false;
            size_t k = m_next++;
            if (m_top) {
                entry.name = Folder(k);
                entry.attributes = kFolderAttributes;
            } else {
                entry.name = "n" + std::to_string(k) + ".url";
                entry.attributes = 32;
            }
            return true;
        }

    private:
        bool m_top;
        size_t m_next, m_to;
    };

    std::unique_ptr<IFolderListing> Make(bool top, size_t g) {
        size_t folders = (m_total + kPerFolder - 1) / kPerFolder;
        if (top) return std::unique_ptr<IFolderListing>(new CListing(true, 0, folders));
        size_t from = g * kPerFolder, to = std::min(m_total, from + kPerFolder);
        return std::unique_ptr<IFolderListing>(new CListing(false, from, to));
    }
    size_t m_total;
};

// The row the page must hold for entry |path| of the generated tree, whose
// reader gives "u:" followed by the file name.
CPageRow GeneratedRow(const std::string& path) {
    size_t file = path.rfind('\\');
    size_t folder = path.rfind('\\', file - 1);
    std::string name = path.substr(file + 1);
    return CPageRow{path.substr(folder + 1, file - folder - 1), "u:" + name, name.substr(0, name.size() - 4)};
}

std::vector<CPageRow> Sorted(std::vector<CPageRow> rows) {
    std::sort(rows.begin(), rows.end());
    return rows;
}

}  // namespace

// More shortcuts than the list holds: 30000 are taken with one message, and
// a Write of that full list in every style completes with every entry on
// the main page once and on its genre's page once.
TEST(RobustnessTree, WriteAfterImportPastTheLimit) {
    for (size_t total : {kMaxLinks + 1, size_t(100000)}) {
        CGeneratedTree tree(total);
        CMainState imported;
        CFakeHost importHost(imported);
        ImportFavorites(imported, importHost, tree);
        ASSERT_EQ(imported.m_linkList.Count(), kMaxLinks) << total;
        ASSERT_EQ(importHost.messages.size(), 1u) << total;
        EXPECT_EQ(importHost.messages[0].first, "お気に入りが多すぎます。最初の30000件だけを取り込みました。");
        // The walk ended in the folder where the first shortcut too many
        // stood: the top, G000 to G029, and G030; never G031.
        EXPECT_EQ(tree.listings, 32) << total;

        const std::vector<std::string> list = ListTexts(imported.m_linkList);
        std::vector<CPageRow> all;
        for (const auto& p : list) all.push_back(GeneratedRow(p));
        all = Sorted(all);
        EXPECT_EQ(all.front().text, "n0");
        EXPECT_EQ(all.back().text, "n29999");  // the last one taken

        for (int style : {STYLE_SINGLE, STYLE_INDEX, STYLE_FRAMES, STYLE_ANCHORS}) {
            CMainState state = imported;
            state.m_style = style;
            CFakeHost host(state);
            host.controls.outputPath = "C:\\w\\o.html";
            host.controls.stdGenre = "S";
            CMemorySink sink;
            RunWrite(state, host, sink, [](const std::string& p) {
                return "u:" + p.substr(p.rfind('\\') + 1);
            });
            ASSERT_EQ(host.messages.size(), 1u) << style;
            EXPECT_EQ(host.messages[0].first, kDone) << style;
            EXPECT_EQ(ListTexts(state.m_linkList), list) << style;
            if (style != STYLE_INDEX) {
                EXPECT_TRUE(Sorted(PageRows(sink.Content("C:\\w\\o.html"))) == all) << style;
            }
            if (style == STYLE_INDEX || style == STYLE_FRAMES) {
                std::vector<CPageRow> onGenrePages;
                for (size_t g = 0; g < 30; ++g) {
                    const std::string page = sink.Content("C:\\w\\" + robust::GenrePageName(long(g) + 1));
                    EXPECT_EQ(robust::PageHeading(page), CGeneratedTree::Folder(g)) << style;
                    for (const auto& row : PageRows(page)) {
                        EXPECT_EQ(row.genre, CGeneratedTree::Folder(g)) << style;
                        onGenrePages.push_back(row);
                    }
                }
                EXPECT_EQ(sink.Content("C:\\w\\00000031.html"), "<none>") << style;
                EXPECT_TRUE(Sorted(onGenrePages) == all) << style;
            }
        }
    }
}

namespace {

// A tree of one chain of folders, kept in memory by listing pattern.
class CChainTree : public IFolderSource {
public:
    std::string favorites;
    std::map<std::string, std::vector<FolderEntry>> folders;
    bool FavoritesPath(std::string& path) override {
        path = favorites;
        return true;
    }
    std::unique_ptr<IFolderListing> List(const std::string& pattern) override {
        auto f = folders.find(pattern);
        if (f == folders.end()) return nullptr;
        return std::unique_ptr<IFolderListing>(new CListing(f->second));
    }

private:
    class CListing : public IFolderListing {
    public:
        explicit CListing(const std::vector<FolderEntry>& e) : m_entries(e) {}
        bool Next(FolderEntry& entry) override {
            if (m_next >= m_entries.size()) return false;
            entry = m_entries[m_next++];
            return true;
        }

    private:
        const std::vector<FolderEntry>& m_entries;
        size_t m_next = 0;
    };
};

// |count| copies of ソ (0x83 0x5C): a name that is full of second bytes 0x5C.
std::string So(size_t count) {
    std::string out;
    for (size_t k = 0; k < count; ++k) out += "ソ";
    return out;
}

}  // namespace

// Entries of 259 to 5000 bytes are listed, sorted and written whole: no cut
// at 260 or 1023 bytes, and the 0x5C second bytes of long names are never
// taken for separators.
TEST(RobustnessTree, LongPathsStayWhole) {
    // Favorites C:\F (4 bytes with its separator), a folder of |folder| bytes,
    // then the file; the entry's length is the sum.
    const struct {
        size_t length;  // bytes of the whole entry
        size_t folder;  // bytes of the folder name (ソ pairs, one "x" when odd)
    } rows[] = {{259, 100}, {260, 100}, {261, 101}, {1023, 500}, {1024, 500}, {1025, 501}, {5000, 2000}};
    for (const auto& r : rows) {
        const std::string favorites = "C:\\F\\";
        std::string folder = So(r.folder / 2) + (r.folder % 2 ? "x" : "");
        size_t fileBytes = r.length - favorites.size() - folder.size() - 1;
        std::string stem = So((fileBytes - 4) / 2) + ((fileBytes - 4) % 2 ? "y" : "");
        std::string file = stem + ".url";
        const std::string entry = favorites + folder + "\\" + file;
        ASSERT_EQ(entry.size(), r.length);

        CChainTree tree;
        tree.favorites = "C:\\F";
        tree.folders[favorites + "*.*"] = {FolderEntry{folder, 16}};
        tree.folders[favorites + folder + "\\*.*"] = {FolderEntry{file, 32}};
        CMainState state;
        CFakeHost host(state);
        host.controls.outputPath = "o.html";
        ImportFavorites(state, host, tree);
        ASSERT_EQ(ListTexts(state.m_linkList), std::vector<std::string>{entry}) << r.length;

        state.m_style = STYLE_SINGLE;
        CMemorySink sink;
        std::string readPath;
        RunWrite(state, host, sink, [&](const std::string& p) {
            readPath = p;
            return std::string("http://long/");
        });
        EXPECT_EQ(readPath, entry) << r.length;
        EXPECT_TRUE(PageRows(sink.Content("o.html")) ==
                    (std::vector<CPageRow>{CPageRow{folder, "http://long/", stem}}))
            << r.length;
        EXPECT_EQ(host.messages.back().first, kDone);
    }
}

// The same on the real file system: a chain of folders deeper than 260 and
// 1023 bytes, read back through the real reader.
TEST(RobustnessTree, LongPathsOnDisk) {
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    // Five folders of 200 and 250 bytes (ソ pairs and a 表): entries of about
    // 1100 bytes, each name within the host's 255-byte limit.
    std::string path = "Favorites";
    std::vector<std::string> entries;
    for (int level = 0; level < 5; ++level) {
        path += "\\" + So(level % 2 ? 124 : 99) + "表";
        const std::string entry = path + "\\" + So(60) + std::to_string(level) + ".url";
        CTempDir::PutShortcut(entry, "http://depth" + std::to_string(level) + "/");
        entries.push_back(entry);
    }
    ASSERT_GT(entries[0].size(), 260u);
    ASSERT_GT(entries[4].size(), 1023u);

    CPosixFolderSource source("Favorites");
    CMainState state;
    state.m_style = STYLE_SINGLE;
    CFakeHost host(state);
    host.controls.outputPath = "out.html";
    ImportFavorites(state, host, source);
    ASSERT_EQ(state.m_linkList.Count(), 5u);
    std::vector<std::string> got = ListTexts(state.m_linkList);
    std::sort(got.begin(), got.end());
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(got, entries);

    CStdioPageSink sink;
    RunWrite(state, host, sink);
    EXPECT_EQ(host.messages.back().first, kDone);
    std::vector<std::string> hrefs;
    for (const auto& row : PageRows(CTempDir::Get("out.html"))) hrefs.push_back(row.href);
    std::sort(hrefs.begin(), hrefs.end());
    EXPECT_EQ(hrefs, (std::vector<std::string>{"http://depth0/", "http://depth1/", "http://depth2/",
                                               "http://depth3/", "http://depth4/"}));
}

// A Favorites folder that is empty, holds no shortcut, or does not exist:
// an empty list without a message, and Write then refuses with the
// empty-list message and creates nothing.
TEST(RobustnessTree, EmptyOrMissingFavorites) {
    const struct {
        const char* name;
        bool make;
        const char* file;  // a file in it that is no shortcut, or null
    } rows[] = {{"empty folder", true, nullptr}, {"no shortcut in it", true, "readme.txt"},
                {"missing folder", false, nullptr}};
    for (const auto& r : rows) {
        CTempDir dir;
        ASSERT_TRUE(dir.ok());
        if (r.make) CTempDir::MakeFolder("Favorites");
        if (r.file) CTempDir::Put(std::string("Favorites\\") + r.file, "URL=http://x/");
        CPosixFolderSource source("Favorites");
        CMainState state;
        state.m_linkList.Append("Old\\x.url");
        state.m_style = STYLE_FRAMES;
        CFakeHost host(state);
        host.controls.outputPath = "out.html";
        ImportFavorites(state, host, source);
        EXPECT_EQ(state.m_linkList.Count(), 0u) << r.name;
        EXPECT_TRUE(host.messages.empty()) << r.name;

        CStdioPageSink sink;
        RunWrite(state, host, sink);
        ASSERT_EQ(host.messages.size(), 1u) << r.name;
        EXPECT_EQ(host.messages[0].first, "出力する内容がありません") << r.name;
        EXPECT_FALSE(CTempDir::Exists("out.html")) << r.name;
    }
}
