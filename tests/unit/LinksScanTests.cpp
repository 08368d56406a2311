#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "support/Fakes.h"
#include "support/FolderSources.h"
#include "links/Ordering.h"
#include "links/Scan.h"

namespace {


// Folders kept in memory, keyed by their listing pattern (folder + "*.*").
// A folder can be made to fail after some entries, or to fail to start.
class CFakeFolderSource : public IFolderSource {
public:
    struct Folder {
        std::vector<FolderEntry> entries;
        size_t failAfter = SIZE_MAX;  // the listing breaks off after this many
    };
    bool hasFavorites = true;
    std::string favorites = "C:\\Fav";
    std::map<std::string, Folder> folders;
    std::vector<std::string> listed;

    void Add(const std::string& folder, const std::string& name, uint32_t attributes) {
        folders[folder + "*.*"].entries.push_back(FolderEntry{name, attributes});
    }
    bool FavoritesPath(std::string& path) override {
        if (!hasFavorites) return false;
        path = favorites;
        return true;
    }
    std::unique_ptr<IFolderListing> List(const std::string& pattern) override {
        listed.push_back(pattern);
        auto f = folders.find(pattern);
        if (f == folders.end()) return nullptr;
        return std::unique_ptr<IFolderListing>(new CListing(f->second));
    }

private:
    class CListing : public IFolderListing {
    public:
        explicit CListing(const Folder& folder) : m_folder(folder) {}
        bool Next(FolderEntry& entry) override {
            if (m_next >= m_folder.entries.size() || m_next >= m_folder.failAfter) return false;
            entry = m_folder.entries[m_next++];
            return true;
        }

    private:
        const Folder& m_folder;
        size_t m_next = 0;
    };
};

const uint32_t kFile = 32;
const uint32_t kDir = 16;

std::vector<std::string> Import(CFakeFolderSource& source, CFakeHost& host, CMainState& state) {
    ImportFavorites(state, host, source);
    return ListTexts(state.m_linkList);
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
        CFakeFolderSource source;
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
        CFakeFolderSource source;
        source.favorites = r.favorites;
        source.Add(r.folder, "a.url", kFile);
        CMainState state;
        CFakeHost host(state);
        EXPECT_EQ(Import(source, host, state), std::vector<std::string>{r.folder + "a.url"}) << r.favorites;
        EXPECT_EQ(source.listed, std::vector<std::string>{r.folder + "*.*"}) << r.favorites;
    }
}

