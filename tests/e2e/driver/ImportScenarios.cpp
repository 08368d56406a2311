// Import: the real Favorites folder of the prefix, with the names and folder
// attributes that trip a scan up.
#include "Driver.h"

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
    if (!app.Start(t, FreshWorkFolder("run")))
        return;
    t.That(app.ClickSync(kIdImport), "Import did not return");
    SameList(t, app.ListItems(), Expected(kAll), "first Import");
    Shot(app.Main(), "main-after-import");

    // Deleted entries come back; the list is the same.
    app.ListSelect(0);
    app.ClickSync(kIdDelete);
    t.That(app.ClickSync(kIdImport), "second Import did not return");
    SameList(t, app.ListItems(), Expected(kAll), "second Import");
    app.Click(IDOK);
    app.WaitExit(kWindowTimeout);
}

void ImportAppliesFilters(CCheck& t)
{
    if (!MakeFavorites(t, kTree))
        return;
    COrvelle app;
    if (!app.Start(t, FreshWorkFolder("run")))
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
        app.SetText(kIdExclude, r.exclude);
        app.SetText(kIdInclude, r.include);
        t.That(app.ClickSync(kIdImport), "Import did not return");
        SameList(t, app.ListItems(), Expected(r.want),
                 "exclude \"" + Visible(r.exclude) + "\" include \"" + Visible(r.include) + "\"");
    }
    app.Click(IDOK);
    app.WaitExit(kWindowTimeout);
}

void ImportOfEmptyFavorites(CCheck& t)
{
    if (!MakeFavorites(t, {}))
        return;
    COrvelle app;
    if (!app.Start(t, FreshWorkFolder("run")))
        return;
    t.That(app.ClickSync(kIdImport), "Import did not return");
    t.That(app.ListItems().empty(), "an empty Favorites folder gave entries");
    std::string boxes = app.DismissStrayBoxes();
    t.That(boxes.empty(), "Import showed a box: " + boxes);
    app.Click(IDOK);
    app.WaitExit(kWindowTimeout);
}

}  // namespace

void AddImportScenarios(std::vector<CScenario>& list)
{
    list.push_back({"import: shortcuts of the tree in path order, twice", ImportListsShortcutsInPathOrder});
    list.push_back({"import: exclusion and inclusion texts", ImportAppliesFilters});
    list.push_back({"import: empty Favorites gives an empty list", ImportOfEmptyFavorites});
}

}  // namespace drv
