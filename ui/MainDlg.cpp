#include "ui/MainDlg.h"

#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "settings/Profile.h"
#include "core/Texts.h"
#include "core/WinText.h"
#include "export/CheckReport.h"
#include "export/Export.h"
#include "links/BrowserProfiles.h"
#include "links/Import.h"
#include "links/SourceSetting.h"
#include "res/resource.h"
#include "ui/AboutDlg.h"
#include "ui/LinkCheckDlg.h"

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
    {STYLE_TODAY, IDC_STYLE_TODAY},
};

const int kEditIds[] = {IDC_CAPTION, IDC_BACKURL, IDC_OUTPUT, IDC_STDGENRE, IDC_EXCLUDE, IDC_INCLUDE};

// Save As: the types in order, each display text then pattern; the list
// ends with an empty pair.
const char kBrowseFilter[] = "HTMLドキュメント(*.html)\0*.html\0ﾃｷｽﾄﾌｧｲﾙ(*.txt)\0*.txt\0\0";
const char kBrowseInitialName[] = "link.html";
const char kBrowseDefaultExt[] = "html";
const DWORD kBrowseFlags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_CREATEPROMPT;  // 0x2006
// Room for the longest path Windows has; a longer choice is reported as a failure.
const size_t kBrowseBufferSize = 32768;

// Open for a bookmark HTML file.
const char kHtmlSourceFilter[] =
    "ブックマーク ファイル (*.html;*.htm)\0*.html;*.htm\0すべてのファイル (*.*)\0*.*\0\0";
const DWORD kHtmlSourceFlags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;

// The common part of Save As and Open: owner, types (|filter|, kept alive
// by the caller), the first type chosen, and the file name buffer.
OPENFILENAMEW FileDialogOf(HWND owner, const std::wstring& filter, std::vector<wchar_t>& file) {
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    return ofn;
}
}  // namespace

const CommandEntry<CMainDlg> CMainDlg::kCommands[] = {
    {IDC_STYLE_SINGLE, BN_CLICKED, &CMainDlg::OnStyleSingle},
    {IDC_STYLE_INDEX, BN_CLICKED, &CMainDlg::OnStyleIndex},
    {IDC_STYLE_FRAMES, BN_CLICKED, &CMainDlg::OnStyleFrames},
    {IDC_STYLE_ANCHORS, BN_CLICKED, &CMainDlg::OnStyleAnchors},
    {IDC_STYLE_TODAY, BN_CLICKED, &CMainDlg::OnStyleToday},
    {IDC_IMPORT, BN_CLICKED, &CMainDlg::OnImport},
    {IDC_BROWSE, BN_CLICKED, &CMainDlg::OnBrowse},
    {IDC_WRITE, BN_CLICKED, &CMainDlg::OnWrite},
    {IDC_LINKCHECK, BN_CLICKED, &CMainDlg::OnLinkCheck},
    {IDC_DELETE, BN_CLICKED, &CMainDlg::OnDelete},
    {IDC_LINKLIST, LBN_DBLCLK, &CMainDlg::OnDelete},
    {IDC_BACKURL, EN_KILLFOCUS, &CMainDlg::OnBackUrlKillFocus},
    {IDC_PROFILE, BN_CLICKED, &CMainDlg::OnProfile},
    {IDC_SOURCE, CBN_SELCHANGE, &CMainDlg::OnSourceChange},
    {IDOK, BN_CLICKED, &CMainDlg::OnOK},
    {IDCANCEL, BN_CLICKED, &CMainDlg::OnCancel},
};

CMainDlg::CMainDlg(ISettingsStore& store, IFolderSource& folders, IBookmarkFiles& files, IPageSink& pages,
                   CCheckServices& check)
    : CDialog(IDD_MAIN),
      m_icon(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))),
      m_store(store),
      m_folders(folders),
      m_files(files),
      m_pages(pages),
      m_check(check) {
    FilterEnterAndEscape();
}

BOOL CMainDlg::OnInitDialog() {
    // Settings of any length must come and go unchanged, also when typed.
    for (int id : kEditIds) SendDlgItemMessageW(m_hwnd, id, EM_SETLIMITTEXT, 0, 0);
    CDialog::OnInitDialog();

    if (HMENU sysMenu = GetSystemMenu(m_hwnd, FALSE)) {
        // With no buffer, LoadStringW points into the resource itself.
        const wchar_t* about = nullptr;
        int length = LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUTBOX, reinterpret_cast<LPWSTR>(&about), 0);
        if (length > 0 && about) {
            AppendMenuW(sysMenu, MF_SEPARATOR, 0, nullptr);
            AppendMenuW(sysMenu, MF_STRING, kAboutCommandId, std::wstring(about, length).c_str());
        }
    }
    SendMessageW(m_hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    SendMessageW(m_hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));
    CheckStyleRadio();
    m_browserProfiles = FindBrowserProfiles(m_files);
    ShowSourceChoices();
    // Start-up always loads profile 1.
    SetWindowTextW(m_hwnd, WideText(kProfileChoices[0].title).c_str());
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
    SendMessageW(m_hwnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
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
    int len = GetWindowTextLengthW(edit);
    if (len <= 0) return std::string();
    // The reported length may exceed the text, never fall short of it.
    std::vector<wchar_t> buf(static_cast<size_t>(len) + 1, L'\0');
    int got = GetWindowTextW(edit, buf.data(), len + 1);
    if (got <= 0) return std::string();
    return TextFromWide(buf.data(), static_cast<size_t>(got < len ? got : len));
}

