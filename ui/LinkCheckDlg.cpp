#include "ui/LinkCheckDlg.h"

#include <commctrl.h>

#include "core/Texts.h"
#include "core/WinText.h"
#include "res/resource.h"

namespace {
const UINT kCheckEnded = WM_APP + 1;
const UINT_PTR kProgressTimer = 1;
const UINT kProgressMs = 100;
}  // namespace

CLinkCheckDlg::CLinkCheckDlg(int profile, const std::vector<std::string>& addresses, size_t notChecked,
                             CCheckServices& services)
    : CDialog(IDD_LINKCHECK),
      m_profile(profile),
      m_addresses(addresses),
      m_notChecked(notChecked),
      m_services(services) {}

DWORD WINAPI CLinkCheckDlg::CheckThread(LPVOID param) {
    CLinkCheckDlg* self = static_cast<CLinkCheckDlg*>(param);
    try {
        self->m_outcome =
            RunLinkCheck(self->m_profile, self->m_addresses, self->m_notChecked, self->m_services, self->m_progress);
    } catch (...) {
        self->m_error = std::current_exception();
    }
    PostMessageW(self->m_hwnd, kCheckEnded, 0, 0);
    return 0;
}

BOOL CLinkCheckDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SendDlgItemMessageW(m_hwnd, IDC_CHECK_BAR, PBM_SETRANGE32, 0, static_cast<LPARAM>(m_addresses.size()));
    m_progress.total = static_cast<int>(m_addresses.size());
    ShowProgress();
    m_thread = CreateThread(nullptr, 0, CheckThread, this, 0, nullptr);
    if (!m_thread) {
        m_error = std::make_exception_ptr(std::bad_alloc());
        EndDialog(IDABORT);
        return TRUE;
    }
    SetTimer(m_hwnd, kProgressTimer, kProgressMs, nullptr);
    return TRUE;
}

void CLinkCheckDlg::OnCancel() {
    if (m_progress.stop) return;
    m_progress.stop = true;
    EnableWindow(GetDlgItem(m_hwnd, IDCANCEL), FALSE);
}

void CLinkCheckDlg::ShowProgress() {
    const int done = m_progress.done;
    const int total = m_progress.total;
    SendDlgItemMessageW(m_hwnd, IDC_CHECK_BAR, PBM_SETPOS, static_cast<WPARAM>(done), 0);
    std::string count = std::to_string(done) + " / " + std::to_string(total) + kCheckCountUnit;
    if (m_progress.stop) count += "　中止しています…";
    SetDlgItemTextW(m_hwnd, IDC_CHECK_COUNT, WideText(count).c_str());
    std::string states;
    for (int i = 0; i < kLinkStateCount; ++i) {
        if (i > 0) states += "　";
        states += StateWordText(static_cast<LinkState>(i));
        states += " " + std::to_string(m_progress.counts[i].load());
    }
    SetDlgItemTextW(m_hwnd, IDC_CHECK_STATES, WideText(states).c_str());
}

bool CLinkCheckDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM, INT_PTR& result) {
    if (msg == WM_TIMER && wParam == kProgressTimer) {
        ShowProgress();
        result = 0;
        return true;
    }
    if (msg == kCheckEnded) {
        KillTimer(m_hwnd, kProgressTimer);
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
        m_thread = nullptr;
        ShowProgress();
        EndDialog(m_progress.stop ? IDCANCEL : IDOK);
        result = 0;
        return true;
    }
    return false;
}
