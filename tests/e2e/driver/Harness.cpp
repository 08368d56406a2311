// Windows, texts and checks of the end-to-end driver.
#include "Driver.h"
#include "support/ExpectedPages.h"

#include <sddl.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <utility>

namespace drv {

CConfig g_config;
volatile HANDLE g_runningProgram = nullptr;

namespace {

// Code page 932 always, whatever the system's code page.
const UINT kCp932 = 932;

// text in code page 932, "?" for a character without a round-trip form;
// usedDefault tells whether that happened.
std::string EncodeCp932(const std::wstring& text, BOOL* usedDefault)
{
    *usedDefault = FALSE;
    if (text.empty())
        return std::string();
    // No best fit: a look-alike (¥ as 0x5C, 〜 as ～) is not the character.
    int n = WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, text.data(), (int)text.size(), nullptr, 0, nullptr,
                                nullptr);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, text.data(), (int)text.size(), &out[0], n, nullptr,
                            usedDefault);
    return out;
}

}  // namespace

std::string ToCp932(const std::wstring& text)
{
    BOOL usedDefault;
    return EncodeCp932(text, &usedDefault);
}

bool HasCp932Form(const std::wstring& text)
{
    BOOL usedDefault;
    std::string bytes = EncodeCp932(text, &usedDefault);
    return !usedDefault && FromCp932(bytes) == text;
}

std::wstring FromCp932(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    int n = MultiByteToWideChar(kCp932, 0, text.data(), (int)text.size(), nullptr, 0);
    std::wstring out(n > 0 ? n : 0, L'\0');
    if (n > 0)
        MultiByteToWideChar(kCp932, 0, text.data(), (int)text.size(), &out[0], n);
    return out;
}

std::string Visible(const std::string& bytes)
{
    std::string out;
    char buf[8];
    for (unsigned char c : bytes) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c < 0x20 || c >= 0x7F || c == '\\') {
            snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else {
            out += (char)c;
        }
    }
    return out;
}

std::string Visible(const std::wstring& text)
{
    // Paths below the work and Favorites folders are shown from there on.
    std::wstring shown = text;
    const std::pair<std::wstring, const wchar_t*> folders[] = {{FromCp932(g_config.workDir), L"<work>"},
                                                               {FavoritesPathW(), L"<Favorites>"}};
    for (const auto& f : folders)
        if (!f.first.empty() && shown.compare(0, f.first.size(), f.first) == 0)
            shown = f.second + shown.substr(f.first.size());
    std::string out;
    char buf[16];
    for (wchar_t c : shown) {
        if (c < 0x20 || c >= 0x7F) {
            snprintf(buf, sizeof buf, "\\u{%X}", (unsigned)c);
            out += buf;
        } else {
            out += (char)c;
        }
    }
    return out;
}

std::string Num(long long n)
{
    return std::to_string(n);
}

bool WaitUntil(const std::function<bool()>& pred, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (pred())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(20);
    }
}

bool CCheck::That(bool cond, const std::string& why)
{
    if (!cond)
        m_fails.push_back(why);
    return cond;
}

bool CCheck::Same(const std::string& got, const std::string& want, const std::string& what)
{
    if (got == want)
        return true;
    size_t at = 0;
    while (at < got.size() && at < want.size() && got[at] == want[at])
        ++at;
    size_t from = at > 40 ? at - 40 : 0;
    std::string why = what + " differs at byte " + Num((long long)at) + " (got " + Num((long long)got.size()) +
                      " bytes, want " + Num((long long)want.size()) + "): got \"" +
                      Visible(got.substr(from, 100)) + "\" want \"" + Visible(want.substr(from, 100)) + "\"";
    m_fails.push_back(why);
    return false;
}

std::string CCheck::Reasons() const
{
    std::string out;
    for (const std::string& f : m_fails) {
        if (!out.empty())
            out += "; ";
        out += f;
    }
    return out;
}

// ---- windows of another process ----

bool SendBounded(HWND hwnd, UINT msg, WPARAM w, LPARAM l, DWORD_PTR* result)
{
    DWORD_PTR ignored = 0;
    return hwnd && SendMessageTimeoutW(hwnd, msg, w, l, SMTO_ABORTIFHUNG, kSyncTimeout, result ? result : &ignored);
}

// The text of a message box, asked without SMTO_ABORTIFHUNG: after a
// handler that took no message for over 5 s (a long Write), Wine counts the
// box's thread as hung from the moment the box is shown until its modal loop
// first asks for a message, and an aborting send in that moment reads
// nothing. The send waits instead, bounded.
bool BoxText(HWND box, std::string* text, std::string* why)
{
    HWND label = GetDlgItem(box, 0xFFFF);
    DWORD_PTR length = 0;
    if (!label || !SendMessageTimeoutW(label, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kSyncTimeout, &length)) {
        *why = label ? "its text did not answer (error " + Num(GetLastError()) + ")" : "it has no text";
        return false;
    }
    std::wstring wide(length + 1, L'\0');
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(label, WM_GETTEXT, wide.size(), (LPARAM)&wide[0], SMTO_NORMAL, kSyncTimeout,
                             &ignored)) {
        *why = "its text did not answer (error " + Num(GetLastError()) + ")";
        return false;
    }
    wide.resize(wcsnlen(wide.c_str(), wide.size()));
    *text = ToCp932(wide);
    return true;
}

bool TakeBox(HWND box, std::string* text, std::string* why)
{
    std::string read, reason;
    const bool ok = BoxText(box, &read, &reason);
    PressButton(box, IDOK);
    WaitClosed(box);
    if (text)
        *text = read;
    if (why)
        *why = ok ? std::string() : "the box \"" + Visible(CaptionOf(box)) + "\": " + reason;
    return ok;
}

void PressButton(HWND dlg, int id)
{
    PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dlg, id));
}

bool WaitClosed(HWND dlg, DWORD timeoutMs)
{
    return WaitUntil([&] { return !IsWindow(dlg) || !IsWindowVisible(dlg); }, timeoutMs);
}

std::wstring WindowTextW(HWND hwnd)
{
    DWORD_PTR length = 0;
    if (!SendBounded(hwnd, WM_GETTEXTLENGTH, 0, 0, &length))
        return std::wstring();
    std::wstring text(length + 1, L'\0');
    if (!SendBounded(hwnd, WM_GETTEXT, text.size(), (LPARAM)&text[0]))
        return std::wstring();
    text.resize(wcsnlen(text.c_str(), text.size()));
    return text;
}

std::string WindowText(HWND hwnd)
{
    return ToCp932(WindowTextW(hwnd));
}

bool SetWindowTextTo(HWND hwnd, const std::wstring& text)
{
    return SendBounded(hwnd, WM_SETTEXT, 0, (LPARAM)text.c_str());
}

bool SetWindowTextTo(HWND hwnd, const std::string& text)
{
    return SetWindowTextTo(hwnd, FromCp932(text));
}

std::string CaptionOf(HWND hwnd)
{
    // The caption is kept with the window: no message to a busy process.
    wchar_t buf[512] = {0};
    GetWindowTextW(hwnd, buf, 512);
    return ToCp932(buf);
}

std::string ClassOf(HWND hwnd)
{
    wchar_t buf[256] = {0};
    GetClassNameW(hwnd, buf, 256);
    return ToCp932(buf);
}

