// Firefox and its forks as sources: profiles found through each browser's
// profiles.ini below the roaming application data folder and listed after
// the Chromium family; places.sqlite read while its writer (SQLite, as in the
// running browser) holds the latest bookmark in the -wal; the newest backup
// when the database is locked or missing; the refusal when neither can be
// read. Stores are made here with firefox::CPlaces and firefox::MozLz4; the
// pages carry the texts typed below by hand.
#include "Driver.h"
#include "export/TodayPage.h"
#include "support/ExpectedPages.h"
#include "support/FirefoxStore.h"

#include <memory>

namespace drv {
namespace {

using firefox::CItem;
using firefox::kBookmark;
using firefox::kFolder;
using firefox::kSeparator;

std::vector<CItem> WithRoots(const std::vector<CItem>& more)
{
    std::vector<CItem> items = firefox::Roots();
    items.insert(items.end(), more.begin(), more.end());
    return items;
}

// The default profile's database: every root, positions out of the order
// of the ids, what is passed over (a separator, tags, a bookmark without an
// address), a "\" ending ソ and 表, markup, characters to be encoded.
const std::vector<CItem> kPlaces = WithRoots({
    {10, kBookmark, 2, 1, u8"二番目", "menu_second_", "http://two.example.jp/"},
    {11, kBookmark, 2, 0, u8"Café 表", "menu_first__", u8"http://café.example/a b"},
    {12, kSeparator, 2, 2, nullptr, "menu_sep____", nullptr},
    {13, kFolder, 2, 3, u8"ソフト", "menu_soft___", nullptr},
    {14, kBookmark, 13, 0, u8"<b>道具</b>", "soft_tool___", "http://tools.example.jp/?q=\"x\""},
    {15, kBookmark, 3, 0, u8"ニュース", "toolbar_news", "http://news.example.jp/"},
    {16, kFolder, 4, 0, "tagname", "tag_folder__", nullptr},
    {17, kBookmark, 16, 0, "tagged", "tag_bookmark", "http://tagged.example.com/"},
    {18, kBookmark, 5, 0, "Other", "unfiled_othr", "http://other.example.com/"},
    {19, kBookmark, 6, 0, u8"携帯", "mobile_phone", "http://m.example.jp/"},
    {20, kBookmark, 2, 4, u8"アドレスなし", "menu_no_url_", nullptr},
});
// Added last, after the checkpoint: only in places.sqlite-wal.
const CItem kWalOnly = {21, kBookmark, 3, 1, u8"最後の追加", "toolbar_last", "http://last.example.jp/"};

// The same bookmarks all in the database, as the browser leaves it at its end.
std::vector<CItem> AllPlaces()
{
    std::vector<CItem> items = kPlaces;
    items.push_back(kWalOnly);
    return items;
}

// In list order: path order of the texts (C, then ソ 835C, ブ 8375, モ 8382,
// 他 91BC, 二 93F1; ニ 836A before 最 8DC5).
const std::vector<std::wstring> kPlacesList = {
    L"Favorites\\Café 表.url",
    L"Favorites\\ソフト\\<b>道具</b>.url",
    L"Favorites\\ブックマークツールバー\\ニュース.url",
    L"Favorites\\ブックマークツールバー\\最後の追加.url",
    L"Favorites\\モバイルのブックマーク\\携帯.url",
    L"Favorites\\他のブックマーク\\Other.url",
    L"Favorites\\二番目.url",
};
// The genre exchange sort worked through by hand on the genre ranks
// 0 1 2 2 3 4 0 of the list (その他 82BB, ソフト, ブックマークツールバー,
// モバイルのブックマーク, 他のブックマーク): the list entries 0 6 1 3 2 4 5,
// the two toolbar entries exchanged on the way.
const std::vector<CPageRow> kPlacesRows = {
    {"その他", "http://caf%C3%A9.example/a%20b", "Caf&#233; 表"},
    {"その他", "http://two.example.jp/", "二番目"},
    {"ソフト", "http://tools.example.jp/?q=%22x%22", "&#60;b&#62;道具&#60;/b&#62;"},
    {"ブックマークツールバー", "http://last.example.jp/", "最後の追加"},
    {"ブックマークツールバー", "http://news.example.jp/", "ニュース"},
    {"モバイルのブックマーク", "http://m.example.jp/", "携帯"},
    {"他のブックマーク", "http://other.example.com/", "Other"},
};
// The same in the page for today's readers: real names, UTF-8, escaped.
const std::vector<page::CTodayGenre> kPlacesToday = {
    {u8"その他", {{"http://caf%C3%A9.example/a%20b", u8"Café 表"}, {"http://two.example.jp/", u8"二番目"}}},
    {u8"ソフト", {{"http://tools.example.jp/?q=%22x%22", u8"&lt;b&gt;道具&lt;/b&gt;"}}},
    {u8"ブックマークツールバー",
     {{"http://last.example.jp/", u8"最後の追加"}, {"http://news.example.jp/", u8"ニュース"}}},
    {u8"モバイルのブックマーク", {{"http://m.example.jp/", u8"携帯"}}},
    {u8"他のブックマーク", {{"http://other.example.com/", "Other"}}},
};

// The newest backup: another tree than the database's, so that the list
// tells which was read.
const std::vector<CItem> kBackup = WithRoots({
    {60, kBookmark, 2, 1, u8"控えの二番目", "bk_second___", "http://second.example.jp/"},
    {61, kBookmark, 2, 0, u8"控えの表", "bk_first____", u8"http://backup.example.jp/表"},
    {62, kSeparator, 2, 2, nullptr, "bk_sep______", nullptr},
    {63, kFolder, 3, 0, u8"道具箱", "bk_tools____", nullptr},
    {64, kBookmark, 63, 0, "Tool", "bk_tool_____", "http://tool.example.com/"},
    {65, kFolder, 4, 0, "tagname", "bk_tag______", nullptr},
    {66, kBookmark, 65, 0, "tagged", "bk_tagged___", "http://tagged.example.com/"},
    {67, kBookmark, 5, 0, u8"他", "bk_unfiled__", "http://unfiled.example.jp/"},
});
// ブ 8375, 控 8D54 (二 93F1 before 表 955C), 他 91BC.
const std::vector<std::wstring> kBackupList = {
    L"Favorites\\ブックマークツールバー\\道具箱\\Tool.url",
    L"Favorites\\控えの二番目.url",
    L"Favorites\\控えの表.url",
    L"Favorites\\他のブックマーク\\他.url",
};
// An older backup, which must not be read.
const std::vector<CItem> kOldBackup = WithRoots({{50, kBookmark, 2, 0, u8"古い控え", "old_________", "http://old/"}});

// places.sqlite of |items| in |folder|, closed: everything in the database.
bool MakePlaces(CCheck& t, const std::wstring& folder, const std::vector<CItem>& items)
{
    if (!t.That(MakeFolder(folder), "cannot make " + Visible(folder)))
        return false;
    firefox::CPlaces places(Utf8Bytes(folder + L"\\places.sqlite"));
    return t.That(places.ok() && places.Add(items), "cannot make places.sqlite in " + Visible(folder));
}

// The default profile's database as the running browser keeps it: the
// writer open, kWalOnly only in the -wal.
std::unique_ptr<firefox::CPlaces> OpenPlaces(CCheck& t, const std::wstring& folder)
{
    if (!t.That(MakeFolder(folder), "cannot make " + Visible(folder)))
        return nullptr;
    const std::wstring db = folder + L"\\places.sqlite";
    auto places = std::make_unique<firefox::CPlaces>(Utf8Bytes(db));
    if (!t.That(places->ok() && places->Add(kPlaces) && places->Checkpoint() && places->Add({kWalOnly}),
                "cannot make places.sqlite in " + Visible(folder)))
        return nullptr;
    WIN32_FILE_ATTRIBUTE_DATA wal{};
    if (!t.That(GetFileAttributesExW((db + L"-wal").c_str(), GetFileExInfoStandard, &wal) && wal.nFileSizeLow > 0,
                "the last bookmark is not in an -wal beside " + Visible(db)))
        return nullptr;
    return places;
}

bool PutBackup(CCheck& t, const std::wstring& folder, const std::wstring& name, const std::vector<CItem>& items)
{
    const std::wstring backups = folder + L"\\bookmarkbackups";
    return t.That(MakeFolder(backups) &&
                      WriteBytes(backups + L"\\" + name, firefox::MozLz4(firefox::BackupJson(items))),
                  "cannot write the backup " + Visible(name));
}

// One [ProfileN] section of a profiles.ini.
struct CIniRow {
    int n;
    std::wstring name;
    std::wstring path;  // relative with "/", or absolute
    bool isDefault;
};

// profiles.ini as Firefox writes it (UTF-8): an installation's section
// naming its own default, the profiles in the order given, [General] last.
std::string ProfilesIni(const std::vector<CIniRow>& rows, bool crlf)
{
    std::wstring ini = L"[Install308046B0AF4A39CB]\nDefault=Profiles/other.default\nLocked=1\n\n";
    for (const CIniRow& r : rows) {
        const bool relative = r.path.find(L':') == std::wstring::npos;
        ini += L"[Profile" + std::to_wstring(r.n) + L"]\nName=" + r.name + L"\nIsRelative=" + (relative ? L"1" : L"0") +
               L"\nPath=" + r.path + L"\n" + (r.isDefault ? L"Default=1\n" : L"") + L"\n";
    }
    ini += L"[General]\nStartWithLastProfile=1\nVersion=2\n";
    std::wstring out;
    for (wchar_t c : ini)
        out += c == L'\n' && crlf ? std::wstring(L"\r\n") : std::wstring(1, c);
    return Utf8Bytes(out);
}

// The private copies Orvelle's process |pid| left in the temporary folder.
int CopiesLeft(DWORD pid)
{
    wchar_t temp[MAX_PATH + 1] = {0};
    GetTempPathW(MAX_PATH + 1, temp);
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((std::wstring(temp) + L"Orvelle-" + std::to_wstring(pid) + L"-*").c_str(), &fd);
    int left = 0;
    if (h != INVALID_HANDLE_VALUE) {
        do
            ++left;
        while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    return left;
}

// A file held open without sharing when |hold|, as a program that locks it does.
class CLocked {
public:
    CLocked(const std::wstring& path, bool hold)
        : m_file(hold ? CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                      : INVALID_HANDLE_VALUE)
    {
    }
    ~CLocked() { Release(); }
    CLocked(const CLocked&) = delete;
    CLocked& operator=(const CLocked&) = delete;
    bool Held() const { return m_file != INVALID_HANDLE_VALUE; }
    void Release()
    {
        if (Held())
            CloseHandle(m_file);
        m_file = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_file;
};

// The profiles of the listing: a Chrome profile; Firefox's ini (LF) with a
// relative profile, an absolute one in a folder named with ソ and 表, and one
// with neither database nor backups, its sections out of order; Floorp's
// ini in CR LF.
struct CProfiles {
    CAppDataTree local{AppData::Local, {L"Google\\Chrome"}};
    CAppDataTree roaming{AppData::Roaming, FirefoxHomes()};
    std::wstring firefox, work, floorp;  // the profile folders
    // The default profile's, open; declared last so that it closes before
    // the trees are removed.
    std::unique_ptr<firefox::CPlaces> writer;
};

const std::vector<CItem> kWork =
    WithRoots({{30, kBookmark, 2, 0, u8"仕事のページ", "work_page___", "http://work.example.jp/"}});
const std::vector<CItem> kFloorp =
    WithRoots({{40, kBookmark, 3, 0, u8"床の間", "floorp_bar__", "http://floorp.example.jp/"}});

bool MakeProfiles(CCheck& t, CProfiles& p)
{
    const std::wstring roaming = p.roaming.Root();
    if (!t.That(roaming.size() >= 4 && p.local.Root().size() >= 4,
                "the shell gives no roaming or local application data folder"))
        return false;
    p.firefox = roaming + L"\\Mozilla\\Firefox\\Profiles\\a1b2c3d4.default-release";
    p.work = FreshWorkFolder(L"ff-絶対") + L"\\表示ソース.work";
    p.floorp = roaming + L"\\Floorp\\Profiles\\f9e8d7c6.default-release";
    const std::wstring empty = roaming + L"\\Mozilla\\Firefox\\Profiles\\e5f6a7b8.empty";
    const std::string firefoxIni = ProfilesIni({{2, L"空のプロファイル", L"Profiles/e5f6a7b8.empty", false},
                                                {1, L"仕事 ソフト", p.work, true},
                                                {0, L"既定", L"Profiles/a1b2c3d4.default-release", false}},
                                               false);
    const std::string floorpIni = ProfilesIni({{0, L"Café の予定", L"Profiles/f9e8d7c6.default-release", true}}, true);
    return p.local.Put(t, L"Google\\Chrome\\User Data\\Default\\Bookmarks",
                       R"({"roots":{"bookmark_bar":{"children":[],"type":"folder"}},"version":1})") &&
           p.roaming.Put(t, L"Mozilla\\Firefox\\profiles.ini", firefoxIni) &&
           p.roaming.Put(t, L"Floorp\\profiles.ini", floorpIni) &&
           t.That(MakeFolder(empty) && WriteBytes(empty + L"\\prefs.js", ""), "cannot make " + Visible(empty)) &&
           (p.writer = OpenPlaces(t, p.firefox)) != nullptr && MakePlaces(t, p.work, kWork) &&
           MakePlaces(t, p.floorp, kFloorp);
}

const std::vector<std::wstring> kProfileItems = {
    kFavoritesSourceItem,
    L"Google Chrome - Default",
    L"Mozilla Firefox - 既定",
    L"Mozilla Firefox - 仕事 ソフト",
    L"Floorp - Café の予定",
    kChooserSourceItem,
};
const int kFirefoxItem = 2, kWorkItem = 3, kFloorpItem = 4;

void ListedImportedAndWritten(CCheck& t)
{
    CProfiles p;
    COrvelle app;
    if (!MakeProfiles(t, p) || !app.Start(t))
        return;
    if (!ChooseListedSourceAndImport(t, app, kProfileItems, "main-sources-firefox", kFirefoxItem))
        return;
    SameItems(t, app.ListItemsW(), kPlacesList, "Import of Mozilla Firefox - 既定");
    t.That(CopiesLeft(app.Pid()) == 0, "the private copy of places.sqlite was left in the temporary folder");
    WriteFourStylesExpecting(t, app, kPlacesRows, "ff", kPlacesList);

    app.ClickSync(IDC_STYLE_TODAY);
    const std::string today = FreshWorkFolder("ff-today") + "\\today.html";
    app.SetText(IDC_OUTPUT, today);
    WriteExpecting(t, app, kWrittenText, "Write of the page for today's readers");
    ExpectFile(t, today,
               page::Crlf(page::TodayPage(page::kTodayDefaultCaption, page::kTodayBackScript, kPlacesToday,
                                          kTodayStyle, kTodayScript)));
    SameItems(t, app.ListItemsW(), kPlacesList, "list after the Write of the page for today's readers");
    if (app.ExitWithOk(t))
        ExpectSzW(t, "Orvelle", "Source", L"firefox:" + p.firefox);
}

void SourceKeptPerProfile(CCheck& t)
{
    CProfiles p;
    if (!MakeProfiles(t, p))
        return;
    const std::wstring floorpSetting = L"firefox:" + p.floorp, workSetting = L"firefox:" + p.work;
    {
        COrvelle app;
        if (!app.Start(t))
            return;
        SelectSource(app, kFloorpItem);
        if (!app.ExitWithOk(t))
            return;
    }
    ExpectSzW(t, "Orvelle", "Source", floorpSetting);
    PutSettingStringW("Orvelle2", "Source", workSetting);

    COrvelle app;
    if (!app.Start(t))
        return;
    ExpectSourceItems(t, app, kProfileItems, kFloorpItem, "profile 1 after restart");
    if (ImportWithoutBox(t, app, "Import on profile 1"))
        SameItems(t, app.ListItemsW(), {L"Favorites\\ブックマークツールバー\\床の間.url"}, "Import of Floorp");
    // Profiles of the other forks made while the program runs are found at
    // the next switch, after Floorp: Waterfox, then LibreWolf.
    const std::wstring roaming = p.roaming.Root();
    const std::string libreWolfIni = ProfilesIni({{0, L"狼", L"Profiles/w.default", true}}, false);
    const std::string waterfoxIni = ProfilesIni({{0, L"水", L"Profiles/x.default", true}}, false);
    if (!p.roaming.Put(t, L"librewolf\\profiles.ini", libreWolfIni) ||
        !p.roaming.Put(t, L"Waterfox\\profiles.ini", waterfoxIni) ||
        !PutBackup(t, roaming + L"\\librewolf\\Profiles\\w.default", L"bookmarks-2024-06-30_7_w.jsonlz4", kWork) ||
        !MakePlaces(t, roaming + L"\\Waterfox\\Profiles\\x.default", kWork))
        return;
    std::vector<std::wstring> more = kProfileItems;
    more.insert(more.end() - 1, {L"Waterfox - 水", L"LibreWolf - 狼"});
    const struct {
        int profile;
        int selected;
        const wchar_t* imported;
    } rows[] = {
        {1, kWorkItem, L"Favorites\\仕事のページ.url"},
        {0, kFloorpItem, L"Favorites\\ブックマークツールバー\\床の間.url"},
        {1, kWorkItem, nullptr},
    };
    for (const auto& r : rows) {
        const std::string when = "switch to profile " + Num(r.profile + 1);
        if (!ChooseProfile(t, app, r.profile))
            return;
        ExpectSourceItems(t, app, more, r.selected, when);
        if (r.imported && ImportWithoutBox(t, app, "Import after the " + when))
            SameItems(t, app.ListItemsW(), {r.imported}, "Import after the " + when);
    }
    // Profile 2 is saved at exit, profile 1 keeps what it had.
    if (!app.ExitWithOk(t))
        return;
    ExpectSzW(t, "Orvelle2", "Source", workSetting);
    ExpectSzW(t, "Orvelle", "Source", floorpSetting);
}

// "/write 2" on the default profile while its writer holds the last
// bookmark in the -wal: the single page of the dialog's Import and Write,
// no window, no setting written.
void CommandLineWritesFirefox(CCheck& t)
{
    CProfiles p;
    if (!MakeProfiles(t, p))
        return;
    const std::string out = FreshWorkFolder("ff-command"), page = out + "\\link.html";
    PutSettingStringW("Orvelle2", "Source", L"firefox:" + p.firefox);
    PutSettingString("Orvelle2", "Output", page);
    PutSettingDword("Orvelle2", "Style", 1);
    WriteCommandWritesPage(t, out, page, SinglePageOf("わたしのお気に入り", kPlacesRows));
}

// The database locked by another program, or missing: the newest backup,
// and once the lock is gone the database again.
void BackupWhenTheDatabaseCannotBeRead(CCheck& t)
{
    const struct {
        const char* what;
        bool database;
        bool locked;
    } rows[] = {
        {"locked database", true, true},
        {"missing database", false, false},
    };
    for (const auto& r : rows) {
        ResetSettings();
        CAppDataTree roaming(AppData::Roaming, FirefoxHomes());
        const std::wstring folder = roaming.Root() + L"\\Mozilla\\Firefox\\Profiles\\b1.backup";
        const std::string ini = ProfilesIni({{0, L"控え", L"Profiles/b1.backup", true}}, false);
        if (!roaming.Put(t, L"Mozilla\\Firefox\\profiles.ini", ini) ||
            !PutBackup(t, folder, L"bookmarks-2024-01-31_2_old.jsonlz4", kOldBackup) ||
            !PutBackup(t, folder, L"bookmarks-2024-06-30_8_new.jsonlz4", kBackup) ||
            (r.database && !MakePlaces(t, folder, AllPlaces())))
            return;
        const std::string what = r.what;
        CLocked lock(folder + L"\\places.sqlite", r.locked);
        if (r.locked && !t.That(lock.Held(), what + ": the driver cannot lock places.sqlite"))
            return;
        COrvelle app;
        if (!app.Start(t))
            return;
        ExpectSourceItems(t, app, {kFavoritesSourceItem, L"Mozilla Firefox - 控え", kChooserSourceItem}, 0,
                          what + " at start");
        SelectSource(app, 1);
        if (ImportWithoutBox(t, app, what + ": Import"))
            SameItems(t, app.ListItemsW(), kBackupList, what + ": Import of the backup");
        t.That(CopiesLeft(app.Pid()) == 0, what + ": a private copy was left in the temporary folder");
        if (r.locked) {
            lock.Release();
            if (ImportWithoutBox(t, app, what + ": Import after the lock"))
                SameItems(t, app.ListItemsW(), kPlacesList, what + ": Import after the lock");
        }
        app.ExitWithOk(t);
    }
}

// Neither the database nor a backup: the refusal names the profile folder
// and the list stays; "/write 2" exits 1 with that text, in its log too.
void NeitherCanBeRead(CCheck& t)
{
    const std::string logDir = FreshWorkFolder("ff-log"), log = logDir + "\\表ログ.txt";
    const struct {
        const char* what;
        // A locked database and a bookmarkbackups folder without a backup,
        // listed; else a folder with neither, not listed.
        bool locked;
    } rows[] = {
        {"a locked database, no backup", true},
        {"no database, no backup", false},
    };
    for (const auto& r : rows) {
        ResetSettings();
        const std::string what = r.what;
        CAppDataTree roaming(AppData::Roaming, FirefoxHomes());
        const std::wstring folder = r.locked ? roaming.Root() + L"\\Mozilla\\Firefox\\Profiles\\c2.locked"
                                             : FreshWorkFolder(L"ff-なし") + L"\\表示.default";
        const std::string path = ToCp932(folder);
        const std::string ini = ProfilesIni({{0, L"施錠", r.locked ? L"Profiles/c2.locked" : folder, true}}, false);
        if (!roaming.Put(t, L"Mozilla\\Firefox\\profiles.ini", ini) ||
            !t.That(MakeFolder(folder) && WriteBytes(folder + L"\\prefs.js", ""), "cannot make " + Visible(folder)) ||
            (r.locked && !(MakePlaces(t, folder, kPlaces) &&
                           t.That(MakeFolder(folder + L"\\bookmarkbackups"), "cannot make bookmarkbackups"))) ||
            !MakeFavorites(t, {{"News", nullptr}, {"News\\a.url", "http://a.example.com/"},
                               {"b.url", "http://b.example.com/"}}))
            return;
        CLocked lock(folder + L"\\places.sqlite", r.locked);
        if (r.locked && !t.That(lock.Held(), what + ": the driver cannot lock places.sqlite"))
            return;
        const std::wstring fav = FavoritesPathW();
        const std::vector<std::wstring> favorites = {fav + L"\\News\\a.url", fav + L"\\b.url"};
        const std::string setting = "firefox:" + path;
        PutSettingString("Orvelle", "Source", setting);
        {
            COrvelle app;
            if (!app.Start(t))
                return;
            ExpectSourceItems(t, app,
                              {kFavoritesSourceItem, r.locked ? std::wstring(L"Mozilla Firefox - 施錠") : folder,
                               kChooserSourceItem},
                              1, what + " at start");
            SelectSource(app, 0);
            if (ImportWithoutBox(t, app, what + ": Import of the Favorites folder"))
                SameItems(t, app.ListItemsW(), favorites, what + ": Import of the Favorites folder");
            SelectSource(app, 1);
            ImportRefused(t, app, path, what);
            SameItems(t, app.ListItemsW(), favorites, what + ": list after the refused Import");
            t.That(CopiesLeft(app.Pid()) == 0, what + ": a private copy was left in the temporary folder");
            if (app.ExitWithOk(t))
                ExpectSz(t, "Orvelle", "Source", setting);
        }

        PutSettingString("Orvelle2", "Source", setting);
        PutSettingString("Orvelle2", "Output", logDir + "\\link.html");
        RunLogged(t, L"/write 2", logDir, log, 2, 1, std::string(kUnreadable) + "\n" + path, what + ": /write 2");
        t.That(!FileExists(logDir + "\\link.html"), what + ": /write 2 wrote a page");
    }
}

}  // namespace

void AddFirefoxScenarios(std::vector<CScenario>& list)
{
    list.push_back({"firefox: profiles listed after the Chromium family; one imported with its -wal and written in "
                    "every style",
                    ListedImportedAndWritten});
    list.push_back({"firefox: source kept across restart and per profile; the forks in order", SourceKeptPerProfile});
    list.push_back({"firefox: /write 2 writes the page while the database's writer is open", CommandLineWritesFirefox});
    list.push_back({"firefox: a locked or missing database falls back to the newest backup",
                    BackupWhenTheDatabaseCannotBeRead});
    list.push_back({"firefox: neither database nor backup: the refusal with the path, the list kept, /write 2 exits 1",
                    NeitherCanBeRead});
}

}  // namespace drv
