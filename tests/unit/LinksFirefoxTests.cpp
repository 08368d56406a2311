// Firefox profiles: profiles.ini, the roots and order of places.sqlite and
// of its backups, the private copy, and what cannot be read.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/Text.h"
#include "links/BookmarkSource.h"
#include "links/BrowserProfiles.h"
#include "links/FirefoxBookmarks.h"
#include "links/FirefoxProfiles.h"
#include "links/PosixBookmarkFiles.h"
#include "support/FirefoxStore.h"
#include "support/MemoryFiles.h"
#include "support/TempDir.h"

namespace {

using firefox::CItem;
using firefox::kBookmark;
using firefox::kFolder;
using firefox::kSeparator;

const std::string kToolbar = "Favorites\\ブックマークツールバー\\";
const std::string kUnfiled = "Favorites\\他のブックマーク\\";
const std::string kMobile = "Favorites\\モバイルのブックマーク\\";

// A tree in every root, out of order by id, with what is passed over.
std::vector<CItem> Tree()
{
    std::vector<CItem> items = firefox::Roots();
    const std::vector<CItem> more = {
        {20, kBookmark, 2, 2, "third", "m3", "http://m3/"},
        {21, kBookmark, 2, 0, "first", "m1", "http://m1/"},
        {22, kSeparator, 2, 1, nullptr, "sep", nullptr},
        {23, kFolder, 2, 3, u8"ソ", "f1", nullptr},
        {24, kBookmark, 23, 0, nullptr, "untitled", "http://untitled/"},
        {25, kBookmark, 23, 1, u8"a\\b <script>", "esc", u8"http://x/é \"q\""},
        {26, kBookmark, 3, 0, "bar", "t1", "http://bar/"},
        {27, kFolder, 4, 0, "tagname", "tag", nullptr},
        {28, kBookmark, 27, 0, "tagged", "tg", "http://tagged/"},
        {29, kBookmark, 5, 0, "other", "u1", "http://other/"},
        {30, kBookmark, 6, 0, "phone", "p1", "http://phone/"},
        {31, kBookmark, 2, 4, "no address", "na", nullptr},
        {32, 7, 2, 5, "unknown type", "uk", "http://unknown/"},
        {33, kFolder, 5, 1, "", "empty", nullptr},  // no bookmark: no trace
    };
    items.insert(items.end(), more.begin(), more.end());
    return items;
}

const std::vector<std::string> kTreeTexts = {
    "Favorites\\first.url",
    "Favorites\\third.url",
    "Favorites\\ソ\\http://untitled/.url",
    "Favorites\\ソ\\a&#92;b &#60;script&#62;.url",
    kToolbar + "bar.url",
    kUnfiled + "other.url",
    kMobile + "phone.url",
};

std::string Here() { return std::filesystem::current_path().string(); }

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

struct CRead {
    SourceRead result = SourceRead::Failed;
    std::vector<std::string> texts, addresses;
    std::string failed;
};

CRead Read(IBookmarkFiles& files, const std::string& profile)
{
    CRead r;
    std::vector<CLinkEntry> entries;
    r.result = ReadBookmarkSource(files, CSource{SourceKind::Firefox, profile}, entries, r.failed);
    for (const CLinkEntry& e : entries) {
        r.texts.push_back(e.text);
        r.addresses.push_back(e.Address());
    }
    return r;
}

}  // namespace