namespace {

struct CWindowScan {
    DWORD pid;
    std::vector<std::string>* seen;
};

BOOL CALLBACK NoteWindow(HWND hwnd, LPARAM lp)
{
    CWindowScan* scan = (CWindowScan*)lp;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != scan->pid || !IsWindowVisible(hwnd))
        return TRUE;
    // The caption is kept with the window: no message to a busy process.
    wchar_t caption[256] = {0};
    GetWindowTextW(hwnd, caption, 256);
    std::string seen = ClassOf(hwnd) + " \"" + Visible(std::wstring(caption)) + "\"";
    for (const std::string& s : *scan->seen)
        if (s == seen)
            return TRUE;
    scan->seen->push_back(seen);
    return TRUE;
}

}  // namespace

// Item texts of a list or combo box of another process, read as UTF-16
// (the messages are given: LB_ or CB_ ones). An item whose length cannot be
// read, or is absurd, stands as |unreadable|; at most |limit| items.
static std::vector<std::wstring> ItemTexts(HWND box, UINT getCount, UINT getTextLen, UINT getText, int limit,
                                           const std::wstring& unreadable)
{
    std::vector<std::wstring> items;
    DWORD_PTR count = 0;
    if (!SendBounded(box, getCount, 0, 0, &count))
        return items;
    for (int i = 0; i < (int)count && i < limit; ++i) {
        DWORD_PTR len = 0;
        SendBounded(box, getTextLen, i, 0, &len);
        if ((LONG_PTR)len < 0 || len > 4000) {
            items.push_back(unreadable);
            continue;
        }
        std::wstring buf(len + 1, L'\0');
        SendBounded(box, getText, i, (LPARAM)&buf[0]);
        buf.resize(wcsnlen(buf.c_str(), buf.size()));
        items.push_back(buf);
    }
    return items;
}

static std::vector<std::string> InCp932(const std::vector<std::wstring>& wide)
{
    std::vector<std::string> out;
    for (const std::wstring& w : wide)
        out.push_back(ToCp932(w));
    return out;
}

std::vector<std::wstring> ComboItemsW(HWND combo)
{
    return ItemTexts(combo, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT, 1000, std::wstring());
}

std::vector<std::string> ComboItems(HWND combo)
{
    return InCp932(ComboItemsW(combo));
}

int Cursel(HWND box, UINT getCursel)
{
    DWORD_PTR sel = 0;
    SendBounded(box, getCursel, 0, 0, &sel);
    return (int)(LONG_PTR)sel;
}

void Shot(HWND hwnd, const std::string& name)
{
    if (g_config.shotsDir.empty() || !hwnd)
        return;
    RECT r;
    if (!GetWindowRect(hwnd, &r))
        return;
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0 || w > 4000 || h > 4000)
        return;
    Sleep(200);  // let the window paint first
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bmp && bits) {
        HGDIOBJ old = SelectObject(mem, bmp);
        BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
        SelectObject(mem, old);
        DWORD stride = ((DWORD)w * 3 + 3) & ~3u;
        DWORD size = stride * (DWORD)h;
        BITMAPFILEHEADER fh{};
        fh.bfType = 0x4D42;
        fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
        fh.bfSize = fh.bfOffBits + size;
        std::wstring path = FromCp932(g_config.shotsDir + "\\" + name + ".bmp");
        HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (f != INVALID_HANDLE_VALUE) {
            DWORD done = 0;
            WriteFile(f, &fh, sizeof fh, &done, nullptr);
            WriteFile(f, &bi.bmiHeader, sizeof bi.bmiHeader, &done, nullptr);
            WriteFile(f, bits, size, &done, nullptr);
            CloseHandle(f);
        }
    }
    if (bmp)
        DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

// ---- the program ----

COrvelle::~COrvelle()
{
    Kill();
}

bool COrvelle::Start(CCheck& check)
{
    return Start(check, FreshWorkFolder("run"));
}

bool COrvelle::Running() const
{
    return m_pi.hProcess && WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT;
}

