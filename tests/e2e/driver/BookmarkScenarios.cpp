// Bookmark sources: browser profiles found below the local application data
// folder, a bookmark HTML file chosen in the Open dialog, the source kept per
// profile in the registry, and a source that cannot be read. Bookmark files
// are written here as the browsers write them (UTF-8 JSON); list box 1005
// shows real names, pages carry the texts typed below by hand.
#include "Driver.h"
#include "support/ExpectedPages.h"

#include <shlobj.h>

namespace drv {
namespace {

using namespace page;

const wchar_t kFavoritesItem[] = L"お気に入り フォルダー";
const wchar_t kChooserItem[] = L"HTML ファイルを選ぶ...";

std::string Utf8(const std::wstring& text)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), &out[0], n, nullptr, nullptr);
    return out;
}

// Browser data for one scenario, below the folder the program asks the shell
// for; removed before and after, so that every other scenario finds no profile.
class CBrowserData {
public:
    CBrowserData()
    {
        PWSTR path = nullptr;
        if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &path)) && path)
            m_root = path;
        CoTaskMemFree(path);
        Remove();
    }
    ~CBrowserData() { Remove(); }
    CBrowserData(const CBrowserData&) = delete;
    CBrowserData& operator=(const CBrowserData&) = delete;

    const std::wstring& Root() const { return m_root; }
    // Stores text as UTF-8 in the file relative below the root.
    bool Put(CCheck& t, const std::wstring& relative, const std::wstring& text)
    {
        std::wstring full = m_root + L"\\" + relative;
        bool ok = m_root.size() >= 4 && MakeFolder(full.substr(0, full.find_last_of(L'\\'))) &&
                  WriteBytes(full, Utf8(text));
        return t.That(ok, "cannot write " + Visible(full));
    }

private:
    void Remove()
    {
        if (m_root.size() < 4)
            return;  // never anything but the browsers' own folders
        for (const wchar_t* sub : {L"\\Microsoft\\Edge", L"\\Google\\Chrome"}) {
            RemoveTree(m_root + sub);
            RemoveDirectoryW((m_root + sub).c_str());
        }
        RemoveDirectoryW((m_root + L"\\Google").c_str());  // only when empty
    }
    std::wstring m_root;
};

const wchar_t kEdge[] = L"Microsoft\\Edge\\User Data\\";
const wchar_t kChrome[] = L"Google\\Chrome\\User Data\\";

// The Edge profile "Café": every root, names with markup, a "\" and
// characters code page 932 cannot spell, addresses to be percent-encoded.
const std::wstring kCafeBookmarks = HardNamesBookmarks(
    L"Favorites bar", LR"(http://x.example.com/search?q=\"quoted\")",
    LR"( "other":{"children":[
  {"type":"url","name":"Plain","url":"http://plain.example.com/"},
  {"type":"folder","name":"Docs","children":[{"type":"url","name":"Manual","url":"http://docs.example.com/manual"}]}],
  "name":"Other favorites","type":"folder"},
 "synced":{"children":[{"type":"url","name":"モバイル","url":"http://m.example.jp/"}],
  "name":"Mobile favorites","type":"folder"})");

const wchar_t kChromeBookmarks[] = LR"({"roots":{
 "bookmark_bar":{"children":[{"type":"url","name":"Bar","url":"http://bar.example.com/"}],"type":"folder"},
 "other":{"children":[{"type":"url","name":"Other","url":"http://other.example.com/"}],"type":"folder"},
 "synced":{"children":[{"type":"url","name":"Phone","url":"http://phone.example.com/"}],"type":"folder"}},
 "version":1})";

const wchar_t kEmptyBookmarks[] = LR"({"roots":{},"version":1})";

