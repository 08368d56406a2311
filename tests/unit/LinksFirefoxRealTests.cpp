// Files written by Firefox itself (samples/Firefox, made by
// scripts/firefox-samples.sh): its database copied live with the -wal that
// alone holds the bookmark added last, a backup made from that copy, and
// the HTML export Firefox wrote when it quit. All three are one tree.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/MainState.h"
#include "export/Export.h"
#include "links/BookmarkSource.h"
#include "links/Ordering.h"
#include "links/PosixBookmarkFiles.h"
#include "support/Fakes.h"
#include "support/MemorySink.h"
#include "support/PageReader.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

const std::string kSamples = ORVELLE_SAMPLES_DIR "/Firefox";
const std::string kProfile = kSamples + "/sample.default-esr";
const std::string kExport = kSamples + "/bookmarks.html";

const std::string kToolbar = "Favorites\\ブックマークツールバー\\";
const std::string kMenuFolder = "Favorites\\メニュー\\";

// The export names the roots in the browser's language (here English); the
// database and the backup are read with the names Orvelle gives them. Each
// pair: the export's prefix and ours, as list text and as real path (UTF-8).
const struct {
    const char* text[2];
    const char* real[2];
} kRootNames[] = {
    {{"Favorites\\Bookmarks Toolbar\\", "Favorites\\ブックマークツールバー\\"},
     {"Favorites\\Bookmarks Toolbar\\", u8"Favorites\\ブックマークツールバー\\"}},
    {{"Favorites\\Other Bookmarks\\", "Favorites\\他のブックマーク\\"},
     {"Favorites\\Other Bookmarks\\", u8"Favorites\\他のブックマーク\\"}},
    {{"Favorites\\Mobile Bookmarks\\", "Favorites\\モバイルのブックマーク\\"},
     {"Favorites\\Mobile Bookmarks\\", u8"Favorites\\モバイルのブックマーク\\"}},
};

void RenamePrefix(std::string& s, const std::string& from, const std::string& to) {
    if (s.compare(0, from.size(), from) == 0) s = to + s.substr(from.size());
}

// The export's entries with the roots named as the other two name them.
void NameRootsAsOurs(std::vector<CLinkEntry>& entries) {
    for (CLinkEntry& e : entries) {
        for (const auto& names : kRootNames) {
            RenamePrefix(e.text, names.text[0], names.text[1]);
            if (!e.realPath.empty()) RenamePrefix(e.realPath, names.real[0], names.real[1]);
        }
    }
}

// A copy of the sample profile below the current folder without |left|
// (files or folders): so that only one of its stores is there to read.
std::string ProfileWithout(const std::string& name, std::initializer_list<const char*> left) {
    const std::string copy = fs::current_path().string() + "/" + name;
    fs::copy(kProfile, copy, fs::copy_options::recursive);
    for (const char* item : left) fs::remove_all(copy + "/" + item);
    return copy;
}
std::string DatabaseOnly() { return ProfileWithout("database-only", {"bookmarkbackups"}); }
std::string BackupOnly() { return ProfileWithout("backup-only", {"places.sqlite", "places.sqlite-wal"}); }

struct CRead {
    SourceRead result = SourceRead::Failed;
    std::vector<CLinkEntry> entries;
};

CRead Read(SourceKind kind, const std::string& path) {
    CRead r;
    CPosixBookmarkFiles files;
    std::string failed;
    r.result = ReadBookmarkSource(files, CSource{kind, path}, r.entries, failed);
    return r;
}

// Each entry as "text|address|real path", in read order.
std::vector<std::string> Describe(const std::vector<CLinkEntry>& entries) {
    std::vector<std::string> out;
    for (const CLinkEntry& e : entries) out.push_back(e.text + "|" + e.Address() + "|" + RealPath(e));
    return out;
}

// The bookmarks the policy gave, as list text and address.
const struct {
    const char* what;
    std::string text, address;
} kPolicyBookmarks[] = {
    {"tag in a title", kToolbar + "ツール\\&#60;script&#62;alert(1)&#60;/script&#62;.url", "http://script.example/"},
    {"backslash", kToolbar + "ツール\\a&#92;b.url", "http://backslash.example/a/b"},
    {"0x5C second bytes, & in the address", kToolbar + "ソフト表.url", "http://soft.example/?a=1&b=2"},
    {"outside code page 932", kMenuFolder + "Caf&#233; &#12316; &#128512;.url", "http://cafe.example/caf%C3%A9"},
    {"empty title", kMenuFolder + "http://untitled.example/.url", "http://untitled.example/"},
    {"in the menu itself", "Favorites\\top.url", "http://top.example/"},
    {"added last, only in the -wal", "Favorites\\最後の追加.url", "http://last.example/"},
};

}  // namespace