bool COrvelle::WaitExit(DWORD timeoutMs)
{
    if (!m_pi.hProcess)
        return true;
    return WaitForSingleObject(m_pi.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

bool COrvelle::ExitWithOk(CCheck& check, DWORD timeoutMs)
{
    Click(IDOK);
    return AwaitExit(check, "終了(&X)", timeoutMs);
}

bool COrvelle::ExitWithClose(CCheck& check)
{
    SysCommand(SC_CLOSE);
    return AwaitExit(check, "SC_CLOSE", kWindowTimeout);
}

bool COrvelle::AwaitExit(CCheck& check, const std::string& how, DWORD timeoutMs)
{
    if (WaitExit(timeoutMs))
        return true;
    std::string boxes = DismissStrayBoxes();
    check.That(false, "the program did not end after " + how + (boxes.empty() ? "" : " (boxes: " + boxes + ")"));
    return false;
}

void COrvelle::Kill()
{
    if (!m_pi.hProcess)
        return;
    if (g_runningProgram == m_pi.hProcess)
        g_runningProgram = nullptr;
    if (Running()) {
        TerminateProcess(m_pi.hProcess, 99);
        WaitForSingleObject(m_pi.hProcess, 5000);
    }
    CloseHandle(m_pi.hProcess);
    CloseHandle(m_pi.hThread);
    m_pi = PROCESS_INFORMATION{};
    m_main = nullptr;
}

std::string COrvelle::Title() const
{
    wchar_t buf[512] = {0};
    GetWindowTextW(m_main, buf, 512);
    return ToCp932(buf);
}

std::string COrvelle::Text(int id) const
{
    return WindowText(Item(id));
}

std::wstring COrvelle::TextW(int id) const
{
    return WindowTextW(Item(id));
}

bool COrvelle::SetText(int id, const std::string& text)
{
    return SetWindowTextTo(Item(id), text);
}

bool COrvelle::SetTextW(int id, const std::wstring& text)
{
    return SetWindowTextTo(Item(id), text);
}

int COrvelle::Checked(int id) const
{
    DWORD_PTR state = 0;
    return SendBounded(Item(id), BM_GETCHECK, 0, 0, &state) ? (int)state : -1;
}

std::vector<int> COrvelle::CheckedStyles() const
{
    std::vector<int> checked;
    for (int id : {IDC_STYLE_SINGLE, IDC_STYLE_INDEX, IDC_STYLE_FRAMES, IDC_STYLE_ANCHORS, IDC_STYLE_TODAY})
        if (Checked(id) == BST_CHECKED)
            checked.push_back(id);
    return checked;
}

bool COrvelle::SetCheck(int id, bool on)
{
    const int state = Checked(id);
    if (state < 0)
        return false;
    return (state == BST_CHECKED) == on || ClickSync(id);
}

void COrvelle::Click(int id)
{
    PressButton(m_main, id);
}

bool COrvelle::ClickSync(int id)
{
    // BM_CLICK as a mouse click would do it: an automatic radio button or
    // check box changes its state, then the dialog gets the notification.
    return SendBounded(Item(id), BM_CLICK, 0, 0);
}

bool COrvelle::Write(std::string* text, DWORD timeoutMs, std::string* why)
{
    Click(IDC_WRITE);
    return TakeMessageBox("Orvelle", text, timeoutMs, why);
}

void COrvelle::SysCommand(WPARAM cmd)
{
    PostMessageW(m_main, WM_SYSCOMMAND, cmd, 0);
}

void COrvelle::FocusTo(int id)
{
    PostMessageW(m_main, WM_NEXTDLGCTL, (WPARAM)Item(id), TRUE);
    Settle();
}

void COrvelle::Key(int id, WPARAM vk)
{
    HWND h = Item(id);
    UINT scan = MapVirtualKeyW((UINT)vk, 0);
    PostMessageW(h, WM_KEYDOWN, vk, 1 | (scan << 16));
    PostMessageW(h, WM_KEYUP, vk, 1 | (scan << 16) | 0xC0000000u);
    Settle();
}

bool COrvelle::Settle()
{
    // Sent messages overtake posted ones, so ping, give the queue a moment,
    // and ping again.
    if (!SendBounded(m_main, WM_NULL, 0, 0))
        return false;
    Sleep(150);
    return SendBounded(m_main, WM_NULL, 0, 0);
}

std::vector<std::wstring> COrvelle::ListItemsW() const
{
    return ItemTexts(Item(IDC_LINKLIST), LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, 40000, L"?");
}

std::vector<std::string> COrvelle::ListItems() const
{
    return InCp932(ListItemsW());
}

bool COrvelle::ListSelect(int index)
{
    HWND list = Item(IDC_LINKLIST);
    SendBounded(list, LB_SETCURSEL, (WPARAM)index, 0);
    return Cursel(list, LB_GETCURSEL) == index;
}

bool COrvelle::ListDoubleClick(int index)
{
    HWND list = Item(IDC_LINKLIST);
    DWORD_PTR height = 0, top = 0;
    if (!SendBounded(list, LB_GETITEMHEIGHT, 0, 0, &height) || !SendBounded(list, LB_GETTOPINDEX, 0, 0, &top))
        return false;
    int y = (index - (int)top) * (int)height + (int)height / 2;
    if (y < 0)
        return false;
    LPARAM at = MAKELPARAM(12, y);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(list, WM_LBUTTONUP, 0, at);
    PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageW(list, WM_LBUTTONUP, 0, at);
    return Settle();
}

namespace {

struct CFindData {
    DWORD pid;
    HWND exclude;
    HWND owner;
    const std::wstring* caption;
    HWND found;
};

BOOL CALLBACK FindProc(HWND hwnd, LPARAM lp)
{
    CFindData* d = (CFindData*)lp;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != d->pid || hwnd == d->exclude || !IsWindowVisible(hwnd) || ClassOf(hwnd) != "#32770")
        return TRUE;
    if (d->owner && GetWindow(hwnd, GW_OWNER) != d->owner)
        return TRUE;
    if (d->caption) {
        // The caption is kept with the window: no message to a busy process.
        wchar_t buf[512] = {0};
        GetWindowTextW(hwnd, buf, 512);
        if (*d->caption != buf)
            return TRUE;
    }
    d->found = hwnd;
    return FALSE;
}

// A visible dialog of process pid other than main, owned by owner and
// titled caption where they are given; nullptr after timeoutMs.
HWND FindDialogOf(DWORD pid, HWND main, HWND owner, const std::wstring* caption, DWORD timeoutMs)
{
    CFindData d{pid, main, owner, caption, nullptr};
    WaitUntil([&] {
        d.found = nullptr;
        EnumWindows(FindProc, (LPARAM)&d);
        return d.found != nullptr;
    }, timeoutMs);
    return d.found;
}

}  // namespace

HWND COrvelle::FindDialog(const std::string& caption, DWORD timeoutMs) const
{
    const std::wstring wide = FromCp932(caption);
    return FindDialogOf(m_pi.dwProcessId, m_main, nullptr, &wide, timeoutMs);
}

HWND COrvelle::FindOwnedDialog(HWND owner, DWORD timeoutMs) const
{
    return FindDialogOf(m_pi.dwProcessId, m_main, owner, nullptr, timeoutMs);
}

bool COrvelle::TakeMessageBox(const std::string& caption, std::string* text, DWORD timeoutMs, std::string* why)
{
    HWND box = FindDialog(caption, timeoutMs);
    if (!box) {
        if (why)
            *why = "no message box \"" + Visible(caption) + "\" in " + Num(timeoutMs / 1000) + " s";
        return false;
    }
    return TakeBox(box, text, why);
}

std::string COrvelle::DismissStrayBoxes()
{
    std::string found;
    for (int round = 0; round < 10; ++round) {
        HWND box = FindDialogOf(m_pi.dwProcessId, m_main, nullptr, nullptr, 0);
        if (!box)
            break;
        std::string text, why;
        if (!BoxText(box, &text, &why))
            text = "(" + why + ")";
        if (!found.empty())
            found += ", ";
        found += "\"" + Visible(CaptionOf(box)) + "\": \"" + Visible(text) + "\"";
        PressButton(box, IDCANCEL);
        PressButton(box, IDOK);
        WaitClosed(box, 2000);
    }
    return found;
}

bool COrvelle::Start(CCheck& check, const std::string& currentDir, const std::string& mainTitle)
{
    std::wstring exe = FromCp932(g_config.orvelleExe);
    std::wstring cmd = L"\"" + exe + L"\"";
    std::wstring dir = FromCp932(currentDir);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    if (!CreateProcessW(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr,
                        dir.empty() ? nullptr : dir.c_str(), &si, &m_pi)) {
        check.That(false, "cannot start " + g_config.orvelleExe + " (error " + Num(GetLastError()) + ")");
        m_pi = PROCESS_INFORMATION{};
        return false;
    }
    g_runningProgram = m_pi.hProcess;
    const std::wstring title = FromCp932(mainTitle);
    const DWORD t0 = GetTickCount();
    auto took = [&] {
        char buf[32];
        snprintf(buf, sizeof buf, "%.2f s", (GetTickCount() - t0) / 1000.0);
        return std::string(buf);
    };
    // Until the dialog shows, or something shows that it never will: the
    // process ended, or a message box (any other dialog than a main one)
    // waits for an answer.
    std::string failure;
    WaitUntil([&] {
        m_main = FindDialogOf(m_pi.dwProcessId, nullptr, nullptr, &title, 0);
        if (m_main)
            return true;
        DWORD code = 0;
        if (!Running() && GetExitCodeProcess(m_pi.hProcess, &code)) {
            failure = "the program ended with exit code " + Num(code);
            return true;
        }
        HWND other = FindDialogOf(m_pi.dwProcessId, nullptr, nullptr, nullptr, 0);
        if (other && !GetDlgItem(other, IDC_LINKLIST))
            failure = "a message box is open: " + DismissStrayBoxes();
        return !failure.empty();
    }, kStartTimeout);
    if (!m_main) {
        if (failure.empty()) {
            std::vector<std::string> windows;
            CWindowScan scan{m_pi.dwProcessId, &windows};
            EnumWindows(NoteWindow, (LPARAM)&scan);
            std::string shown;
            for (const std::string& w : windows)
                shown += (shown.empty() ? "" : ", ") + w;
            failure = windows.empty() ? "no window at all" : "its windows: " + shown;
        }
        check.That(false, "no main dialog titled \"" + Visible(mainTitle) + "\" after " + took() + ": " + failure);
        Kill();
        return false;
    }
    printf("start: %s\n", took().c_str());
    fflush(stdout);
    Settle();
    return true;
}

// ---- settings ----

namespace {

const char kAppKey[] = "software\\Fenwold Applications\\Orvelle";

std::string SectionKey(const std::string& section)
{
    return std::string(kAppKey) + "\\" + section;
}

const char* TypeName(DWORD type)
{
    switch (type) {
    case REG_SZ: return "REG_SZ";
    case REG_DWORD: return "REG_DWORD";
    case REG_BINARY: return "REG_BINARY";
    case REG_EXPAND_SZ: return "REG_EXPAND_SZ";
    default: return "another type";
    }
}

bool IsTextType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

}  // namespace

std::string Utf16Bytes(const std::wstring& text)
{
    return std::string((const char*)text.data(), text.size() * sizeof(wchar_t));
}

std::string Utf8Bytes(const std::wstring& text)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring HardNamesBookmarks(const std::wstring& barName, const std::wstring& scriptUrl, const std::wstring& roots)
{
    return LR"({"checksum":"0","roots":{
 "bookmark_bar":{"children":[
  {"type":"url","name":"<script>alert(1)</script>","url":")" + scriptUrl + LR"("},
  {"type":"folder","name":"Tools\\é","children":[
   {"type":"url","name":"Café 〜 😀","url":"http://café.example/menü 1"},
   {"type":"url","name":"a\\b","url":"http://tools.example.com/〜user/😀"}]}],
  "name":")" + barName + LR"(","type":"folder"},
)" + roots + LR"(},"version":1})";
}