void CMainDlg::ShowEditText(int id, const std::string& text) {
    if (EditText(id) != text) SetDlgItemTextW(m_hwnd, id, WideText(text).c_str());
}

void CMainDlg::TakeControlValues() {
    if (!m_hwnd) return;
    // List box 1005 is bound too but exchanges no value.
    m_caption = EditText(IDC_CAPTION);
    m_useJava = static_cast<int>(IsDlgButtonChecked(m_hwnd, IDC_USEJAVA));
    m_backUrl = EditText(IDC_BACKURL);
    const std::string output = EditText(IDC_OUTPUT);
    // Edited by hand: the path chosen in Save As no longer applies.
    if (output != m_outputPath) m_outputRealPath.clear();
    m_outputPath = output;
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
    // One buffer, reused for every text and made large enough for the
    // longest before the box is touched (a text never has more UTF-16
    // units than bytes): filling cannot fail half-way, and no buffer of
    // all the texts (megabytes at the link limit) is made and freed.
    const std::vector<CLinkEntry>& items = m_linkList.Items();
    size_t longest = 0, bytes = 0;
    for (const CLinkEntry& e : items) {
        const size_t size = e.realPath.empty() ? e.text.size() : e.realPath.size();
        longest = std::max(longest, size);
        bytes += size + 1;
    }
    std::u16string shown;
    shown.reserve(longest);
    HWND list = GetDlgItem(m_hwnd, IDC_LINKLIST);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    SendMessageW(list, LB_INITSTORAGE, items.size(), static_cast<LPARAM>(bytes * sizeof(wchar_t)));
    // Insert at the end: the list box must show the model's order, which the
    // control's own sorted add would not keep.
    for (const CLinkEntry& e : items) {
        shown.clear();
        // The real path: the text of a name code page 932 cannot spell
        // holds references the user never typed.
        if (e.realPath.empty())
            AppendUtf16FromText(e.text, shown);
        else
            shown.assign(e.realPath.begin(), e.realPath.end());
        SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(shown.c_str()));
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void CMainDlg::ShowMessage(const std::string& text, MsgKind kind) { MsgBox(m_hwnd, text, kind); }

void CMainDlg::BeginWaitCursor() {
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    if (m_waitDepth++ == 0) m_restoreCursor = previous;
}

void CMainDlg::EndWaitCursor() {
    if (m_waitDepth == 0) return;
    if (--m_waitDepth == 0)
        SetCursor(m_restoreCursor ? m_restoreCursor : LoadCursorW(nullptr, IDC_ARROW));
}

void CMainDlg::CheckStyleRadio() {
    for (const auto& r : kStyleRadios)
        CheckDlgButton(m_hwnd, r.id, m_style == r.style ? BST_CHECKED : BST_UNCHECKED);
}

void CMainDlg::OnImport() { RunImport(*this, *this, m_folders, m_files); }

void CMainDlg::OnWrite() {
    // The fifth style marks the links the stored check results call dead.
    CCheckResults results;
    const bool marked = m_style == STYLE_TODAY && ReadStoredResults(m_check.files, ProfileNumber(), results);
    RunWrite(*this, *this, m_pages, marked ? &results : nullptr);
}

int CMainDlg::ProfileNumber() const {
    for (int i = 0; i < 4; ++i)
        if (m_profileSection == kProfileChoices[i].section) return i + 1;
    return 1;
}

void CMainDlg::OnLinkCheck() {
    if (m_linkList.Count() == 0) {
        ShowMessage(kEmptyListText, MsgKind::Refusal);
        return;
    }
    CCheckRunOutcome outcome;
    try {
        size_t notChecked = 0;
        std::vector<std::string> addresses;
        {
            // Reading 30000 shortcut files takes a moment.
            BeginWaitCursor();
            struct CEnd {
                CMainDlg& dlg;
                ~CEnd() { dlg.EndWaitCursor(); }
            } end{*this};
            addresses = AddressesToCheck(m_linkList, notChecked);
        }
        if (addresses.empty()) {
            ShowMessage(kCheckNothingText, MsgKind::Refusal);
            return;
        }
        CLinkCheckDlg progress(ProfileNumber(), addresses, notChecked, m_check);
        progress.DoModal(m_hwnd);
        if (progress.m_error) std::rethrow_exception(progress.m_error);
        outcome = std::move(progress.m_outcome);
    } catch (...) {
        ShowMessage(std::string(kCheckFailedText) + "\n" + ErrorText(std::current_exception()), MsgKind::Refusal);
        return;
    }
    const bool checked = outcome.end == CheckRunEnd::Checked || outcome.end == CheckRunEnd::Stopped;
    HostName report;
    bool reported = false;
    if (checked) {
        try {
            reported = StoreCheckReport(*this, outcome.results, m_check.clock.Now(), m_check.files, ProfileNumber(),
                                        report);
        } catch (...) {
            // Without memory for the page the results are still stored.
        }
        if (reported) outcome.text += std::string("\n") + kCheckReportText + TextFromHostName(report);
    }
    ShowMessage(outcome.text, checked ? MsgKind::Completion : MsgKind::Refusal);
    if (reported) ShellExecuteW(m_hwnd, L"open", report.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CMainDlg::OnDelete() {
    HWND list = GetDlgItem(m_hwnd, IDC_LINKLIST);
    LRESULT sel = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (sel == LB_ERR || sel < 0) return;
    m_linkList.DeleteAt(static_cast<size_t>(sel));
    SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(sel), 0);
}

void CMainDlg::OnBrowse() {
    TakeControlValues();
    std::vector<wchar_t> file(kBrowseBufferSize, L'\0');
    // Always proposes the default name, whatever the field holds.
    const std::wstring initial = WideText(kBrowseInitialName);
    std::copy(initial.begin(), initial.end(), file.begin());
    const std::wstring filter = WideText(std::string(kBrowseFilter, sizeof kBrowseFilter - 1));
    const std::wstring defaultExt = WideText(kBrowseDefaultExt);
    OPENFILENAMEW ofn = FileDialogOf(m_hwnd, filter, file);
    ofn.lpstrDefExt = defaultExt.c_str();
    ofn.Flags = kBrowseFlags;
    if (!GetSaveFileNameW(&ofn)) return;
    file.back() = L'\0';
    // The dialog's own path is the file written, whatever its text becomes.
    m_outputRealPath = file.data();
    m_outputPath = TextFromWide(m_outputRealPath);
    ShowFieldValues();
}

void CMainDlg::OnProfile() {
    // Its result is not examined: after Cancel the choice is the one last
    // confirmed, so the active profile is reloaded.
    m_profileDlg.DoModal(m_hwnd);
    if (const ProfileChoice* row = SwitchProfile(m_store, m_profileDlg.m_profileChoice, *this))
        SetWindowTextW(m_hwnd, WideText(row->title).c_str());
    CheckStyleRadio();
    m_browserProfiles = FindBrowserProfiles(m_files);
    ShowSourceChoices();
    ShowFieldValues();
}

void CMainDlg::ShowSourceChoices() {
    m_sourceChoices = SourceChoices(m_files, m_browserProfiles, m_source, m_htmlChosen[m_profileSection]);
    HWND combo = GetDlgItem(m_hwnd, IDC_SOURCE);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    HDC dc = GetDC(combo);
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(combo, WM_GETFONT, 0, 0)));
    LONG widest = 0;
    for (const CSourceChoice& c : m_sourceChoices) {
        const std::wstring text = WideText(c.text);
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SIZE size = {};
        if (GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size) && size.cx > widest)
            widest = size.cx;
    }
    SelectObject(dc, oldFont);
    ReleaseDC(combo, dc);
    // Room for the item margins and a scroll bar, never narrower than the box.
    RECT box;
    GetWindowRect(combo, &box);
    const LONG width = widest + 2 * GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXVSCROLL) + 8;
    SendMessageW(combo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(std::max<LONG>(width, box.right - box.left)), 0);
    m_sourceIndex = ChoiceIndex(m_sourceChoices, m_source);
    SendMessageW(combo, CB_SETCURSEL, m_sourceIndex, 0);
}

