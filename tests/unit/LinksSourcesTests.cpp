#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "export/Export.h"
#include "links/Import.h"
#include "links/Ordering.h"
#include "links/BrowserProfiles.h"
#include "links/PosixBookmarkFiles.h"
#include "links/SourceChoices.h"
#include "links/SourceSetting.h"
#include "support/Fakes.h"
#include "support/FolderSources.h"
#include "support/MemorySink.h"
#include "support/PageReader.h"
#include "support/TempDir.h"

namespace {

const std::string kUnreadable = "ブックマークを読み込めませんでした。\n";
const std::string kBar = "Favorites\\ブックマーク バー\\";
const std::string kEdgeBar = "Favorites\\お気に入りバー\\";
const std::string kMobile = "Favorites\\モバイルのブックマーク\\";
const std::string kEdgeMobile = "Favorites\\モバイルのお気に入り\\";

// The temp folder as a host path ending in "/": bookmark files are named by
// full paths.
std::string Here() { return std::filesystem::current_path().string() + "/"; }

// A file by its host path (UTF-8), folders made as needed.
void Write(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::vector<std::string> Addresses(const CLinkList& list) {
    std::vector<std::string> out;
    for (const CLinkEntry& e : list.Items()) out.push_back(e.Address());
    return out;
}

// Import with the host's files.
CImportOutcome Import(CMainState& state, IMainHost& host, IFolderSource& folders) {
    CPosixBookmarkFiles files;
    return RunImport(state, host, folders, files);
}

std::vector<std::string> Describe(const std::vector<CSourceChoice>& choices) {
    std::vector<std::string> out;
    for (const CSourceChoice& c : choices) out.push_back(std::to_string(c.kind) + "|" + c.text + "|" + c.setting);
    return out;
}
std::string Item(CSourceChoice::Kind kind, const std::string& text, const std::string& setting) {
    return std::to_string(kind) + "|" + text + "|" + setting;
}

const char kTree[] =
    u8R"({"roots":{"bookmark_bar":{"type":"folder","children":[{"type":"url","name":"b","url":"http://b/"},)"
    u8R"({"type":"folder","name":"ソ","children":[{"type":"url","name":"x","url":"http://x/"}]}]},)"
    u8R"("other":{"type":"folder","children":[{"type":"url","name":"a","url":"http://a/"}]},)"
    u8R"("synced":{"type":"folder","children":[{"type":"url","name":"m","url":"http://m/"}]}}})";

}  // namespace

// Import from each kind of source. A source that cannot be read leaves the
// list exactly as it was, unsorted and unfiltered, and names its file.
TEST(LinksSources, ImportFromEachSource) {
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string root = Here();
    Write(root + "Bookmarks", kTree);
    Write(root + "bad.json", "{");
    Write(root + "book.html",
          "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n<DT><A HREF=\"http://h/\">H</A>\n</DL><p>\n");
    // 1000 folders of 1000 characters over 30000 links: 1.9 MB that would
    // take gigabytes as a list.
    std::string deep = "<DL><p>\n";
    for (int k = 0; k < 1000; ++k) deep += "<DT><H3>" + std::string(1000, 'f') + "</H3>\n<DL><p>\n";
    for (size_t k = 0; k < kMaxLinks; ++k) deep += "<DT><A HREF=\"http://x/\">x</A>\n";
    Write(root + "deep.html", deep);
    const std::vector<std::string> favorites = {"C:\\Fav\\a.url", "C:\\Fav\\b.url"};
    const struct {
        const char* what;
        std::string setting, include, exclude;
        std::vector<std::string> list;
        std::string failedFile;  // empty: the source is read
    } rows[] = {
        {"Favorites", "", "", "", favorites, ""},
        {"unknown prefix", "foo:x", "", "", favorites, ""},
        {"kind without a path", "edge:", "", "", favorites, ""},
        {"Chromium", "chromium:" + root + "Bookmarks", "", "", {"Favorites\\a.url", kBar + "b.url", kBar + "ソ\\x.url",
                                                                kMobile + "m.url"}, ""},
        {"Edge, included", "edge:" + root + "Bookmarks", "お気に入りバー", "", {kEdgeBar + "b.url", kEdgeBar + "ソ\\x.url"},
         ""},
        {"Chromium, excluded", "chromium:" + root + "Bookmarks", "", "ソ", {"Favorites\\a.url", kBar + "b.url",
                                                                            kMobile + "m.url"}, ""},
        {"Edge, included by the root", "edge:" + root + "Bookmarks", "Favorites\\a", "", {"Favorites\\a.url"}, ""},
        {"HTML", "html:" + root + "book.html", "", "", {"Favorites\\H.url"}, ""},
        {"missing Bookmarks", "chromium:" + root + "none/Bookmarks", "", "z", {}, root + "none/Bookmarks"},
        {"not JSON", "edge:" + root + "bad.json", "", "z", {}, root + "bad.json"},
        {"missing HTML", "html:" + root + "none.html", "", "z", {}, root + "none.html"},
        {"folders too deep for any list", "html:" + root + "deep.html", "", "z", {},
         root + "deep.html\nフォルダーの階層が深すぎるか、名前が長すぎます。"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        CMemoryFolderSource folders;
        folders.Add("C:\\Fav\\", "b.url", 32);
        folders.Add("C:\\Fav\\", "a.url", 32);
        CMainState state;
        state.m_source = r.setting;
        state.m_linkList.Append("C:\\z.url");
        CLinkEntry kept("C:\\a.url");
        kept.SetAddress("http://keep/");
        state.m_linkList.Append(kept);
        CFakeHost host(state);
        host.controls.includeText = r.include;
        host.controls.excludeText = r.exclude;
        Import(state, host, folders);
        EXPECT_EQ(host.waitDepth, 0);
        if (r.failedFile.empty()) {
            EXPECT_EQ(ListTexts(state.m_linkList), r.list);
            EXPECT_EQ(host.box, r.list);
            EXPECT_TRUE(host.messages.empty());
            continue;
        }
        EXPECT_EQ(ListTexts(state.m_linkList), (std::vector<std::string>{"C:\\z.url", "C:\\a.url"}));
        EXPECT_EQ(Addresses(state.m_linkList), (std::vector<std::string>{"", "http://keep/"}));
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].first, kUnreadable + r.failedFile);
        EXPECT_EQ(host.messages[0].second, MsgKind::Refusal);
    }
}

