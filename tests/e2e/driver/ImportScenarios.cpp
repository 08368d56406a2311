// Import: the real Favorites folder of the prefix, with the names and folder
// attributes that trip a scan up.
#include "Driver.h"
#include "support/ExpectedPages.h"

namespace drv {
namespace {

// Names with ソ (83 5C), 表 (95 5C), 予 (97 5C) and 申 (90 5C) end in the
// separator byte; folder attribute words: ".ourl" and ".hidden" 18 (dot
// names), "locked" and "lockurl" 17 (no write permission).
const std::vector<CFavEntry> kTree = {
    {"Top.url", "http://www.example.com/"},
    {"BIG.URL", "http://big.example.com/"},
    {"notes.curl", "http://notes.example.com/"},
    {"url", "http://bare.example.com/"},
    {"readme.txt", "not a shortcut"},
    {"ソフト", nullptr},
    {"ソフト\\予定.url", "http://yotei.example.jp/"},
    {"ソフト\\表計算", nullptr},
    {"ソフト\\表計算\\申請.url", "http://shinsei.example.jp/"},
    {"x.url", nullptr},
    {"x.url\\inner.url", "http://inner.example.com/"},
    {".hidden", nullptr},
    {".hidden\\h.url", "http://hidden.example.com/"},
    {".ourl", nullptr},
    {".ourl\\o.url", "http://o.example.com/"},
    {"Favorites", nullptr},
    {"Favorites\\f.url", "http://f.example.com/"},
    {"locked", nullptr, true},
    {"locked\\l.url", "http://locked.example.com/"},
    {"lockurl", nullptr, true},
    {"lockurl\\z.url", "http://z.example.com/"},
};

// Every entry the scan must list, in path order (code page 932 characters by
// value: ASCII first and case-sensitive, then 表 95 5C before 予 97 5C).
const std::vector<const char*> kAll = {
    ".ourl",
    "Favorites\\f.url",
    "Top.url",
    "lockurl",
    "notes.curl",
    "url",
    "x.url\\inner.url",
    "ソフト\\表計算\\申請.url",
    "ソフト\\予定.url",
};

std::vector<std::string> Expected(const std::vector<const char*>& rel)
{
    std::string fav = FavoritesPath() + "\\";
    std::vector<std::string> out;
    for (const char* r : rel)
        out.push_back(fav + r);
    return out;
}

std::string Show(const std::vector<std::string>& items)
{
    std::string out = "[";
    for (size_t i = 0; i < items.size(); ++i)
        out += (i ? ", " : "") + Visible(items[i]);
    return out + "]";
}

void SameList(CCheck& t, const std::vector<std::string>& got, const std::vector<std::string>& want,
              const std::string& what)
{
    t.That(got == want, what + ": got " + Show(got) + ", want " + Show(want));
}

void ImportListsShortcutsInPathOrder(CCheck& t)
{
    if (!MakeFavorites(t, kTree))
        return;
    COrvelle app;
    if (!app.Start(t))
        return;
    t.That(app.ClickSync(IDC_IMPORT), "Import did not return");
    SameList(t, app.ListItems(), Expected(kAll), "first Import");
    Shot(app.Main(), "main-after-import");

    // Deleted entries come back; the list is the same.
    app.ListSelect(0);
    app.ClickSync(IDC_DELETE);
    t.That(app.ClickSync(IDC_IMPORT), "second Import did not return");
    SameList(t, app.ListItems(), Expected(kAll), "second Import");
    app.ExitWithOk(t);
}

void ImportAppliesFilters(CCheck& t)
{
    if (!MakeFavorites(t, kTree))
        return;
    COrvelle app;
    if (!app.Start(t))
        return;
    struct {
        const char* exclude;
        const char* include;
        std::vector<const char*> want;
    } rows[] = {
        // The exclusion wins over the inclusion.
        {"ソフト", "", {".ourl", "Favorites\\f.url", "Top.url", "lockurl", "notes.curl", "url", "x.url\\inner.url"}},
        {"", "表", {"ソフト\\表計算\\申請.url"}},
        {"表計算", "ソフト", {"ソフト\\予定.url"}},
        // Case-sensitive: TOP does not match Top.url.
        {"TOP", "Top", {"Top.url"}},
        {"", ".url", {"Favorites\\f.url", "Top.url", "x.url\\inner.url", "ソフト\\表計算\\申請.url", "ソフト\\予定.url"}},
        // 予 ends in the byte 0x5C, the separator: only whole characters match.
        {"予", "", {".ourl", "Favorites\\f.url", "Top.url", "lockurl", "notes.curl", "url", "x.url\\inner.url",
                    "ソフト\\表計算\\申請.url"}},
        // The bytes 5C 83 74 stand in ソフト from the second byte of ソ on:
        // no match there, so nothing is excluded and nothing included.
        {"\\フト", "", {".ourl", "Favorites\\f.url", "Top.url", "lockurl", "notes.curl", "url", "x.url\\inner.url",
                        "ソフト\\表計算\\申請.url", "ソフト\\予定.url"}},
        {"", "\\フト", {}},
        {"", "nothing-like-this", {}},
    };
    for (const auto& r : rows) {
        app.SetText(IDC_EXCLUDE, r.exclude);
        app.SetText(IDC_INCLUDE, r.include);
        t.That(app.ClickSync(IDC_IMPORT), "Import did not return");
        SameList(t, app.ListItems(), Expected(r.want),
                 "exclude \"" + Visible(r.exclude) + "\" include \"" + Visible(r.include) + "\"");
    }
    app.ExitWithOk(t);
}

void ImportOfEmptyFavorites(CCheck& t)
{
    if (!MakeFavorites(t, {}))
        return;
    COrvelle app;
    if (!app.Start(t))
        return;
    t.That(app.ClickSync(IDC_IMPORT), "Import did not return");
    t.That(app.ListItems().empty(), "an empty Favorites folder gave entries");
    std::string boxes = app.DismissStrayBoxes();
    t.That(boxes.empty(), "Import showed a box: " + boxes);
    app.ExitWithOk(t);
}

void FavoritesUnderAnotherName(CCheck& t)
{
    std::string usual = FavoritesPath();
    size_t cut = usual.find_last_of('\\');
    if (!t.That(cut != std::string::npos, "odd Favorites path " + Visible(usual)))
        return;
    // Ends in ソ, whose second byte is the separator byte.
    std::string moved = usual.substr(0, cut) + "\\お気に入りソ";
    RemoveTree(moved);
    MakeFolder(moved);
    std::string out = FreshWorkFolder("moved");
    {
        // The shell's Favorites folder points there for this scenario only.
        const std::string value = moved + std::string(1, '\0');
        const std::string explorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
        CSavedValue user(HKEY_CURRENT_USER, explorer + "User Shell Folders", "Favorites");
        CSavedValue shell(HKEY_CURRENT_USER, explorer + "Shell Folders", "Favorites");
        user.Set(REG_EXPAND_SZ, value);
        shell.Set(REG_SZ, value);
        if (!t.Same(FavoritesPath(), moved, "Favorites path after moving it"))
            return;
        if (!MakeFavorites(t, {{"直下.url", "http://direct.example.jp/"},
                               {"表", nullptr},
                               {"表\\中.url", "http://naka.example.jp/"}}))
            return;
        COrvelle app;
        if (!app.Start(t))
            return;
        t.That(app.ClickSync(IDC_IMPORT), "Import did not return");
        SameList(t, app.ListItems(), {moved + "\\直下.url", moved + "\\表\\中.url"}, "Import of the moved folder");
        // Only the name "Favorites" becomes the standard genre.
        app.SetText(IDC_CAPTION, "移動");
        app.SetText(IDC_OUTPUT, out + "\\link.html");
        app.ClickSync(IDC_USEJAVA);  // off
        WriteExpecting(t, app, kWrittenText);
        using namespace page;
        ExpectFile(t, out + "\\link.html",
                   Crlf(HeadTitle("移動") + kHeadEnd + Heading("移動") + kTableHead +
                        LinkRow("お気に入りソ", "http://direct.example.jp/", "直下") +
                        LinkRow("表", "http://naka.example.jp/", "中") + Footer() + kPageEnd));
        app.ExitWithOk(t);
        ClearFavorites();
    }
    RemoveTree(moved);
    RemoveDirectoryW(FromCp932(moved).c_str());
}

}  // namespace

void AddImportScenarios(std::vector<CScenario>& list)
{
    list.push_back({"import: shortcuts of the tree in path order, twice", ImportListsShortcutsInPathOrder});
    list.push_back({"import: exclusion and inclusion texts", ImportAppliesFilters});
    list.push_back({"import: empty Favorites gives an empty list", ImportOfEmptyFavorites});
    list.push_back({"import: Favorites folder named otherwise, ending in 0x5C", FavoritesUnderAnotherName});
}

}  // namespace drv