// Edge: two profiles named in Local State and listed there in reverse; Chrome
// without Local State: Default, then Profile N by N (2 before 10), and a
// folder without a Bookmarks file that is no profile.
bool MakeProfiles(CCheck& t, CBrowserData& data)
{
    const std::wstring edge = kEdge, chrome = kChrome;
    return t.That(!data.Root().empty(), "the shell gives no local application data folder") &&
           data.Put(t, edge + L"Local State",
                    LR"({"profile":{"info_cache":{"Default":{"name":"仕事"},"Profile 1":{"name":"Café"}},)"
                    LR"("profiles_order":["Profile 1","Default"]}})") &&
           data.Put(t, edge + L"Default\\Bookmarks", kEmptyBookmarks) &&
           data.Put(t, edge + L"Profile 1\\Bookmarks", kCafeBookmarks) &&
           data.Put(t, chrome + L"Profile 10\\Bookmarks", kEmptyBookmarks) &&
           data.Put(t, chrome + L"Profile 2\\Bookmarks", kEmptyBookmarks) &&
           data.Put(t, chrome + L"Default\\Bookmarks", kChromeBookmarks) &&
           data.Put(t, chrome + L"Profile 3\\Preferences", L"{}");
}

const std::vector<std::wstring> kProfileItems = {
    kFavoritesItem,
    L"Microsoft Edge - Café",
    L"Microsoft Edge - 仕事",
    L"Google Chrome - Default",
    L"Google Chrome - Profile 2",
    L"Google Chrome - Profile 10",
    kChooserItem,
};
const int kCafeItem = 1, kChromeItem = 3;

// One bookmark of the Café profile: its real path in list box 1005, address
// and genre and link text as the pages must carry them.
struct CBookmark {
    std::wstring real;
    const char* url;
    std::string genre;
    std::string link;
};

// In list order: path order of the texts below "Favorites\" (D, P, then
// お 82A8 and within it & before T, C before a; モ 8383 last).
const std::vector<CBookmark> kCafe = {
    {L"Favorites\\Docs\\Manual.url", "http://docs.example.com/manual", "Docs", "Manual"},
    {L"Favorites\\Plain.url", "http://plain.example.com/", "その他", "Plain"},
    {L"Favorites\\お気に入りバー\\<script>alert(1)</script>.url", "http://x.example.com/search?q=%22quoted%22",
     "お気に入りバー", "&#60;script&#62;alert(1)&#60;/script&#62;"},
    {L"Favorites\\お気に入りバー\\Tools\\é\\Café 〜 😀.url", "http://caf%C3%A9.example/men%C3%BC%201",
     "Tools&#92;&#233;", "Caf&#233; &#12316; &#128512;"},
    {L"Favorites\\お気に入りバー\\Tools\\é\\a\\b.url", "http://tools.example.com/%E3%80%9Cuser/%F0%9F%98%80",
     "Tools&#92;&#233;", "a&#92;b"},
    {L"Favorites\\モバイルのお気に入り\\モバイル.url", "http://m.example.jp/", "モバイルのお気に入り", "モバイル"},
};
// The genre exchange sort worked through by hand: genres in path order Docs,
// Tools&#92;&#233;, お気に入りバー, その他, モバイルのお気に入り; ties keep list order here.
const int kCafePageOrder[] = {0, 3, 4, 2, 1, 5};

std::vector<std::wstring> RealPaths(const std::vector<CBookmark>& marks)
{
    std::vector<std::wstring> out;
    for (const CBookmark& b : marks)
        out.push_back(b.real);
    return out;
}

struct CRows {
    std::vector<std::string> genres;
    std::vector<std::string> rowsOf;  // per genre
    std::string all;
};

CRows CafeRows()
{
    CRows r;
    for (int k : kCafePageOrder) {
        const CBookmark& b = kCafe[k];
        if (r.genres.empty() || r.genres.back() != b.genre) {
            r.genres.push_back(b.genre);
            r.rowsOf.emplace_back();
        }
        std::string row = LinkRow(b.genre, b.url, b.link);
        r.rowsOf.back() += row;
        r.all += row;
    }
    return r;
}

void CheckPage(CCheck& t, const std::string& path, const std::string& want)
{
    ExpectFile(t, path, Crlf(want));
}