void ResetSettings()
{
    RegDeleteTreeW(HKEY_CURRENT_USER, L"software\\Fenwold Applications");
    RegDeleteKeyW(HKEY_CURRENT_USER, L"software\\Fenwold Applications");
}

CRegValue ReadValue(HKEY root, const std::string& keyPath, const std::string& name)
{
    CRegValue v;
    HKEY key;
    if (RegOpenKeyExW(root, FromCp932(keyPath).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return v;
    const std::wstring wideName = FromCp932(name);
    DWORD size = 0, type = 0;
    if (RegQueryValueExW(key, wideName.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        std::string bytes(size, '\0');
        DWORD got = size;
        if (RegQueryValueExW(key, wideName.c_str(), nullptr, &type, size ? (BYTE*)&bytes[0] : nullptr, &got) ==
            ERROR_SUCCESS) {
            bytes.resize(got);
            v.present = true;
            v.type = type;
            v.bytes = bytes;
        }
    }
    RegCloseKey(key);
    return v;
}

bool WriteRawValue(HKEY root, const std::string& keyPath, const std::string& name, DWORD type,
                   const std::string& bytes)
{
    HKEY key;
    if (RegCreateKeyExW(root, FromCp932(keyPath).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    bool ok = RegSetValueExW(key, FromCp932(name).c_str(), 0, type, (const BYTE*)bytes.data(),
                             (DWORD)bytes.size()) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

bool WriteValue(HKEY root, const std::string& keyPath, const std::string& name, DWORD type, const std::string& bytes)
{
    return WriteRawValue(root, keyPath, name, type, IsTextType(type) ? Utf16Bytes(FromCp932(bytes)) : bytes);
}

CSavedValue::CSavedValue(HKEY root, const std::string& keyPath, const std::string& name)
    : m_root(root), m_key(keyPath), m_name(name), m_old(ReadValue(root, keyPath, name))
{
}

CSavedValue::~CSavedValue()
{
    if (m_old.present) {
        WriteRawValue(m_root, m_key, m_name, m_old.type, m_old.bytes);
        return;
    }
    HKEY key;
    if (RegOpenKeyExW(m_root, FromCp932(m_key).c_str(), 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, FromCp932(m_name).c_str());
        RegCloseKey(key);
    }
}

bool CSavedValue::Set(DWORD type, const std::string& bytes)
{
    return WriteValue(m_root, m_key, m_name, type, bytes);
}

CRegValue ReadSetting(const std::string& section, const std::string& name)
{
    return ReadValue(HKEY_CURRENT_USER, SectionKey(section), name);
}

int SettingCount(const std::string& section)
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, FromCp932(SectionKey(section)).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return -1;
    DWORD values = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(key);
    return (int)values;
}

namespace {

void SnapshotKey(HKEY root, const std::wstring& path, std::string& out)
{
    HKEY key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    std::vector<std::wstring> subkeys;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLen = 256;
        if (RegEnumKeyExW(key, i, name, &nameLen, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        subkeys.emplace_back(name, nameLen);
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD nameLen = 16384, type = 0, size = 0;
        if (RegEnumValueW(key, i, name, &nameLen, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            break;
        std::string bytes(size, '\0');
        nameLen = 16384;
        RegEnumValueW(key, i, name, &nameLen, nullptr, &type, size ? (BYTE*)&bytes[0] : nullptr, &size);
        bytes.resize(size);
        out += Visible(path) + " | " + Visible(std::wstring(name, nameLen)) + " | type " + Num((long long)type) +
               " | " + Visible(bytes) + "\n";
    }
    RegCloseKey(key);
    for (const std::wstring& sub : subkeys)
        SnapshotKey(root, path + L"\\" + sub, out);
}

}  // namespace

std::string SettingsSnapshot()
{
    std::string out;
    SnapshotKey(HKEY_CURRENT_USER, L"software\\Fenwold Applications", out);
    return out;
}

std::string LittleEndian(unsigned long long value, int size)
{
    std::string bytes;
    for (int i = 0; i < size; ++i)
        bytes.push_back((char)((value >> (8 * i)) & 0xFF));
    return bytes;
}

bool PutSetting(const std::string& section, const std::string& name, DWORD type, const std::string& bytes)
{
    return WriteValue(HKEY_CURRENT_USER, SectionKey(section), name, type, bytes);
}

bool PutSettingString(const std::string& section, const std::string& name, const std::string& text)
{
    return PutSetting(section, name, REG_SZ, text + std::string(1, '\0'));
}

bool PutSettingStringW(const std::string& section, const std::string& name, const std::wstring& text)
{
    return WriteRawValue(HKEY_CURRENT_USER, SectionKey(section), name, REG_SZ, Utf16Bytes(text + L'\0'));
}

bool PutSettingDword(const std::string& section, const std::string& name, DWORD value)
{
    return PutSetting(section, name, REG_DWORD, LittleEndian(value, 4));
}

bool ProtectSection(const std::string& section)
{
    const std::wstring path = FromCp932(SectionKey(section));
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    // KEY_READ | DELETE | WRITE_DAC for everyone, nothing else: the suite can
    // still remove the key afterwards.
    PSECURITY_DESCRIPTOR sd = nullptr;
    bool ok = ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;0x70019;;;WD)", SDDL_REVISION_1, &sd,
                                                                    nullptr) &&
              RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd) == ERROR_SUCCESS;
    if (sd)
        LocalFree(sd);
    RegCloseKey(key);
    if (!ok)
        return false;
    HKEY probe;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ | KEY_WRITE, &probe) == ERROR_SUCCESS) {
        RegCloseKey(probe);
        return false;  // the protection does not hold here
    }
    return true;
}

namespace {

void ExpectValue(CCheck& check, const std::string& section, const std::string& name, DWORD type,
                 const std::string& bytes)
{
    CRegValue v = ReadSetting(section, name);
    std::string where = section + "\\" + name;
    if (!check.That(v.present, where + " is missing"))
        return;
    check.That(v.type == type, where + " is " + TypeName(v.type) + ", not " + TypeName(type));
    check.Same(v.bytes, bytes, where);
}

}  // namespace

void ExpectSzW(CCheck& check, const std::string& section, const std::string& name, const std::wstring& text)
{
    CRegValue v = ReadSetting(section, name);
    std::string where = section + "\\" + name;
    if (!check.That(v.present, where + " is missing"))
        return;
    check.That(v.type == REG_SZ, where + " is " + TypeName(v.type) + ", not REG_SZ");
    if (v.bytes == Utf16Bytes(text + L'\0'))
        return;
    std::wstring got(v.bytes.size() / 2, L'\0');
    if (!got.empty())
        memcpy(&got[0], v.bytes.data(), got.size() * 2);
    std::string odd = v.bytes.size() % 2 ? " and an odd byte" : "";
    check.That(false, where + " holds \"" + Visible(got.substr(0, 200)) + "\"" + odd + " (" +
                          Num((long long)got.size()) + " units), want \"" + Visible(text.substr(0, 200)) +
                          "\" and one NUL (" + Num((long long)text.size() + 1) + " units)");
}

void ExpectSz(CCheck& check, const std::string& section, const std::string& name, const std::string& text)
{
    ExpectSzW(check, section, name, FromCp932(text));
}

void ExpectDword(CCheck& check, const std::string& section, const std::string& name, DWORD value)
{
    ExpectValue(check, section, name, REG_DWORD, LittleEndian(value, 4));
}

CProfileValues DefaultValues()
{
    CProfileValues v;
    v.java = "TRUE";
    v.output = "link.html";
    v.caption = "わたしのお気に入り";
    v.stdGenre = "その他";
    return v;
}

void ExpectProfile(CCheck& check, const std::string& section, const CProfileValues& values)
{
    check.That(SettingCount(section) == 8,
               "section " + section + " holds " + Num(SettingCount(section)) + " values, not 8");
    ExpectSz(check, section, "Myurl", values.myurl);
    ExpectSz(check, section, "JAVA", values.java);
    ExpectSz(check, section, "Output", values.output);
    ExpectSz(check, section, "Caption", values.caption);
    ExpectSz(check, section, "StdGenre", values.stdGenre);
    ExpectDword(check, section, "Style", values.style);
    ExpectSz(check, section, "Disabled", values.disabled);
    ExpectSz(check, section, "Enabled", values.enabled);
}

// ---- checks of the program's windows ----

void ExpectCheckedStyles(CCheck& check, const COrvelle& app, const std::vector<int>& want, const std::string& when)
{
    std::vector<int> got = app.CheckedStyles();
    auto show = [](const std::vector<int>& ids) {
        std::string out;
        for (int id : ids)
            out += (out.empty() ? "" : " ") + Num(id);
        return "{" + out + "}";
    };
    check.That(got == want, when + ": radios " + show(got) + " checked, not " + show(want));
}

RECT DialogPixels(const CUnitRect& r, int bx, int by)
{
    RECT px;
    px.left = MulDiv(r.x, bx, 4);
    px.top = MulDiv(r.y, by, 8);
    px.right = px.left + MulDiv(r.cx, bx, 4);
    px.bottom = px.top + MulDiv(r.cy < 0 ? 0 : r.cy, by, 8);
    return px;
}

RECT ClientRectOf(HWND control)
{
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), (POINT*)&r, 2);
    return r;
}

namespace {

struct CTextSearch {
    const std::string* text;
    HWND found;
};

BOOL CALLBACK FindChildWithText(HWND child, LPARAM lp)
{
    CTextSearch* s = (CTextSearch*)lp;
    if (WindowText(child) == *s->text)
        s->found = child;
    return s->found == nullptr;
}

// Whether control sits at r across (or down) under base unit b.
bool FitsAcross(HWND control, const CUnitRect& r, int b)
{
    const RECT got = ClientRectOf(control), want = DialogPixels(r, b, 8);
    return got.left == want.left && got.right - got.left == want.right - want.left;
}

bool FitsDown(HWND control, const CUnitRect& r, int b)
{
    const RECT got = ClientRectOf(control), want = DialogPixels(r, 4, b);
    return got.top == want.top && (r.cy < 0 || got.bottom - got.top == want.bottom - want.top);
}

}  // namespace

HWND ChildWithText(HWND dlg, const std::string& text)
{
    CTextSearch s{&text, nullptr};
    EnumChildWindows(dlg, FindChildWithText, (LPARAM)&s);
    return s.found;
}

bool FitBaseUnits(const std::vector<std::pair<HWND, CUnitRect>>& placed, int* bx, int* by)
{
    // Base units are a font's average width and height: a few to a few dozen pixels.
    auto fit = [&](bool (*fits)(HWND, const CUnitRect&, int), int* unit) {
        for (int b = 1; b <= 128; ++b) {
            bool all = true;
            for (const auto& p : placed)
                all = all && p.first && fits(p.first, p.second, b);
            if (all) {
                *unit = b;
                return true;
            }
        }
        return false;
    };
    return fit(FitsAcross, bx) && fit(FitsDown, by);
}

void ExpectPlaced(CCheck& check, HWND control, const CUnitRect& r, int bx, int by, const std::string& what)
{
    if (!check.That(control != nullptr, what + " is missing"))
        return;
    RECT got = ClientRectOf(control), want = DialogPixels(r, bx, by);
    if (r.cy < 0)
        want.bottom = want.top + (got.bottom - got.top);
    auto show = [](const RECT& x) {
        return "(" + Num(x.left) + ", " + Num(x.top) + ") to (" + Num(x.right) + ", " + Num(x.bottom) + ")";
    };
    check.That(EqualRect(&got, &want), what + " is at " + show(got) + ", not " + show(want) + " (base units " +
                                           Num(bx) + " x " + Num(by) + ")");
}

void WriteExpecting(CCheck& check, COrvelle& app, const std::string& text, const std::string& what)
{
    std::string got, why;
    if (check.That(app.Write(&got, kWriteTimeout, &why), what + ": " + why))
        check.Same(got, text, "message after " + what);
}

void SameItems(CCheck& check, const std::vector<std::wstring>& got, const std::vector<std::wstring>& want,
               const std::string& what)
{
    if (got == want)
        return;
    size_t at = 0;
    while (at < got.size() && at < want.size() && got[at] == want[at])
        ++at;
    auto item = [](const std::vector<std::wstring>& v, size_t i) {
        return i < v.size() ? "\"" + Visible(v[i]) + "\"" : std::string("nothing");
    };
    check.That(false, what + ": " + Num((long long)got.size()) + " items, want " + Num((long long)want.size()) +
                          "; item " + Num((long long)at) + " is " + item(got, at) + ", want " + item(want, at));
}

// ---- the program's dialogs ----

bool ChooseProfile(CCheck& check, COrvelle& app, int pick, int button, int* selectedBefore, bool shot)
{
    app.Click(IDC_PROFILE);
    HWND dlg = app.FindDialog("プロファイルの選択", kWindowTimeout);
    if (!check.That(dlg != nullptr, "the profile dialog did not open"))
        return false;
    HWND combo = GetDlgItem(dlg, IDC_PROFILE_CHOICE);
    if (!check.That(combo != nullptr, "the profile dialog has no combo box IDC_PROFILE_CHOICE"))
        return false;
    std::vector<std::string> items = ComboItems(combo);
    std::vector<std::string> want = {"設定１", "設定２", "設定３", "設定４"};
    if (!check.That(items == want, "the profile combo box holds " + Num((long long)items.size()) + " other items"))
        return false;
    if (selectedBefore)
        *selectedBefore = Cursel(combo, CB_GETCURSEL);
    if (shot)
        Shot(dlg, "profile-dialog");
    if (pick >= 0)
        SendBounded(combo, CB_SETCURSEL, (WPARAM)pick, 0);
    PressButton(dlg, button);
    if (!check.That(WaitClosed(dlg), "the profile dialog did not close"))
        return false;
    app.Settle();
    return true;
}

HWND FileNameField(HWND dlg)
{
    HWND combo = GetDlgItem(dlg, 1148);
    HWND edit = combo ? FindWindowExW(combo, nullptr, L"Edit", nullptr) : nullptr;
    return edit ? edit : combo;
}

HWND OpenSaveAs(CCheck& check, COrvelle& app)
{
    app.Click(IDC_BROWSE);
    HWND dlg = app.FindOwnedDialog(app.Main(), kWindowTimeout);
    check.That(dlg != nullptr, "the browse button opened no dialog owned by the main window");
    return dlg;
}

bool SaveAs(CCheck& check, COrvelle& app, HWND dlg, const std::wstring& path)
{
    SetWindowTextTo(FileNameField(dlg), path);
    PressButton(dlg, IDOK);
    // For a file that does not exist yet Windows asks whether to create it
    // (OFN_CREATEPROMPT) and Wine does not: such a question, owned by the
    // dialog, is answered Yes.
    HWND question = nullptr;
    WaitUntil([&] {
        question = app.FindOwnedDialog(dlg, 0);
        return question || !IsWindow(dlg) || !IsWindowVisible(dlg);
    }, kWindowTimeout);
    if (question)
        PressButton(question, IDYES);
    if (!check.That(WaitClosed(dlg), "Save did not close the Save As dialog"))
        return false;
    std::string boxes = app.DismissStrayBoxes();
    app.Settle();
    return check.That(boxes.empty(), "a box stayed open after Save: " + boxes);
}

bool SaveAs(CCheck& check, COrvelle& app, HWND dlg, const std::string& path)
{
    return SaveAs(check, app, dlg, FromCp932(path));
}

CCommandRun RunOrvelle(const std::wstring& arguments, const std::string& currentDir, DWORD timeoutMs,
                       const std::string& otherExe)
{
    CCommandRun run;
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0))
        return run;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    const std::wstring exe = FromCp932(otherExe.empty() ? g_config.orvelleExe : otherExe);
    std::wstring cmd = L"\"" + exe + L"\" " + arguments;
    const std::wstring dir = FromCp932(currentDir);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    PROCESS_INFORMATION pi{};
    BOOL started = CreateProcessW(exe.c_str(), &cmd[0], nullptr, nullptr, TRUE, 0, nullptr,
                                  dir.empty() ? nullptr : dir.c_str(), &si, &pi);
    // Only the child holds the write end now: the pipe ends with it.
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        return run;
    }
    run.started = true;
    g_runningProgram = pi.hProcess;
    auto drain = [&] {
        DWORD available = 0;
        char buf[4096];
        while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
            DWORD got = 0;
            if (!ReadFile(readEnd, buf, available < sizeof buf ? available : sizeof buf, &got, nullptr) || !got)
                break;
            run.output.append(buf, got);
        }
    };
    CWindowScan scan{pi.dwProcessId, &run.windows};
    DWORD start = GetTickCount(), limit = timeoutMs;
    bool ended = false;
    while (!ended && GetTickCount() - start < limit) {
        EnumWindows(NoteWindow, (LPARAM)&scan);
        if (!run.windows.empty() && GetTickCount() - start + 3000 < limit)
            limit = GetTickCount() - start + 3000;
        drain();
        ended = WaitForSingleObject(pi.hProcess, 5) == WAIT_OBJECT_0;
    }
    run.seconds = (GetTickCount() - start) / 1000;
    if (ended) {
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        run.exitCode = (int)code;
    } else {
        TerminateProcess(pi.hProcess, 99);
        WaitForSingleObject(pi.hProcess, 5000);
    }
    // The write end is closed with the process: read until the pipe ends.
    char rest[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, rest, sizeof rest, &got, nullptr) && got)
        run.output.append(rest, got);
    g_runningProgram = nullptr;
    CloseHandle(readEnd);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return run;
}

