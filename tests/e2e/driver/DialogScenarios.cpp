// The profile dialog, the About box and the Save As browse.
#include "Driver.h"
#include "support/ExpectedPages.h"

namespace drv {
namespace {

const char kProfileTitle[] = "プロファイルの選択";
const char kAboutTitle[] = "Orvelleのﾊﾞｰｼﾞｮﾝ情報";

int ComboCursel(HWND combo)
{
    DWORD_PTR sel = 0;
    SendMessageTimeoutW(combo, CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, kSyncTimeout, &sel);
    return (int)(LONG_PTR)sel;
}

void PressButton(HWND dlg, int id)
{
    PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dlg, id));
}

bool WaitClosed(HWND dlg)
{
    return WaitUntil([&] { return !IsWindow(dlg) || !IsWindowVisible(dlg); }, kWindowTimeout);
}

// Opens the profile dialog, picks item pick (-1: none) and ends it with
// button; the returned text says what went wrong, empty when all went well.
// selectedBefore receives the preselection shown on opening.
std::string ChooseProfile(COrvelle& app, int pick, int button, int* selectedBefore = nullptr,
                          bool shot = false)
{
    app.Click(IDC_PROFILE);
    HWND dlg = app.FindDialog(kProfileTitle, kWindowTimeout);
    if (!dlg)
        return "the profile dialog did not open";
    HWND combo = GetDlgItem(dlg, IDC_PROFILE_CHOICE);
    if (!combo)
        return "the profile dialog has no combo box IDC_PROFILE_CHOICE";
    std::vector<std::string> items = ComboItems(combo);
    std::vector<std::string> want = {"設定１", "設定２", "設定３", "設定４"};
    if (items != want)
        return "the profile combo box holds " + Num((long long)items.size()) + " other items";
    if (selectedBefore)
        *selectedBefore = ComboCursel(combo);
    if (shot)
        Shot(dlg, "profile-dialog");
    if (pick >= 0) {
        DWORD_PTR r = 0;
        SendMessageTimeoutW(combo, CB_SETCURSEL, (WPARAM)pick, 0, SMTO_ABORTIFHUNG, kSyncTimeout, &r);
    }
    PressButton(dlg, button);
    if (!WaitClosed(dlg))
        return "the profile dialog did not close";
    app.Settle();
    return std::string();
}

void ProfileTwoLoadsItsSection(CCheck& t)
{
    PutSettingString("Orvelle2", "Caption", "二番目");
    PutSettingString("Orvelle2", "JAVA", "FALSE");
    PutSettingDword("Orvelle2", "Style", 2);
    COrvelle app;
    if (!app.Start(t, FreshWorkFolder("run")))
        return;
    int before = 0;
    std::string err = ChooseProfile(app, 1, IDOK, &before, true);
    if (!t.That(err.empty(), err))
        return;
    t.That(before == CB_ERR, "the first opening preselected item " + Num(before));
    t.Same(app.Title(), "Orvelle - 設定２", "window title");
    t.Same(app.Text(IDC_CAPTION), "二番目", "title field");
    t.Same(app.Text(IDC_OUTPUT), "link.html", "output field (default)");
    t.Same(app.Text(IDC_STDGENRE), "その他", "standard genre field (default)");
    t.That(app.Checked(IDC_USEJAVA) == BST_UNCHECKED, "JAVA FALSE left the box checked");
    t.That(app.Checked(IDC_STYLE_INDEX) == BST_CHECKED && app.Checked(IDC_STYLE_SINGLE) == BST_UNCHECKED,
           "style 2 is not the only checked radio");

    // Reopening shows the last confirmed choice.
    err = ChooseProfile(app, -1, IDCANCEL, &before);
    if (t.That(err.empty(), err))
        t.That(before == 1, "reopening preselected item " + Num(before) + ", not 1");
    app.Click(IDOK);
    app.WaitExit(kWindowTimeout);
}

void ProfileCancelReloadsStoredValues(CCheck& t)
{
    PutSettingString("Orvelle", "Caption", "保存済み");
    COrvelle app;
    if (!app.Start(t, FreshWorkFolder("run")))
        return;
    app.SetText(IDC_CAPTION, "編集中");
    app.ClickSync(IDC_STYLE_FRAMES);
    std::string err = ChooseProfile(app, 2, IDCANCEL);
    if (!t.That(err.empty(), err))
        return;
    t.Same(app.Title(), "Orvelle - 設定１", "window title after Cancel");
    t.Same(app.Text(IDC_CAPTION), "保存済み", "title field after Cancel");
    t.That(app.Checked(IDC_STYLE_SINGLE) == BST_CHECKED && app.Checked(IDC_STYLE_FRAMES) == BST_UNCHECKED,
           "Cancel did not reload the stored style 1");
    app.Click(IDOK);
    app.WaitExit(kWindowTimeout);
}

