// The profile dialog, the About box and the Save As browse.
#include "Driver.h"
#include "support/ExpectedPages.h"

namespace drv {
namespace {

const char kAboutTitle[] = "Orvelleのﾊﾞｰｼﾞｮﾝ情報";

void ProfileTwoLoadsItsSection(CCheck& t)
{
    PutSettingString("Orvelle2", "Caption", "二番目");
    PutSettingString("Orvelle2", "JAVA", "FALSE");
    PutSettingDword("Orvelle2", "Style", 2);
    COrvelle app;
    if (!app.Start(t))
        return;
    int before = 0;
    if (!ChooseProfile(t, app, 1, IDOK, &before, true))
        return;
    t.That(before == CB_ERR, "the first opening preselected item " + Num(before));
    t.Same(app.Title(), "Orvelle - 設定２", "window title");
    t.Same(app.Text(IDC_CAPTION), "二番目", "title field");
    t.Same(app.Text(IDC_OUTPUT), "link.html", "output field (default)");
    t.Same(app.Text(IDC_STDGENRE), "その他", "standard genre field (default)");
    t.That(app.Checked(IDC_USEJAVA) == BST_UNCHECKED, "JAVA FALSE left the box checked");
    ExpectCheckedStyles(t, app, {IDC_STYLE_INDEX}, "style 2 of profile 2");

    // Reopening shows the last confirmed choice.
    if (ChooseProfile(t, app, -1, IDCANCEL, &before))
        t.That(before == 1, "reopening preselected item " + Num(before) + ", not 1");
    app.ExitWithOk(t);
}

void ProfileCancelReloadsStoredValues(CCheck& t)
{
    PutSettingString("Orvelle", "Caption", "保存済み");
    COrvelle app;
    if (!app.Start(t))
        return;
    app.SetText(IDC_CAPTION, "編集中");
    app.ClickSync(IDC_STYLE_FRAMES);
    if (!ChooseProfile(t, app, 2, IDCANCEL))
        return;
    t.Same(app.Title(), "Orvelle - 設定１", "window title after Cancel");
    t.Same(app.Text(IDC_CAPTION), "保存済み", "title field after Cancel");
    ExpectCheckedStyles(t, app, {IDC_STYLE_SINGLE}, "Cancel reloading the stored style 1");
    app.ExitWithOk(t);
}

void ProfileSwitchBackLosesEdit(CCheck& t)
{
    COrvelle app;
    if (!app.Start(t))
        return;
    app.SetText(IDC_CAPTION, "消える編集");
    if (!ChooseProfile(t, app, 1, IDOK) || !ChooseProfile(t, app, 0, IDOK))
        return;
    t.Same(app.Title(), "Orvelle - 設定１", "window title");
    t.Same(app.Text(IDC_CAPTION), "わたしのお気に入り", "title field after 2 and back to 1");
    app.ExitWithOk(t);
    ExpectSz(t, "Orvelle", "Caption", "わたしのお気に入り");
    t.That(SettingCount("Orvelle2") == 0, "profile 2 got values though it was not active at the end");
}

void ProfileNoPickReloadsProfileOne(CCheck& t)
{
    COrvelle app;
    if (!app.Start(t))
        return;
    app.SetText(IDC_CAPTION, "未保存");
    int before = 0;
    if (!ChooseProfile(t, app, -1, IDOK, &before))
        return;
    t.That(before == CB_ERR, "the first opening preselected item " + Num(before));
    t.Same(app.Title(), "Orvelle - 設定１", "window title");
    t.Same(app.Text(IDC_CAPTION), "わたしのお気に入り", "title field after OK without a pick");
    app.ExitWithOk(t);
}

void ProfileStyleNineChecksNothing(CCheck& t)
{
    PutSettingDword("Orvelle4", "Style", 9);
    COrvelle app;
    if (!app.Start(t))
        return;
    if (!ChooseProfile(t, app, 3, IDOK))
        return;
    t.Same(app.Title(), "Orvelle - 設定４", "window title");
    ExpectCheckedStyles(t, app, {}, "stored style 9");
    app.ExitWithOk(t);
    ExpectDword(t, "Orvelle4", "Style", 9);
}

void ProfileThreeSavesOnlyThere(CCheck& t)
{
    COrvelle app;
    if (!app.Start(t))
        return;
    if (!ChooseProfile(t, app, 2, IDOK))
        return;
    t.Same(app.Title(), "Orvelle - 設定３", "window title");
    app.SetText(IDC_CAPTION, "三番目の題");
    if (!app.ExitWithOk(t))
        return;
    CProfileValues v = DefaultValues();
    v.caption = "三番目の題";
    ExpectProfile(t, "Orvelle3", v);
    t.That(SettingCount("Orvelle") == 0, "section Orvelle got " + Num(SettingCount("Orvelle")) + " values");
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
    // The "open" handlers of http addresses record what they are given.
    const std::string open = "\"" + g_config.driverExe + "\" --record \"" + record + "\" \"%1\"" + std::string(1, '\0');
    CSavedValue http(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", "");
    CSavedValue https(HKEY_CLASSES_ROOT, "https\\shell\\open\\command", "");
    http.Set(REG_SZ, open);
    https.Set(REG_SZ, open);
    COrvelle app;
    if (!app.Start(t))
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
    t.That(ChildWithText(about, "Orvelle Version 4.00") != nullptr,
           "the About box shows no text \"Orvelle Version 4.00\"");
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
    app.ExitWithOk(t);
}

void BrowseProposesLinkHtml(CCheck& t)
{
    std::string folder = FreshWorkFolder("browse");
    COrvelle app;
    if (!app.Start(t))
        return;
    app.SetText(IDC_OUTPUT, "other.html");
    app.SetText(IDC_CAPTION, "参照前の題");
    HWND dlg = OpenSaveAs(t, app);
    if (!dlg)
        return;
    Shot(dlg, "save-as");
    t.Same(WindowText(FileNameField(dlg)), "link.html", "proposed file name");
    std::vector<std::string> types = ComboItems(GetDlgItem(dlg, 1136));
    std::vector<std::string> want = {"HTMLドキュメント(*.html)", "ﾃｷｽﾄﾌｧｲﾙ(*.txt)"};
    t.That(types == want, "file types: " + Num((long long)types.size()) + " items" +
                              (types.empty() ? "" : ", first \"" + Visible(types[0]) + "\""));
    t.That(Cursel(GetDlgItem(dlg, 1136), CB_GETCURSEL) == 0, "the first file type is not preselected");

    // Cancel: the values typed before the browse are field values now.
    PressButton(dlg, IDCANCEL);
    t.That(WaitClosed(dlg), "Cancel did not close the Save As dialog");
    t.Same(app.Text(IDC_OUTPUT), "other.html", "output field after Cancel");

    // A full path without extension comes back with .html.
    dlg = OpenSaveAs(t, app);
    if (dlg) {
        t.Same(WindowText(FileNameField(dlg)), "link.html", "proposed file name on the second opening");
        if (SaveAs(t, app, dlg, folder + "\\chosen"))
            t.Same(app.Text(IDC_OUTPUT), folder + "\\chosen.html", "output field after Save");
    }

    // A bare name is taken in the dialog's folder, also with .html.
    dlg = OpenSaveAs(t, app);
    if (dlg) {
        if (SaveAs(t, app, dlg, "bare")) {
            std::string got = app.Text(IDC_OUTPUT);
            const std::string tail = "\\bare.html";
            bool full = got.size() > 3 + tail.size() && got[1] == ':' && got[2] == '\\' &&
                        got.compare(got.size() - tail.size(), tail.size(), tail) == 0;
            t.That(full, "a bare name came back as \"" + Visible(got) + "\"");
        }
    }
    if (app.ExitWithClose(t))
        ExpectSz(t, "Orvelle", "Caption", "参照前の題");
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
