// The end-to-end driver: starts the real Orvelle.exe, works its windows from
// outside like a user would, and checks what the user sees, the registry and
// the pages written. Every wait is bounded; nothing here can hang the suite.
#pragma once
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "res/resource.h"  // control and command ids, shared with the program

namespace drv {

// Where things are, from the command line (code page 932 like every path of
// the driver; one that code page 932 cannot spell is refused at start).
struct CConfig {
    std::string orvelleExe;  // Windows path of Orvelle.exe
    std::string workDir;     // scratch folder of the suite (Windows path)
    std::string shotsDir;    // screenshots go here when not empty
    std::string driverExe;   // this program, for the recorded "open" handler
};
extern CConfig g_config;
// The Orvelle process running now, for the watchdog to end.
extern volatile HANDLE g_runningProgram;

// Timeouts in milliseconds: bounds, never measurements.
// The first start of a Wine session, whose services start beside it, took
// up to 1.7 s on a loaded 2-core machine here (0.16 to 0.64 s in a new
// prefix with the page cache emptied, both cores busy and the disk written
// to) and over 15 s once on a fresh machine; a start stops waiting as soon
// as its dialog, a box or its end shows.
constexpr DWORD kStartTimeout = 60000;
constexpr DWORD kWindowTimeout = 8000;
constexpr DWORD kSyncTimeout = 15000;
constexpr DWORD kWriteTimeout = 20000;

// The message that ends a completed Write, and the refusals the scenarios
// expect (typed here by hand, never taken from the program).
const char kWrittenText[] = "ファイルへの出力が完了しました。";
const char kEmptyList[] = "出力する内容がありません";
const char kBadName[] = "フォルダ名かファイル名が不正です。確認してください。";
const char kUnreadable[] = "ブックマークを読み込めませんでした。";

// Texts: the driver works in code page 932 like the program, converted with
// code page 932 given explicitly (never the system's code page, which is 932,
// 1252 or 65001 in the suite's runs); windows of another process, the
// registry and file names are UTF-16, always reached through W functions.
// A character without a code page 932 form becomes "?", never a look-alike:
// ¥ stays no separator.
std::string ToCp932(const std::wstring& text);
std::wstring FromCp932(const std::string& text);
// True when |text| has a code page 932 form that converts back to it.
bool HasCp932Form(const std::wstring& text);
// Printable form of bytes for failure messages (non-ASCII as \xNN), and of
// UTF-16 (non-ASCII as \u{N}).
std::string Visible(const std::string& bytes);
std::string Visible(const std::wstring& text);
std::string Num(long long n);

// Polls pred every 20 ms until it holds or timeoutMs has passed.
bool WaitUntil(const std::function<bool()>& pred, DWORD timeoutMs);

// Result collector of one scenario: each failed check adds a reason.
class CCheck {
public:
    bool That(bool cond, const std::string& why);
    // Byte-exact comparison; on a difference tells where and shows both sides.
    bool Same(const std::string& got, const std::string& want, const std::string& what);
    bool Failed() const { return !m_fails.empty(); }
    std::string Reasons() const;

private:
    std::vector<std::string> m_fails;
};

// One running Orvelle.exe. The destructor kills it if it still runs.
class COrvelle {
public:
    COrvelle() = default;
    COrvelle(const COrvelle&) = delete;
    COrvelle& operator=(const COrvelle&) = delete;
    ~COrvelle();

    // Starts the program with the given current folder (Windows path) and
    // waits for its main dialog titled mainTitle, printing how long that
    // took ("start: 0.42 s"). False with the reason on failure: the process
    // ended (its exit code), a message box is open (its caption and text),
    // the windows it showed instead, or no window at all.
    bool Start(CCheck& check, const std::string& currentDir,
               const std::string& mainTitle = "Orvelle - 設定１");
    // The same in a fresh folder "run" below the work folder, so that a
    // relative output file lands nowhere else.
    bool Start(CCheck& check);
    HWND Main() const { return m_main; }
    DWORD Pid() const { return m_pi.dwProcessId; }
    bool Running() const;
    // Waits for the process to end on its own.
    bool WaitExit(DWORD timeoutMs);
    // Ends the program with 終了(&X), or the close box (SC_CLOSE), and waits
    // for it; when it does not end, a failure naming the boxes left open.
    bool ExitWithOk(CCheck& check, DWORD timeoutMs = kWindowTimeout);
    bool ExitWithClose(CCheck& check);
    void Kill();