std::string Told(const std::string& text)
{
    std::string crlf;
    for (char c : text + "\n")
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return Utf8Bytes(FromCp932(crlf));
}

CCommandRun RunQuietly(CCheck& t, const std::wstring& args, const std::string& dir, int exitCode, const std::string& exe)
{
    CCommandRun run = RunOrvelle(args, dir, kStartTimeout, exe);
    const std::string what = "\"" + Visible(args) + "\"";
    for (const std::string& w : run.windows)
        t.That(false, what + " showed the window " + w);
    t.That(run.exitCode == exitCode, what + " exited with " + Num(run.exitCode) + ", not " + Num(exitCode) + "; " +
                                         HowItEnded(run) + " (output \"" + Visible(run.output) + "\")");
    return run;
}

void WriteCommandWritesPage(CCheck& t, const std::string& out, const std::string& page, const std::string& want)
{
    const std::string before = SettingsSnapshot();
    CCommandRun run = RunQuietly(t, L"/write 2", out, 0);
    t.Same(run.output, Told(std::string(kWrittenText) + "\n" + page), "output of /write 2");
    ExpectFile(t, page, want);
    t.Same(Num((long long)FilesIn(out).size()), "1", "number of files /write 2 wrote");
    t.Same(SettingsSnapshot(), before, "the settings after /write 2");
}

