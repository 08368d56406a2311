// Write: every style, byte for byte, and the three messages.
#include "Driver.h"
#include "support/ExpectedPages.h"

namespace drv {
namespace {

using namespace page;

// Path order: Alpha\Zeta\d, News\a, News\b, c, ソフト\表. Genre order puts
// Zeta after News, so Write reorders the list: a b d c 表.
const std::vector<CFavEntry> kTree = {
    {"c.url", "http://www.example.com/c"},
    {"News", nullptr},
    {"News\\a.url", "http://news.example.jp/a?x=1&y=2"},
    {"News\\b.url", "http://news.example.jp/b"},
    {"Alpha", nullptr},
    {"Alpha\\Zeta", nullptr},
    {"Alpha\\Zeta\\d.url", "http://zeta.example.com/d"},
    {"ソフト", nullptr},
    {"ソフト\\表.url", "http://soft.example.jp/"},
};

const char* const kPathOrder[] = {"Alpha\\Zeta\\d.url", "News\\a.url", "News\\b.url", "c.url", "ソフト\\表.url"};

struct CGenre {
    std::string name;
    std::string rows;
};

// The genres in page order with their rows, as the pages must list them.
std::vector<CGenre> Genres()
{
    return {
        {"News", LinkRow("News", "http://news.example.jp/a?x=1&y=2", "a") +
                     LinkRow("News", "http://news.example.jp/b", "b")},
        {"Zeta", LinkRow("Zeta", "http://zeta.example.com/d", "d")},
        {"その他", LinkRow("その他", "http://www.example.com/c", "c")},
        {"ソフト", LinkRow("ソフト", "http://soft.example.jp/", "表")},
    };
}

std::string AllRows()
{
    std::string rows;
    for (const CGenre& g : Genres())
        rows += g.rows;
    return rows;
}

// The fragments end their lines in LF; the pages in CRLF.
void CheckPage(CCheck& t, const std::string& path, const std::string& want)
{
    ExpectFile(t, path, Crlf(want));
}

// Starts the program on the Write tree and imports it.
bool StartImported(CCheck& t, COrvelle& app, const std::string& runDir)
{
    if (!MakeFavorites(t, kTree) || !app.Start(t, runDir))
        return false;
    return t.That(app.ClickSync(IDC_IMPORT), "Import did not return") &&
           t.That(app.ListItems().size() == 5, "Import gave " + Num((long long)app.ListItems().size()) + " entries");
}

void ExpectPathOrder(CCheck& t, COrvelle& app)
{
    std::string fav = FavoritesPath() + "\\";
    std::vector<std::string> want;
    for (const char* p : kPathOrder)
        want.push_back(fav + p);
    t.That(app.ListItems() == want, "the list is not back in path order after Write");
}

void WriteSingleRelative(CCheck& t)
{
    // Defaults: title わたしのお気に入り, JAVA on, output link.html in the
    // program's current folder.
    std::string run = FreshWorkFolder("run");
    COrvelle app;
    if (!StartImported(t, app, run))
        return;
    WriteExpecting(t, app, kWrittenText);
    std::string caption = "わたしのお気に入り";
    CheckPage(t, run + "\\link.html",
              HeadTitle(caption) + kHeadEndScript + kBackLinkScript + Heading(caption) + kTableHead + AllRows() +
                  Footer() + kPageEnd);
    ExpectPathOrder(t, app);
    app.ExitWithOk(t);
}

void WriteAnchors(CCheck& t)
{
    std::string out = FreshWorkFolder("anchors");
    COrvelle app;
    if (!StartImported(t, app, FreshWorkFolder("run")))
        return;
    std::string caption = "My <Links> & 表";
    std::string back = "http://www.example.com/home?a=1&b=2";
    app.SetText(IDC_CAPTION, caption);
    app.SetText(IDC_BACKURL, back);
    app.SetText(IDC_OUTPUT, out + "\\top.html");
    app.ClickSync(IDC_USEJAVA);  // off
    app.ClickSync(IDC_STYLE_ANCHORS);
    WriteExpecting(t, app, kWrittenText);
    std::vector<CGenre> g = Genres();
    std::string want = HeadTitle(caption) + kHeadEnd + kTopAnchor + BackLink(back) + Heading(caption);
    for (const CGenre& x : g)
        want += AnchorIndexItem(x.name);
    want += kAnchorIndexEnd;
    want += kTableHead;
    for (size_t i = 0; i < g.size(); ++i) {
        if (i > 0)
            want += GenreBreak(g[i].name);
        want += g[i].rows;
    }
    want += Footer() + kPageEnd;
    CheckPage(t, out + "\\top.html", want);
    t.That(!FileExists(out + "\\linkmenu.html") && !FileExists(out + "\\00000001.html"),
           "style 4 wrote more than the main file");
    ExpectPathOrder(t, app);
    app.ExitWithOk(t);
}

void WriteIndex(CCheck& t)
{
    std::string out = FreshWorkFolder("index表");
    // Pages of an earlier export with higher numbers stay as they are.
    std::string stale = out + "\\00000009.html";
    WriteBytes(stale, "old");
    COrvelle app;
    if (!StartImported(t, app, FreshWorkFolder("run")))
        return;
    std::string output = out + "\\top.html";
    app.SetText(IDC_CAPTION, "");
    app.SetText(IDC_OUTPUT, output);
    app.ClickSync(IDC_USEJAVA);  // off
    app.ClickSync(IDC_STYLE_INDEX);
    WriteExpecting(t, app, kWrittenText);
    std::vector<CGenre> g = Genres();
    std::string index = std::string(kHeadDefaultTitle) + kHeadEnd + kHeadingDefault;
    for (size_t i = 0; i < g.size(); ++i)
        index += IndexItem((int)i + 1, g[i].name);
    index += kIndexEnd;
    CheckPage(t, output, index);
    for (size_t i = 0; i < g.size(); ++i)
        CheckPage(t, out + "\\" + Number((int)i + 1) + ".html",
                  kGenrePageStart + GenrePageBack(output) + GenrePageHeading(g[i].name) + g[i].rows + Footer() +
                      kPageEnd);
    t.That(!FileExists(out + "\\" + Number((int)g.size() + 1) + ".html"), "a page beyond the last genre");
    t.That(!FileExists(out + "\\linkmenu.html"), "style 2 wrote linkmenu.html");
    std::string old;
    t.That(ReadBytes(stale, &old) && old == "old", "an older page with a higher number was changed");
    ExpectPathOrder(t, app);
    app.ExitWithOk(t);
}

void WriteFrames(CCheck& t)
{
    std::string out = FreshWorkFolder("frames");
    COrvelle app;
    if (!StartImported(t, app, FreshWorkFolder("run")))
        return;
    std::string caption = "フレーム表示";
    // ソ ends in the byte 0x5C: the pages still go beside the main file.
    std::string output = out + "\\ソース.html";
    app.SetText(IDC_CAPTION, caption);
    app.SetText(IDC_BACKURL, "http://www.example.com/unused");  // JAVA on: not used
    app.SetText(IDC_OUTPUT, output);
    app.ClickSync(IDC_STYLE_FRAMES);
    WriteExpecting(t, app, kWrittenText);
    std::vector<CGenre> g = Genres();
    CheckPage(t, output,
              HeadTitle(caption) + kFrameset + kHeadEndScript + kBackLinkScript + Heading(caption) + kTableHead +
                  AllRows() + Footer() + kNoFramesEnd + kPageEnd);
    std::string menu;
    for (size_t i = 0; i < g.size(); ++i)
        menu += MenuItem((int)i + 1, g[i].name);
    menu += kIndexEnd;
    CheckPage(t, out + "\\linkmenu.html", menu);
    for (size_t i = 0; i < g.size(); ++i)
        CheckPage(t, out + "\\" + Number((int)i + 1) + ".html",
                  kGenrePageStart + std::string(kHeadEnd) + GenrePageHeading(g[i].name) + g[i].rows + Footer() +
                      kPageEnd);
    t.That(!FileExists(out + "\\" + Number((int)g.size() + 1) + ".html"), "a page beyond the last genre");
    ExpectPathOrder(t, app);
    app.ExitWithOk(t);
}

void WriteRefusals(CCheck& t)
{
    std::string run = FreshWorkFolder("run");
    std::string kept = run + "\\link.html";
    WriteBytes(kept, "keep");
    if (!MakeFavorites(t, kTree))
        return;
    COrvelle app;
    if (!app.Start(t, run))
        return;
    // Nothing imported yet.
    WriteExpecting(t, app, kEmptyList);
    std::string content;
    t.That(ReadBytes(kept, &content) && content == "keep", "the empty list changed the existing output file");

    t.That(app.ClickSync(IDC_IMPORT), "Import did not return");
    struct {
        std::string output;
        const char* what;
    } bad[] = {
        {"", "an empty output path"},
        {g_config.workDir + "\\no-such-folder\\link.html", "a missing folder"},
        {run, "the name of a folder"},
    };
    for (const auto& b : bad) {
        app.SetText(IDC_OUTPUT, b.output);
        WriteExpecting(t, app, kBadName, std::string("Write to ") + b.what);
    }
    ExpectPathOrder(t, app);
    app.ExitWithOk(t);
}

void WriteOtherStyleLeavesEmptyFile(CCheck& t)
{
    PutSettingDword("Orvelle", "Style", 7);
    std::string out = FreshWorkFolder("style7");
    COrvelle app;
    if (!StartImported(t, app, FreshWorkFolder("run")))
        return;
    app.SetText(IDC_OUTPUT, out + "\\link.html");
    WriteExpecting(t, app, kWrittenText);
    std::string got;
    t.That(ReadBytes(out + "\\link.html", &got) && got.empty(), "style 7 did not leave an empty output file");
    t.That(!FileExists(out + "\\00000001.html"), "style 7 wrote a genre page");
    app.ExitWithOk(t);
}

}  // namespace

void AddWriteScenarios(std::vector<CScenario>& list)
{
    list.push_back({"write: single page, relative output, script back link", WriteSingleRelative});
    list.push_back({"write: single page with anchors", WriteAnchors});
    list.push_back({"write: index page and genre pages", WriteIndex});
    list.push_back({"write: frameset, menu page and genre pages", WriteFrames});
    list.push_back({"write: empty list and bad output paths", WriteRefusals});
    list.push_back({"write: style 7 leaves an empty file", WriteOtherStyleLeavesEmptyFile});
}

}  // namespace drv