TEST(LinksFirefox, ProfilesIni)
{
    const struct {
        const char* what;
        std::string ini;
        std::vector<std::string> profiles;  // "N|name|relative|path"
    } rows[] = {
        {"as Firefox writes it, LF",
         "[Install4F96D1932A9F858E]\nDefault=Profiles/b.default-release\n\n[Profile1]\nName=default\nIsRelative=1\n"
         "Path=Profiles/a.default\nDefault=1\n\n[Profile0]\nName=default-release\nIsRelative=1\n"
         "Path=Profiles/b.default-release\n\n[General]\nStartWithLastProfile=1\nVersion=2\n",
         {"0|default-release|1|Profiles/b.default-release", "1|default|1|Profiles/a.default"}},
        {"CR LF, byte order mark, Japanese name, absolute path",
         u8"\uFEFF[Profile0]\r\nName=仕事\r\nIsRelative=0\r\nPath=D:\\Firefox\\work\r\n",
         {u8"0|仕事|0|D:\\Firefox\\work"}},
        {"keys in any case, spaces, comments", "; comment\n[profile10]\n name = x \nISRELATIVE=1\nPATH = p10\n[Profile2]\nPath=p2\n",
         {"2||0|p2", "10|x|1|p10"}},
        {"sections without a path or not profiles", "[Profile0]\nName=nopath\n[ProfileX]\nPath=x\n[Profile]\nPath=y\n", {}},
        {"no sections", "Name=a\nPath=b\n", {}},
        {"empty", "", {}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        std::vector<std::string> got;
        for (const CIniProfile& p : ParseProfilesIni(r.ini))
            got.push_back(std::to_string(p.number) + "|" + Utf8FromUtf16(p.name) + "|" + (p.isRelative ? "1" : "0") +
                          "|" + Utf8FromUtf16(p.path));
        EXPECT_EQ(got, r.profiles);
    }
}

// Listed after the Chromium family, in the order of the browsers and of N;
// a profile with neither the database nor backups, or whose folder is
// missing, is not.
TEST(LinksFirefox, ProfilesFound)
{
    CMemoryBookmarkFiles files;
    files.localAppData = "/local";
    files.roamingAppData = "/roaming";
    files.files["/local/Google/Chrome/User Data/Default/Bookmarks"] = "{}";
    files.files["/roaming/Mozilla/Firefox/profiles.ini"] =
        u8"[Profile2]\nName=予備\nIsRelative=1\nPath=Profiles/c\n[Profile0]\nName=main\nIsRelative=1\nPath=Profiles/a\n"
        "[Profile1]\nName=gone\nIsRelative=1\nPath=Profiles/missing\n[Profile3]\nName=abs\nIsRelative=0\nPath=/elsewhere/d\n";
    files.files["/roaming/Mozilla/Firefox/Profiles/a/places.sqlite"] = "db";
    files.files["/roaming/Mozilla/Firefox/Profiles/c/bookmarkbackups/bookmarks-2026-12-01.jsonlz4"] = "x";
    files.files["/elsewhere/d/prefs.js"] = "";  // neither
    files.files["/roaming/Floorp/profiles.ini"] = "\xEF\xBB\xBF[Profile0]\r\nName=\r\nIsRelative=1\r\nPath=Profiles/f.default\r\n";
    files.files["/roaming/Floorp/Profiles/f.default/places.sqlite"] = "db";
    files.files["/roaming/Waterfox/profiles.ini"] = "not an ini at all";
    std::vector<std::string> got;
    for (const CSourceChoice& c : FindBrowserProfiles(files)) got.push_back(c.text + "|" + c.setting);
    EXPECT_EQ(got, (std::vector<std::string>{
                       "Google Chrome - Default|chromium:/local/Google/Chrome/User Data/Default/Bookmarks",
                       "Mozilla Firefox - main|firefox:/roaming/Mozilla/Firefox/Profiles/a",
                       "Mozilla Firefox - 予備|firefox:/roaming/Mozilla/Firefox/Profiles/c",
                       "Floorp - f.default|firefox:/roaming/Floorp/Profiles/f.default",
                   }));
}

// The database read from a private copy with its -wal (the last bookmark
// only there), the copy removed after; roots by guid, order by position.
TEST(LinksFirefox, DatabaseAndItsWal)
{
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string profile = Here() + "/profile", temp = Here() + "/temp";
    std::filesystem::create_directories(profile);
    std::filesystem::create_directories(temp);
    setenv("TMPDIR", temp.c_str(), 1);
    firefox::CPlaces places(profile + "/places.sqlite");
    ASSERT_TRUE(places.ok());
    ASSERT_TRUE(places.Add(Tree()));
    ASSERT_TRUE(places.Checkpoint());
    ASSERT_TRUE(places.Add({{40, kBookmark, 3, 1, "just added", "new", "http://new/"}}));
    ASSERT_GT(std::filesystem::file_size(profile + "/places.sqlite-wal"), 0u);

    CPosixBookmarkFiles files;
    const CRead read = Read(files, profile);
    unsetenv("TMPDIR");
    EXPECT_EQ(read.result, SourceRead::Ok);
    std::vector<std::string> texts = kTreeTexts;
    texts.insert(texts.begin() + 5, kToolbar + "just added.url");
    EXPECT_EQ(read.texts, texts);
    EXPECT_EQ(read.addresses[3], "http://x/%C3%A9%20\"q\"");
    EXPECT_TRUE(std::filesystem::is_empty(temp)) << "the private copy was left behind";
}

// The order of position within each parent, with Firefox's index on parent
// and position or without it, and however a damaged table stores a
// position: SQLite's own order (NULL first, then numbers, then text; the id
// last).
TEST(LinksFirefox, OrderOfPositionHoweverStored)
{
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    // The menu holds first (position 0), a separator (1), third (2), the
    // folder ソ (3) and two items that add nothing (4, 5).
    const std::vector<std::string> soTexts = {"Favorites\\ソ\\http://untitled/.url",
                                              "Favorites\\ソ\\a&#92;b &#60;script&#62;.url"};
    const std::vector<std::string> rest = {kToolbar + "bar.url", kUnfiled + "other.url", kMobile + "phone.url"};
    const struct {
        const char* what;
        const char* change;  // SQL run on the database made of Tree()
        std::vector<std::string> menu;
    } rows[] = {
        {"Firefox's index on parent and position", "", {"first", "third", "ソ"}},
        {"no index", "DROP INDEX moz_bookmarks_parentindex;", {"first", "third", "ソ"}},
        {"two at one position: by id", "UPDATE moz_bookmarks SET position = 0 WHERE id = 20;", {"third", "first", "ソ"}},
        {"a negative position", "UPDATE moz_bookmarks SET position = -1 WHERE id = 23;", {"ソ", "first", "third"}},
        {"a position of NULL", "UPDATE moz_bookmarks SET position = NULL WHERE id = 20;", {"third", "first", "ソ"}},
        {"a position of text", "UPDATE moz_bookmarks SET position = 'last' WHERE id = 21;", {"third", "ソ", "first"}},
        {"a position between two", "UPDATE moz_bookmarks SET position = 2.5 WHERE id = 23;", {"first", "third", "ソ"}},
        {"a position past the others", "UPDATE moz_bookmarks SET position = 1000000000000 WHERE id = 21;",
         {"third", "ソ", "first"}},
        {"a parent of text: no parent", "UPDATE moz_bookmarks SET parent = 'x' WHERE id = 20;", {"first", "ソ"}},
    };
    int k = 0;
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        const std::string profile = Here() + "/o" + std::to_string(++k);
        std::filesystem::create_directories(profile);
        {
            firefox::CPlaces places(profile + "/places.sqlite");
            ASSERT_TRUE(places.Add(Tree()) && places.Exec(r.change));
        }
        std::vector<std::string> texts;
        for (const std::string& name : r.menu) {
            if (name == "ソ")
                texts.insert(texts.end(), soTexts.begin(), soTexts.end());
            else
                texts.push_back("Favorites\\" + name + ".url");
        }
        texts.insert(texts.end(), rest.begin(), rest.end());
        CPosixBookmarkFiles files;
        const CRead read = Read(files, profile);
        EXPECT_EQ(read.result, SourceRead::Ok);
        EXPECT_EQ(read.texts, texts);
    }
}

