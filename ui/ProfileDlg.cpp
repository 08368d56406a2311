#include "ui/ProfileDlg.h"

#include <algorithm>
#include <vector>

#include "settings/Profile.h"
#include "core/WinText.h"
#include "res/resource.h"

CProfileDlg::CProfileDlg() : CDialog(IDD_PROFILE) {}

BOOL CProfileDlg::OnInitDialog() {
    HWND combo = GetDlgItem(m_hwnd, IDC_PROFILE_CHOICE);
    for (const ProfileChoice& row : kProfileChoices)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText(row.choice).c_str()));
    return CDialog::OnInitDialog();
}

void CProfileDlg::ShowValues() {
    // The platform's prefix search would match the empty text to the first
    // item; an empty choice must select nothing.
    if (m_profileChoice.empty()) return;
    HWND combo = GetDlgItem(m_hwnd, IDC_PROFILE_CHOICE);
    const std::wstring choice = WideText(m_profileChoice);
    LRESULT at = SendMessageW(combo, CB_FINDSTRING, static_cast<WPARAM>(-1),
                              reinterpret_cast<LPARAM>(choice.c_str()));
    if (at != CB_ERR) SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
}

void CProfileDlg::TakeValues() {
    HWND combo = GetDlgItem(m_hwnd, IDC_PROFILE_CHOICE);
    LRESULT at = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    m_profileChoice.clear();
    if (at == CB_ERR) return;
    LRESULT len = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(at), 0);
    if (len == CB_ERR || len < 0) return;
    std::vector<wchar_t> text(static_cast<size_t>(len) + 1, L'\0');
    LRESULT got = SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(at),
                               reinterpret_cast<LPARAM>(text.data()));
    if (got == CB_ERR || got < 0) return;
    m_profileChoice = TextFromWide(text.data(), std::min(static_cast<size_t>(got), static_cast<size_t>(len)));
}