// The database (with its -wal), the backup (the profile without its
// database) and the export give the same entries, the export's root names
// aside; the titles came through as references where a path or a page
// cannot take them.
TEST(LinksFirefoxReal, ThreeFilesOneTree) {
    ASSERT_TRUE(fs::exists(kProfile + "/places.sqlite")) << kProfile;
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    // The private copies of the database go here, and must not stay.
    const std::string temp = fs::current_path().string() + "/temp";
    fs::create_directories(temp);
    setenv("TMPDIR", temp.c_str(), 1);
    const CRead database = Read(SourceKind::Firefox, DatabaseOnly());
    const CRead backup = Read(SourceKind::Firefox, BackupOnly());
    CRead html = Read(SourceKind::Html, kExport);
    unsetenv("TMPDIR");
    EXPECT_TRUE(fs::is_empty(temp)) << "the private copy was left behind";
    NameRootsAsOurs(html.entries);
    EXPECT_EQ(database.result, SourceRead::Ok);
    EXPECT_EQ(backup.result, SourceRead::Ok);
    EXPECT_EQ(html.result, SourceRead::Ok);
    EXPECT_EQ(Describe(backup.entries), Describe(database.entries));
    EXPECT_EQ(Describe(html.entries), Describe(database.entries));

    for (const auto& b : kPolicyBookmarks) {
        SCOPED_TRACE(b.what);
        const auto at = std::find_if(database.entries.begin(), database.entries.end(),
                                     [&](const CLinkEntry& e) { return e.text == b.text; });
        ASSERT_NE(at, database.entries.end());
        EXPECT_EQ(at->Address(), b.address);
    }
    for (const CLinkEntry& e : database.entries) EXPECT_EQ(e.text.find('<'), std::string::npos) << e.text;
}

// The database without its -wal lacks exactly the bookmark added last: the
// sample holds it where a reader of places.sqlite alone would lose it.
TEST(LinksFirefoxReal, LastBookmarkOnlyInTheWal) {
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    const CRead with = Read(SourceKind::Firefox, DatabaseOnly());
    const CRead without = Read(SourceKind::Firefox, ProfileWithout("no-wal", {"bookmarkbackups", "places.sqlite-wal"}));
    ASSERT_EQ(with.result, SourceRead::Ok);
    ASSERT_EQ(without.result, SourceRead::Ok);
    std::vector<std::string> expected = Describe(with.entries);
    const std::string lastBookmark = "Favorites\\最後の追加.url|http://last.example/|";
    const auto last = std::find_if(expected.begin(), expected.end(), [&](const std::string& d) {
        return d.compare(0, lastBookmark.size(), lastBookmark) == 0;
    });
    ASSERT_NE(last, expected.end());
    expected.erase(last);
    EXPECT_EQ(Describe(without.entries), expected);
}

// Byte-identical pages in every style from the three reads, each put into
// the list as Import puts it (assigned, then refreshed).
TEST(LinksFirefoxReal, SamePagesFromEachFile) {
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    CRead reads[] = {Read(SourceKind::Firefox, DatabaseOnly()), Read(SourceKind::Firefox, BackupOnly()),
                     Read(SourceKind::Html, kExport)};
    NameRootsAsOurs(reads[2].entries);
    for (const CRead& r : reads) ASSERT_EQ(r.result, SourceRead::Ok);

    // Written by hand from the policy's bookmarks: genre, address, text.
    const std::vector<page::CPageRow> policyRows = {
        {"ツール", "http://script.example/", "&#60;script&#62;alert(1)&#60;/script&#62;"},
        {"ツール", "http://backslash.example/a/b", "a&#92;b"},
        {"ブックマークツールバー", "http://soft.example/?a=1&b=2", "ソフト表"},
        {"メニュー", "http://cafe.example/caf%C3%A9", "Caf&#233; &#12316; &#128512;"},
        {"メニュー", "http://untitled.example/", "http://untitled.example/"},
        {"その他", "http://top.example/", "top"},
        {"その他", "http://last.example/", "最後の追加"},
    };
    for (int style : {STYLE_SINGLE, STYLE_INDEX, STYLE_FRAMES, STYLE_ANCHORS}) {
        SCOPED_TRACE(style);
        CMemorySink sinks[3];
        for (size_t k = 0; k < 3; ++k) {
            CMainState state;
            state.m_style = style;
            CFakeHost host(state);
            host.controls.caption = "ブックマーク";
            host.controls.outputPath = "C:\\w\\o.html";
            host.controls.stdGenre = "その他";
            host.TakeControlValues();
            state.m_linkList.Assign(std::vector<CLinkEntry>(reads[k].entries));
            RefreshLinkList(state, host);
            RunWrite(state, host, sinks[k]);
            ASSERT_EQ(host.messages.size(), 1u);
            EXPECT_EQ(host.messages[0].first, "ファイルへの出力が完了しました。");
        }
        for (size_t k = 1; k < 3; ++k) {
            ASSERT_EQ(sinks[k].Paths(), sinks[0].Paths()) << k;
            for (const std::string& path : sinks[0].Paths())
                EXPECT_EQ(sinks[k].Content(path), sinks[0].Content(path)) << k << " " << path;
        }
        const std::string main = sinks[0].Content("C:\\w\\o.html");
        EXPECT_EQ(main.find("<script>"), std::string::npos);
        if (style == STYLE_INDEX) continue;
        const std::vector<page::CPageRow> rows = page::PageRows(main);
        for (const page::CPageRow& want : policyRows) {
            SCOPED_TRACE(want.text);
            EXPECT_EQ(std::count(rows.begin(), rows.end(), want), 1);
        }
    }
}
