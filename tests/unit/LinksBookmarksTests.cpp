#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/Text.h"
#include "links/Bookmarks.h"
#include "links/Ordering.h"
#include "links/ChromiumBookmarks.h"
#include "links/BookmarkSource.h"
#include "links/PosixBookmarkFiles.h"
#include "support/TempDir.h"

namespace {

// Expected texts are code page 932 (narrow literals); JSON files and real
// paths are UTF-8 (u8 literals).
const std::string kBar = "Favorites\\ブックマーク バー\\";
const std::string kEdgeBar = "Favorites\\お気に入りバー\\";
const std::string kMobile = "Favorites\\モバイルのブックマーク\\";
const std::string kEdgeMobile = "Favorites\\モバイルのお気に入り\\";

std::vector<std::string> Texts(const std::vector<CLinkEntry>& entries) {
    std::vector<std::string> texts;
    for (const CLinkEntry& e : entries) texts.push_back(e.text);
    return texts;
}

std::string Url(const std::string& name, const std::string& url) {
    return R"({"type":"url","name":")" + name + R"(","url":")" + url + R"("})";
}
std::string Folder(const std::string& name, const std::string& children) {
    return R"({"type":"folder","name":")" + name + R"(","children":[)" + children + "]}";
}
// A whole file; each root holds the children given (none: left out).
std::string File(const std::string& bar, const std::string& other = "", const std::string& synced = "") {
    std::string roots;
    const std::pair<const char*, const std::string*> parts[] = {
        {"bookmark_bar", &bar}, {"other", &other}, {"synced", &synced}};
    for (const auto& p : parts) {
        if (p.second->empty()) continue;
        if (!roots.empty()) roots += ",";
        roots += std::string("\"") + p.first + R"(":{"type":"folder","name":"x","children":[)" + *p.second + "]}";
    }
    return R"({"roots":{)" + roots + R"(},"version":1})";
}
// |count| bookmarks named <prefix><k>, separated by commas.
std::string Many(const std::string& prefix, size_t count) {
    std::string out;
    for (size_t k = 0; k < count; ++k) out += (k ? "," : "") + Url(prefix + std::to_string(k), "http://n/");
    return out;
}

struct CRead {
    bool ok = false;
    bool cut = false;
    std::vector<CLinkEntry> entries;
};
CRead Read(std::string json, RootNames names = RootNames::Chromium) {
    CRead r;
    CBookmarkCollector collector(r.entries);
    r.ok = ReadChromiumBookmarks(json, names, collector);
    r.cut = collector.Cut();
    EXPECT_EQ(collector.Depth(), 0u);  // every folder opened was closed
    return r;
}

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace

