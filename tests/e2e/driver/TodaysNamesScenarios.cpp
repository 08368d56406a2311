// Today's names: shortcuts named like today's page titles (accents, dashes,
// the wave dash 〜, ¥, hangul, simplified Chinese, emoji), a file really
// named with a character reference, a folder chain past 260 characters.
// Files are made with their real UTF-16 names; list box 1005 must show them
// so; texts and pages carry a character without a code page 932 form as its
// decimal reference, typed here by hand.
#include "Driver.h"
#include "support/ExpectedPages.h"

namespace drv {
namespace {

using namespace page;

// Five folders of 59 characters: with the Favorites or work folder above
// them, every path inside passes 260 characters.
std::wstring LongChain(const std::wstring& stem)
{
    std::wstring chain;
    for (int level = 1; level <= 5; ++level)
        chain += (chain.empty() ? L"" : L"\\") + stem + L"-" + std::to_wstring(level) +
                 L"-とても長いフォルダの名前-abcdefghijklmnopqrstuvwxyz-0123456789";
    return chain;
}
std::string LongChainText(const std::string& stem)
{
    std::string chain;
    for (int level = 1; level <= 5; ++level)
        chain += (chain.empty() ? "" : "\\") + stem + "-" + Num(level) +
                 "-とても長いフォルダの名前-abcdefghijklmnopqrstuvwxyz-0123456789";
    return chain;
}

// One shortcut: its real name below the Favorites folder, its address, and
// what the program must make of it: the text below the Favorites folder, its
// genre ("" for the standard genre) and its link text.
struct CShortcut {
    std::wstring real;
    const char* url;
    std::string text;
    std::string genre;
    std::string link;
};

const char kStdGenreText[] = "G&#233;n&#233;ral";

// In list order: path order of the texts (ASCII "&#1", "&#2", "&#3", "&#5",
// then C N P d, then 価 89BF, 絵 8A47, 東 938C, 日 93FA); the two texts
// "Caf&#233;.url" in the order of their real names, '&' 0x26 before 'é' 0xE9.
std::vector<CShortcut> Shortcuts()
{
    return {
        {L"😀 smile.url", "http://emoji.example.com/smile", "&#128512; smile.url", "", "&#128512; smile"},
        {L"Ünïcode\\résumé.url", "http://unicode.example.com/resume", "&#220;n&#239;code\\r&#233;sum&#233;.url",
         "&#220;n&#239;code", "r&#233;sum&#233;"},
        {L"简体中文.url", "http://china.example.cn/", "&#31616;体中文.url", "", "&#31616;体中文"},
        {L"한국어.url", "http://korea.example.kr/", "&#54620;&#44397;&#50612;.url", "", "&#54620;&#44397;&#50612;"},
        {L"Caf&#233;.url", "http://cafe.example.com/reference", "Caf&#233;.url", "", "Caf&#233;"},
        {L"Café.url", "http://cafe.example.com/accent", "Caf&#233;.url", "", "Caf&#233;"},
        {L"News\\plain.url", "http://news.example.com/plain", "News\\plain.url", "News", "plain"},
        {L"Python – Wikipedia.url", "http://wiki.example.org/Python", "Python &#8211; Wikipedia.url", "",
         "Python &#8211; Wikipedia"},
        {LongChain(L"deep") + L"\\深い—場所.url", "http://deep.example.jp/", LongChainText("deep") + "\\深い&#8212;場所.url",
         "deep-5-とても長いフォルダの名前-abcdefghijklmnopqrstuvwxyz-0123456789", "深い&#8212;場所"},
        // ¥ U+00A5 is no separator: the genre stays the standard one.
        {L"価格¥100.url", "http://price.example.jp/yen", "価格&#165;100.url", "", "価格&#165;100"},
        {L"絵文字😀\\顔.url", "http://emoji.example.jp/kao", "絵文字&#128512;\\顔.url", "絵文字&#128512;", "顔"},
        {L"東京〜大阪.url", "http://train.example.jp/tokyo-osaka", "東京&#12316;大阪.url", "", "東京&#12316;大阪"},
        {L"日本語.url", "http://nihongo.example.jp/", "日本語.url", "", "日本語"},
    };
}

std::vector<CWideFavEntry> Tree()
{
    std::vector<CWideFavEntry> tree = {{L"News", nullptr}, {L"Ünïcode", nullptr}, {L"絵文字😀", nullptr},
                                       {LongChain(L"deep"), nullptr}};
    for (const CShortcut& s : Shortcuts())
        tree.push_back({s.real, s.url});
    return tree;
}

// The genre sort (an exchange sort on the genres, standard genre
// G&#233;n&#233;ral) over the list above, worked through by hand: only
// Ünïcode (rank 0) precedes the first standard-genre entry, so those keep
// their list order; News, deep-5 and 絵文字 move to the end in genre order.
const int kPageOrder[] = {1, 0, 2, 3, 4, 5, 7, 9, 11, 12, 6, 8, 10};

// The real full paths of the shortcuts picked, in list order.
std::vector<std::wstring> RealPaths(const std::vector<int>& picked)
{
    std::vector<CShortcut> all = Shortcuts();
    std::vector<std::wstring> out;
    for (int k : picked)
        out.push_back(FavoritesPathW() + L"\\" + all[k].real);
    return out;
}

std::vector<int> AllInListOrder()
{
    std::vector<int> all;
    for (int k = 0; k < (int)Shortcuts().size(); ++k)
        all.push_back(k);
    return all;
}

bool StartImported(CCheck& t, COrvelle& app)
{
    if (!MakeWideFavorites(t, Tree()) || !app.Start(t))
        return false;
    return t.That(app.ClickSync(IDC_IMPORT), "Import did not return");
}

void ImportListsRealPaths(CCheck& t)
{
    COrvelle app;
    if (!StartImported(t, app))
        return;
    SameItems(t, app.ListItemsW(), RealPaths(AllInListOrder()), "Import");
    Shot(app.Main(), "main-todays-names");

    // Filters typed with such characters match their references only.
    const struct {
        const wchar_t* exclude;
        const wchar_t* include;
        std::vector<int> want;
    } rows[] = {
        {L"", L"é", {1, 4, 5}},
        {L"", L"¥", {9}},
        // ～ U+FF5E is the code page 932 look-alike of 〜 U+301C, not it.
        {L"", L"～", {}},
        {L"😀", L"", {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12}},
        // A typed "&#" is text like any other: it finds the references.
        {L"&#", L"", {6, 12}},
    };
    for (const auto& r : rows) {
        app.SetTextW(IDC_EXCLUDE, r.exclude);
        app.SetTextW(IDC_INCLUDE, r.include);
        t.That(app.ClickSync(IDC_IMPORT), "Import did not return");
        SameItems(t, app.ListItemsW(), RealPaths(r.want),
                  "exclude \"" + Visible(std::wstring(r.exclude)) + "\" include \"" +
                      Visible(std::wstring(r.include)) + "\"");
    }
    app.ExitWithOk(t);
}

// The rows of the pages, in page order, with their genres; and the genres
// in page order.
struct CRows {
    std::vector<std::string> genres;
    std::vector<std::string> rowsOf;  // per genre
    std::string all;
};

CRows ExpectedRows()
{
    std::vector<CShortcut> s = Shortcuts();
    CRows r;
    for (int k : kPageOrder) {
        std::string genre = s[k].genre.empty() ? kStdGenreText : s[k].genre;
        if (r.genres.empty() || r.genres.back() != genre) {
            r.genres.push_back(genre);
            r.rowsOf.emplace_back();
        }
        std::string row = LinkRow(genre, s[k].url, s[k].link);
        r.rowsOf.back() += row;
        r.all += row;
    }
    return r;
}

void CheckPage(CCheck& t, const std::wstring& path, const std::string& want)
{
    ExpectFile(t, path, Crlf(want));
}

void WriteFourStyles(CCheck& t)
{
    const std::wstring cafe = FreshWorkFolder(L"Café");
    const std::wstring emoji = FreshWorkFolder(L"絵文字😀");
    const std::wstring unicode = FreshWorkFolder(L"Ünïcode");
    const std::wstring deepRoot = FreshWorkFolder(L"deep-out");
    const std::wstring deep = deepRoot + L"\\" + LongChain(L"out");
    const std::wstring wrongCafe = FromCp932(g_config.workDir) + L"\\Caf&#233;";
    RemoveTree(wrongCafe);
    RemoveDirectoryW(wrongCafe.c_str());
    if (!t.That(MakeFolder(deep), "cannot create the long output folder"))
        return;
    COrvelle app;
    if (!StartImported(t, app))
        return;
    const std::string caption = "Caf&#233; &#12316; &#128512;";
    const std::string back = "http://back.example.com/&#252;";
    app.SetTextW(IDC_CAPTION, L"Café 〜 😀");
    app.SetTextW(IDC_STDGENRE, L"Général");
    const CRows r = ExpectedRows();

    // Single page, JAVA on (the default).
    app.SetTextW(IDC_OUTPUT, cafe + L"\\link.html");
    WriteExpecting(t, app, kWrittenText, "Write of the single page");
    CheckPage(t, cafe + L"\\link.html",
              HeadTitle(caption) + kHeadEndScript + kBackLinkScript + Heading(caption) + kTableHead + r.all +
                  Footer() + kPageEnd);
    t.That(!FileExists(wrongCafe),
           "a folder named \"Caf&#233;\" was made: the reference was not turned back into its character");
    SameItems(t, app.ListItemsW(), RealPaths(AllInListOrder()), "list after Write");

    // Page with anchors, JAVA off, a return address with ü.
    app.ClickSync(IDC_USEJAVA);
    app.SetTextW(IDC_BACKURL, L"http://back.example.com/ü");
    app.ClickSync(IDC_STYLE_ANCHORS);
    app.SetTextW(IDC_OUTPUT, emoji + L"\\top.html");
    WriteExpecting(t, app, kWrittenText, "Write of the page with anchors");
    std::string anchors = HeadTitle(caption) + kHeadEnd + kTopAnchor + BackLink(back) + Heading(caption);
    for (const std::string& g : r.genres)
        anchors += AnchorIndexItem(g);
    anchors += std::string(kAnchorIndexEnd) + kTableHead;
    for (size_t i = 0; i < r.genres.size(); ++i)
        anchors += (i ? GenreBreak(r.genres[i]) : "") + r.rowsOf[i];
    CheckPage(t, emoji + L"\\top.html", anchors + Footer() + kPageEnd);

    // Index and genre pages; the genre pages link back to the output path
    // as the program's text.
    app.ClickSync(IDC_STYLE_INDEX);
    app.SetTextW(IDC_OUTPUT, unicode + L"\\index.html");
    WriteExpecting(t, app, kWrittenText, "Write of the index pages");
    const std::string indexText = g_config.workDir + "\\&#220;n&#239;code\\index.html";
    std::string index = HeadTitle(caption) + kHeadEnd + BackLink(back) + Heading(caption);
    for (size_t i = 0; i < r.genres.size(); ++i)
        index += IndexItem((int)i + 1, r.genres[i]);
    CheckPage(t, unicode + L"\\index.html", index + kIndexEnd);
    for (size_t i = 0; i < r.genres.size(); ++i)
        CheckPage(t, unicode + L"\\" + FromCp932(Number((int)i + 1)) + L".html",
                  kGenrePageStart + GenrePageBack(indexText) + GenrePageHeading(r.genres[i]) + r.rowsOf[i] +
                      Footer() + kPageEnd);

    // Frames, JAVA on, in a folder past 260 characters.
    app.ClickSync(IDC_USEJAVA);
    app.ClickSync(IDC_STYLE_FRAMES);
    app.SetTextW(IDC_OUTPUT, deep + L"\\frames.html");
    WriteExpecting(t, app, kWrittenText, "Write of the frames");
    CheckPage(t, deep + L"\\frames.html",
              HeadTitle(caption) + kFrameset + kHeadEndScript + kBackLinkScript + Heading(caption) + kTableHead +
                  r.all + Footer() + kNoFramesEnd + kPageEnd);
    std::string menu;
    for (size_t i = 0; i < r.genres.size(); ++i)
        menu += MenuItem((int)i + 1, r.genres[i]);
    CheckPage(t, deep + L"\\linkmenu.html", menu + kIndexEnd);
    for (size_t i = 0; i < r.genres.size(); ++i)
        CheckPage(t, deep + L"\\" + FromCp932(Number((int)i + 1)) + L".html",
                  kGenrePageStart + std::string(kHeadEnd) + GenrePageHeading(r.genres[i]) + r.rowsOf[i] + Footer() +
                      kPageEnd);
    t.That(!FileExists(deep + L"\\" + FromCp932(Number((int)r.genres.size() + 1)) + L".html"),
           "a frames page beyond the last genre");
    SameItems(t, app.ListItemsW(), RealPaths(AllInListOrder()), "list after the last Write");
    app.ExitWithOk(t);
    // The pages stay for the browser check (tests/browser); the runner empties
    // the work folder before each run.
}

// Each field typed with such characters, what the registry must then hold.
const struct {
    int id;
    const char* name;
    const wchar_t* text;
} kTypedSettings[] = {
    {IDC_CAPTION, "Caption", L"Café 〜 😀"},
    {IDC_STDGENRE, "StdGenre", L"Général"},
    {IDC_BACKURL, "Myurl", L"http://例え.example/¥–—"},
    {IDC_OUTPUT, "Output", L"C:\\Café\\東京〜大阪\\link.html"},
    // A reference typed by hand whose character has a code page 932 form
    // is five characters of text, and stays so.
    {IDC_EXCLUDE, "Disabled", L"&#65;"},
    {IDC_INCLUDE, "Enabled", L"한국어 简体 ～〜"},
};

void SettingsSurviveRestart(CCheck& t)
{
    {
        COrvelle app;
        if (!app.Start(t))
            return;
        for (const auto& s : kTypedSettings)
            app.SetTextW(s.id, s.text);
        if (!app.ExitWithOk(t))
            return;
    }
    for (const auto& s : kTypedSettings)
        ExpectSzW(t, "Orvelle", s.name, s.text);
    // The next start shows them again and gives them back unchanged.
    COrvelle app;
    if (!app.Start(t))
        return;
    for (const auto& s : kTypedSettings) {
        std::wstring shown = app.TextW(s.id);
        t.That(shown == s.text, std::string("field ") + s.name + " shows \"" + Visible(shown) + "\", not \"" +
                                    Visible(std::wstring(s.text)) + "\"");
    }
    if (!app.ExitWithOk(t))
        return;
    for (const auto& s : kTypedSettings)
        ExpectSzW(t, "Orvelle", s.name, s.text);
}

}  // namespace

void AddTodaysNamesScenarios(std::vector<CScenario>& list)
{
    list.push_back({"today's names: Import lists every real path in order; filters", ImportListsRealPaths});
    list.push_back({"today's names: Write in four styles, byte for byte, into such folders", WriteFourStyles});
    list.push_back({"today's names: typed settings survive exit and the next start", SettingsSurviveRestart});
}

}  // namespace drv