// Without a readable database the newest backup, with the same mapping.
TEST(LinksFirefox, BackupsWhenTheDatabaseCannotBeRead)
{
    CMemoryBookmarkFiles files;
    const std::string backups = "/p/bookmarkbackups/";
    files.files[backups + "bookmarks-2026-11-30_7_abc.jsonlz4"] = firefox::MozLz4(firefox::BackupJson(firefox::Roots()));
    files.files[backups + "bookmarks-2026-12-01_9_def.jsonlz4"] = firefox::MozLz4(firefox::BackupJson(Tree()));
    files.files[backups + "notes.txt"] = "";
    const struct {
        const char* what;
        std::string database;  // empty: none
    } rows[] = {{"no database", ""}, {"a database that is not one", "not a database"}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        files.files.erase("/p/places.sqlite");
        if (!r.database.empty()) files.files["/p/places.sqlite"] = r.database;
        const CRead read = Read(files, "/p");
        EXPECT_EQ(read.result, SourceRead::Ok);
        EXPECT_EQ(read.texts, kTreeTexts);
        EXPECT_EQ(read.addresses[3], "http://x/%C3%A9%20\"q\"");
    }
}

// A profile where neither can be read is refused, naming the profile.
TEST(LinksFirefox, NeitherCanBeRead)
{
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string json = firefox::BackupJson(Tree());
    const struct {
        const char* what;
        std::string database, wal, backup;  // empty: no such file
    } rows[] = {
        {"nothing at all", "", "", ""},
        {"a database of zero bytes", "", "", ""},
        {"a database without moz_bookmarks", "", "", ""},
        {"a backup whose stated size is too large", "", "", firefox::MozLz4(json, json.size() + 1)},
        {"a backup whose stated size is too small", "", "", firefox::MozLz4(json, json.size() - 1)},
        {"a backup cut short", "", "", firefox::MozLz4(json).substr(0, 40)},
        {"a backup that is not one", "", "", "mozLz41" + std::string(20, 'x')},
        {"a backup of no JSON", "", "", firefox::MozLz4("{\"children\":")},
    };
    int k = 0;
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        const std::string profile = Here() + "/p" + std::to_string(++k);
        std::filesystem::create_directories(profile);
        if (k == 2) WriteFile(profile + "/places.sqlite", "");
        if (k == 3) {
            firefox::CPlaces places(profile + "/places.sqlite");
            ASSERT_TRUE(places.Exec("DROP TABLE moz_bookmarks;"));
        }
        if (!r.backup.empty()) WriteFile(profile + "/bookmarkbackups/bookmarks-2026-12-01.jsonlz4", r.backup);
        CPosixBookmarkFiles files;
        const CRead read = Read(files, profile);
        EXPECT_EQ(read.result, SourceRead::Failed);
        EXPECT_TRUE(read.texts.empty());
        EXPECT_EQ(read.failed, profile);
    }
}