void ProfileSwitchBackLosesEdit(CCheck& t)
{
    COrvelle app;
    if (!app.Start(t, FreshWorkFolder("run")))
        return;
    app.SetText(IDC_CAPTION, "消える編集");
    std::string err = ChooseProfile(app, 1, IDOK);
    if (t.That(err.empty(), err))
        err = ChooseProfile(app, 0, IDOK);
    if (!t.That(err.empty(), err))
        return;
    t.Same(app.Title(), "Orvelle - 設定１", "window title");
    t.Same(app.Text(IDC_CAPTION), "わたしのお気に入り", "title field after 2 and back to 1");
    app.Click(IDOK);
    app.WaitExit(kWindowTimeout);
    ExpectSz(t, "Orvelle", "Caption", "わたしのお気に入り");
    t.That(SettingCount("Orvelle2") == 0, "profile 2 got values though it was not active at the end");
}

void ProfileNoPickReloadsProfileOne(CCheck& t)
{
    COrvelle app;
    if (!app.Start(t, FreshWorkFolder("run")))
        return;
    app.SetText(IDC_CAPTION, "未保存");
    int before = 0;
    std::string err = ChooseProfile(app, -1, IDOK, &before);
    if (!t.That(err.empty(), err))
        return;
    t.That(before == CB_ERR, "the first opening preselected item " + Num(before));
    t.Same(app.Title(), "Orvelle - 設定１", "window title");
    t.Same(app.Text(IDC_CAPTION), "わたしのお気に入り", "title field after OK without a pick");
    app.Click(IDOK);
    app.WaitExit(kWindowTimeout);
}

void ProfileStyleNineChecksNothing(CCheck& t)
{
    PutSettingDword("Orvelle4", "Style", 9);
    COrvelle app;
    if (!app.Start(t, FreshWorkFolder("run")))
        return;
    std::string err = ChooseProfile(app, 3, IDOK);
    if (!t.That(err.empty(), err))
        return;
    t.Same(app.Title(), "Orvelle - 設定４", "window title");
    for (int id : {IDC_STYLE_SINGLE, IDC_STYLE_INDEX, IDC_STYLE_FRAMES, IDC_STYLE_ANCHORS})
        t.That(app.Checked(id) == BST_UNCHECKED, "style 9 left radio " + Num(id) + " checked");
    app.Click(IDOK);
    app.WaitExit(kWindowTimeout);
    ExpectDword(t, "Orvelle4", "Style", 9);
}

void ProfileThreeSavesOnlyThere(CCheck& t)
{
    COrvelle app;
    if (!app.Start(t, FreshWorkFolder("run")))
        return;
    std::string err = ChooseProfile(app, 2, IDOK);
    if (!t.That(err.empty(), err))
        return;
    t.Same(app.Title(), "Orvelle - 設定３", "window title");
    app.SetText(IDC_CAPTION, "三番目の題");
    app.Click(IDOK);
    if (!t.That(app.WaitExit(kWindowTimeout), "the program did not end"))
        return;
    CProfileValues v = DefaultValues();
    v.caption = "三番目の題";
    ExpectProfile(t, "Orvelle3", v);
    t.That(SettingCount("Orvelle") == 0, "section Orvelle got " + Num(SettingCount("Orvelle")) + " values");
}

// The http "open" handler of the prefix, pointed at this driver while the
// About box is tested and put back afterwards.
class CRecordedOpen {
public:
    explicit CRecordedOpen(const std::string& file)
    {
        for (const char* proto : {"http", "https"}) {
            std::string key = std::string(proto) + "\\shell\\open\\command";
            CSaved s;
            s.key = key;
            HKEY h;
            if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &h) == ERROR_SUCCESS) {
                char buf[2048] = {0};
                DWORD size = sizeof buf - 1, type = 0;
                if (RegQueryValueExA(h, nullptr, nullptr, &type, (BYTE*)buf, &size) == ERROR_SUCCESS) {
                    s.had = true;
                    s.type = type;
                    s.value.assign(buf, size);
                }
                RegCloseKey(h);
            }
            m_saved.push_back(s);
            std::string cmd = "\"" + g_config.driverExe + "\" --record \"" + file + "\" \"%1\"";
            if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) ==
                ERROR_SUCCESS) {
                RegSetValueExA(h, nullptr, 0, REG_SZ, (const BYTE*)cmd.c_str(), (DWORD)cmd.size() + 1);
                RegCloseKey(h);
            }
        }
    }
    ~CRecordedOpen()
    {
        for (const CSaved& s : m_saved) {
            HKEY h;
            if (RegCreateKeyExA(HKEY_CLASSES_ROOT, s.key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) !=
                ERROR_SUCCESS)
                continue;
            if (s.had)
                RegSetValueExA(h, nullptr, 0, s.type, (const BYTE*)s.value.data(), (DWORD)s.value.size());
            else
                RegDeleteValueA(h, nullptr);
            RegCloseKey(h);
        }
    }