// More than kMaxLinks bookmarks: the first ones kept and the user told.
TEST(LinksSources, ImportLimitMessage) {
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    for (size_t count : {kMaxLinks, kMaxLinks + 1}) {
        SCOPED_TRACE(count);
        std::string children;
        for (size_t k = 0; k < count; ++k)
            children += (k ? "," : "") + std::string(R"({"type":"url","name":"o)") + std::to_string(k) +
                        R"(","url":"http://o/"})";
        Write(Here() + "Bookmarks", R"({"roots":{"other":{"children":[)" + children + "]}}}");
        CMainState state;
        state.m_source = "chromium:" + Here() + "Bookmarks";
        CFakeHost host(state);
        CMemoryFolderSource folders;
        Import(state, host, folders);
        const std::vector<std::string> list = ListTexts(state.m_linkList);
        EXPECT_EQ(list.size(), kMaxLinks);
        EXPECT_EQ(std::count(list.begin(), list.end(), "Favorites\\o29999.url"), 1);
        EXPECT_EQ(std::count(list.begin(), list.end(), "Favorites\\o30000.url"), 0);
        if (count == kMaxLinks) {
            EXPECT_TRUE(host.messages.empty());
            continue;
        }
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].first, "お気に入りが多すぎます。最初の30000件だけを取り込みました。");
        EXPECT_EQ(host.messages[0].second, MsgKind::Refusal);
    }
}