// A -wal from another database, and 1000 levels of folders: no crash, no
// partial list, no recursion.
TEST(LinksFirefox, StrangeDatabases)
{
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    // 1000 nested folders with a bookmark at the bottom, in the menu.
    std::vector<CItem> deep = firefox::Roots();
    std::vector<std::string> guids;
    for (long k = 0; k < 1001; ++k) guids.push_back("g" + std::to_string(k));
    for (long k = 0; k < 1000; ++k) deep.push_back({100 + k, kFolder, k == 0 ? 2 : 99 + k, 0, "f", guids[k].c_str(), nullptr});
    deep.push_back({1100, kBookmark, 1099, 0, "bottom", guids[1000].c_str(), "http://bottom/"});
    std::filesystem::create_directories(Here() + "/deep");
    firefox::CPlaces places(Here() + "/deep/places.sqlite");
    ASSERT_TRUE(places.ok());
    ASSERT_TRUE(places.Add(deep));
    places.Close();
    CPosixBookmarkFiles files;
    CRead read = Read(files, Here() + "/deep");
    EXPECT_EQ(read.result, SourceRead::Ok);
    std::string text = "Favorites\\";
    for (int k = 0; k < 1000; ++k) text += "f\\";
    ASSERT_EQ(read.texts.size(), 1u);
    EXPECT_TRUE(read.texts[0] == text + "bottom.url");

    // A folder that is the menu's parent as well as its child.
    std::vector<CItem> loop = firefox::Roots();
    loop[1].parent = 40;
    loop.push_back({40, kFolder, 2, 0, "loop", "loop", nullptr});
    loop.push_back({41, kBookmark, 40, 0, "x", "x", "http://x/"});
    std::filesystem::create_directories(Here() + "/loop");
    firefox::CPlaces looped(Here() + "/loop/places.sqlite");
    ASSERT_TRUE(looped.Add(loop));
    looped.Close();
    read = Read(files, Here() + "/loop");
    EXPECT_EQ(read.result, SourceRead::Ok);
    EXPECT_EQ(read.texts, std::vector<std::string>{"Favorites\\loop\\x.url"});

    // The -wal of another database beside a good one.
    std::filesystem::create_directories(Here() + "/a");
    std::filesystem::create_directories(Here() + "/b");
    firefox::CPlaces a(Here() + "/a/places.sqlite"), b(Here() + "/b/places.sqlite");
    ASSERT_TRUE(a.Add(Tree()) && a.Checkpoint());
    // Another profile's database, laid out otherwise, its latest change in
    // its -wal.
    ASSERT_TRUE(b.Exec("CREATE TABLE pad (x); INSERT INTO pad VALUES (randomblob(20000));"));
    std::vector<CItem> other = firefox::Roots();
    for (long k = 0; k < 200; ++k) other.push_back({60 + k, kBookmark, 3, static_cast<int>(k), "b", "b", "http://b/"});
    ASSERT_TRUE(b.Add(other) && b.Checkpoint() && b.Add({{300, kBookmark, 2, 0, "late", "late", "http://late/"}}));
    std::filesystem::copy_file(Here() + "/b/places.sqlite-wal", Here() + "/a/places.sqlite-wal",
                               std::filesystem::copy_options::overwrite_existing);
    read = Read(files, Here() + "/a");
    // The file format ties no -wal to its database: SQLite reads the pair as
    // one, as the browser would. What it gives is refused when it does not
    // hold together, and never names anything neither file holds.
    EXPECT_TRUE(read.result == SourceRead::Failed || read.result == SourceRead::Ok);
    for (const std::string& t : read.texts)
        EXPECT_TRUE(std::count(kTreeTexts.begin(), kTreeTexts.end(), t) || t == "Favorites\\late.url" ||
                    t == kToolbar + "b.url")
            << t;
}

TEST(LinksFirefox, MozLz4)
{
    const std::string json = "{\"a\":\"" + std::string(1000, 'x') + "\"}";
    std::string out;
    EXPECT_TRUE(DecompressMozLz4(firefox::MozLz4(json), out));
    EXPECT_EQ(out, json);
    EXPECT_TRUE(DecompressMozLz4(firefox::MozLz4(""), out));
    EXPECT_EQ(out, "");
    // A stated size past what any block of that length can give costs no memory.
    EXPECT_FALSE(DecompressMozLz4(firefox::MozLz4(json, 0xFFFFFFFFll), out));
    EXPECT_FALSE(DecompressMozLz4("mozLz40", out));
}