private:
    struct CSaved {
        std::string key;
        bool had = false;
        DWORD type = REG_SZ;
        std::string value;
    };
    std::vector<CSaved> m_saved;
};

struct CStaticSearch {
    const std::string* text;
    bool found;
};

BOOL CALLBACK FindStaticText(HWND child, LPARAM lp)
{
    CStaticSearch* s = (CStaticSearch*)lp;
    if (WindowText(child) == *s->text)
        s->found = true;
    return !s->found;
}

struct CMenuSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindMenuPopup(HWND hwnd, LPARAM lp)
{
    CMenuSearch* s = (CMenuSearch*)lp;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == s->pid && IsWindowVisible(hwnd) && ClassOf(hwnd) == "#32768") {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The system menu cannot be read from another process; open it and keep a
// picture of it, so that the About item can at least be seen.
void ShootSystemMenu(COrvelle& app)
{
    PostMessageW(app.Main(), WM_SYSCOMMAND, SC_KEYMENU, ' ');
    CMenuSearch s{app.Pid(), nullptr};
    WaitUntil([&] {
        s.found = nullptr;
        EnumWindows(FindMenuPopup, (LPARAM)&s);
        return s.found != nullptr;
    }, 3000);
    if (s.found)
        Shot(s.found, "system-menu");
    PostMessageW(app.Main(), WM_CANCELMODE, 0, 0);
    PostMessageW(s.found ? s.found : app.Main(), WM_KEYDOWN, VK_ESCAPE, 0);
    WaitUntil([&] { return !s.found || !IsWindowVisible(s.found); }, 3000);
    app.Settle();
}

void AboutOpensHomePage(CCheck& t)
{
    std::string folder = FreshWorkFolder("about");
    std::string record = folder + "\\opened.txt";
    CRecordedOpen handler(record);
    COrvelle app;
    if (!app.Start(t, FreshWorkFolder("run")))
        return;
    ShootSystemMenu(app);
    app.SysCommand(IDM_ABOUTBOX);
    HWND about = app.FindDialog(kAboutTitle, kWindowTimeout);
    if (!t.That(about != nullptr, "WM_SYSCOMMAND IDM_ABOUTBOX opened no About box")) {
        std::string boxes = app.DismissStrayBoxes();
        if (!boxes.empty())
            t.That(false, "boxes: " + boxes);
        return;
    }
    Shot(about, "about-box");
    std::string version = "Orvelle Version 4.00";
    CStaticSearch search{&version, false};
    EnumChildWindows(about, FindStaticText, (LPARAM)&search);
    t.That(search.found, "the About box shows no text \"Orvelle Version 4.00\"");
    std::string link = WindowText(GetDlgItem(about, IDC_HOMEPAGE));
    t.That(link.find(std::string(page::kHomePage) + "/") != std::string::npos,
           "control IDC_HOMEPAGE does not show the home page: \"" + Visible(link) + "\"");

    PostMessageW(about, WM_COMMAND, MAKEWPARAM(IDC_HOMEPAGE, STN_CLICKED), (LPARAM)GetDlgItem(about, IDC_HOMEPAGE));
    std::string opened;
    WaitUntil([&] { return ReadBytes(record, &opened) && opened.find("\r\n") != std::string::npos; }, 10000);
    t.Same(opened, std::string(page::kHomePage) + "/\r\n", "address given to the open handler");
    t.That(IsWindow(about) && IsWindowVisible(about), "the About box closed after the click");
    PressButton(about, IDOK);
    t.That(WaitClosed(about), "OK did not close the About box");
    t.That(app.Running() && IsWindowVisible(app.Main()), "the main window went away with the About box");
    app.Click(IDOK);
    app.WaitExit(kWindowTimeout);
}

// The Save As dialog of the browse button: owned by the main dialog.
HWND OpenBrowse(CCheck& t, COrvelle& app)
{
    app.Click(IDC_BROWSE);
    HWND dlg = app.FindOwnedDialog(app.Main(), kWindowTimeout);
    t.That(dlg != nullptr, "the browse button opened no dialog owned by the main window");
    return dlg;
}

std::string FileNameField(HWND dlg)
{
    HWND combo = GetDlgItem(dlg, 1148);
    HWND edit = combo ? FindWindowExA(combo, nullptr, "Edit", nullptr) : nullptr;
    return WindowText(edit ? edit : combo);
}

bool SetFileNameField(HWND dlg, const std::string& name)
{
    HWND combo = GetDlgItem(dlg, 1148);
    HWND edit = combo ? FindWindowExA(combo, nullptr, "Edit", nullptr) : nullptr;
    return SetWindowTextTo(edit ? edit : combo, name);
}

// Presses Save and waits for the dialog to close. For a file that does not
// exist yet Windows asks whether to create it (OFN_CREATEPROMPT) and Wine
// does not: such a question, owned by the dialog, is answered Yes. Whatever
// box is left open afterwards is a failure.
bool Save(CCheck& t, COrvelle& app, HWND dlg)
{
    PressButton(dlg, IDOK);
    HWND question = nullptr;
    WaitUntil([&] {
        question = app.FindOwnedDialog(dlg, 0);
        return question || !IsWindow(dlg) || !IsWindowVisible(dlg);
    }, kWindowTimeout);
    if (question)
        PressButton(question, IDYES);
    if (!t.That(WaitClosed(dlg), "Save did not close the Save As dialog"))
        return false;
    std::string boxes = app.DismissStrayBoxes();
    t.That(boxes.empty(), "a box stayed open after Save: " + boxes);
    app.Settle();
    return true;
}

void BrowseProposesLinkHtml(CCheck& t)
{
    std::string folder = FreshWorkFolder("browse");
    COrvelle app;
    if (!app.Start(t, FreshWorkFolder("run")))
        return;
    app.SetText(IDC_OUTPUT, "other.html");
    app.SetText(IDC_CAPTION, "参照前の題");
    HWND dlg = OpenBrowse(t, app);
    if (!dlg)
        return;
    Shot(dlg, "save-as");
    t.Same(FileNameField(dlg), "link.html", "proposed file name");
    std::vector<std::string> types = ComboItems(GetDlgItem(dlg, 1136));
    std::vector<std::string> want = {"HTMLドキュメント(*.html)", "ﾃｷｽﾄﾌｧｲﾙ(*.txt)"};
    t.That(types == want, "file types: " + Num((long long)types.size()) + " items" +
                              (types.empty() ? "" : ", first \"" + Visible(types[0]) + "\""));
    t.That(ComboCursel(GetDlgItem(dlg, 1136)) == 0, "the first file type is not preselected");

    // Cancel: the values typed before the browse are field values now.
    PressButton(dlg, IDCANCEL);
    t.That(WaitClosed(dlg), "Cancel did not close the Save As dialog");
    t.Same(app.Text(IDC_OUTPUT), "other.html", "output field after Cancel");

    // A full path without extension comes back with .html.
    dlg = OpenBrowse(t, app);
    if (dlg) {
        t.Same(FileNameField(dlg), "link.html", "proposed file name on the second opening");
        SetFileNameField(dlg, folder + "\\chosen");
        if (Save(t, app, dlg))
            t.Same(app.Text(IDC_OUTPUT), folder + "\\chosen.html", "output field after Save");
    }

    // A bare name is taken in the dialog's folder, also with .html.
    dlg = OpenBrowse(t, app);
    if (dlg) {
        SetFileNameField(dlg, "bare");
        if (Save(t, app, dlg)) {
            std::string got = app.Text(IDC_OUTPUT);
            const std::string tail = "\\bare.html";
            bool full = got.size() > 3 + tail.size() && got[1] == ':' && got[2] == '\\' &&
                        got.compare(got.size() - tail.size(), tail.size(), tail) == 0;
            t.That(full, "a bare name came back as \"" + Visible(got) + "\"");
        }
    }
    app.SysCommand(SC_CLOSE);
    if (t.That(app.WaitExit(kWindowTimeout), "the program did not end")) {
        ExpectSz(t, "Orvelle", "Caption", "参照前の題");
    }
}

}  // namespace

void AddDialogScenarios(std::vector<CScenario>& list)
{
    list.push_back({"profile: 2 with OK loads Orvelle2", ProfileTwoLoadsItsSection});
    list.push_back({"profile: Cancel reloads the stored values", ProfileCancelReloadsStoredValues});
    list.push_back({"profile: switching to 2 and back drops the edit", ProfileSwitchBackLosesEdit});
    list.push_back({"profile: OK without a pick keeps profile 1", ProfileNoPickReloadsProfileOne});
    list.push_back({"profile: stored style 9 checks no radio", ProfileStyleNineChecksNothing});
    list.push_back({"profile: 3 active at exit saves only Orvelle3", ProfileThreeSavesOnlyThere});
    list.push_back({"about: version text, home page opened, box stays", AboutOpensHomePage});
    list.push_back({"browse: Save As proposes link.html, types, extension", BrowseProposesLinkHtml});
}

}  // namespace drv
