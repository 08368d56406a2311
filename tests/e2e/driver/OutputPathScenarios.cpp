// Where the pages land: output paths with "/", drive-relative ones, names a
// companion page would overwrite, a path chosen in Save As; and folder walks
// through names with a trailing dot and through a very deep tree.
#include "Driver.h"
#include "support/ExpectedPages.h"

#include <cstdio>

namespace drv {
namespace {

using namespace page;

const char kCaption[] = "わたしのお気に入り";

// Path order News\a, c, ソフト\表; the genres keep that order.
const std::vector<CFavEntry> kTree = {
    {"c.url", "http://www.example.com/c"},
    {"News", nullptr},
    {"News\\a.url", "http://news.example.jp/a"},
    {"ソフト", nullptr},
    {"ソフト\\表.url", "http://soft.example.jp/"},
};

struct CGenre {
    std::string name, rows;
};
const std::vector<CGenre> kGenres = {
    {"News", LinkRow("News", "http://news.example.jp/a", "a")},
    {"その他", LinkRow("その他", "http://www.example.com/c", "c")},
    {"ソフト", LinkRow("ソフト", "http://soft.example.jp/", "表")},
};

std::string AllRows()
{
    std::string rows;
    for (const CGenre& g : kGenres)
        rows += g.rows;
    return rows;
}

std::string SinglePage(const std::string& rows)
{
    return Crlf(HeadTitle(kCaption) + kHeadEndScript + kBackLinkScript + Heading(kCaption) + kTableHead + rows +
                Footer() + kPageEnd);
}

// Every file a Write leaves in the pages' folder: frames with the defaults,
// or the index with no caption and JAVA off (the genre pages link back to
// the output path as typed).
std::map<std::string, std::string> Pages(int style, const std::string& mainName, const std::string& output)
{
    std::map<std::string, std::string> pages;
    std::string list;
    for (size_t i = 0; i < kGenres.size(); ++i) {
        list += style == 3 ? MenuItem((int)i + 1, kGenres[i].name) : IndexItem((int)i + 1, kGenres[i].name);
        pages[GenrePageName((int)i + 1)] =
            Crlf(GenrePage(style == 3 ? std::string(kHeadEnd) : GenrePageBack(output), kGenres[i].name,
                           kGenres[i].rows));
    }
    if (style == 3) {
        pages[mainName] = Crlf(HeadTitle(kCaption) + kFrameset + kHeadEndScript + kBackLinkScript +
                               Heading(kCaption) + kTableHead + AllRows() + Footer() + kNoFramesEnd + kPageEnd);
        pages["linkmenu.html"] = Crlf(list + kIndexEnd);
    } else {
        pages[mainName] = Crlf(std::string(kHeadDefaultTitle) + kHeadEnd + kHeadingDefault + list + kIndexEnd);
    }
    return pages;
}

void SameFiles(CCheck& t, const std::map<std::string, std::string>& got,
               const std::map<std::string, std::string>& want, const std::string& what)
{
    std::string names[2];
    for (int k = 0; k < 2; ++k)
        for (const auto& f : (k ? want : got))
            names[k] += " " + Visible(f.first);
    if (!t.Same(names[0], names[1], what + ": file names"))
        return;
    for (const auto& f : want)
        t.Same(got.at(f.first), f.second, what + ": " + f.first);
}

bool StartImported(CCheck& t, COrvelle& app, const std::string& runDir)
{
    return app.Start(t, runDir) && t.That(app.ClickSync(IDC_IMPORT), "Import did not return") &&
           t.That(app.ListItems().size() == 3, "Import gave " + Num((long long)app.ListItems().size()) + " entries");
}

void SlashesAndDriveRelative(CCheck& t)
{
    const std::string work = g_config.workDir;
    std::string forward = work;
    for (char& c : forward)
        c = c == '\\' ? '/' : c;
    const struct {
        int style;
        std::string output, folder, mainName, runDir;
    } rows[] = {
        {3, work + "\\fs/link.html", work + "\\fs", "link.html", work + "\\op-run"},
        {3, forward + "/fz/link.html", work + "\\fz", "link.html", work + "\\op-run"},
        {2, work + "\\fs/sub/index.html", work + "\\fs\\sub", "index.html", work + "\\op-run"},
        // Relative to the current folder of the drive: the program's own.
        {3, work.substr(0, 2) + "link2.html", work + "\\op-drive", "link2.html", work + "\\op-drive"},
    };
    if (!MakeFavorites(t, kTree))
        return;
    for (const auto& r : rows) {
        for (const char* f : {"\\fs", "\\fz", "\\op-run", "\\op-drive"})
            RemoveTree(work + f);
        MakeFolder(r.folder);
        MakeFolder(r.runDir);
        ResetSettings();
        PutSettingDword("Orvelle", "Style", (DWORD)r.style);
        PutSettingString("Orvelle", "Output", r.output);
        if (r.style == 2) {
            PutSettingString("Orvelle", "Caption", "");
            PutSettingString("Orvelle", "JAVA", "FALSE");
        }
        COrvelle app;
        if (!StartImported(t, app, r.runDir))
            return;
        const std::string what = "output \"" + Visible(r.output) + "\"";
        WriteExpecting(t, app, kWrittenText, what);
        app.ExitWithOk(t);
        SameFiles(t, FilesIn(r.folder), Pages(r.style, r.mainName, r.output), what);
        if (r.runDir != r.folder)
            t.That(FilesIn(r.runDir).empty(), what + ": files in the current folder");
        for (const char* name : {"\\linkmenu.html", "\\00000001.html"})
            t.That(!FileExists(work + name), what + ": " + name + " in the work folder");
    }
}

void CompanionNamesRefused(CCheck& t)
{
    const std::string out = FreshWorkFolder("refused"), run = FreshWorkFolder("op-run");
    COrvelle app;
    if (!MakeFavorites(t, kTree) || !StartImported(t, app, run))
        return;
    const struct {
        int radio;
        std::string output;
    } rows[] = {
        {IDC_STYLE_FRAMES, out + "\\LinkMenu.html"},
        {IDC_STYLE_INDEX, out + "\\00000001.html"},
        {IDC_STYLE_FRAMES, out + "/00000002.HTML"},
    };
    for (const auto& r : rows) {
        app.ClickSync(r.radio);
        app.SetText(IDC_OUTPUT, r.output);
        WriteExpecting(t, app, kBadName, "Write to " + Visible(r.output));
        t.That(FilesIn(out).empty() && FilesIn(run).empty(), Visible(r.output) + ": a file was written");
    }
    app.ExitWithOk(t);
}

// Names with a trailing dot exist only in the "\\?\" form, which Windows
// takes verbatim.
void DottedFolders(CCheck& t)
{
    const std::wstring fav = L"\\\\?\\" + FavoritesPathW();
    RemoveTree(fav);
    const struct {
        const wchar_t* folder;
        const char* url;
    } folders[] = {{L"Dot", "http://dot.example.com/"},
                   {L"Dot.", "http://dot-dot.example.com/"},
                   {L"Inc.", "http://inc.example.com/"}};
    for (const auto& f : folders) {
        const std::wstring folder = fav + L"\\" + f.folder;
        if (!CreateDirectoryW(folder.c_str(), nullptr) || !FileExists(folder)) {
            printf("# output paths: Wine cannot create the folder \"%s\": dotted folders skipped\n",
                   Visible(std::wstring(f.folder)).c_str());
            RemoveTree(fav);
            return;
        }
        t.That(WriteBytes(folder + L"\\x.url", ShortcutText(f.url)), "cannot write " + Visible(folder));
    }
    const std::string out = FreshWorkFolder("dots");
    PutSettingString("Orvelle", "Output", out + "\\link.html");
    COrvelle app;
    if (app.Start(t) && t.That(app.ClickSync(IDC_IMPORT), "Import did not return")) {
        const std::wstring plain = FavoritesPathW();
        const std::vector<std::wstring> want = {plain + L"\\Dot.\\x.url", plain + L"\\Dot\\x.url",
                                                plain + L"\\Inc.\\x.url"};
        std::vector<std::wstring> got = app.ListItemsW();
        std::string shown;
        for (const std::wstring& g : got)
            shown += " " + Visible(g);
        t.That(got == want, "Import listed" + shown);
        WriteExpecting(t, app, kWrittenText);
        ExpectFile(t, out + "\\link.html",
                   SinglePage(LinkRow("Dot", folders[0].url, "x") + LinkRow("Dot.", folders[1].url, "x") +
                              LinkRow("Inc.", folders[2].url, "x")));
        app.ExitWithOk(t);
    }
    RemoveTree(fav);
}

// Wine takes ever longer per level (some 15 s to make 1000 levels) and
// cannot open a Unix path past 4096 bytes (about 2000 levels): 500 levels
// keep the walk past 1000 characters within a few seconds.
const int kDeepLevels = 500;

void DeepTree(CCheck& t)
{
    const std::wstring fav = L"\\\\?\\" + FavoritesPathW();
    RemoveTree(fav);
    std::wstring relative = L"\\deep";
    bool made = CreateDirectoryW((fav + relative).c_str(), nullptr);
    for (int level = 0; made && level < kDeepLevels; ++level) {
        relative += L"\\d";
        made = CreateDirectoryW((fav + relative).c_str(), nullptr);
    }
    relative += L"\\x.url";
    if (t.That(made && WriteBytes(fav + relative, ShortcutText("http://deep.example.com/")),
               "cannot make the deep tree")) {
        COrvelle app;
        if (app.Start(t) && t.That(app.ClickSync(IDC_IMPORT), "Import did not return")) {
            std::vector<std::wstring> got = app.ListItemsW();
            t.That(got == std::vector<std::wstring>{FavoritesPathW() + relative},
                   "Import listed " + Num((long long)got.size()) + " entries" +
                       (got.empty() ? "" : ", the first of " + Num((long long)got[0].size()) + " characters"));
            if (app.ExitWithOk(t))
                ExpectProfile(t, "Orvelle", DefaultValues());
        }
    }
    RemoveTree(fav);
}

void SaveAsKeepsRealPath(CCheck& t)
{
    const std::wstring literal = FreshWorkFolder(L"R&#233;sum&#233;"), accented = FreshWorkFolder(L"Résumé");
    COrvelle app;
    if (!MakeFavorites(t, kTree) || !StartImported(t, app, FreshWorkFolder("op-run")))
        return;
    HWND dlg = OpenSaveAs(t, app);
    if (!dlg || !SaveAs(t, app, dlg, literal + L"\\page.html"))
        return;
    WriteExpecting(t, app, kWrittenText);
    ExpectFile(t, literal + L"\\page.html", SinglePage(AllRows()));
    t.That(!FileExists(accented + L"\\page.html"), "the page went to " + Visible(accented));
    app.ExitWithOk(t);
}

}  // namespace

void AddOutputPathScenarios(std::vector<CScenario>& list)
{
    list.push_back({"output paths: \"/\" and drive-relative outputs, pages beside the main page",
                    SlashesAndDriveRelative});
    list.push_back({"output paths: a main page named like a companion page is refused", CompanionNamesRefused});
    list.push_back({"output paths: folders ending in a dot are walked and read by their names", DottedFolders});
    list.push_back({"output paths: a very deep Favorites tree is imported", DeepTree});
    list.push_back({"output paths: Save As keeps the real folder named with \"&#233;\"", SaveAsKeepsRealPath});
}

}  // namespace drv