void WriteEveryStyle(CCheck& t, COrvelle& app)
{
    const CRows r = CafeRows();
    const std::string caption = "わたしのお気に入り", back = "http://back.example.com/";

    // Single page, JAVA on (the default).
    std::string single = FreshWorkFolder("bm-single") + "\\link.html";
    app.SetText(IDC_OUTPUT, single);
    WriteExpecting(t, app, kWrittenText, "Write of the single page");
    CheckPage(t, single, HeadTitle(caption) + kHeadEndScript + kBackLinkScript + Heading(caption) + kTableHead + r.all +
                             Footer() + kPageEnd);
    SameItems(t, app.ListItemsW(), RealPaths(kCafe), "list after Write");

    // Anchors, JAVA off, a return address.
    app.ClickSync(IDC_USEJAVA);
    app.SetText(IDC_BACKURL, back);
    app.ClickSync(IDC_STYLE_ANCHORS);
    std::string anchors = FreshWorkFolder("bm-anchors") + "\\top.html";
    app.SetText(IDC_OUTPUT, anchors);
    WriteExpecting(t, app, kWrittenText, "Write of the page with anchors");
    std::string page = HeadTitle(caption) + kHeadEnd + kTopAnchor + BackLink(back) + Heading(caption);
    for (const std::string& g : r.genres)
        page += AnchorIndexItem(g);
    page += std::string(kAnchorIndexEnd) + kTableHead;
    for (size_t i = 0; i < r.genres.size(); ++i)
        page += (i ? GenreBreak(r.genres[i]) : "") + r.rowsOf[i];
    CheckPage(t, anchors, page + Footer() + kPageEnd);

    // Index and genre pages.
    app.ClickSync(IDC_STYLE_INDEX);
    std::string indexDir = FreshWorkFolder("bm-index"), index = indexDir + "\\index.html";
    app.SetText(IDC_OUTPUT, index);
    WriteExpecting(t, app, kWrittenText, "Write of the index pages");
    page = HeadTitle(caption) + kHeadEnd + BackLink(back) + Heading(caption);
    for (size_t i = 0; i < r.genres.size(); ++i)
        page += IndexItem((int)i + 1, r.genres[i]);
    CheckPage(t, index, page + kIndexEnd);
    for (size_t i = 0; i < r.genres.size(); ++i)
        CheckPage(t, indexDir + "\\" + GenrePageName((int)i + 1),
                  GenrePage(GenrePageBack(index), r.genres[i], r.rowsOf[i]));
    t.That(!FileExists(indexDir + "\\" + GenrePageName((int)r.genres.size() + 1)),
           "an index page beyond the last genre");

    // Frames, JAVA on.
    app.ClickSync(IDC_USEJAVA);
    app.ClickSync(IDC_STYLE_FRAMES);
    std::string framesDir = FreshWorkFolder("bm-frames"), frames = framesDir + "\\frames.html";
    app.SetText(IDC_OUTPUT, frames);
    WriteExpecting(t, app, kWrittenText, "Write of the frames");
    CheckPage(t, frames, HeadTitle(caption) + kFrameset + kHeadEndScript + kBackLinkScript + Heading(caption) +
                             kTableHead + r.all + Footer() + kNoFramesEnd + kPageEnd);
    std::string menu;
    for (size_t i = 0; i < r.genres.size(); ++i)
        menu += MenuItem((int)i + 1, r.genres[i]);
    CheckPage(t, framesDir + "\\linkmenu.html", menu + kIndexEnd);
    for (size_t i = 0; i < r.genres.size(); ++i)
        CheckPage(t, framesDir + "\\" + GenrePageName((int)i + 1), GenrePage(kHeadEnd, r.genres[i], r.rowsOf[i]));
    SameItems(t, app.ListItemsW(), RealPaths(kCafe), "list after the last Write");
}

void EdgeProfileImportedAndWritten(CCheck& t)
{
    CBrowserData data;
    COrvelle app;
    if (!MakeProfiles(t, data) || !app.Start(t))
        return;
    if (!ChooseListedSourceAndImport(t, app, kProfileItems, "main-sources-open", kCafeItem))
        return;
    SameItems(t, app.ListItemsW(), RealPaths(kCafe), "Import of the Edge profile");
    WriteEveryStyle(t, app);
    if (app.ExitWithOk(t))
        ExpectSzW(t, "Orvelle", "Source", L"edge:" + data.Root() + L"\\" + kEdge + L"Profile 1\\Bookmarks");
}

// Chooses the last item, which must open the Open dialog.
HWND OpenChooser(CCheck& t, COrvelle& app)
{
    SelectSource(app, (int)ComboItemsW(app.Item(IDC_SOURCE)).size() - 1);
    HWND dlg = app.FindOwnedDialog(app.Main(), kWindowTimeout);
    t.That(dlg != nullptr, "the last item opened no dialog owned by the main window");
    return dlg;
}

