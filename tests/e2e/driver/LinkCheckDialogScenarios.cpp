// The link check from the dialog: button 1022, its progress dialog (the bar
// moving, the main window closed to input, "中止" ending the check within a
// second), the closing message and the report page handed to the shell.
// The links point at the test server that run.sh starts (ORV_LINK_SERVER).
#include "Driver.h"

#include <commctrl.h>

#include <cstdlib>

namespace drv {
namespace {

const char kProgressCaption[] = "リンク確認";

// A bookmark file of the server's |paths|, each |times| over (a query
// keeps each address distinct), and one mailto link.
std::string ServerBookmarks(const std::vector<std::string>& paths, int times)
{
    std::string html = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n<DL><p>\r\n";
    for (int i = 0; i < times; ++i)
        for (const std::string& path : paths)
            html += "<DT><A HREF=\"" + LinkServer() + path + (path.find('?') == std::string::npos ? "?n=" : "&n=") +
                    Num(i) + "\">" + path.substr(1) + "</A>\r\n";
    return html + "<DT><A HREF=\"mailto:a@example.com\">mail</A>\r\n</DL><p>\r\n";
}

// Profile 1 reads |html| from a fresh folder; its old results are gone.
std::wstring PrepareProfile(CCheck& t, const std::string& name, const std::string& html)
{
    const std::wstring results = AppDataPathW(AppData::Local) + L"\\Orvelle\\linkcheck-1";
    for (const wchar_t* end : {L".tsv", L".tsv.new", L".tsv.bad", L".html"})
        DeleteFileW((results + end).c_str());
    ResetSettings();
    const std::string file = FreshWorkFolder(name) + "\\links.html";
    t.That(WriteBytes(file, html), "cannot write " + file);
    PutSettingString("Orvelle", "Source", "html:" + file);
    return results;
}

// While it lasts, opening an .html file runs cmd.exe, which writes the
// file's name into |record|: the report's opening is seen without a browser.
class CHtmlOpenRecorder {
public:
    explicit CHtmlOpenRecorder(const std::string& record)
        : m_ext(HKEY_CLASSES_ROOT, ".html", ""),
          m_command(HKEY_CLASSES_ROOT, "OrvelleTestPage\\shell\\open\\command", "")
    {
        m_ext.Set(REG_SZ, std::string("OrvelleTestPage") + '\0');
        m_command.Set(REG_SZ, "C:\\windows\\system32\\cmd.exe /c echo %1>\"" + record + "\"" + '\0');
    }

private:
    CSavedValue m_ext, m_command;
};

HWND ProgressDialog(COrvelle& app) { return app.FindDialog(kProgressCaption, kWindowTimeout); }

int BarPosition(HWND dlg)
{
    DWORD_PTR pos = 0;
    SendBounded(GetDlgItem(dlg, IDC_CHECK_BAR), PBM_GETPOS, 0, 0, &pos);
    return static_cast<int>(pos);
}

// The check of 25 links (5 paths, 5 times, two of them answering after
// 0.3 s): the progress dialog and its controls, the bar moving while the
// main window takes no input, then the message, the results and the report.
void ButtonChecksTheList(CCheck& t)
{
    if (!t.That(!LinkServer().empty(), "no link server (ORV_LINK_SERVER): run through tests/e2e/run.sh"))
        return;
    const std::wstring results =
        PrepareProfile(t, "lc-dialog", ServerBookmarks({"/ok", "/gone404", "/moved301", "/slow?ms=300",
                                                        "/slow?ms=400"}, 5));
    const std::string opened = FreshWorkFolder("lc-opened") + "\\opened.txt";
    CHtmlOpenRecorder recorder(opened);
    COrvelle app;
    if (!app.Start(t))
        return;
    t.Same(app.Text(IDC_LINKCHECK), "リンク確認(&K)", "text of 1022");
    // An empty list: the empty-list message, no check.
    app.Click(IDC_LINKCHECK);
    std::string text;
    if (t.That(app.TakeMessageBox("Orvelle", &text), "no message for the empty list"))
        t.Same(text, "出力する内容がありません", "the empty list's message");
    if (!ImportWithoutBox(t, app))
        return;

    app.Click(IDC_LINKCHECK);
    HWND dlg = ProgressDialog(app);
    if (!t.That(dlg != nullptr, "no progress dialog \"リンク確認\""))
        return;
    t.Same(ClassOf(GetDlgItem(dlg, IDC_CHECK_BAR)), "msctls_progress32", "class of the bar 1101");
    t.Same(WindowText(GetDlgItem(dlg, IDCANCEL)), "中止", "the stop button");
    t.That(!IsWindowEnabled(app.Main()), "the main dialog takes input while the check runs");
    // The bar moves while the dialog answers at once.
    const bool moving = WaitUntil([&] { return BarPosition(dlg) > 0 && BarPosition(dlg) < 25; }, 10000);
    t.That(moving, "the bar did not move part-way (at " + Num(BarPosition(dlg)) + ")");
    const std::string count = WindowText(GetDlgItem(dlg, IDC_CHECK_COUNT));
    t.That(count.size() > 8 && count.compare(count.size() - 8, 8, " / 25 件") == 0,
           "the count reads \"" + Visible(count) + "\", not \"n / 25 件\"");
    Shot(dlg, "link-check-progress");
    if (!t.That(WaitClosed(dlg, 60000), "the progress dialog did not close at the check's end"))
        return;
    if (t.That(app.TakeMessageBox("Orvelle", &text), "no message at the check's end")) {
        t.That(text.rfind("リンクの確認が完了しました。\n正常 15 件、移転 5 件、切れ 0 件、切れ? 5 件、拒否 0 件、"
                          "エラー 0 件、確認しないリンク 1 件\n",
                          0) == 0,
               "the message reads \"" + Visible(text) + "\"");
        t.That(text.find("結果のページ: ") != std::string::npos, "the message names no report page");
    }
    std::string bytes;
    t.That(ReadBytes(results + L".tsv", &bytes) && std::count(bytes.begin(), bytes.end(), '\n') == 25,
           "the results file does not hold 25 lines");
    t.That(WaitUntil([&] { return ReadBytes(opened, &bytes) && bytes.find("linkcheck-1.html") != std::string::npos; },
                     10000),
           "the report page was not opened (" + Visible(bytes) + ")");
    app.ExitWithOk(t);
}

// "中止" while every request waits for a slow answer: the dialog ends
// within a second, the message says the check stopped, nothing is stored
// for the links not answered.
void StopWithinASecond(CCheck& t)
{
    if (!t.That(!LinkServer().empty(), "no link server (ORV_LINK_SERVER): run through tests/e2e/run.sh"))
        return;
    const std::wstring results =
        PrepareProfile(t, "lc-stop", ServerBookmarks({"/ok", "/slow?ms=20000", "/slow?ms=20000"}, 10));
    COrvelle app;
    if (!app.Start(t) || !ImportWithoutBox(t, app))
        return;
    app.Click(IDC_LINKCHECK);
    HWND dlg = ProgressDialog(app);
    if (!t.That(dlg != nullptr, "no progress dialog \"リンク確認\""))
        return;
    // The quick links answered, the slow ones all waiting.
    WaitUntil([&] { return BarPosition(dlg) >= 10; }, 10000);
    Sleep(500);
    const DWORD pressed = GetTickCount();
    PressButton(dlg, IDCANCEL);
    const bool closed = WaitClosed(dlg, 20000);
    const DWORD took = GetTickCount() - pressed;
    if (!t.That(closed, "the progress dialog did not close after 中止"))
        return;
    t.That(took <= 1000, "中止 took " + Num(took) + " ms");
    std::string text, bytes;
    if (t.That(app.TakeMessageBox("Orvelle", &text), "no message after 中止"))
        t.That(text.rfind("リンクの確認を中止しました。確認できた分の結果は記録しました。\n正常 10 件、", 0) == 0,
               "the message reads \"" + Visible(text) + "\"");
    t.That(ReadBytes(results + L".tsv", &bytes) && bytes.find("slow") == std::string::npos &&
               std::count(bytes.begin(), bytes.end(), '\n') == 10,
           "the results file should hold the 10 quick links alone: " + Visible(bytes));
    app.ExitWithOk(t);
}

}  // namespace

void AddLinkCheckDialogScenarios(std::vector<CScenario>& list)
{
    list.push_back({"link check: button 1022, its progress dialog, the message, the results and the report opened",
                    ButtonChecksTheList});
    list.push_back({"link check: the stop button ends the check within a second and keeps what was checked", StopWithinASecond});
}

}  // namespace drv
