#include "ui/MainDlg.h"

#include <commdlg.h>

#include <vector>

#include "app/Profile.h"
#include "export/Export.h"
#include "links/Scan.h"
#include "res/resource.h"
#include "ui/AboutDlg.h"

namespace {
// Style value and its radio button.
const struct {
    int32_t style;
    int id;
} kStyleRadios[] = {
    {STYLE_SINGLE, IDC_STYLE_SINGLE},
    {STYLE_INDEX, IDC_STYLE_INDEX},
    {STYLE_FRAMES, IDC_STYLE_FRAMES},
    {STYLE_ANCHORS, IDC_STYLE_ANCHORS},
};

const int kEditIds[] = {IDC_CAPTION, IDC_BACKURL, IDC_OUTPUT, IDC_STDGENRE, IDC_EXCLUDE, IDC_INCLUDE};

// Save As: the types in order, each display text then pattern; the list
// ends with an empty pair.
const char kBrowseFilter[] = "HTMLドキュメント(*.html)\0*.html\0ﾃｷｽﾄﾌｧｲﾙ(*.txt)\0*.txt\0\0";
const char kBrowseInitialName[] = "link.html";
const char kBrowseDefaultExt[] = "html";
const DWORD kBrowseFlags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_CREATEPROMPT;  // 0x2006
// Room for long paths; the platform reports a longer choice as a failure.
const size_t kBrowseBufferSize = 32768;
}  // namespace

const CommandEntry<CMainDlg> CMainDlg::kCommands[] = {
    {IDC_STYLE_SINGLE, BN_CLICKED, &CMainDlg::OnStyleSingle},
    {IDC_STYLE_INDEX, BN_CLICKED, &CMainDlg::OnStyleIndex},
    {IDC_STYLE_FRAMES, BN_CLICKED, &CMainDlg::OnStyleFrames},
    {IDC_STYLE_ANCHORS, BN_CLICKED, &CMainDlg::OnStyleAnchors},
    {IDC_IMPORT, BN_CLICKED, &CMainDlg::OnImport},
    {IDC_BROWSE, BN_CLICKED, &CMainDlg::OnBrowse},
    {IDC_WRITE, BN_CLICKED, &CMainDlg::OnWrite},
    {IDC_DELETE, BN_CLICKED, &CMainDlg::OnDelete},
    {IDC_LINKLIST, LBN_DBLCLK, &CMainDlg::OnDelete},
    {IDC_BACKURL, EN_KILLFOCUS, &CMainDlg::OnBackUrlKillFocus},
    {IDC_PROFILE, BN_CLICKED, &CMainDlg::OnProfile},
    {IDOK, BN_CLICKED, &CMainDlg::OnOK},
    {IDCANCEL, BN_CLICKED, &CMainDlg::OnCancel},
};

CMainDlg::CMainDlg(ISettingsStore& store, IFolderSource& folders, IPageSink& pages)
    : CDialog(IDD_MAIN),
      m_icon(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_store(store),
      m_folders(folders),
      m_pages(pages) {
    FilterEnterAndEscape();
}

BOOL CMainDlg::OnInitDialog() {
    // Settings of any length must come and go unchanged, also when typed.
    for (int id : kEditIds) SendDlgItemMessageA(m_hwnd, id, EM_SETLIMITTEXT, 0, 0);
    CDialog::OnInitDialog();

    if (HMENU sysMenu = GetSystemMenu(m_hwnd, FALSE)) {
        char about[256] = "";
        if (LoadStringA(GetModuleHandleA(nullptr), IDS_ABOUTBOX, about, sizeof about) > 0) {
            AppendMenuA(sysMenu, MF_SEPARATOR, 0, nullptr);
            AppendMenuA(sysMenu, MF_STRING, kAboutCommandId, about);
        }
    }
    SendMessageA(m_hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    SendMessageA(m_hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));
    CheckStyleRadio();
    // Start-up always loads profile 1.
    SetWindowTextA(m_hwnd, kProfileChoices[0].title);
    ShowFieldValues();
    return TRUE;
}

bool CMainDlg::OnCommand(int id, int code) { return Dispatch(this, kCommands, id, code); }

bool CMainDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM, INT_PTR& result) {
    switch (msg) {
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == kAboutCommandId) {
            CAboutDlg about;
            about.DoModal(m_hwnd);
            return true;
        }
        return false;
    case WM_PAINT:
        return IsIconic(m_hwnd) && OnPaintMinimised();
    case WM_QUERYDRAGICON:
        result = reinterpret_cast<INT_PTR>(m_icon);
        return true;
    default:
        return false;
    }
}

bool CMainDlg::OnPaintMinimised() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hwnd, &ps);
    if (!dc) return false;
    SendMessageA(m_hwnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(m_hwnd, &client);
    int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, m_icon);
    EndPaint(m_hwnd, &ps);
    return true;
}