bool CloseChooser(CCheck& t, COrvelle& app, HWND dlg, int button)
{
    PressButton(dlg, button);
    bool closed = t.That(WaitClosed(dlg), std::string(button == IDOK ? "OK" : "Cancel") + " left the dialog open");
    std::string boxes = app.DismissStrayBoxes();
    t.That(boxes.empty(), "a box stayed open after the Open dialog: " + boxes);
    return app.Settle() && closed;
}

void HtmlFileThroughOpenDialog(CCheck& t)
{
    CBrowserData none;
    // ソ ends in the byte 0x5C: the file name must still be whole.
    const std::wstring file = FreshWorkFolder(L"bm-html") + L"\\表示ソース.html";
    const std::wstring item = L"HTML - 表示ソース.html";
    if (!t.That(WriteBytes(file, Utf8(LR"(<!DOCTYPE NETSCAPE-Bookmark-file-1>
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<TITLE>Bookmarks</TITLE>
<H1>Bookmarks</H1>
<DL><p>
    <DT><H3>ツール</H3>
    <DL><p>
        <DT><A HREF="http://tools.example.jp/">道具</A>
    </DL><p>
    <DT><A HREF="http://top.example.com/">Top &amp; Café</A>
</DL><p>
)")),
                "cannot write " + Visible(file)))
        return;
    COrvelle app;
    if (!app.Start(t))
        return;
    ExpectSourceItems(t, app, {kFavoritesItem, kChooserItem}, 0, "at start");
    HWND dlg = OpenChooser(t, app);
    if (!dlg)
        return;
    SameItems(t, ComboItemsW(GetDlgItem(dlg, 1136)),
              {L"ブックマーク ファイル (*.html;*.htm)", L"すべてのファイル (*.*)"}, "file types");
    if (!CloseChooser(t, app, dlg, IDCANCEL))
        return;
    ExpectSourceItems(t, app, {kFavoritesItem, kChooserItem}, 0, "after Cancel");

    if (!(dlg = OpenChooser(t, app)))
        return;
    SetWindowTextTo(FileNameField(dlg), file);
    if (!CloseChooser(t, app, dlg, IDOK))
        return;
    ExpectSourceItems(t, app, {kFavoritesItem, item, kChooserItem}, 1, "after OK");
    if (ImportWithoutBox(t, app))
        SameItems(t, app.ListItemsW(), {L"Favorites\\Top & Café.url", L"Favorites\\ツール\\道具.url"},
                  "Import of the HTML file");

    // Cancel goes back to the item chosen before, not to the first.
    if ((dlg = OpenChooser(t, app)) && CloseChooser(t, app, dlg, IDCANCEL))
        ExpectSourceItems(t, app, {kFavoritesItem, item, kChooserItem}, 1, "after the second Cancel");
    if (app.ExitWithOk(t))
        ExpectSzW(t, "Orvelle", "Source", L"html:" + file);
}

void SourceKeptPerProfile(CCheck& t)
{
    CBrowserData data;
    if (!MakeProfiles(t, data))
        return;
    const std::wstring chromeSetting = L"chromium:" + data.Root() + L"\\" + kChrome + L"Default\\Bookmarks";
    {
        COrvelle app;
        if (!app.Start(t))
            return;
        SelectSource(app, kChromeItem);
        if (ImportWithoutBox(t, app))
            SameItems(t, app.ListItemsW(),
                      {L"Favorites\\Other.url", L"Favorites\\ブックマーク バー\\Bar.url",
                       L"Favorites\\モバイルのブックマーク\\Phone.url"},
                      "Import of Chrome - Default");
        if (!app.ExitWithOk(t))
            return;
    }
    ExpectSzW(t, "Orvelle", "Source", chromeSetting);

    const std::wstring html = FreshWorkFolder(L"bm-profile2") + L"\\二番目.html";
    WriteBytes(html, "<DL><DT><A HREF=\"http://two.example.com/\">two</A></DL>");
    const std::wstring htmlSetting = L"html:" + html;
    PutSettingStringW("Orvelle2", "Source", htmlSetting);
    COrvelle app;
    if (!app.Start(t))
        return;
    ExpectSourceItems(t, app, kProfileItems, kChromeItem, "profile 1 after restart");
    // A profile made while the program runs is found at the next switch.
    if (!data.Put(t, std::wstring(kChrome) + L"Profile 4\\Bookmarks", kEmptyBookmarks))
        return;
    std::vector<std::wstring> one = kProfileItems;
    one.insert(one.begin() + 5, L"Google Chrome - Profile 4");
    std::vector<std::wstring> two = one;
    two.insert(two.end() - 1, L"HTML - 二番目.html");
    if (!ChooseProfile(t, app, 1))
        return;
    ExpectSourceItems(t, app, two, (int)two.size() - 2, "profile 2");
    if (!ChooseProfile(t, app, 0))
        return;
    ExpectSourceItems(t, app, one, kChromeItem, "back on profile 1");
    if (!ChooseProfile(t, app, 1))
        return;
    ExpectSourceItems(t, app, two, (int)two.size() - 2, "profile 2 again");
    // Back to the Favorites folder: the stored source is replaced by "".
    SelectSource(app, 0);
    if (!app.ExitWithOk(t))
        return;
    ExpectSzW(t, "Orvelle2", "Source", L"");
    ExpectSzW(t, "Orvelle", "Source", chromeSetting);
}

void UnreadableSourceKeepsList(CCheck& t)
{
    CBrowserData none;
    std::string broken = FreshWorkFolder("bm-broken") + "\\Bookmarks";
    WriteBytes(broken, "{\"roots\": not JSON");
    if (!MakeFavorites(t, {{"News", nullptr},
                           {"News\\a.url", "http://a.example.com/"},
                           {"b.url", "http://b.example.com/"}}))
        return;
    const std::wstring fav = FavoritesPathW();
    const std::vector<std::wstring> favorites = {fav + L"\\News\\a.url", fav + L"\\b.url"};
    const struct {
        std::string setting, path;
    } rows[] = {
        {"edge:C:\\nowhere\\Bookmarks", "C:\\nowhere\\Bookmarks"},
        {"chromium:" + broken, broken},
    };
    for (const auto& r : rows) {
        ResetSettings();
        PutSettingString("Orvelle", "Source", r.setting);
        COrvelle app;
        if (!app.Start(t))
            return;
        const std::string what = Visible(r.setting);
        ExpectSourceItems(t, app, {kFavoritesItem, FromCp932(r.path), kChooserItem}, 1, what + " at start");
        SelectSource(app, 0);
        if (ImportWithoutBox(t, app))
            SameItems(t, app.ListItemsW(), favorites, what + ": Import of the Favorites folder");
        SelectSource(app, 1);
        // Posted: the message box is modal.
        app.Click(IDC_IMPORT);
        std::string text;
        if (t.That(app.TakeMessageBox("Orvelle", &text), what + ": Import showed no message"))
            t.Same(text, std::string(kUnreadable) + "\n" + r.path, what + ": message");
        app.Settle();
        SameItems(t, app.ListItemsW(), favorites, what + ": list after the failed Import");
        if (app.ExitWithOk(t))
            ExpectSz(t, "Orvelle", "Source", r.setting);
    }
}

void FavoritesOnlyKeepsEightValues(CCheck& t)
{
    CBrowserData data;
    COrvelle app;
    if (!MakeProfiles(t, data) || !app.Start(t))
        return;
    // A source chosen and given up again leaves nothing to store.
    SelectSource(app, kCafeItem);
    SelectSource(app, 0);
    if (!app.ExitWithOk(t))
        return;
    ExpectProfile(t, "Orvelle", DefaultValues());
    t.That(!ReadSetting("Orvelle", "Source").present, "a Source value was stored for the Favorites folder");
}

}  // namespace

void AddBookmarkScenarios(std::vector<CScenario>& list)
{
    list.push_back({"bookmarks: browser profiles listed; Edge profile imported and written in every style",
                    EdgeProfileImportedAndWritten});
    list.push_back({"bookmarks: HTML file chosen in the Open dialog, Cancel keeps the item",
                    HtmlFileThroughOpenDialog});
    list.push_back({"bookmarks: source kept across restart and per profile", SourceKeptPerProfile});
    list.push_back({"bookmarks: unreadable source shows its path and keeps the list", UnreadableSourceKeepsList});
    list.push_back({"bookmarks: Favorites folder only keeps exactly eight values", FavoritesOnlyKeepsEightValues});
}

}  // namespace drv