// Name, text, real path and address of one bookmark, each row in a fresh
// collector.
TEST(LinksBookmarks, NamesTextsAndAddresses) {
    const struct {
        const char* what;
        const char16_t* folder;  // null: directly in the root
        std::u16string title, url;
        std::string text, realPath, address;
    } rows[] = {
        {"plain", nullptr, u"Example", u"http://e.example/", "Favorites\\Example.url", u8"Favorites\\Example.url",
         "http://e.example/"},
        {"control characters become spaces, nothing trimmed", u"F\tG", u" a\x01" u"b\x1F" u"c\x7F ", u"http://c/",
         "Favorites\\F G\\ a b c  .url", u8"Favorites\\F G\\ a b c  .url", "http://c/"},
        {"empty title takes the address, trimmed", nullptr, u"", u"\t http://x.example/a b\x01" u"c\t\n",
         "Favorites\\http://x.example/a b c.url", u8"Favorites\\http://x.example/a b c.url",
         "http://x.example/a%20b%01c"},
        {"tabs and line breaks inside an address dropped", nullptr, u"n", u"http://x.exa\r\nmple/\ta\x85",
         "Favorites\\n.url", u8"Favorites\\n.url", "http://x.example/a%C2%85"},
        {"C1 control characters become spaces", u"F\x80G", u"a\x9F" u"b\xA0", u"http://c1/",
         "Favorites\\F G\\a b&#160;.url", u8"Favorites\\F G\\a b\u00A0.url", "http://c1/"},
        {"title of control characters is not empty", nullptr, u"\x01\x02", u"http://y/", "Favorites\\  .url",
         u8"Favorites\\  .url", "http://y/"},
        {"untitled folder", u"", u"t", u"http://t/", "Favorites\\無題\\t.url", u8"Favorites\\無題\\t.url",
         "http://t/"},
        {"folder of a control character", u"\x05", u"t", u"http://t/", "Favorites\\ \\t.url", u8"Favorites\\ \\t.url",
         "http://t/"},
        {"separator and markup escaped in the text only", u"<b>", u"a\\b<script>", u"http://s/",
         "Favorites\\&#60;b&#62;\\a&#92;b&#60;script&#62;.url", u8"Favorites\\<b>\\a\\b<script>.url", "http://s/"},
        {"characters without a cp932 form", u"ソ", u"café😀\xFFFD", u"http://x/é 😀",
         "Favorites\\ソ\\caf&#233;&#128512;&#65533;.url", u8"Favorites\\ソ\\café😀\uFFFD.url",
         "http://x/%C3%A9%20%F0%9F%98%80"},
        {"a typed reference stays", nullptr, u"&#233;", u"http://r/", "Favorites\\&#233;.url",
         u8"Favorites\\&#233;.url", "http://r/"},
        {"quote, tilde and percent kept; DEL encoded", nullptr, u"q", u"http://q/?a=\"b\"&c=~%41\x7F",
         "Favorites\\q.url", u8"Favorites\\q.url", "http://q/?a=\"b\"&c=~%41%7F"},
        {"lone surrogate in the address", nullptr, u"s", u"http://s/\xD800", "Favorites\\s.url", u8"Favorites\\s.url",
         "http://s/%EF%BF%BD"},
        {"empty title, printable address", nullptr, u"", u"http://p.example/a?b=1",
         "Favorites\\http://p.example/a?b=1.url", u8"Favorites\\http://p.example/a?b=1.url", "http://p.example/a?b=1"},
        {"spaces around a printable address", nullptr, u"", u"  http://p/  ", "Favorites\\http://p/.url",
         u8"Favorites\\http://p/.url", "http://p/"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        // The address as UTF-16, and as UTF-8 as SQLite and JSON hold it.
        for (bool utf8 : {false, true}) {
            std::vector<CLinkEntry> entries;
            CBookmarkCollector collector(entries);
            if (r.folder) collector.EnterFolder(r.folder, false);
            if (utf8)
                EXPECT_TRUE(collector.AddBookmark(r.title, Utf8FromUtf16(r.url), false));
            else
                EXPECT_TRUE(collector.AddBookmark(r.title, r.url, false));
            ASSERT_EQ(entries.size(), 1u);
            EXPECT_EQ(entries[0].text, r.text);
            EXPECT_EQ(entries[0].realPath, r.realPath);
            EXPECT_EQ(entries[0].Address(), r.address);
            EXPECT_TRUE(entries[0].HasAddress());
        }
    }
    // An address of nothing, in either form, adds nothing.
    std::vector<CLinkEntry> entries;
    CBookmarkCollector collector(entries);
    EXPECT_TRUE(collector.AddBookmark(u"t", std::string(""), false));
    EXPECT_TRUE(collector.AddBookmark(u"t", std::string(" \t"), false));
    EXPECT_TRUE(collector.AddBookmark(u"t", u" \t", false));
    EXPECT_TRUE(entries.empty());
}

namespace {

// Bookmarks collected from a list of steps: "+name" opens a folder, "-"
// closes one, anything else is the title of a bookmark (the address, its
// step number, tells bookmarks of one name apart).
std::vector<CLinkEntry> Collected(const std::vector<std::u16string>& steps) {
    std::vector<CLinkEntry> entries;
    CBookmarkCollector collector(entries);
    for (size_t k = 0; k < steps.size(); ++k) {
        if (!steps[k].empty() && steps[k][0] == u'+')
            collector.EnterFolder(steps[k].substr(1), false);
        else if (steps[k] == u"-")
            collector.LeaveFolder();
        else
            collector.AddBookmark(steps[k], u"http://x/" + Utf16FromText(std::to_string(k)), false);
    }
    return entries;
}

// The order the refresh sorts a list into without help.
std::vector<size_t> SortedOrder(const std::vector<CLinkEntry>& entries) {
    std::vector<const CLinkEntry*> keys;
    for (const CLinkEntry& e : entries) keys.push_back(&e);
    return ExchangeSortOrder(RankInPathOrder(keys));
}

}  // namespace

// The path order found folder by folder, each row's texts in the order
// written by hand, and the same as the refresh's own sort.
TEST(LinksBookmarks, CollectedPathOrder) {
    const struct {
        const char* what;
        std::vector<std::u16string> steps;
        std::vector<std::string> sorted;
    } rows[] = {
        {"names out of order; capitals first", {u"b", u"a", u"C"},
         {"Favorites\\C.url", "Favorites\\a.url", "Favorites\\b.url"}},
        {"a bookmark, a folder and a name with a space that begin alike", {u"+a", u"x", u"-", u"a", u"a b"},
         {"Favorites\\a b.url", "Favorites\\a.url", "Favorites\\a\\x.url"}},
        {"two folders of one name: their bookmarks together", {u"+F", u"c", u"a", u"-", u"z", u"+F", u"b", u"-"},
         {"Favorites\\F\\a.url", "Favorites\\F\\b.url", "Favorites\\F\\c.url", "Favorites\\z.url"}},
        {"second bytes 0x5C", {u"+表", u"x", u"-", u"ソ", u"+ソ", u"y", u"-"},
         {"Favorites\\ソ.url", "Favorites\\ソ\\y.url", "Favorites\\表\\x.url"}},
        {"half-width katakana before two-byte characters", {u"ア", u"\uFF71", u"+\uFF72", u"i", u"-"},
         {"Favorites\\ｱ.url", "Favorites\\ｲ\\i.url", "Favorites\\ア.url"}},
        {"a name twice in one folder, in source order", {u"n", u"m", u"n"},
         {"Favorites\\m.url", "Favorites\\n.url", "Favorites\\n.url"}},
        {"nested folders closed and opened again",
         {u"+A", u"+B", u"2", u"-", u"1", u"+B", u"+C", u"3", u"-", u"-", u"-", u"0"},
         {"Favorites\\0.url", "Favorites\\A\\1.url", "Favorites\\A\\B\\2.url", "Favorites\\A\\B\\C\\3.url"}},
        {"a typed reference and the character it names: one text", {u"Caf\u00E9", u"Caf&#233;"},
         {"Favorites\\Caf&#233;.url", "Favorites\\Caf&#233;.url"}},
        {"nothing", {}, {}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        const std::vector<CLinkEntry> entries = Collected(r.steps);
        const std::vector<size_t> order = CollectedPathOrder(entries);
        ASSERT_EQ(order.size(), entries.size());
        std::vector<std::string> texts;
        for (size_t k : order) texts.push_back(entries[k].text);
        EXPECT_EQ(texts, r.sorted);
        EXPECT_EQ(order, SortedOrder(entries));
    }
}

// Trees of few names (so that names, folders and paths repeat, and every
// tricky byte meets every other) sorted folder by folder and whole agree.
TEST(LinksBookmarks, CollectedPathOrderAgreesWithTheSort) {
    const std::vector<std::u16string> names = {u"a",   u"A",  u"a b", u"ソ", u"表",        u"\uFF71", u"ア",
                                               u"",    u"x\\", u"<",   u"\u00E9", u"&#233;", u"a.url", u"\U0001F600"};
    std::mt19937 random(25);
    int found = 0;
    for (int round = 0; round < 400; ++round) {
        std::vector<std::u16string> steps;
        size_t depth = 0;
        for (int k = static_cast<int>(random() % 60); k > 0; --k) {
            const unsigned what = random() % 6;
            if (what == 0 && depth < 4) {
                steps.push_back(u"+" + names[random() % names.size()]);
                ++depth;
            } else if (what == 1 && depth > 0) {
                steps.push_back(u"-");
                --depth;
            } else {
                steps.push_back(names[random() % names.size()]);
            }
        }
        const std::vector<CLinkEntry> entries = Collected(steps);
        const std::vector<size_t> order = CollectedPathOrder(entries);
        // Empty only where it cannot tell; then the refresh sorts.
        if (order.empty() && !entries.empty()) continue;
        ++found;
        ASSERT_EQ(order, SortedOrder(entries)) << "round " << round;
    }
    EXPECT_GT(found, 390);
}

// Folders nest and unwind; one that gets no bookmark leaves nothing; source
// order counts from 1.
TEST(LinksBookmarks, CollectorFolders) {
    std::vector<CLinkEntry> entries;
    CBookmarkCollector collector(entries);
    collector.LeaveFolder();  // at the root: nothing
    collector.EnterFolder(u"A", false);
    collector.EnterFolder(u"Empty", false);
    collector.LeaveFolder();
    collector.EnterFolder(u"B", false);
    collector.AddBookmark(u"x", u"http://x/", false);
    EXPECT_EQ(collector.Depth(), 2u);
    collector.LeaveFolder();
    collector.AddBookmark(u"y", u"http://y/", false);
    collector.LeaveFolder();
    collector.AddBookmark(u"y", u"http://y2/", false);
    EXPECT_EQ(Texts(entries), (std::vector<std::string>{"Favorites\\A\\B\\x.url", "Favorites\\A\\y.url",
                                                        "Favorites\\y.url"}));
    ASSERT_EQ(entries.size(), 3u);
    for (uint32_t k = 0; k < 3; ++k) EXPECT_EQ(entries[k].sourceOrder, k + 1);
    EXPECT_FALSE(collector.Cut());
}

TEST(LinksBookmarks, ChromiumFiles) {
    const std::string roots =
        u8R"({"checksum":"0f","roots":{)"
        u8R"("synced":{"children":[{"type":"url","name":"s","url":"http://s/"}],"name":"Mobile","type":"folder"},)"
        u8R"("other":{"children":[{"type":"url","name":"o","url":"http://o/","guid":"g","date_added":"1",)"
        u8R"("meta_info":{"k":"v"}}],"name":"Other bookmarks","type":"folder"},)"
        u8R"("bookmark_bar":{"children":[{"type":"url","name":"b","url":"http://b/"}],"name":"Bar","type":"folder"},)"
        u8R"("workspaces":{"children":[{"type":"url","name":"w","url":"http://w/"}],"type":"folder"},)"
        u8R"("custom_root":{"children":[{"type":"url","name":"c","url":"http://c/"}],"type":"folder"},)"
        u8R"("future":{"children":[{"type":"url","name":"f","url":"http://f/"}],"type":"folder"}},)"
        u8R"("sync_metadata":"xyz","version":1})";
    const std::string valid = File(Url("a", "http://a/"));
    const struct {
        const char* what;
        std::string json;
        RootNames names;
        bool ok;
        std::vector<std::string> texts;
    } rows[] = {
        {"roots by key, in fixed order", roots, RootNames::Chromium, true,
         {kBar + "b.url", "Favorites\\o.url", kMobile + "s.url"}},
        {"Edge's root names", roots, RootNames::Edge, true,
         {kEdgeBar + "b.url", "Favorites\\o.url", kEdgeMobile + "s.url"}},
        {"depth first; nodes passed over",
         File(Folder("F1", Url("a", "http://a/") + "," + Folder("F2", Url("b", "http://b/")) + "," +
                               Url("c", "http://c/")) +
              R"(,{"type":"separator","name":"sep","url":"http://sep/"},{"type":"url","name":"nu"},)"
              R"({"type":"url","name":"eu","url":""},{"type":"url","name":"num","url":5},)"
              R"({"name":"nt","url":"http://nt/"},{"type":"URL","name":"uc","url":"http://uc/"},42,"str",)"
              R"({"type":"folder","name":"E1"},{"type":"folder","name":"E2","children":[]},)" +
              Folder("E3", R"({"type":"url","name":"z","url":""})") + "," + Folder("", Url("d", "http://d/")) + "," +
              Url("e", "http://e/")),
         RootNames::Chromium, true,
         {kBar + "F1\\a.url", kBar + "F1\\F2\\b.url", kBar + "F1\\c.url", kBar + "無題\\d.url", kBar + "e.url"}},
        {"names as stored",
         File(Url("", "http://e/") + R"(,{"type":"url","url":"http://m/"},)" +
              Url(u8R"(\u0000x\ty\u007f )", "http://c/") + "," + Url(u8R"(a\\b)", "http://bs/")),
         RootNames::Chromium, true,
         {kBar + "http://e/.url", kBar + "http://m/.url", kBar + " x y  .url", kBar + "a&#92;b.url"}},
        {"lone surrogates become U+FFFD",
         File(Url(R"(\uD800)", "http://1/") + "," + Url(R"(a\udc00b)", "http://2/") + "," +
              Url(R"(\uD83D\uDE00)", "http://3/") + "," + Url(R"(\uD800\uD800\uDC00)", "http://4/") + "," +
              Url(R"(x\\uD800)", "http://5/") + "," + Url(R"(end\ud800)", "http://6/") + "," +
              Url(R"(q\"\uD800)", "http://7/")),
         RootNames::Chromium, true,
         {kBar + "&#65533;.url", kBar + "a&#65533;b.url", kBar + "&#128512;.url", kBar + "&#65533;&#65536;.url",
          kBar + "x&#92;uD800.url", kBar + "end&#65533;.url", kBar + "q\"&#65533;.url"}},
        {"ill-formed UTF-8", File(Url("a\xFF" "b", "http://i/")), RootNames::Chromium, true,
         {kBar + "a&#65533;b.url"}},
        {"roots without children", R"({"roots":{"bookmark_bar":[],"other":{"children":[]},"synced":{}}})",
         RootNames::Chromium, true, {}},
        {"empty roots", R"({"roots":{}})", RootNames::Chromium, true, {}},
        {"empty file", "", RootNames::Chromium, false, {}},
        {"not JSON", "Bookmarks", RootNames::Chromium, false, {}},
        {"array", "[1]", RootNames::Chromium, false, {}},
        {"no roots", R"({"version":1})", RootNames::Chromium, false, {}},
        {"roots not an object", R"({"roots":[]})", RootNames::Chromium, false, {}},
        {"truncated", valid.substr(0, valid.size() - 3), RootNames::Chromium, false, {}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        const CRead read = Read(r.json, r.names);
        EXPECT_EQ(read.ok, r.ok);
        EXPECT_EQ(Texts(read.entries), r.texts);
    }

    // Addresses from escapes and ill-formed bytes.
    const CRead read = Read(File(Url("u", R"(http://u/\uD800)") + "," + Url("i", "http://i/\xC3")));
    ASSERT_EQ(read.entries.size(), 2u);
    EXPECT_EQ(read.entries[0].Address(), "http://u/%EF%BF%BD");
    EXPECT_EQ(read.entries[1].Address(), "http://i/%EF%BF%BD");
}

// A title of 30000 characters and folders 1000 deep, with bookmarks after
// the deep chain in the same and the next root.
TEST(LinksBookmarks, ChromiumLongAndDeep) {
    std::string title, titleText;
    for (int k = 0; k < 30000; ++k) {
        title += u8"あ";
        titleText += "あ";
    }
    std::string deep = Url("deep", "http://deep/"), deepText = kBar;
    for (int k = 0; k < 1000; ++k) {
        deep = Folder("f", deep);
        deepText += "f\\";
    }
    const CRead read =
        Read(File(Url(title, "http://long/") + "," + deep + "," + Url("after", "http://after/"), Url("o", "http://o/")));
    EXPECT_TRUE(read.ok);
    ASSERT_EQ(read.entries.size(), 4u);
    EXPECT_TRUE(read.entries[0].text == kBar + titleText + ".url");
    EXPECT_TRUE(read.entries[1].text == deepText + "deep.url");
    EXPECT_EQ(read.entries[2].text, kBar + "after.url");
    EXPECT_EQ(read.entries[3].text, "Favorites\\o.url");
}

// The first kMaxLinks bookmarks in source order, across roots.
TEST(LinksBookmarks, LimitOfLinks) {
    const struct {
        size_t bar, other;
        bool nested;  // the bar's bookmarks two folders down
        bool cut;
        std::string first, last;
    } rows[] = {
        {20000, 10000, false, false, kBar + "b0.url", "Favorites\\o9999.url"},
        {20000, 10001, false, true, kBar + "b0.url", "Favorites\\o9999.url"},
        {30001, 1, true, true, kBar + "F\\G\\b0.url", kBar + "F\\G\\b29999.url"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.bar + r.other);
        const std::string bar = r.nested ? Folder("F", Folder("G", Many("b", r.bar))) : Many("b", r.bar);
        // A url without an address after the limit is no bookmark refused.
        const CRead read = Read(File(bar, Many("o", r.other) + R"(,{"type":"url","name":"e","url":""})"));
        EXPECT_TRUE(read.ok);
        EXPECT_EQ(read.cut, r.cut);
        ASSERT_EQ(read.entries.size(), kMaxLinks);
        EXPECT_EQ(read.entries.front().text, r.first);
        EXPECT_EQ(read.entries.back().text, r.last);
    }

    std::vector<CLinkEntry> entries(kMaxLinks);
    CBookmarkCollector full(entries);
    EXPECT_FALSE(full.AddBookmark(u"x", u"http://x/", false));
    EXPECT_TRUE(full.Cut());
    EXPECT_EQ(entries.size(), kMaxLinks);
}

// A source that no list can hold is refused while it is read, before the
// memory is spent: a real path past any Windows path ("Favorites\\" is 10
// units, ".url" 4), or list texts past their budget.
TEST(LinksBookmarks, SourcesNoListCanHold) {
    const struct {
        const char* what;
        size_t depth, folderLength, titleLength, bookmarks, maxTextBytes;
        size_t added;
        bool tooLarge;
    } rows[] = {
        {"a path at the limit", 0, 0, 32753, 1, kMaxBookmarkTextBytes, 1, false},
        {"a path one past the limit", 0, 0, 32754, 1, kMaxBookmarkTextBytes, 0, true},
        {"a folder at the limit", 1, 32751, 1, 2, kMaxBookmarkTextBytes, 2, false},
        {"a folder one past the limit", 1, 32752, 1, 2, kMaxBookmarkTextBytes, 0, true},
        {"1000 folders of 1000 characters", 1000, 1000, 1, 30000, kMaxBookmarkTextBytes, 0, true},
        {"texts at their budget", 0, 0, 10, 4, 96, 4, false},  // "Favorites\\" + 10 + ".url": 24 bytes each
        {"texts past their budget", 0, 0, 10, 5, 96, 4, true},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        std::vector<CLinkEntry> entries;
        CBookmarkCollector collector(entries, kMaxBookmarkPathUnits, r.maxTextBytes);
        for (size_t d = 0; d < r.depth; ++d) collector.EnterFolder(std::u16string(r.folderLength, u'f'), false);
        const std::u16string title(r.titleLength, u't');
        size_t added = 0;
        while (added < r.bookmarks && collector.AddBookmark(title, u"http://x/", false)) ++added;
        EXPECT_EQ(entries.size(), r.added);
        EXPECT_EQ(added, r.added);
        EXPECT_EQ(collector.TooLarge(), r.tooLarge);
        EXPECT_FALSE(collector.Cut());
        for (size_t d = 0; d < r.depth; ++d) collector.LeaveFolder();
        EXPECT_EQ(collector.Depth(), 0u);
    }
}

// ReadBookmarkSource on files: AccountBookmarks joins the same folders;
// failures name the file at fault and leave nothing.
TEST(LinksBookmarks, BookmarkFiles) {
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string root = std::filesystem::current_path().string() + "/";
    auto folder = [&](const std::string& name, const std::string& bookmarks, const std::string& account) {
        std::filesystem::create_directories(root + name);
        if (!bookmarks.empty()) Write(root + name + "/Bookmarks", bookmarks);
        if (!account.empty()) Write(root + name + "/AccountBookmarks", account);
        return root + name + "/Bookmarks";
    };
    const std::string good = File(Url("a", "http://a/"), Url("o", "http://o/"));
    const std::string account = File(Url("a", "http://a2/"), Url("o2", "http://o2/"), Url("s", "http://s/"));
    std::filesystem::create_directories(root + "dir/Bookmarks");
    const struct {
        const char* what;
        SourceKind kind;
        std::string path;
        SourceRead result;
        std::vector<std::string> texts;
        std::string failedFile;
    } rows[] = {
        {"with account", SourceKind::Chromium, folder("both", good, account), SourceRead::Ok,
         {kBar + "a.url", "Favorites\\o.url", kBar + "a.url", "Favorites\\o2.url", kMobile + "s.url"}, ""},
        {"Edge with account", SourceKind::Edge, root + "both/Bookmarks", SourceRead::Ok,
         {kEdgeBar + "a.url", "Favorites\\o.url", kEdgeBar + "a.url", "Favorites\\o2.url", kEdgeMobile + "s.url"}, ""},
        {"byte order marks", SourceKind::Chromium, folder("bom", "\xEF\xBB\xBF" + good, "\xEF\xBB\xBF" + account),
         SourceRead::Ok, {kBar + "a.url", "Favorites\\o.url", kBar + "a.url", "Favorites\\o2.url", kMobile + "s.url"},
         ""},
        {"no account", SourceKind::Chromium, folder("alone", good, ""), SourceRead::Ok,
         {kBar + "a.url", "Favorites\\o.url"}, ""},
        {"account over the limit", SourceKind::Chromium, folder("limit", File(Many("b", kMaxLinks)), good),
         SourceRead::Cut, {}, ""},
        {"missing", SourceKind::Chromium, root + "none/Bookmarks", SourceRead::Failed, {}, root + "none/Bookmarks"},
        {"a folder", SourceKind::Chromium, root + "dir/Bookmarks", SourceRead::Failed, {}, root + "dir/Bookmarks"},
        {"not JSON", SourceKind::Edge, folder("text", "hello", ""), SourceRead::Failed, {},
         root + "text/Bookmarks"},
        {"no roots", SourceKind::Chromium, folder("noroots", R"({"version":1})", account), SourceRead::Failed, {},
         root + "noroots/Bookmarks"},
        {"truncated", SourceKind::Chromium, folder("cut", good.substr(0, 20), ""), SourceRead::Failed, {},
         root + "cut/Bookmarks"},
        {"account not JSON", SourceKind::Chromium, folder("badacc", good, "{"), SourceRead::Failed, {},
         root + "badacc/AccountBookmarks"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        std::vector<CLinkEntry> entries{CLinkEntry("stale")};
        std::string failed;
        CPosixBookmarkFiles files;
        EXPECT_EQ(ReadBookmarkSource(files, CSource{r.kind, r.path}, entries, failed), r.result);
        if (r.result == SourceRead::Cut) {
            ASSERT_EQ(entries.size(), kMaxLinks);
            EXPECT_EQ(entries.back().text, kBar + "b29999.url");
            continue;
        }
        EXPECT_EQ(Texts(entries), r.texts);
        if (r.result == SourceRead::Failed) {
            EXPECT_EQ(failed, r.failedFile);
        }
        // Both files count one source order: equal bookmarks stay apart.
        for (size_t k = 0; k < entries.size(); ++k) EXPECT_EQ(entries[k].sourceOrder, k + 1);
    }
}