std::string CMainDlg::EditText(int id) const {
    HWND edit = GetDlgItem(m_hwnd, id);
    int len = GetWindowTextLengthA(edit);
    if (len <= 0) return std::string();
    // The reported length may exceed the text, never fall short of it.
    std::vector<char> buf(static_cast<size_t>(len) + 1, '\0');
    int got = GetWindowTextA(edit, buf.data(), len + 1);
    if (got <= 0) return std::string();
    return std::string(buf.data(), static_cast<size_t>(got < len ? got : len));
}

void CMainDlg::ShowEditText(int id, const std::string& text) {
    if (EditText(id) != text) SetDlgItemTextA(m_hwnd, id, text.c_str());
}

void CMainDlg::TakeControlValues() {
    if (!m_hwnd) return;
    // List box 1005 is bound too but exchanges no value.
    m_caption = EditText(IDC_CAPTION);
    m_useJava = static_cast<int>(IsDlgButtonChecked(m_hwnd, IDC_USEJAVA));
    m_backUrl = EditText(IDC_BACKURL);
    m_outputPath = EditText(IDC_OUTPUT);
    m_stdGenre = EditText(IDC_STDGENRE);
    m_excludeText = EditText(IDC_EXCLUDE);
    m_includeText = EditText(IDC_INCLUDE);
}

void CMainDlg::ShowFieldValues() {
    if (!m_hwnd) return;
    ShowEditText(IDC_CAPTION, m_caption);
    if (m_useJava < 0 || m_useJava > 2) m_useJava = 0;
    CheckDlgButton(m_hwnd, IDC_USEJAVA, static_cast<UINT>(m_useJava));
    ShowEditText(IDC_BACKURL, m_backUrl);
    ShowEditText(IDC_OUTPUT, m_outputPath);
    ShowEditText(IDC_STDGENRE, m_stdGenre);
    ShowEditText(IDC_EXCLUDE, m_excludeText);
    ShowEditText(IDC_INCLUDE, m_includeText);
}

void CMainDlg::LinkListChanged() {
    if (!m_hwnd) return;
    HWND list = GetDlgItem(m_hwnd, IDC_LINKLIST);
    const std::vector<CLinkEntry>& items = m_linkList.Items();
    size_t bytes = 0;
    for (const CLinkEntry& e : items) bytes += e.text.size() + 1;
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    SendMessageA(list, LB_INITSTORAGE, items.size(), static_cast<LPARAM>(bytes));
    // Insert at the end: the list box must show the model's order, which the
    // control's own sorted add would not keep.
    for (const CLinkEntry& e : items)
        SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(e.text.c_str()));
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void CMainDlg::ShowMessage(const std::string& text, MsgKind kind) { MsgBox(m_hwnd, text, kind); }

void CMainDlg::BeginWaitCursor() {
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    if (m_waitDepth++ == 0) m_restoreCursor = previous;
}

void CMainDlg::EndWaitCursor() {
    if (m_waitDepth == 0) return;
    if (--m_waitDepth == 0)
        SetCursor(m_restoreCursor ? m_restoreCursor : LoadCursorA(nullptr, IDC_ARROW));
}

void CMainDlg::CheckStyleRadio() {
    for (const auto& r : kStyleRadios)
        CheckDlgButton(m_hwnd, r.id, m_style == r.style ? BST_CHECKED : BST_UNCHECKED);
}

void CMainDlg::OnImport() { ImportFavorites(*this, *this, m_folders); }

void CMainDlg::OnWrite() { RunWrite(*this, *this, m_pages); }

void CMainDlg::OnDelete() {
    HWND list = GetDlgItem(m_hwnd, IDC_LINKLIST);
    LRESULT sel = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (sel == LB_ERR || sel < 0) return;
    m_linkList.DeleteAt(static_cast<size_t>(sel));
    SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(sel), 0);
}

void CMainDlg::OnBrowse() {
    TakeControlValues();
    std::vector<char> file(kBrowseBufferSize, '\0');
    // Always proposes the default name, whatever the field holds.
    memcpy(file.data(), kBrowseInitialName, sizeof kBrowseInitialName);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_hwnd;
    ofn.lpstrFilter = kBrowseFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrDefExt = kBrowseDefaultExt;
    ofn.Flags = kBrowseFlags;
    if (!GetSaveFileNameA(&ofn)) return;
    file.back() = '\0';
    m_outputPath = file.data();
    ShowFieldValues();
}

void CMainDlg::OnProfile() {
    // Its result is not examined: after Cancel the choice is the one last
    // confirmed, so the active profile is reloaded.
    m_profileDlg.DoModal(m_hwnd);
    if (const ProfileChoice* row = SwitchProfile(m_store, m_profileDlg.m_profileChoice, *this))
        SetWindowTextA(m_hwnd, row->title);
    CheckStyleRadio();
    ShowFieldValues();
}
