#include "ui/AboutDlg.h"

#include <shellapi.h>

#include <string>

#include "core/Texts.h"
#include "core/WinText.h"
#include "res/resource.h"

namespace {
// The address the About box shows and opens: the footers' home page and "/".
std::string HomePageAddress() { return std::string(kHomePageUrl) + "/"; }
}  // namespace

const CommandEntry<CAboutDlg> CAboutDlg::kCommands[] = {
    {IDC_HOMEPAGE, STN_CLICKED, &CAboutDlg::OnHomePage},
};

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUT) {}

BOOL CAboutDlg::OnInitDialog() {
    std::string text = std::string(kHomePageNotice) + "\r\n    " + HomePageAddress();
    SetDlgItemTextW(m_hwnd, IDC_HOMEPAGE, WideText(text).c_str());
    return CDialog::OnInitDialog();
}

bool CAboutDlg::OnCommand(int id, int code) {
    return Dispatch(this, kCommands, id, code) || CDialog::OnCommand(id, code);
}

void CAboutDlg::OnHomePage() {
    // A missing browser is not reported.
    ShellExecuteW(m_hwnd, L"open", WideText(HomePageAddress()).c_str(), nullptr, nullptr, SW_SHOW);
}