TEST(LinksScan, ImportStepsAndFilters) {
    CFakeFolderSource source;
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
    CFakeFolderSource source;
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

TEST(LinksScan, NoFavoritesFolder) {
    const struct {
        const char* name;
        bool has;
        std::string path;
    } rows[] = {{"shell has none", false, ""}, {"empty path", true, ""}};
    for (const auto& r : rows) {
        CFakeFolderSource source;
        source.hasFavorites = r.has;
        source.favorites = r.path;
        source.Add("\\", "root.url", kFile);
        CMainState state;
        state.m_linkList.Append("C:\\Old\\x.url");
        CFakeHost host(state);
        EXPECT_TRUE(Import(source, host, state).empty()) << r.name;
        EXPECT_TRUE(source.listed.empty()) << r.name;
        EXPECT_TRUE(host.messages.empty()) << r.name;
        EXPECT_EQ(host.events, (std::vector<std::string>{"wait", "take", "take", "list", "endwait"})) << r.name;
    }
}

// At most kMaxLinks entries; one message when more were found.
TEST(LinksScan, LimitOfLinks) {
    const struct {
        size_t shortcuts;
        bool told;
    } rows[] = {{kMaxLinks - 1, false}, {kMaxLinks, false}, {kMaxLinks + 1, true}, {100000, true}};
    for (const auto& r : rows) {
        CFakeFolderSource source;
        // Spread over two folders, the second entered after the first's files.
        const size_t first = r.shortcuts / 2;
        for (size_t k = 0; k < first; ++k) source.Add("C:\\Fav\\", "a" + std::to_string(k) + ".url", kFile);
        source.Add("C:\\Fav\\", "Sub", kDir);
        for (size_t k = first; k < r.shortcuts; ++k)
            source.Add("C:\\Fav\\Sub\\", "b" + std::to_string(k) + ".url", kFile);
        if (r.told) {
            source.Add("C:\\Fav\\", "Later", kDir);
            source.Add("C:\\Fav\\Later\\", "c.url", kFile);
        }
        CMainState state;
        CFakeHost host(state);
        Import(source, host, state);
        EXPECT_EQ(state.m_linkList.Count(), std::min(r.shortcuts, kMaxLinks)) << r.shortcuts;
        if (r.told) {
            ASSERT_EQ(host.messages.size(), 1u) << r.shortcuts;
            EXPECT_EQ(host.messages[0].first, "お気に入りが多すぎます。最初の30000件だけを取り込みました。");
            EXPECT_EQ(host.messages[0].second, MsgKind::Refusal);
            EXPECT_EQ(host.events.back(), "msg:" + host.messages[0].first);
            EXPECT_EQ(host.events[host.events.size() - 2], "endwait");
            // The walk stopped: the folder after the full one was never listed.
            EXPECT_EQ(std::count(source.listed.begin(), source.listed.end(), "C:\\Fav\\Later\\*.*"), 0)
                << r.shortcuts;
        } else {
            EXPECT_TRUE(host.messages.empty()) << r.shortcuts;
        }
        if (r.shortcuts == kMaxLinks + 1) {
            // The first kMaxLinks found are kept: only the last file of Sub is missing.
            const auto& items = ListTexts(state.m_linkList);
            const std::string last = "C:\\Fav\\Sub\\b" + std::to_string(kMaxLinks) + ".url";
            const std::string before = "C:\\Fav\\Sub\\b" + std::to_string(kMaxLinks - 1) + ".url";
            EXPECT_EQ(std::count(items.begin(), items.end(), last), 0);
            EXPECT_EQ(std::count(items.begin(), items.end(), before), 1);
        }
    }
}

// ScanFolder on its own: the limit counts entries already in the list.
TEST(LinksScan, ScanFolderCountsExistingEntries) {
    CFakeFolderSource source;
    source.Add("C:\\Fav\\", "a.url", kFile);
    source.Add("C:\\Fav\\", "b.url", kFile);
    CLinkList list;
    for (size_t k = 0; k + 1 < kMaxLinks; ++k) list.Append("x");
    EXPECT_FALSE(ScanFolder("C:\\Fav\\", source, list));
    EXPECT_EQ(list.Count(), kMaxLinks);
    CLinkList empty;
    EXPECT_TRUE(ScanFolder("C:\\Fav\\", source, empty));
    EXPECT_EQ(empty.Count(), 2u);
}

namespace {

// A scratch folder on the host's file system, removed with its content.
class CTempTree {
public:
    CTempTree() {
        char pattern[] = "/tmp/orvelle-scan-XXXXXX";
        const char* made = mkdtemp(pattern);
        root = made ? made : "";
    }
    ~CTempTree() {
        if (root.empty()) return;
        std::string command = "chmod -R u+w '" + root + "' && rm -rf '" + root + "'";
        if (std::system(command.c_str()) != 0) {}
    }
    void Dir(const std::string& rel, mode_t mode = 0755) { ASSERT_EQ(mkdir((root + "/" + rel).c_str(), mode), 0) << rel; }
    void File(const std::string& rel) {
        std::FILE* f = std::fopen((root + "/" + rel).c_str(), "wb");
        ASSERT_NE(f, nullptr) << rel;
        std::fputs("[InternetShortcut]\nURL=http://example.com/\n", f);
        std::fclose(f);
    }
    void Link(const std::string& target, const std::string& rel) {
        ASSERT_EQ(symlink((root + "/" + target).c_str(), (root + "/" + rel).c_str()), 0) << rel;
    }
    std::string root;
};

}  // namespace

// The same rules over a real tree, with attribute words as Wine gives them.
TEST(LinksScan, RealFolderTree) {
    CTempTree tree;
    ASSERT_FALSE(tree.root.empty());
    tree.Dir("ソ");  // the Favorites folder: its name ends in 0x5C
    const std::string fav = "ソ/";
    tree.File(fav + "Example.url");
    tree.File(fav + "EXAMPLE.URL");
    tree.File(fav + "notes.curl");
    tree.File(fav + "url");
    tree.File(fav + "readme.txt");
    tree.File(fav + ".dot.url");
    tree.Dir(fav + "x.url");
    tree.File(fav + "x.url/inner.url");
    tree.Dir(fav + "ソフト");
    tree.File(fav + "ソフト/予定.url");
    tree.Dir(fav + "表");
    tree.File(fav + "表/a.url");
    tree.Dir(fav + ".hidden");
    tree.File(fav + ".hidden/h.url");
    tree.Dir(fav + ".hidden.url");
    tree.Dir(fav + "ro.url");
    tree.File(fav + "ro.url/r.url");
    ASSERT_EQ(chmod((tree.root + "/" + fav + "ro.url").c_str(), 0555), 0);
    tree.Link(fav + "ソフト", fav + "alias");
    tree.Link(fav + "表", fav + "alias.url");

    const std::string favorites = CPosixFolderSource::FromHostPath(tree.root) + "\\ソ";
    CPosixFolderSource source(favorites);
    CMainState state;
    CFakeHost host(state);
    ImportFavorites(state, host, source);
    const std::string f = favorites + "\\";
    EXPECT_EQ(ListTexts(state.m_linkList),
              (std::vector<std::string>{f + ".dot.url", f + ".hidden.url", f + "Example.url",
                                        f + "alias.url", f + "notes.curl", f + "ro.url", f + "url",
                                        f + "x.url\\inner.url", f + "ソフト\\予定.url", f + "表\\a.url"}));
    EXPECT_TRUE(host.messages.empty());
}