namespace {

bool IsStamp(const std::string& s)
{
    const std::string shape = "dddd-dd-dd dd:dd:dd";
    if (s.size() != shape.size())
        return false;
    for (size_t i = 0; i < s.size(); ++i)
        if (shape[i] == 'd' ? (s[i] < '0' || s[i] > '9') : s[i] != shape[i])
            return false;
    return true;
}

}  // namespace

CCommandRun RunLogged(CCheck& t, const std::wstring& args, const std::string& dir, const std::string& log,
                      int profile, int exitCode, const std::string& text, const std::string& what)
{
    std::string before, all;
    ReadBytes(log, &before);
    const std::string from = LocalStamp();
    CCommandRun run = RunQuietly(t, args + L" /log \"" + FromCp932(log) + L"\"", dir, exitCode);
    const std::string to = LocalStamp();
    t.Same(run.output, Told(text), what + ": output");
    if (!t.That(ReadBytes(log, &all) && all.size() > before.size() && all.compare(0, before.size(), before) == 0,
                what + ": no line was added to the log"))
        return run;
    const std::string line = all.substr(before.size());
    const std::string stamp = line.substr(0, 19);
    t.That(IsStamp(stamp) && from <= stamp && stamp <= to,
           what + ": the log line starts \"" + Visible(stamp) + "\", not a time from " + from + " to " + to);
    std::string flat = text;
    for (char& c : flat)
        c = c == '\n' ? ' ' : c;
    t.Same(line.substr(std::min<size_t>(19, line.size())),
           "\t" + Num(profile) + "\t" + Num(exitCode) + "\t" + Utf8Bytes(FromCp932(flat)) + "\r\n", what + ": log line");
    return run;
}

std::string HowItEnded(const CCommandRun& run)
{
    if (!run.started)
        return "it did not start";
    if (run.exitCode == -1)
        return "it was still running after " + Num(run.seconds) + " s and was ended";
    return "it ended by itself after " + Num(run.seconds) + " s";
}

// ---- browser data and the source drop-down ----

std::wstring AppDataPathW(AppData which)
{
    PWSTR path = nullptr;
    std::wstring out;
    if (SUCCEEDED(SHGetKnownFolderPath(which == AppData::Roaming ? FOLDERID_RoamingAppData : FOLDERID_LocalAppData, 0,
                                       nullptr, &path)) &&
        path)
        out = path;
    CoTaskMemFree(path);
    if (!out.empty() && out.back() == L'\\')
        out.pop_back();
    return out;
}

CAppDataTree::CAppDataTree(AppData which, std::vector<std::wstring> homes)
    : m_root(AppDataPathW(which)), m_homes(std::move(homes))
{
    Remove();
}

CAppDataTree::~CAppDataTree()
{
    Remove();
}

