#include "ui/Dialog.h"

#include "core/Texts.h"
#include "core/WinText.h"

namespace {
// Marks the window whose Enter and Escape keys the message filter discards.
const wchar_t kKeyFilterProp[] = L"Orvelle.KeyFilter";

// Messages whose result a dialog procedure returns directly instead of
// through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT msg) {
    switch (msg) {
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
        return true;
    default:
        return false;
    }
}
}  // namespace

INT_PTR CDialog::DoModal(HWND owner) {
    m_ending = false;
    // The dialog manager's own loop handles keys before any window sees them;
    // only a message filter of this thread gets to them first.
    if (m_filterKeys)
        m_keyHook = SetWindowsHookExW(WH_MSGFILTER, KeyFilterProc, nullptr, GetCurrentThreadId());
    INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId),
                                     owner, DialogProc, reinterpret_cast<LPARAM>(this));
    if (m_keyHook) {
        UnhookWindowsHookEx(m_keyHook);
        m_keyHook = nullptr;
    }
    m_hwnd = nullptr;
    return result;
}

void CDialog::OnOK() {
    TakeValues();
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::OnInitDialog() {
    ShowValues();
    return TRUE;
}

bool CDialog::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return false;
    if (id == IDOK) {
        OnOK();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

bool CDialog::OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

void CDialog::EndDialog(INT_PTR result) {
    m_ending = true;
    ::EndDialog(m_hwnd, result);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CDialog* self;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        self->m_hwnd = hwnd;
    } else {
        self = reinterpret_cast<CDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    // Messages before WM_INITDIALOG (the font, the frame) get the default.
    if (!self) return FALSE;
    try {
        return self->HandleMessage(msg, wParam, lParam);
    } catch (...) {
        // A handler that ran out of memory ends its command here; the
        // dialog stays usable.
        return FALSE;
    }
}

INT_PTR CDialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        if (m_filterKeys) SetPropW(m_hwnd, kKeyFilterProp, reinterpret_cast<HANDLE>(this));
        return OnInitDialog();
    case WM_COMMAND:
        // Once the dialog is ending, a control losing the focus must not
        // run its command (Cancel takes no values).
        if (m_ending) return TRUE;
        return OnCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_NCDESTROY:
        RemovePropW(m_hwnd, kKeyFilterProp);
        return FALSE;
    default: {
        INT_PTR result = 0;
        if (!OnMessage(msg, wParam, lParam, result)) return FALSE;
        if (ReturnsResultDirectly(msg)) return result;
        SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    }
}

LRESULT CALLBACK CDialog::KeyFilterProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == MSGF_DIALOGBOX) {
        const MSG* m = reinterpret_cast<const MSG*>(lParam);
        if (m && m->message == WM_KEYDOWN && (m->wParam == VK_RETURN || m->wParam == VK_ESCAPE)) {
            // Only the filtered dialog and its own controls: message boxes
            // and other dialogs are windows of their own and keep their keys.
            HWND root = m->hwnd ? GetAncestor(m->hwnd, GA_ROOT) : nullptr;
            if (root && GetPropW(root, kKeyFilterProp)) return TRUE;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void MsgBox(HWND owner, const std::string& text, MsgKind kind) {
    const std::wstring wide = WideText(text);
    switch (kind) {
    case MsgKind::Refusal:
        MessageBoxW(owner, wide.c_str(), WideText(kAppTitle).c_str(), MB_OK | MB_ICONEXCLAMATION);
        break;
    case MsgKind::Completion:
        MessageBoxW(owner, wide.c_str(), WideText(kAppTitle).c_str(), MB_OK | MB_ICONINFORMATION);
        break;
    case MsgKind::SettingsError:
        // The main window is gone by then: no owner, and no icon.
        MessageBoxW(nullptr, wide.c_str(), WideText(kFailedWriteCaption).c_str(), MB_OK);
        break;
    }
}