    HWND Item(int id) const { return GetDlgItem(m_main, id); }
    std::string Title() const;
    std::string Text(int id) const;
    bool SetText(int id, const std::string& text);
    int Checked(int id) const;  // BM_GETCHECK, -1 when the control is missing
    // The style radios checked now, in the order of the styles 1 to 5.
    std::vector<int> CheckedStyles() const;
    // Clicks check box id (synchronously) when its state is not |on|.
    bool SetCheck(int id, bool on);
    // Clicks a button by posting its notification: returns at once, so a
    // handler that opens a modal box cannot block the driver.
    void Click(int id);
    // Clicks and waits until the handler has returned (for handlers without
    // a modal box: Import, Delete, the radios). False on timeout.
    bool ClickSync(int id);
    // Presses Write and takes the message box that ends it. False if none
    // came or its text could not be read; why (when given) says which.
    bool Write(std::string* text, DWORD timeoutMs = kWriteTimeout, std::string* why = nullptr);
    // A system command (SC_CLOSE, IDM_ABOUTBOX), posted.
    void SysCommand(WPARAM cmd);
    // Moves the keyboard focus to control id through the dialog manager.
    void FocusTo(int id);
    // Posts a key-down (and key-up) of vk to control id.
    void Key(int id, WPARAM vk);
    // Sends nothing but waits until the dialog has handled what was posted.
    bool Settle();

    std::vector<std::string> ListItems() const;  // the list box IDC_LINKLIST
    std::vector<std::wstring> ListItemsW() const;  // the same as UTF-16, as shown
    std::wstring TextW(int id) const;
    bool SetTextW(int id, const std::wstring& text);
    bool ListSelect(int index);
    // A real double click on entry index of the list box.
    bool ListDoubleClick(int index);

    // A top-level dialog (#32770) of this process with exactly this caption,
    // other than the main window; nullptr after timeoutMs.
    HWND FindDialog(const std::string& caption, DWORD timeoutMs) const;
    // Any top-level dialog of the process owned by owner.
    HWND FindOwnedDialog(HWND owner, DWORD timeoutMs) const;
    // Waits for a message box with this caption and takes it (TakeBox).
    // False if none came or its text could not be read; why says which.
    bool TakeMessageBox(const std::string& caption, std::string* text,
                        DWORD timeoutMs = kWindowTimeout, std::string* why = nullptr);
    // Texts of every message box open now (for failure reasons), all closed.
    std::string DismissStrayBoxes();

private:
    bool AwaitExit(CCheck& check, const std::string& how, DWORD timeoutMs);