// Equal texts: by real path, then (one name twice in one folder) in source
// order, which the Write's genre reorder disturbs and its refresh restores.
TEST(LinksSources, EqualTextsKeepSourceOrder) {
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    Write(Here() + "Bookmarks",
          u8R"({"roots":{"other":{"children":[{"type":"url","name":"é","url":"http://e1/"},)"
          u8R"({"type":"url","name":"&#233;","url":"http://e2/"},{"type":"folder","name":"M","children":[)"
          u8R"({"type":"url","name":"dup","url":"http://d1/"},{"type":"url","name":"dup","url":"http://d2/"}]},)"
          u8R"({"type":"folder","name":"N","children":[{"type":"folder","name":"A","children":[)"
          u8R"({"type":"url","name":"x","url":"http://x/"}]}]}]}}})");
    CMainState state;
    state.m_source = "chromium:" + Here() + "Bookmarks";
    state.m_style = STYLE_SINGLE;
    CFakeHost host(state);
    host.controls.stdGenre = "その他";
    host.controls.outputPath = "o.html";
    CMemoryFolderSource folders;
    Import(state, host, folders);
    // "&#233;" typed sorts before é by real path ('&' before 0xC3).
    const std::vector<std::string> order = {"http://e2/", "http://e1/", "http://d1/", "http://d2/", "http://x/"};
    EXPECT_EQ(ListTexts(state.m_linkList),
              (std::vector<std::string>{"Favorites\\&#233;.url", "Favorites\\&#233;.url", "Favorites\\M\\dup.url",
                                        "Favorites\\M\\dup.url", "Favorites\\N\\A\\x.url"}));
    EXPECT_EQ(Addresses(state.m_linkList), order);

    CMemorySink sink;
    RunWrite(state, host, sink);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].first, "ファイルへの出力が完了しました。");
    // The exchange sort by genre (A < M < その他) turns both pairs round on
    // the page, so the refresh cannot rely on the order it is given.
    std::vector<std::string> hrefs;
    for (const auto& row : page::PageRows(sink.Content("o.html"))) hrefs.push_back(row.href);
    EXPECT_EQ(hrefs, (std::vector<std::string>{"http://x/", "http://d2/", "http://d1/", "http://e1/", "http://e2/"}));
    EXPECT_EQ(Addresses(state.m_linkList), order);
    RefreshLinkList(state, host);
    EXPECT_EQ(Addresses(state.m_linkList), order);
}

