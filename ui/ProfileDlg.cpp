#include "ui/ProfileDlg.h"

#include <vector>

#include "app/Profile.h"
#include "res/resource.h"

CProfileDlg::CProfileDlg() : CDialog(IDD_PROFILE) {}

BOOL CProfileDlg::OnInitDialog() {
    HWND combo = GetDlgItem(m_hwnd, IDC_PROFILE_CHOICE);
    for (const ProfileChoice& row : kProfileChoices)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.choice));
    return CDialog::OnInitDialog();
}

void CProfileDlg::ShowValues() {
    // The platform's prefix search would match the empty text to the first
    // item; an empty choice must select nothing.
    if (m_profileChoice.empty()) return;
    HWND combo = GetDlgItem(m_hwnd, IDC_PROFILE_CHOICE);
    LRESULT at = SendMessageA(combo, CB_FINDSTRING, static_cast<WPARAM>(-1),
                              reinterpret_cast<LPARAM>(m_profileChoice.c_str()));
    if (at != CB_ERR) SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
}

void CProfileDlg::TakeValues() {
    HWND combo = GetDlgItem(m_hwnd, IDC_PROFILE_CHOICE);
    LRESULT at = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    m_profileChoice.clear();
    if (at == CB_ERR) return;
    LRESULT len = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(at), 0);
    if (len == CB_ERR || len < 0) return;
    // Twice the reported length: the text is converted from the control's
    // own characters, and a short count must never overrun the buffer.
    std::vector<char> text((static_cast<size_t>(len) + 1) * 2, '\0');
    LRESULT got = SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(at),
                               reinterpret_cast<LPARAM>(text.data()));
    if (got == CB_ERR) return;
    text.back() = '\0';
    m_profileChoice = text.data();
}