void CAppDataTree::Remove()
{
    if (m_root.size() < 4)
        return;  // never anything but the browsers' own folders
    for (const std::wstring& home : m_homes) {
        std::wstring path = m_root + L"\\" + home;
        RemoveTree(path);
        // The home, then each parent below the root, only when empty.
        for (;;) {
            RemoveDirectoryW(path.c_str());
            const size_t cut = path.find_last_of(L'\\');
            if (cut == std::wstring::npos || cut <= m_root.size())
                break;
            path.resize(cut);
        }
    }
}

bool CAppDataTree::Put(CCheck& check, const std::wstring& relative, const std::string& bytes)
{
    const std::wstring full = m_root + L"\\" + relative;
    const bool ok =
        m_root.size() >= 4 && MakeFolder(full.substr(0, full.find_last_of(L'\\'))) && WriteBytes(full, bytes);
    return check.That(ok, "cannot write " + Visible(full));
}

const std::vector<std::wstring>& FirefoxHomes()
{
    static const std::vector<std::wstring> homes = {L"Mozilla\\Firefox", L"Floorp", L"Waterfox", L"librewolf"};
    return homes;
}

void ExpectSourceItems(CCheck& check, COrvelle& app, const std::vector<std::wstring>& want, int selected,
                       const std::string& when)
{
    HWND combo = app.Item(IDC_SOURCE);
    SameItems(check, ComboItemsW(combo), want, when + ": drop-down");
    const int sel = Cursel(combo, CB_GETCURSEL);
    check.That(sel == selected, when + ": item " + Num(sel) + " selected, not " + Num(selected));
}

void SelectSource(COrvelle& app, int index)
{
    HWND combo = app.Item(IDC_SOURCE);
    SendBounded(combo, CB_SETCURSEL, (WPARAM)index, 0);
    PostMessageW(app.Main(), WM_COMMAND, MAKEWPARAM(IDC_SOURCE, CBN_SELCHANGE), (LPARAM)combo);
    app.Settle();
}

bool ChooseListedSourceAndImport(CCheck& check, COrvelle& app, const std::vector<std::wstring>& want,
                                 const std::string& shot, int pick)
{
    ExpectSourceItems(check, app, want, 0, "at start");
    SendBounded(app.Item(IDC_SOURCE), CB_SHOWDROPDOWN, TRUE, 0);
    Shot(app.Main(), shot);
    SendBounded(app.Item(IDC_SOURCE), CB_SHOWDROPDOWN, FALSE, 0);
    app.Settle();
    SelectSource(app, pick);
    return ImportWithoutBox(check, app);
}

bool ImportWithoutBox(CCheck& check, COrvelle& app, const std::string& what)
{
    const bool returned = check.That(app.ClickSync(IDC_IMPORT), what + " did not return");
    const std::string boxes = app.DismissStrayBoxes();
    return check.That(boxes.empty(), what + " showed " + boxes) && returned;
}

void ImportRefused(CCheck& check, COrvelle& app, const std::string& path, const std::string& what)
{
    // Posted: the message box is modal.
    app.Click(IDC_IMPORT);
    std::string text, why;
    if (check.That(app.TakeMessageBox("Orvelle", &text, kWindowTimeout, &why), what + ": Import showed no message (" +
                                                                                   why + ")"))
        check.Same(text, std::string(kUnreadable) + "\n" + path, what + ": message");
    app.Settle();
}

// ---- expected pages ----

std::string SinglePageOf(const std::string& caption, const std::vector<CPageRow>& rows)
{
    using namespace page;
    std::string all;
    for (const CPageRow& r : rows)
        all += LinkRow(r.genre, r.url, r.link);
    return Crlf(HeadTitle(caption) + kHeadEndScript + kBackLinkScript + Heading(caption) + kTableHead + all + Footer() +
                kPageEnd);
}

void WriteFourStylesExpecting(CCheck& check, COrvelle& app, const std::vector<CPageRow>& rows,
                              const std::string& prefix, const std::vector<std::wstring>& list)
{
    using namespace page;
    const std::string caption = "わたしのお気に入り", back = "http://back.example.com/";
    // The rows of each genre, genres in page order.
    std::vector<std::string> genres, rowsOf;
    std::string all;
    for (const CPageRow& r : rows) {
        if (genres.empty() || genres.back() != r.genre) {
            genres.push_back(r.genre);
            rowsOf.emplace_back();
        }
        const std::string row = LinkRow(r.genre, r.url, r.link);
        rowsOf.back() += row;
        all += row;
    }
    auto expect = [&](const std::string& path, const std::string& want) { ExpectFile(check, path, Crlf(want)); };

    app.SetCheck(IDC_USEJAVA, true);
    app.ClickSync(IDC_STYLE_SINGLE);
    const std::string single = FreshWorkFolder(prefix + "-single") + "\\link.html";
    app.SetText(IDC_OUTPUT, single);
    WriteExpecting(check, app, kWrittenText, "Write of the single page");
    ExpectFile(check, single, SinglePageOf(caption, rows));
    SameItems(check, app.ListItemsW(), list, "list after the Write of the single page");

    app.SetCheck(IDC_USEJAVA, false);
    app.SetText(IDC_BACKURL, back);
    app.ClickSync(IDC_STYLE_ANCHORS);
    const std::string anchors = FreshWorkFolder(prefix + "-anchors") + "\\top.html";
    app.SetText(IDC_OUTPUT, anchors);
    WriteExpecting(check, app, kWrittenText, "Write of the page with anchors");
    std::string page = HeadTitle(caption) + kHeadEnd + kTopAnchor + BackLink(back) + Heading(caption);
    for (const std::string& g : genres)
        page += AnchorIndexItem(g);
    page += std::string(kAnchorIndexEnd) + kTableHead;
    for (size_t i = 0; i < genres.size(); ++i)
        page += (i ? GenreBreak(genres[i]) : "") + rowsOf[i];
    expect(anchors, page + Footer() + kPageEnd);

    app.ClickSync(IDC_STYLE_INDEX);
    const std::string indexDir = FreshWorkFolder(prefix + "-index"), index = indexDir + "\\index.html";
    app.SetText(IDC_OUTPUT, index);
    WriteExpecting(check, app, kWrittenText, "Write of the index pages");
    page = HeadTitle(caption) + kHeadEnd + BackLink(back) + Heading(caption);
    for (size_t i = 0; i < genres.size(); ++i)
        page += IndexItem((int)i + 1, genres[i]);
    expect(index, page + kIndexEnd);
    for (size_t i = 0; i < genres.size(); ++i)
        expect(indexDir + "\\" + GenrePageName((int)i + 1), GenrePage(GenrePageBack(index), genres[i], rowsOf[i]));
    check.That(!FileExists(indexDir + "\\" + GenrePageName((int)genres.size() + 1)),
               "an index page beyond the last genre");

    app.SetCheck(IDC_USEJAVA, true);
    app.ClickSync(IDC_STYLE_FRAMES);
    const std::string framesDir = FreshWorkFolder(prefix + "-frames"), frames = framesDir + "\\frames.html";
    app.SetText(IDC_OUTPUT, frames);
    WriteExpecting(check, app, kWrittenText, "Write of the frames");
    expect(frames, HeadTitle(caption) + kFrameset + kHeadEndScript + kBackLinkScript + Heading(caption) + kTableHead +
                       all + Footer() + kNoFramesEnd + kPageEnd);
    std::string menu;
    for (size_t i = 0; i < genres.size(); ++i)
        menu += MenuItem((int)i + 1, genres[i]);
    expect(framesDir + "\\linkmenu.html", menu + kIndexEnd);
    for (size_t i = 0; i < genres.size(); ++i)
        expect(framesDir + "\\" + GenrePageName((int)i + 1), GenrePage(kHeadEnd, genres[i], rowsOf[i]));
    SameItems(check, app.ListItemsW(), list, "list after the last Write");
}