void CMainDlg::OnSourceChange() {
    const LRESULT sel = SendDlgItemMessageW(m_hwnd, IDC_SOURCE, CB_GETCURSEL, 0, 0);
    if (sel == CB_ERR || sel < 0 || static_cast<size_t>(sel) >= m_sourceChoices.size()) return;
    const CSourceChoice& choice = m_sourceChoices[static_cast<size_t>(sel)];
    if (choice.kind == CSourceChoice::Chooser) {
        ChooseHtmlSource();
        return;
    }
    // Choosing reads nothing: Import reads the source.
    m_source = choice.setting;
    m_sourceIndex = static_cast<size_t>(sel);
}

void CMainDlg::ChooseHtmlSource() {
    std::vector<wchar_t> file(kBrowseBufferSize, L'\0');
    const std::wstring filter = WideText(std::string(kHtmlSourceFilter, sizeof kHtmlSourceFilter - 1));
    OPENFILENAMEW ofn = FileDialogOf(m_hwnd, filter, file);
    ofn.Flags = kHtmlSourceFlags;
    if (!GetOpenFileNameW(&ofn)) {
        SendDlgItemMessageW(m_hwnd, IDC_SOURCE, CB_SETCURSEL, m_sourceIndex, 0);
        return;
    }
    file.back() = L'\0';
    const std::string setting = SourceSetting(CSource{SourceKind::Html, TextFromWide(std::wstring(file.data()))});
    std::vector<std::string>& chosen = m_htmlChosen[m_profileSection];
    if (std::find(chosen.begin(), chosen.end(), setting) == chosen.end()) chosen.push_back(setting);
    m_source = setting;
    ShowSourceChoices();
}