    PROCESS_INFORMATION m_pi{};
    HWND m_main = nullptr;
};

// Window helpers that work across processes.
// SendMessage bounded by kSyncTimeout; false when the window did not answer.
bool SendBounded(HWND hwnd, UINT msg, WPARAM w, LPARAM l, DWORD_PTR* result = nullptr);
// Reads the text of message box box (bounded, waiting: see Harness.cpp).
// False with the reason in why.
bool BoxText(HWND box, std::string* text, std::string* why);
// Reads the text of message box box, presses OK and waits for it to close.
// False, with the reason in why (when given), if the text could not be read.
bool TakeBox(HWND box, std::string* text, std::string* why = nullptr);
// Posts the click notification of button id to dlg.
void PressButton(HWND dlg, int id);
bool WaitClosed(HWND dlg, DWORD timeoutMs = kWindowTimeout);
std::string WindowText(HWND hwnd);
std::wstring WindowTextW(HWND hwnd);
bool SetWindowTextTo(HWND hwnd, const std::string& text);
bool SetWindowTextTo(HWND hwnd, const std::wstring& text);
std::string ClassOf(HWND hwnd);
// The caption kept with a window, read without a message to its process.
std::string CaptionOf(HWND hwnd);
// Texts of the items of a combo box.
std::vector<std::string> ComboItems(HWND combo);
std::vector<std::wstring> ComboItemsW(HWND combo);  // the same as UTF-16, as shown
// The selected item of a list or combo box (LB_GETCURSEL or CB_GETCURSEL).
int Cursel(HWND box, UINT getCursel);
// Saves a picture of the window into the screenshot folder as name.bmp.
void Shot(HWND hwnd, const std::string& name);

// Registry values. Key and value names are code page 932; the data are the
// stored bytes as they are (a text type in UTF-16).
struct CRegValue {
    bool present = false;
    DWORD type = 0;
    std::string bytes;
};
CRegValue ReadValue(HKEY root, const std::string& keyPath, const std::string& name);
// Stores bytes; those of a text type (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ)
// are code page 932 and stored as UTF-16, zeros included.
bool WriteValue(HKEY root, const std::string& keyPath, const std::string& name, DWORD type, const std::string& bytes);
// Stores the bytes as they are, whatever the type.
bool WriteRawValue(HKEY root, const std::string& keyPath, const std::string& name, DWORD type,
                   const std::string& bytes);
// The UTF-16LE bytes of text (what a text value holds).
std::string Utf16Bytes(const std::wstring& text);
// The UTF-8 bytes of text (what a bookmark file, a pipe or a log holds).
std::string Utf8Bytes(const std::wstring& text);
// A Bookmarks file as a Chromium browser writes it, its bar named |barName|
// holding what titles and addresses make hard: a title with markup linking
// to |scriptUrl| (JSON-escaped), and the folder "Tools\é" whose links carry
// a "\" and characters code page 932 cannot spell, in titles and in
// addresses to be percent-encoded. |roots|: the roots after the bar.
std::wstring HardNamesBookmarks(const std::wstring& barName, const std::wstring& scriptUrl, const std::wstring& roots);
// A value changed for one scenario: put back as it was, or removed, at the end.
class CSavedValue {
public:
    CSavedValue(HKEY root, const std::string& keyPath, const std::string& name);
    CSavedValue(const CSavedValue&) = delete;
    CSavedValue& operator=(const CSavedValue&) = delete;
    ~CSavedValue();
    bool Set(DWORD type, const std::string& bytes);

private:
    HKEY m_root;
    std::string m_key, m_name;
    CRegValue m_old;
};
// The bytes of value, lowest first.
std::string LittleEndian(unsigned long long value, int size);

// Settings of the program below HKCU\software\Fenwold Applications\Orvelle.
void ResetSettings();
CRegValue ReadSetting(const std::string& section, const std::string& name);
// Number of values in a section, -1 if the section key does not exist.
int SettingCount(const std::string& section);
// Every value below the program's company key, one line each (key, name,
// type, bytes): two snapshots differ exactly when a value changed. Empty
// keys are left out, so that a key made by a read does not count.
std::string SettingsSnapshot();
// Stores bytes of any type (a text type's as WriteValue does); the string
// forms add the closing NUL.
bool PutSetting(const std::string& section, const std::string& name, DWORD type, const std::string& bytes);
bool PutSettingString(const std::string& section, const std::string& name, const std::string& text);
bool PutSettingStringW(const std::string& section, const std::string& name, const std::wstring& text);
bool PutSettingDword(const std::string& section, const std::string& name, DWORD value);
// Lets everyone only read (and delete) the section key: Wine then refuses the
// program's open with write access, so every read falls back and every write fails.
bool ProtectSection(const std::string& section);
// Checks one value: its type and its exact bytes (a string as UTF-16 with
// its NUL character; text given in code page 932 or as UTF-16).
void ExpectSz(CCheck& check, const std::string& section, const std::string& name,
              const std::string& text);
void ExpectSzW(CCheck& check, const std::string& section, const std::string& name,
               const std::wstring& text);
void ExpectDword(CCheck& check, const std::string& section, const std::string& name, DWORD value);
// Checks all eight values of a section at once.
struct CProfileValues {
    std::string myurl, java, output, caption, stdGenre;
    DWORD style = 1;
    std::string disabled, enabled;
};
CProfileValues DefaultValues();
void ExpectProfile(CCheck& check, const std::string& section, const CProfileValues& values);

// Checks that exactly the style radios want are checked (none: empty).
void ExpectCheckedStyles(CCheck& check, const COrvelle& app, const std::vector<int>& want, const std::string& when);
// Where a dialog template puts a control, in dialog units; cy < 0 for a
// control whose height is its own (a drop-down list's cy is its list's).
struct CUnitRect {
    int x, y, cx, cy;
};
// The pixels the dialog manager makes of r under base units bx and by
// (MulDiv by bx/4 across and by/8 down, each value on its own).
RECT DialogPixels(const CUnitRect& r, int bx, int by);
// control's rectangle in its parent's client area, in pixels.
RECT ClientRectOf(HWND control);
// The child window of dlg that shows exactly text (a label, a group box).
HWND ChildWithText(HWND dlg, const std::string& text);
// Base units under which each control of placed sits exactly where its
// rectangle says; false when no pair fits them all (a control moved).
bool FitBaseUnits(const std::vector<std::pair<HWND, CUnitRect>>& placed, int* bx, int* by);
// Checks that control sits at r under base units bx and by.
void ExpectPlaced(CCheck& check, HWND control, const CUnitRect& r, int bx, int by, const std::string& what);

// Presses Write and checks the text of the message box that ends it.
void WriteExpecting(CCheck& check, COrvelle& app, const std::string& text, const std::string& what = "Write");
// Two lists of texts (list box or combo box items): on a difference, the
// counts and the first item that differs.
void SameItems(CCheck& check, const std::vector<std::wstring>& got, const std::vector<std::wstring>& want,
               const std::string& what);

// The profile dialog (IDC_PROFILE): opens it, checks it offers the four
// profiles, picks item pick (-1: none), shows it in a screenshot when shot,
// and ends it with button. selectedBefore receives the preselection shown
// on opening. False, with the reason in check, when anything went wrong.
bool ChooseProfile(CCheck& check, COrvelle& app, int pick, int button = IDOK, int* selectedBefore = nullptr,
                   bool shot = false);
// The file name field of a file dialog (Save As, Open): the edit inside
// combo box 1148, or the combo box.
HWND FileNameField(HWND dlg);
// Opens Save As with the browse button: a dialog owned by the main dialog.
HWND OpenSaveAs(CCheck& check, COrvelle& app);
// Types path into the file name field of Save As and presses Save; true
// when the dialog closed and no box was left open.
bool SaveAs(CCheck& check, COrvelle& app, HWND dlg, const std::wstring& path);
bool SaveAs(CCheck& check, COrvelle& app, HWND dlg, const std::string& path);

// One run of Orvelle.exe with arguments, as a scheduled task starts it: its
// standard output is a pipe, read to the end.
struct CCommandRun {
    int exitCode = -1;                 // -1: it did not start, or was ended
    bool started = false;
    DWORD seconds = 0;                 // how long it ran, whole seconds
    std::string output;                // the bytes it wrote to the pipe
    std::vector<std::string> windows;  // visible top-level windows it showed
};
// Runs it in currentDir with arguments after its quoted path, looking for
// windows of the process every few ms until it ends; ended after timeoutMs
// (as long as a first start may take: a run once did not end within 20 s),
// or 3 s after a window appeared (a message box would wait for ever). |exe|
// is another copy of Orvelle.exe to run (empty: the one built).
CCommandRun RunOrvelle(const std::wstring& arguments, const std::string& currentDir,
                       DWORD timeoutMs = kStartTimeout, const std::string& exe = std::string());
// What a run tells its standard output of text (code page 932, lines ended
// by "\n"): in UTF-8, each line ended by CR LF, the last one too.
std::string Told(const std::string& text);
// A run that must end on its own with |exitCode| and show nothing; |exe| a
// copy of Orvelle.exe elsewhere (empty: the one built).
CCommandRun RunQuietly(CCheck& t, const std::wstring& args, const std::string& dir, int exitCode,
                       const std::string& exe = std::string());
// "/write 2" run in |out|: it must write exactly the file |page| as |want|,
// tell so with the page's path, show nothing and store no setting.
void WriteCommandWritesPage(CCheck& t, const std::string& out, const std::string& page, const std::string& want);
// What went wrong with a run that did not end by itself, for a failure
// message: it did not start, or it was ended after so many seconds.
std::string HowItEnded(const CCommandRun& run);
// RunQuietly of |args| with "/log |log|" added, in |dir|: |text| told, and
// the log grown by one line, a time stamp of the run, the profile, the exit
// code and |text| with its line breaks made spaces (UTF-8, CR LF).
CCommandRun RunLogged(CCheck& t, const std::wstring& args, const std::string& dir, const std::string& log,
                      int profile, int exitCode, const std::string& text, const std::string& what);

// The Favorites folder of the prefix user, without a trailing separator.
std::string FavoritesPath();
std::wstring FavoritesPathW();
// One entry of a Favorites tree: a folder when url is nullptr, else a
// shortcut file in the usual layout; readOnly folders lose their write
// permission (Wine then reports the attribute word 17).
struct CFavEntry {
    const char* path;  // relative to the Favorites folder, cp932
    const char* url;
    bool readOnly = false;
};
// Empties the Favorites folder and builds the tree. False with a reason.
bool MakeFavorites(CCheck& check, const std::vector<CFavEntry>& entries);
// The same for a tree whose names are given by their real UTF-16 spelling.
struct CWideFavEntry {
    std::wstring path;  // relative to the Favorites folder
    const char* url;    // nullptr: a folder
};
bool MakeWideFavorites(CCheck& check, const std::vector<CWideFavEntry>& entries);
void ClearFavorites();
std::string ShortcutText(const std::string& url);

// Browser data below the prefix user's application data folders, where
// Orvelle looks for browser profiles: the local one (FOLDERID_LocalAppData,
// the Chromium family) or the roaming one (FOLDERID_RoamingAppData,
// C:\users\<user>\AppData\Roaming: Firefox and its forks). Empty when the
// shell gives none.
enum class AppData { Local, Roaming };
std::wstring AppDataPathW(AppData which);
// The browsers' folders below one of them that a scenario owns (|homes|,
// relative), removed before and after with their parents where those are
// left empty, so that every other scenario finds no such profile.
class CAppDataTree {
public:
    CAppDataTree(AppData which, std::vector<std::wstring> homes);
    ~CAppDataTree();
    CAppDataTree(const CAppDataTree&) = delete;
    CAppDataTree& operator=(const CAppDataTree&) = delete;
    const std::wstring& Root() const { return m_root; }
    // Stores bytes in the file |relative| below the root, with the folders above it.
    bool Put(CCheck& check, const std::wstring& relative, const std::string& bytes);
    void Remove();

private:
    std::wstring m_root;
    std::vector<std::wstring> m_homes;
};
// The homes of Firefox and of its forks below the roaming folder, as
// Orvelle looks for their profiles.ini.
const std::vector<std::wstring>& FirefoxHomes();

// The source drop-down (IDC_SOURCE). Its first and last items:
const wchar_t kFavoritesSourceItem[] = L"お気に入り フォルダー";
const wchar_t kChooserSourceItem[] = L"HTML ファイルを選ぶ...";
// Checks its items (as shown, UTF-16) and the one selected.
void ExpectSourceItems(CCheck& check, COrvelle& app, const std::vector<std::wstring>& want, int selected,
                       const std::string& when);
// Chooses item index as the user would: the selection, then its
// notification (posted: the last item opens a modal dialog).
void SelectSource(COrvelle& app, int index);
// Presses Import and waits for it; false when it did not return or showed a box.
bool ImportWithoutBox(CCheck& check, COrvelle& app, const std::string& what = "Import");
// At a fresh start: the drop-down's items as |want| with the first chosen,
// a screenshot |shot| of its open list, then item |pick| chosen and
// imported from (ImportWithoutBox).
bool ChooseListedSourceAndImport(CCheck& check, COrvelle& app, const std::vector<std::wstring>& want,
                                 const std::string& shot, int pick);
// Presses Import and expects the refusal of an unreadable source: the box
// "ブックマークを読み込めませんでした。" with |path| on its second line.
void ImportRefused(CCheck& check, COrvelle& app, const std::string& path, const std::string& what);

// One link of a code page 932 page as it must stand there: genre and link
// text in Orvelle's text (references for what code page 932 cannot spell),
// the address percent-encoded.
struct CPageRow {
    std::string genre, url, link;
};
// The single page of |rows| (in page order) under the title |caption|, JAVA
// on, as text mode writes it.
std::string SinglePageOf(const std::string& caption, const std::vector<CPageRow>& rows);
// Writes the list in the styles single (JAVA on), anchors (JAVA off, a
// return address), index and frames (JAVA on) into fresh work folders
// "<prefix>-single" and so on, and checks every page byte for byte against
// the fragments of |rows| in page order under the default title; the list
// must stay |list| throughout. Leaves the frames style checked and JAVA on.
void WriteFourStylesExpecting(CCheck& check, COrvelle& app, const std::vector<CPageRow>& rows,
                              const std::string& prefix, const std::vector<std::wstring>& list);

// Files, by a code page 932 path or by the real UTF-16 one; paths of 240
// characters or more are passed in the "\\?\" long form.
bool ReadBytes(const std::string& path, std::string* bytes);
bool ReadBytes(const std::wstring& path, std::string* bytes);
bool WriteBytes(const std::string& path, const std::string& bytes);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
// Checks that the file holds exactly want.
void ExpectFile(CCheck& check, const std::string& path, const std::string& want);
void ExpectFile(CCheck& check, const std::wstring& path, const std::string& want);
bool FileExists(const std::string& path);
bool FileExists(const std::wstring& path);
// Every file directly in folder (its folders left out), by name, with its bytes.
std::map<std::string, std::string> FilesIn(const std::string& folder);
bool MakeFolder(const std::string& path);  // also the folders above it
bool MakeFolder(const std::wstring& path);
void RemoveTree(const std::string& path);
void RemoveTree(const std::wstring& path);
// A fresh empty folder below the work folder; returns its full path.
std::string FreshWorkFolder(const std::string& name);
// The local time now as "YYYY-MM-DD hh:mm:ss", as logs and results write it.
std::string LocalStamp();
// The link check's test server that run.sh starts ("http://127.0.0.1:PORT",
// from ORV_LINK_SERVER); empty without one.
std::string LinkServer();
std::wstring FreshWorkFolder(const std::wstring& name);

// Scenarios.
struct CScenario {
    std::string name;
    std::function<void(CCheck&)> run;
};
void AddFoundationScenarios(std::vector<CScenario>& list);
void AddImportScenarios(std::vector<CScenario>& list);
void AddWriteScenarios(std::vector<CScenario>& list);
void AddDialogScenarios(std::vector<CScenario>& list);
void AddRobustnessScenarios(std::vector<CScenario>& list);
void AddTodaysNamesScenarios(std::vector<CScenario>& list);
void AddBookmarkScenarios(std::vector<CScenario>& list);
void AddCommandLineScenarios(std::vector<CScenario>& list);
void AddOutputPathScenarios(std::vector<CScenario>& list);
void AddTodayPageScenarios(std::vector<CScenario>& list);
void AddFirefoxScenarios(std::vector<CScenario>& list);
void AddLinkCheckScenarios(std::vector<CScenario>& list);
void AddLinkCheckDialogScenarios(std::vector<CScenario>& list);

// The walk-through of scripts/run.sh: Import, Write in five styles into
// outDir\pages\..., a screenshot, then exit. Returns the process exit code.
int RunDemo(const std::string& outDir);
// Import of count generated shortcuts and a Write in the frames style into
// outDir\frames, with wall times printed (bench/wine.sh).
int RunBench(int count, const std::string& outDir);

}  // namespace drv