// One tree as .url files in a Favorites folder and as a Chromium file: the
// same list and byte-identical pages in every style.
TEST(LinksSources, FavoritesAndBookmarksGiveSamePages) {
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string bar = "Favorites\\ブックマーク バー\\";
    const struct {
        std::string file, url;
    } shortcuts[] = {
        {bar + "ニュース\\朝刊.url", "http://news.example/asa"},
        {bar + "ソ\\ソフト.url", "http://soft.example/"},
        {bar + "ソ\\deep\\x.url", "http://deep.example/"},
        {bar + "top.url", "http://top.example/"},
        {bar + "a&#92;b.url", "http://ab.example/"},
        {bar + "caf&#233;.url", "http://cafe.example/%C3%A9"},
        {"Favorites\\root.url", "http://root.example/"},
        {"Favorites\\&#60;script&#62;.url", "http://x.example/?q=\"a\""},
        {"Favorites\\モバイルのブックマーク\\m.url", "http://m.example/"},
    };
    for (const auto& s : shortcuts) CTempDir::PutShortcut(s.file, s.url);
    Write(Here() + "Bookmarks",
          u8R"({"checksum":"1","roots":{"bookmark_bar":{"name":"Bookmarks bar","type":"folder","children":[)"
          u8R"({"type":"folder","name":"ニュース","children":[{"type":"url","name":"朝刊","url":"http://news.example/asa"}]},)"
          u8R"({"type":"folder","name":"ソ","children":[{"type":"url","name":"ソフト","url":"http://soft.example/"},)"
          u8R"({"type":"folder","name":"deep","children":[{"type":"url","name":"x","url":"http://deep.example/"}]}]},)"
          u8R"({"type":"url","name":"top","url":"http://top.example/"},)"
          u8R"({"type":"url","name":"a\\b","url":"http://ab.example/"},)"
          u8R"({"type":"url","name":"café","url":"http://cafe.example/é"}]},)"
          u8R"("other":{"type":"folder","children":[{"type":"url","name":"root","url":"http://root.example/"},)"
          u8R"({"type":"url","name":"<script>","url":"http://x.example/?q=\"a\""}]},)"
          u8R"("synced":{"type":"folder","children":[{"type":"url","name":"m","url":"http://m.example/"}]}},"version":1})");

    const std::vector<std::string> expected = {
        "Favorites\\&#60;script&#62;.url", "Favorites\\root.url", bar + "a&#92;b.url", bar + "caf&#233;.url",
        bar + "top.url", bar + "ソ\\deep\\x.url", bar + "ソ\\ソフト.url", bar + "ニュース\\朝刊.url",
        "Favorites\\モバイルのブックマーク\\m.url"};
    CPosixFolderSource folders("Favorites");
    CMainState fromFolder, fromFile;
    fromFile.m_source = "chromium:" + Here() + "Bookmarks";
    for (CMainState* state : {&fromFolder, &fromFile}) {
        CFakeHost host(*state);
        Import(*state, host, folders);
        EXPECT_EQ(ListTexts(state->m_linkList), expected);
        EXPECT_TRUE(host.messages.empty());
    }

    const std::vector<page::CPageRow> rows = {
        {"その他", "http://x.example/?q=%22a%22", "&#60;script&#62;"},
        {"その他", "http://root.example/", "root"},
        {"ブックマーク バー", "http://ab.example/", "a&#92;b"},
        {"ブックマーク バー", "http://cafe.example/%C3%A9", "caf&#233;"},
        {"ブックマーク バー", "http://top.example/", "top"},
        {"deep", "http://deep.example/", "x"},
        {"ソ", "http://soft.example/", "ソフト"},
        {"ニュース", "http://news.example/asa", "朝刊"},
        {"モバイルのブックマーク", "http://m.example/", "m"},
    };
    for (int style : {STYLE_SINGLE, STYLE_INDEX, STYLE_FRAMES, STYLE_ANCHORS}) {
        SCOPED_TRACE(style);
        CMemorySink sinks[2];
        int k = 0;
        for (const CMainState* imported : {&fromFolder, &fromFile}) {
            CMainState state = *imported;
            state.m_style = style;
            CFakeHost host(state);
            host.controls.caption = "ブックマーク";
            host.controls.outputPath = "C:\\w\\o.html";
            host.controls.stdGenre = "その他";
            RunWrite(state, host, sinks[k++]);
            ASSERT_EQ(host.messages.size(), 1u);
            EXPECT_EQ(host.messages[0].first, "ファイルへの出力が完了しました。");
        }
        ASSERT_EQ(sinks[0].Paths(), sinks[1].Paths());
        for (const std::string& path : sinks[0].Paths()) EXPECT_EQ(sinks[0].Content(path), sinks[1].Content(path)) << path;
        const std::string main = sinks[1].Content("C:\\w\\o.html");
        if (style != STYLE_INDEX) {
            EXPECT_EQ(Sorted(page::PageRows(main)), Sorted(rows));
        }
        EXPECT_EQ(main.find("<script>"), std::string::npos);
    }
}

TEST(LinksSources, SourceSettings) {
    const struct {
        std::string setting;
        SourceKind kind;
        std::string path;
    } rows[] = {
        {"", SourceKind::Favorites, ""},
        {"edge:C:\\E\\Bookmarks", SourceKind::Edge, "C:\\E\\Bookmarks"},
        {"chromium:/home/u/Bookmarks", SourceKind::Chromium, "/home/u/Bookmarks"},
        {"html:C:\\ソ\\a.html", SourceKind::Html, "C:\\ソ\\a.html"},
        {"edge:edge:x", SourceKind::Edge, "edge:x"},
        {"foo:x", SourceKind::Favorites, ""},
        {"edge:", SourceKind::Favorites, ""},
        {"html:", SourceKind::Favorites, ""},
        {"edge", SourceKind::Favorites, ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.setting);
        const CSource source = ParseSourceSetting(r.setting);
        EXPECT_EQ(source.kind, r.kind);
        EXPECT_EQ(source.path, r.path);
        EXPECT_EQ(SourceSetting(source), r.kind == SourceKind::Favorites ? "" : r.setting);
    }
    EXPECT_EQ(SourceSetting(CSource{SourceKind::Favorites, "C:\\x"}), "");
}

// Profiles found below a local application data folder on disk.
TEST(LinksSources, FindBrowserProfiles) {
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string local = Here() + "Local";
    const std::string edge = local + "/Microsoft/Edge/User Data/";
    const std::string chrome = local + "/Google/Chrome/User Data/";
    const std::string chromium = local + "/Chromium/User Data/";
    for (const std::string& profile : {edge + "Default", edge + "Profile 2", edge + "Profile 5", chrome + "Default",
                                       chrome + "Profile 10", chrome + "Profile 9", chromium + "Default"})
        Write(profile + "/Bookmarks", "{}");
    // Profiles without a Bookmarks file, and a browser with none at all.
    for (const std::string& folder : {edge + "Profile 3", chrome + "System Profile", local + "/Vivaldi/User Data"})
        std::filesystem::create_directories(folder);
    Write(chrome + "Default/Preferences", "{}");
    Write(chrome + "Local State", u8"\uFEFF{\"profile\":{\"info_cache\":{\"Profile 9\":{\"name\":\"個人\"}}}}");
    Write(edge + "Local State",
          u8R"({"profile":{"info_cache":{"Default":{"name":"仕事"},"Profile 2":{"name":"Café"},)"
          u8R"("Profile 3":{"name":"x"}},"profiles_order":["Profile 2","Profile 3","Default"]}})");

    CPosixBookmarkFiles files(local);
    EXPECT_EQ(Describe(FindBrowserProfiles(files)),
              (std::vector<std::string>{
                  Item(CSourceChoice::Profile, "Microsoft Edge - Caf&#233;", "edge:" + edge + "Profile 2/Bookmarks"),
                  Item(CSourceChoice::Profile, "Microsoft Edge - 仕事", "edge:" + edge + "Default/Bookmarks"),
                  // Not in the browser's order: after those that are.
                  Item(CSourceChoice::Profile, "Microsoft Edge - Profile 5", "edge:" + edge + "Profile 5/Bookmarks"),
                  Item(CSourceChoice::Profile, "Google Chrome - Default", "chromium:" + chrome + "Default/Bookmarks"),
                  Item(CSourceChoice::Profile, "Google Chrome - 個人", "chromium:" + chrome + "Profile 9/Bookmarks"),
                  Item(CSourceChoice::Profile, "Google Chrome - Profile 10",
                       "chromium:" + chrome + "Profile 10/Bookmarks"),
                  Item(CSourceChoice::Profile, "Chromium - Default", "chromium:" + chromium + "Default/Bookmarks"),
              }));

    CPosixBookmarkFiles nowhere(Here() + "missing");
    EXPECT_TRUE(FindBrowserProfiles(nowhere).empty());
}

TEST(LinksSources, SourceChoicesAndIndex) {
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string root = Here();
    Write(root + "a.html", "");
    Write(root + u8"ソ.html", "");  // ends in a second byte 0x5C as text
    const std::string a = "html:" + root + "a.html", so = "html:" + root + "ソ.html",
                      gone = "html:" + root + "gone.html";
    const std::vector<CSourceChoice> profiles = {
        {CSourceChoice::Profile, "Microsoft Edge - A", "edge:C:\\E\\Bookmarks"},
        {CSourceChoice::Profile, "Google Chrome - Default", "chromium:C:\\G\\Bookmarks"},
    };
    const std::string fav = Item(CSourceChoice::Favorites, "お気に入り フォルダー", "");
    const std::string edge = Item(CSourceChoice::Profile, "Microsoft Edge - A", "edge:C:\\E\\Bookmarks");
    const std::string chrome = Item(CSourceChoice::Profile, "Google Chrome - Default", "chromium:C:\\G\\Bookmarks");
    const std::string chooser = Item(CSourceChoice::Chooser, "HTML ファイルを選ぶ...", "");
    const std::string old = Item(CSourceChoice::Stored, "C:\\Old\\Bookmarks", "edge:C:\\Old\\Bookmarks");
    const std::string goneItem = Item(CSourceChoice::Stored, root + "gone.html", gone);
    const std::string aItem = Item(CSourceChoice::Html, "HTML - a.html", a);
    const std::string soItem = Item(CSourceChoice::Html, "HTML - ソ.html", so);
    const struct {
        const char* what;
        std::string stored;
        std::vector<std::string> html;
        std::vector<std::string> items;
        size_t index;  // of the stored setting
    } rows[] = {
        {"Favorites", "", {}, {fav, edge, chrome, chooser}, 0},
        {"a listed profile", "chromium:C:\\G\\Bookmarks", {}, {fav, edge, chrome, chooser}, 2},
        {"a profile not found", "edge:C:\\Old\\Bookmarks", {}, {fav, edge, chrome, old, chooser}, 3},
        {"unknown setting", "foo:x", {}, {fav, edge, chrome, chooser}, 0},
        {"stored HTML first, once", a, {so, gone, a}, {fav, edge, chrome, goneItem, aItem, soItem, chooser}, 4},
        {"missing ones before HTML items", "edge:C:\\Old\\Bookmarks", {gone, so},
         {fav, edge, chrome, old, goneItem, soItem, chooser}, 3},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        CPosixBookmarkFiles files;
        const std::vector<CSourceChoice> choices = SourceChoices(files, profiles, r.stored, r.html);
        EXPECT_EQ(Describe(choices), r.items);
        EXPECT_EQ(ChoiceIndex(choices, r.stored), r.index);
        EXPECT_EQ(ChoiceIndex(choices, "chromium:C:\\G\\Bookmarks"), 2u);
    }
}