// ---- Favorites and files ----

std::wstring FavoritesPathW()
{
    wchar_t buf[MAX_PATH] = {0};
    if (!SHGetSpecialFolderPathW(nullptr, buf, CSIDL_FAVORITES, TRUE))
        return std::wstring();
    std::wstring path = buf;
    if (!path.empty() && path.back() == L'\\')
        path.pop_back();
    return path;
}

std::string FavoritesPath()
{
    // Empty rather than a wrong path when code page 932 cannot spell it.
    std::wstring wide = FavoritesPathW();
    return HasCp932Form(wide) ? ToCp932(wide) : std::string();
}

namespace {

// path as Windows must be given it: from 240 characters on in the "\\?\"
// long form, which passes the 260-character limit (the folders below the
// work and Favorites folders are always absolute).
std::wstring LongForm(const std::wstring& path)
{
    if (path.size() < 240 || path.compare(0, 4, L"\\\\?\\") == 0)
        return path;
    if (path.size() > 2 && path[1] == L':' && path[2] == L'\\')
        return L"\\\\?\\" + path;
    return path;
}

DWORD Attributes(const std::wstring& path)
{
    return GetFileAttributesW(LongForm(path).c_str());
}

// Runs a Unix chmod on one entry of folder (Wine starts Unix programs
// directly): the only way to take the write permission away from a folder,
// which is what makes Wine report the attribute word 17. Wine does not wait
// for a Unix child, so the change is awaited on the attribute itself.
bool UnixChmod(const std::wstring& folder, const std::wstring& mode, const std::wstring& name, bool readOnly)
{
    std::wstring cmd = L"/bin/chmod " + mode + L" \"" + name + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(L"Z:\\bin\\chmod", &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi))
        return false;
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    std::wstring full = folder + L"\\" + name;
    return WaitUntil([&] {
        DWORD attr = Attributes(full);
        return attr != INVALID_FILE_ATTRIBUTES && ((attr & FILE_ATTRIBUTE_READONLY) != 0) == readOnly;
    }, 5000);
}

}  // namespace

void RemoveTree(const std::wstring& path)
{
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(LongForm(path + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring full = path + L"\\" + name;
            bool folder = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            if (folder && (fd.dwFileAttributes & FILE_ATTRIBUTE_READONLY))
                UnixChmod(path, L"u+w", name, false);
            SetFileAttributesW(LongForm(full).c_str(), FILE_ATTRIBUTE_NORMAL);
            if (folder) {
                RemoveTree(full);
                RemoveDirectoryW(LongForm(full).c_str());
            } else {
                DeleteFileW(LongForm(full).c_str());
            }
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
}

void RemoveTree(const std::string& path)
{
    RemoveTree(FromCp932(path));
}

void ClearFavorites()
{
    std::wstring fav = FavoritesPathW();
    if (fav.size() < 4)
        return;  // never wipe anything but a real Favorites folder
    RemoveTree(fav);
}

std::string ShortcutText(const std::string& url)
{
    return "[InternetShortcut]\r\nURL=" + url + "\r\n";
}

bool WriteBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE f = CreateFileW(LongForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD done = 0;
    bool ok = WriteFile(f, bytes.data(), (DWORD)bytes.size(), &done, nullptr) && done == bytes.size();
    CloseHandle(f);
    return ok;
}

bool WriteBytes(const std::string& path, const std::string& bytes)
{
    return WriteBytes(FromCp932(path), bytes);
}

bool MakeWideFavorites(CCheck& check, const std::vector<CWideFavEntry>& entries)
{
    std::wstring fav = FavoritesPathW();
    if (!check.That(fav.size() >= 4, "no Favorites folder"))
        return false;
    ClearFavorites();
    for (const CWideFavEntry& e : entries) {
        std::wstring full = fav + L"\\" + e.path;
        bool ok = e.url ? WriteBytes(full, ShortcutText(e.url)) : MakeFolder(full);
        if (!check.That(ok, "cannot create " + Visible(full)))
            return false;
    }
    return true;
}

bool MakeFavorites(CCheck& check, const std::vector<CFavEntry>& entries)
{
    std::vector<CWideFavEntry> wide;
    for (const CFavEntry& e : entries)
        wide.push_back({FromCp932(e.path), e.url});
    if (!MakeWideFavorites(check, wide))
        return false;
    // Write permission goes last, when the folder's content is in place.
    std::wstring fav = FavoritesPathW();
    for (const CFavEntry& e : entries) {
        if (!e.readOnly)
            continue;
        UnixChmod(fav, L"a-w", FromCp932(e.path), true);
        DWORD attr = Attributes(fav + L"\\" + FromCp932(e.path));
        if (!check.That(attr == 17, "folder " + Visible(e.path) + " reports attributes " + Num(attr) + ", not 17"))
            return false;
    }
    return true;
}

bool ReadBytes(const std::wstring& path, std::string* bytes)
{
    HANDLE f = CreateFileW(LongForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    bytes->clear();
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0)
        bytes->append(buf, got);
    CloseHandle(f);
    return true;
}

bool ReadBytes(const std::string& path, std::string* bytes)
{
    return ReadBytes(FromCp932(path), bytes);
}

void ExpectFile(CCheck& check, const std::wstring& path, const std::string& want)
{
    std::string got;
    if (check.That(ReadBytes(path, &got), Visible(path) + " was not written"))
        check.Same(got, want, Visible(path));
}

void ExpectFile(CCheck& check, const std::string& path, const std::string& want)
{
    std::string got;
    if (check.That(ReadBytes(path, &got), Visible(path) + " was not written"))
        check.Same(got, want, Visible(path));
}

bool FileExists(const std::wstring& path)
{
    return Attributes(path) != INVALID_FILE_ATTRIBUTES;
}

bool FileExists(const std::string& path)
{
    return FileExists(FromCp932(path));
}

std::map<std::string, std::string> FilesIn(const std::string& folder)
{
    std::map<std::string, std::string> files;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(LongForm(FromCp932(folder) + L"\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return files;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ReadBytes(folder + "\\" + ToCp932(fd.cFileName), &files[ToCp932(fd.cFileName)]);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return files;
}

bool MakeFolder(const std::wstring& path)
{
    if (CreateDirectoryW(LongForm(path).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
        return true;
    size_t cut = path.find_last_of(L'\\');
    if (cut == std::wstring::npos || cut < 3)
        return false;
    if (!MakeFolder(path.substr(0, cut)))
        return false;
    return CreateDirectoryW(LongForm(path).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool MakeFolder(const std::string& path)
{
    // In UTF-16 the second byte 0x5C of ソ or 表 is no separator any more.
    return MakeFolder(FromCp932(path));
}

std::wstring FreshWorkFolder(const std::wstring& name)
{
    std::wstring path = FromCp932(g_config.workDir) + L"\\" + name;
    RemoveTree(path);
    MakeFolder(path);
    return path;
}

std::string FreshWorkFolder(const std::string& name)
{
    return ToCp932(FreshWorkFolder(FromCp932(name)));
}

std::string LocalStamp()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char buf[32];
    snprintf(buf, sizeof buf, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
             now.wMinute, now.wSecond);
    return buf;
}

std::string LinkServer()
{
    const char* server = getenv("ORV_LINK_SERVER");
    return server ? server : "";
}

}  // namespace drv
