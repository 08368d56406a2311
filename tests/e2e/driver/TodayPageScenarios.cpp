// The fifth style, 今日のページ: its radio in the dialog (place, group, the
// stored value 5), and its page written from a Favorites tree, from a
// Chromium Bookmarks file and by "/write N", byte for byte. The pages are
// UTF-8: the texts they must carry are u8 literals typed here by hand.
#include "Driver.h"
#include "export/TodayPage.h"
#include "support/ExpectedPages.h"

namespace drv {
namespace {

using namespace page;

const char kSection[] = "Orvelle";

// Every control of the main dialog that the fifth radio must leave where it
// was, as res/Orvelle.rc places it; labels are found by their text.
const struct {
    int id;
    const char* text;
    CUnitRect at;
} kUnmoved[] = {
    {0, "ページタイトル(&T)", {7, 10, 55, 14}},
    {IDC_CAPTION, nullptr, {63, 7, 216, 12}},
    {0, "戻り先ＵＲＬ(&B)", {7, 24, 55, 10}},
    {IDC_BACKURL, nullptr, {63, 23, 158, 12}},
    {IDC_USEJAVA, nullptr, {227, 23, 53, 13}},
    {0, "出力ファイル名(&O)", {7, 40, 53, 11}},
    {IDC_OUTPUT, nullptr, {63, 39, 200, 12}},
    {IDC_BROWSE, nullptr, {261, 39, 19, 12}},
    {0, "取り込み元(&F)", {93, 58, 44, 9}},
    {IDC_SOURCE, nullptr, {139, 56, 82, -1}},
    {0, "リンク(&L)", {7, 60, 77, 9}},
    {IDC_LINKLIST, nullptr, {7, 70, 214, 102}},
    {IDC_PROFILE, nullptr, {225, 70, 55, 18}},
    {IDC_IMPORT, nullptr, {225, 91, 55, 18}},
    {IDC_DELETE, nullptr, {225, 112, 55, 18}},
    {IDC_WRITE, nullptr, {225, 133, 55, 18}},
    {IDOK, nullptr, {225, 154, 55, 18}},
    {IDC_STYLE_SINGLE, nullptr, {24, 227, 63, 11}},
    {IDC_STYLE_ANCHORS, nullptr, {24, 241, 86, 11}},
    {IDC_STYLE_INDEX, nullptr, {24, 255, 75, 11}},
    {IDC_STYLE_FRAMES, nullptr, {24, 269, 63, 11}},
    {0, "標準のジャンル名(&S)", {7, 178, 81, 10}},
    {IDC_STDGENRE, nullptr, {14, 194, 266, 12}},
    {0, "以下の文字列を含む場合は除外(&N)", {133, 224, 105, 10}},
    {IDC_EXCLUDE, nullptr, {140, 237, 140, 12}},
    {0, "以下の文字を含むものに限定する(&E)", {133, 257, 118, 10}},
    {IDC_INCLUDE, nullptr, {140, 273, 140, 12}},
};
const CUnitRect kTodayRadio = {24, 283, 63, 11};
// The link check's button, below 終了(&X) in the column's rhythm of 21.
const CUnitRect kLinkCheckButton = {225, 175, 55, 18};
const CUnitRect kStyleBox = {7, 215, 108, 87};
const CUnitRect kDialog = {0, 0, 287, 309};

void RadioPlacedInTheGroup(CCheck& t)
{
    COrvelle app;
    if (!app.Start(t))
        return;
    Shot(app.Main(), "main-today-style");
    const HWND main = app.Main(), today = app.Item(IDC_STYLE_TODAY), frames = app.Item(IDC_STYLE_FRAMES);
    if (!t.That(today != nullptr, "no control 1021"))
        return;
    t.Same(app.Text(IDC_STYLE_TODAY), "今日のページ", "text of 1021");
    t.Same(ClassOf(today), "Button", "class of 1021");

    std::vector<std::pair<HWND, CUnitRect>> placed;
    for (const auto& c : kUnmoved) {
        HWND h = c.text ? ChildWithText(main, c.text) : app.Item(c.id);
        if (!t.That(h != nullptr, "no control " + (c.text ? Visible(c.text) : Num(c.id))))
            return;
        placed.push_back({h, c.at});
    }
    int bx = 0, by = 0;
    if (!t.That(FitBaseUnits(placed, &bx, &by), "no base units place every other control where the template did"))
        return;
    ExpectPlaced(t, today, kTodayRadio, bx, by, "radio 1021");
    ExpectPlaced(t, app.Item(IDC_LINKCHECK), kLinkCheckButton, bx, by, "button 1022");
    // In the tab order after 終了(&X), a push button of its own.
    t.That(GetWindow(app.Item(IDOK), GW_HWNDNEXT) == app.Item(IDC_LINKCHECK), "1022 does not follow 終了(&X)");
    t.That((GetWindowLongW(app.Item(IDC_LINKCHECK), GWL_STYLE) & BS_TYPEMASK) == BS_PUSHBUTTON,
           "1022 is no push button");
    ExpectPlaced(t, ChildWithText(main, "出力スタイル"), kStyleBox, bx, by, "group box 出力スタイル");
    RECT client{}, want = DialogPixels(kDialog, bx, by);
    GetClientRect(main, &client);
    t.That(EqualRect(&client, &want), "the client area is " + Num(client.right) + " x " + Num(client.bottom) +
                                          " px, not " + Num(want.right) + " x " + Num(want.bottom));

    // One group and one tab stop with the other radios: right after 1011 in
    // the template, no WS_GROUP of its own, and the group ends with it.
    const LONG style = GetWindowLongW(today, GWL_STYLE);
    t.That((style & BS_TYPEMASK) == BS_AUTORADIOBUTTON, "1021 is no automatic radio button");
    t.That(!(style & WS_GROUP), "1021 starts a group of its own");
    // A checked radio gets WS_TABSTOP from the button itself.
    t.That((style & ~WS_TABSTOP) == (GetWindowLongW(frames, GWL_STYLE) & ~WS_TABSTOP),
           "1021 and 1011 differ in style");
    t.That(GetWindow(frames, GW_HWNDNEXT) == today, "1021 does not follow 1011");
    t.That(GetWindow(today, GW_HWNDNEXT) == ChildWithText(main, "標準のジャンル名(&S)"),
           "the label of 1017 does not follow 1021");
    t.That(GetNextDlgGroupItem(main, frames, FALSE) == today, "the group does not go on from 1011 to 1021");
    t.That(GetNextDlgGroupItem(main, today, FALSE) == app.Item(IDC_STYLE_SINGLE),
           "the group does not go round from 1021 to 1009");
    app.ExitWithOk(t);
}

// A stored style or a profile, and the style radios it must leave checked.
struct CCheckedRow {
    int value;
    std::vector<int> checked;
};

void StoredValueChecksRadio(CCheck& t)
{
    const CCheckedRow rows[] = {
        {5, {IDC_STYLE_TODAY}},
        {6, {}},
        {4, {IDC_STYLE_ANCHORS}},
        {0, {}},
    };
    for (const auto& r : rows) {
        ResetSettings();
        PutSettingDword(kSection, "Style", r.value);
        COrvelle app;
        if (!app.Start(t))
            return;
        ExpectCheckedStyles(t, app, r.checked, "stored style " + Num(r.value));
        if (app.ExitWithOk(t))
            ExpectDword(t, kSection, "Style", r.value);
    }
}

void ProfileSwitchChecksRadio(CCheck& t)
{
    PutSettingDword("Orvelle2", "Style", 5);
    PutSettingDword("Orvelle3", "Style", 6);
    COrvelle app;
    if (!app.Start(t))
        return;
    const CCheckedRow rows[] = {
        {1, {IDC_STYLE_TODAY}},
        {2, {}},
        {0, {IDC_STYLE_SINGLE}},
        {1, {IDC_STYLE_TODAY}},
    };
    for (const auto& r : rows) {
        if (!ChooseProfile(t, app, r.value))
            return;
        ExpectCheckedStyles(t, app, r.checked, "switch to profile " + Num(r.value + 1));
    }
    if (!app.ExitWithOk(t))
        return;
    ExpectDword(t, "Orvelle2", "Style", 5);
    t.That(SettingCount(kSection) == 0, "profile 1 was saved though profile 2 was active at the end");
}

void ClickAndArrowsStoreFive(CCheck& t)
{
    {
        COrvelle app;
        if (!app.Start(t))
            return;
        app.ClickSync(IDC_STYLE_TODAY);
        ExpectCheckedStyles(t, app, {IDC_STYLE_TODAY}, "a click on 1021");
        if (!app.ExitWithOk(t))
            return;
    }
    ExpectDword(t, kSection, "Style", 5);
    COrvelle app;
    if (!app.Start(t))
        return;
    ExpectCheckedStyles(t, app, {IDC_STYLE_TODAY}, "the next start");
    // The arrow keys walk the group as a user does, checking as they go.
    app.ClickSync(IDC_STYLE_FRAMES);
    app.FocusTo(IDC_STYLE_FRAMES);
    const struct {
        int from;
        WPARAM vk;
        int to;
    } keys[] = {
        {IDC_STYLE_FRAMES, VK_DOWN, IDC_STYLE_TODAY},
        {IDC_STYLE_TODAY, VK_DOWN, IDC_STYLE_SINGLE},
        {IDC_STYLE_SINGLE, VK_UP, IDC_STYLE_TODAY},
    };
    for (const auto& k : keys) {
        app.Key(k.from, k.vk);
        ExpectCheckedStyles(t, app, {k.to}, (k.vk == VK_DOWN ? "Down from " : "Up from ") + Num(k.from));
    }
    if (app.ExitWithOk(t))
        ExpectDword(t, kSection, "Style", 5);
}

// What one Write is given and the page it must give.
struct CTodayRow {
    std::string what;
    const wchar_t* caption;  // typed into the title field
    bool java;
    const wchar_t* backUrl;
    const wchar_t* stdGenre;
    std::string title;  // the caption as <title> and <h1> carry it
    std::string back;   // the back link's paragraph, or nothing
    std::vector<CTodayGenre> genres;
};

std::string ExpectedPage(const CTodayRow& r)
{
    return Crlf(TodayPage(r.title, r.back, r.genres, kTodayStyle, kTodayScript));
}

// Types each row's values into the dialog and writes its page into
// folder\todayN.html; checks the page byte for byte and that the list stays |list|.
void WriteRows(CCheck& t, COrvelle& app, const std::vector<CTodayRow>& rows, const std::wstring& folder,
               const std::vector<std::wstring>& list)
{
    int n = 0;
    for (const CTodayRow& r : rows) {
        const std::wstring page = folder + L"\\today" + std::to_wstring(++n) + L".html";
        app.SetTextW(IDC_CAPTION, r.caption);
        app.SetCheck(IDC_USEJAVA, r.java);
        app.SetTextW(IDC_BACKURL, r.backUrl);
        app.SetTextW(IDC_STDGENRE, r.stdGenre);
        app.SetTextW(IDC_OUTPUT, page);
        WriteExpecting(t, app, kWrittenText, "Write, " + r.what);
        ExpectFile(t, page, ExpectedPage(r));
        SameItems(t, app.ListItemsW(), list, "list after the Write, " + r.what);
    }
}

// The Favorites tree: real names; addresses as the shortcut files hold them
// (code page 932). List order, by the texts: &#220;n&#239;code\r&#233;sum&#233;,
// A&B, Caf&#233; &#12316; &#128512;, Caf&#233; (a file really named so:
// ' ' sorts before '.'), News\b, News\表.
const std::vector<CWideFavEntry> kTree = {
    {L"Ünïcode", nullptr},
    {L"Ünïcode\\résumé.url", "http://unicode.example.com/say\"hi\""},
    {L"A&B.url", "http://ab.example.com/?a=1&b=2"},
    {L"Café 〜 😀.url", "http://cafe.example.com/menu"},
    {L"Caf&#233;.url", "http://ref.example.com/"},
    {L"News", nullptr},
    {L"News\\b.url", "http://news.example.jp/b"},
    // ソ and 表 end in the byte 0x5C.
    {L"News\\表.url", "http://news.example.jp/ソ表"},
};

// The links as the page must carry them.
const CTodayLink kResume = {"http://unicode.example.com/say%22hi%22", u8"résumé"};
const CTodayLink kAnd = {"http://ab.example.com/?a=1&amp;b=2", "A&amp;B"};
const CTodayLink kCafe = {"http://cafe.example.com/menu", u8"Café 〜 😀"};
const CTodayLink kReference = {"http://ref.example.com/", "Caf&amp;#233;"};
const CTodayLink kB = {"http://news.example.jp/b", "b"};
const CTodayLink kHyo = {"http://news.example.jp/%E3%82%BD%E8%A1%A8", u8"表"};

// The exchange sort on the genres, worked through by hand for each standard
// genre: "" sorts first, "G&#233;n&#233;ral" keeps the list order, and
// "その他" last swaps its three entries about.
std::vector<CTodayRow> FavoritesRows()
{
    return {
        {"JAVA on, empty title, standard genre \"\"", L"", true, L"http://back.example.com/unused", L"",
         kTodayDefaultCaption, kTodayBackScript,
         {{kTodayEmptyGenre, {kAnd, kCafe, kReference}}, {u8"Ünïcode", {kResume}}, {"News", {kB, kHyo}}}},
        {"a return address, markup in the title", L"Café <b> & \"今日\"", false,
         L"http://back.example.com/?a=1&b=2", L"その他", u8"Café &lt;b&gt; &amp; &quot;今日&quot;",
         TodayBackLink("http://back.example.com/?a=1&amp;b=2"),
         {{u8"Ünïcode", {kResume}}, {"News", {kB, kHyo}}, {u8"その他", {kReference, kAnd, kCafe}}}},
        {"no back link, standard genre G&#233;n&#233;ral", L"😀 今日のリンク", false, L"", L"Général", u8"😀 今日のリンク",
         "", {{u8"Ünïcode", {kResume}}, {u8"Général", {kAnd, kCafe, kReference}}, {"News", {kB, kHyo}}}},
    };
}

void WriteFromFavorites(CCheck& t)
{
    const std::wstring out = FreshWorkFolder(L"today-favorites");
    COrvelle app;
    if (!MakeWideFavorites(t, kTree) || !app.Start(t))
        return;
    if (!t.That(app.ClickSync(IDC_IMPORT), "Import did not return"))
        return;
    const std::vector<std::wstring> imported = app.ListItemsW();
    if (!t.That(imported.size() == 6, "Import gave " + Num((long long)imported.size()) + " entries, not 6"))
        return;
    app.ClickSync(IDC_STYLE_TODAY);
    WriteRows(t, app, FavoritesRows(), out, imported);
    std::string written;
    for (const auto& f : FilesIn(ToCp932(out)))
        written += (written.empty() ? "" : " ") + f.first;
    t.Same(written, "today1.html today2.html today3.html", "files written");
    app.ExitWithOk(t);
    ExpectDword(t, kSection, "Style", 5);
}

// The hard names, an "&" in the address titled with markup, a link in
// each other root.
const std::wstring kBookmarks = HardNamesBookmarks(
    L"Bookmarks bar", LR"(http://x.example.com/search?q=\"quoted\"&lang=ja)",
    LR"( "other":{"children":[{"type":"url","name":"A&B","url":"http://ab.example.com/?a=1&b=2"}],
  "name":"Other bookmarks","type":"folder"},
 "synced":{"children":[{"type":"url","name":"モバイル","url":"http://m.example.jp/"}],
  "name":"Mobile bookmarks","type":"folder"})");

// In list order: path order of the texts (A, then ブ 8375 with & before T and
// C before a, モ 8382 last).
const std::vector<std::wstring> kBookmarkList = {
    L"Favorites\\A&B.url",
    L"Favorites\\ブックマーク バー\\<script>alert(1)</script>.url",
    L"Favorites\\ブックマーク バー\\Tools\\é\\Café 〜 😀.url",
    L"Favorites\\ブックマーク バー\\Tools\\é\\a\\b.url",
    L"Favorites\\モバイルのブックマーク\\モバイル.url",
};
const CTodayLink kMarkAnd = {"http://ab.example.com/?a=1&amp;b=2", "A&amp;B"};
const CTodayLink kMarkScript = {"http://x.example.com/search?q=%22quoted%22&amp;lang=ja",
                                "&lt;script&gt;alert(1)&lt;/script&gt;"};
const CTodayLink kMarkCafe = {"http://caf%C3%A9.example/men%C3%BC%201", u8"Café 〜 😀"};
const CTodayLink kMarkBackslash = {"http://tools.example.com/%E3%80%9Cuser/%F0%9F%98%80", "a\\b"};
const CTodayLink kMarkMobile = {"http://m.example.jp/", u8"モバイル"};

std::vector<CTodayRow> BookmarkRows()
{
    const std::string tools = u8"Tools\\é", bar = u8"ブックマーク バー", mobile = u8"モバイルのブックマーク";
    return {
        {"bookmarks, a return address, standard genre \"\"", L"<script>alert(\"x\")</script>", false,
         L"http://back.example.com/bookmarks?a=1&b=2", L"", "&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;",
         TodayBackLink("http://back.example.com/bookmarks?a=1&amp;b=2"),
         {{kTodayEmptyGenre, {kMarkAnd}},
          {tools, {kMarkCafe, kMarkBackslash}},
          {bar, {kMarkScript}},
          {mobile, {kMarkMobile}}}},
        {"bookmarks, the defaults", L"わたしのお気に入り", true, L"", L"その他", kTodayDefaultCaption,
         kTodayBackScript,
         {{tools, {kMarkCafe, kMarkBackslash}},
          {u8"その他", {kMarkAnd}},
          {bar, {kMarkScript}},
          {mobile, {kMarkMobile}}}},
    };
}

void WriteFromBookmarks(CCheck& t)
{
    const std::string folder = FreshWorkFolder("today-chromium");
    const std::string file = folder + "\\Bookmarks";
    if (!t.That(WriteBytes(file, Utf8Bytes(kBookmarks)), "cannot write " + file))
        return;
    PutSettingString(kSection, "Source", "chromium:" + file);
    PutSettingDword(kSection, "Style", 5);
    COrvelle app;
    if (!app.Start(t))
        return;
    ExpectCheckedStyles(t, app, {IDC_STYLE_TODAY}, "stored style 5");
    t.That(app.ClickSync(IDC_IMPORT), "Import did not return");
    std::string boxes = app.DismissStrayBoxes();
    if (!t.That(boxes.empty(), "Import showed " + boxes))
        return;
    SameItems(t, app.ListItemsW(), kBookmarkList, "Import of the Bookmarks file");
    WriteRows(t, app, BookmarkRows(), FromCp932(folder), kBookmarkList);
    app.ExitWithOk(t);
}

// The return address goes into the page as its links' addresses do: spaces
// and characters beyond ASCII percent-encoded in UTF-8, '"' as %22, then
// & < > escaped for the attribute.
void ReturnAddressAsTyped(CCheck& t)
{
    const std::string out = FreshWorkFolder("today-back");
    COrvelle app;
    if (!MakeFavorites(t, {{"a.url", "http://a.example.com/"}}) || !app.Start(t))
        return;
    if (!t.That(app.ClickSync(IDC_IMPORT), "Import did not return"))
        return;
    app.ClickSync(IDC_STYLE_TODAY);
    const struct {
        const wchar_t* typed;
        const char* href;
    } addresses[] = {
        {L"http://back.example.com/?q=\"x\"&y=<z>", "http://back.example.com/?q=%22x%22&amp;y=&lt;z&gt;"},
        {L"http://back.example.com/今日", "http://back.example.com/%E4%BB%8A%E6%97%A5"},
        {L"http://back.example.com/café 〜", "http://back.example.com/caf%C3%A9%20%E3%80%9C"},
    };
    // JAVA off, so that the return address is the back link; the other fields keep their defaults.
    std::vector<CTodayRow> rows;
    for (const auto& a : addresses)
        rows.push_back({"return address \"" + Visible(std::wstring(a.typed)) + "\"", L"わたしのお気に入り", false, a.typed,
                        L"その他", kTodayDefaultCaption, TodayBackLink(a.href),
                        {{u8"その他", {{"http://a.example.com/", "a"}}}}});
    WriteRows(t, app, rows, FromCp932(out), app.ListItemsW());
    app.ExitWithOk(t);
}

// "/write 2" on profile 2 set to the fifth style: the page of the last
// Favorites row, no window, no setting written.
void CommandLineWritesToday(CCheck& t)
{
    const std::string out = FreshWorkFolder("today-command");
    const std::string page = out + "\\today.html";
    if (!MakeWideFavorites(t, kTree))
        return;
    const CTodayRow r = FavoritesRows().back();
    PutSettingDword("Orvelle2", "Style", 5);
    PutSettingStringW("Orvelle2", "Caption", r.caption);
    PutSettingString("Orvelle2", "JAVA", r.java ? "TRUE" : "FALSE");
    PutSettingStringW("Orvelle2", "Myurl", r.backUrl);
    PutSettingStringW("Orvelle2", "StdGenre", r.stdGenre);
    PutSettingString("Orvelle2", "Output", page);
    WriteCommandWritesPage(t, out, page, ExpectedPage(r));
}

}  // namespace

void AddTodayPageScenarios(std::vector<CScenario>& list)
{
    list.push_back({"today page: radio 1021 below 1011, in its group; the group box and the dialog grown",
                    RadioPlacedInTheGroup});
    list.push_back({"today page: stored style 5 checks 1021, 6 and 0 check none", StoredValueChecksRadio});
    list.push_back({"today page: stored style 5 checks 1021 at a profile switch", ProfileSwitchChecksRadio});
    list.push_back({"today page: a click and the arrow keys store the REG_DWORD 5", ClickAndArrowsStoreFive});
    list.push_back({"today page: Write from the Favorites folder, byte for byte", WriteFromFavorites});
    list.push_back({"today page: Write from a Chromium Bookmarks file, byte for byte", WriteFromBookmarks});
    list.push_back({"today page: the return address percent-encoded as the links' addresses", ReturnAddressAsTyped});
    list.push_back({"today page: /write 2 writes the page of the dialog's settings", CommandLineWritesToday});
}

}  // namespace drv
