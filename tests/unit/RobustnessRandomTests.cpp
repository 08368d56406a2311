// Random Favorites trees on the real file system, imported and written in
// every style with the real reader and page files, then read back: every
// shortcut of the tree is in the list once, on the main page once and on its
// genre's page once, with the address its file holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "support/TempDir.h"
#include "support/Fakes.h"
#include "support/FolderSources.h"
#include "RobustnessPages.h"
#include "export/Export.h"
#include "links/Scan.h"

namespace {

using robust::CPageRow;

// A shortcut as the tree made it, and what its row must show.
struct CMadeShortcut {
    std::string entry;   // the list entry: folder path and name, separators "\"
    std::string folder;  // the name of the folder that holds it
    CPageRow row;        // genre cell (before the standard genre), href, link text
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

std::vector<std::string> SortedTexts(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

}  // namespace

TEST(RobustnessRandom, TreesSurviveImportAndWrite) {
    // What the trees held in all, so that a generator gone flat shows.
    size_t shortcuts = 0, genrePages = 0, emptyGenreRows = 0, emptyTrees = 0, quotedOrLong = 0;
    for (unsigned seed = 1; seed <= 50; ++seed) {
        CTempDir dir;
        ASSERT_TRUE(dir.ok());
        CRandomTree tree(seed);
        tree.Build();

        // The genre of each shortcut, and the rows every page must show.
        std::vector<std::string> made;
        std::vector<CPageRow> allRows;
        std::map<std::string, std::vector<CPageRow>> rowsByGenre;
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
        std::sort(allRows.begin(), allRows.end());
        for (auto& g : rowsByGenre) std::sort(g.second.begin(), g.second.end());

        CMainState state;
        CFakeHost host(state);
        host.controls.outputPath = tree.outputPath;
        host.controls.stdGenre = tree.stdGenre;
        host.controls.caption = "R";
        CPosixFolderSource source(tree.favorites);
        ImportFavorites(state, host, source);
        const std::vector<std::string> imported = ListTexts(state.m_linkList);
        ASSERT_EQ(SortedTexts(imported), SortedTexts(made)) << "seed " << seed;
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
                std::vector<CPageRow> rows = robust::PageRows(CTempDir::Get(tree.outputPath));
                std::sort(rows.begin(), rows.end());
                EXPECT_TRUE(rows == allRows) << at << ": " << rows.size() << " rows for " << allRows.size();
            }
            if (style != STYLE_INDEX && style != STYLE_FRAMES) continue;

            // Each genre once in the index, numbered 1, 2, ... in order; its
            // page holds exactly its rows.
            const std::string index =
                CTempDir::Get(style == STYLE_INDEX ? tree.outputPath : base + "linkmenu.html");
            std::vector<robust::CIndexItem> items = robust::IndexItems(index);
            ASSERT_EQ(items.size(), rowsByGenre.size()) << at;
            std::set<std::string> seen;
            for (size_t k = 0; k < items.size(); ++k) {
                const auto& item = items[k];
                EXPECT_EQ(item.number, long(k) + 1) << at;
                EXPECT_TRUE(seen.insert(item.genre).second) << at << " genre twice: " << item.genre;
                auto expected = rowsByGenre.find(item.genre);
                ASSERT_NE(expected, rowsByGenre.end()) << at << " unknown genre " << item.genre;
                const std::string page = CTempDir::Get(base + robust::GenrePageName(item.number));
                EXPECT_EQ(robust::PageHeading(page), item.genre) << at;
                std::vector<CPageRow> rows = robust::PageRows(page);
                std::sort(rows.begin(), rows.end());
                EXPECT_TRUE(rows == expected->second) << at << " page " << item.number;
                ++genrePages;
            }
            EXPECT_FALSE(CTempDir::Exists(base + robust::GenrePageName(long(items.size()) + 1))) << at;
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
