// The application object and the program's entry: load profile 1, run the
// main dialog, save the active profile.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "settings/Profile.h"
#include "settings/WinRegistryStore.h"
#include "check/WinCheckPlatform.h"
#include "cmdline/CommandLine.h"
#include "cmdline/WinCommandOutput.h"
#include "core/Text.h"
#include "core/Texts.h"
#include "core/WinText.h"
#include "export/WinPageSink.h"
#include "links/WinBookmarkFiles.h"
#include "links/WinFolderSource.h"
#include "ui/Dialog.h"
#include "ui/MainDlg.h"

namespace {

// The full path of the running executable, however long.
std::string ModulePath() {
    std::vector<wchar_t> buf(512);
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return std::string();
        if (n < buf.size()) return TextFromWide(buf.data(), n);
        if (buf.size() >= 32768) return TextFromWide(buf.data(), buf.size() - 1);
        buf.resize(buf.size() * 2);
    }
}

std::unique_ptr<IHttpClient> NewWinHttpClient() { return std::make_unique<CWinHttpClient>(); }

// Each failed value is told on its own; the next value is written after.
class CFailedWriteBox : public IFailedWriteReporter {
public:
    void ReportFailedWrite() override { MsgBox(nullptr, kFailedWriteText, MsgKind::SettingsError); }
};
// The arguments after the program's name, as the program's texts.
std::vector<std::string> CommandArguments() {
    std::vector<std::string> args;
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!argv) return args;
    for (int i = 1; i < count; ++i) args.push_back(TextFromWide(std::wstring(argv[i])));
    LocalFree(argv);
    return args;
}

// A run with arguments: nothing is shown but what goes to the console and
// the log; the result is the exit code.
int RunCommandLine(const CCommandLine& line) {
    if (line.kind == CCommandLine::Usage) {
        TellStarter(CommandUsageText());
        return kExitWritten;
    }
    if (line.kind != CCommandLine::Write && line.kind != CCommandLine::Check) {
        TellStarter(BadArgumentText(line.badArgument) + "\n\n" + CommandUsageText());
        return kExitBadArguments;
    }
    CWriteOutcome outcome;
    try {
        const std::string module = ModulePath();
        CRegistryStore store(AppNameFromModulePath(module));
        CWinFolderSource folders;
        CWinBookmarkFiles files;
        CWinPageSink pages;
        CWinCheckFiles checkFiles;
        CWinCheckClock clock;
        CWinCheckThreads threads;
        CCheckServices check{checkFiles, clock, threads, NewWinHttpClient};
        CCommandPlatform platform{store, folders, files, pages, BaseFolder(module), &check};
        outcome = line.kind == CCommandLine::Write ? RunWriteCommand(line.profile, platform)
                                                   : RunCheckCommand(line.profile, platform);
    } catch (...) {
        // Whatever ended the run, it ends with its exit code, its text and its log line.
        outcome.exitCode = kExitNotWritten;
        outcome.text = std::string(line.kind == CCommandLine::Write ? kWriteFailedText : kCheckFailedText) + "\n" +
                       ErrorText(std::current_exception());
    }
    try {
        TellStarter(outcome.text + "\n");
        if (!line.logFile.empty()) {
            const CLocalTime time = CWinCheckClock().Now();
            // A log that cannot be written changes nothing of the run; a
            // relative one is taken from the current folder, as command lines do.
            AppendToLog(line.logFile, LogLine(time, line.profile, outcome.exitCode, outcome.text));
        }
    } catch (...) {
        // Out of memory for the text itself: the exit code still tells.
    }
    return outcome.exitCode;
}

}  // namespace

class CLinkPageApp {
public:
    // Runs the whole application; false means no message loop follows.
    bool StartApplication();

private:
    // The JAVA text that start-up converts to and from the check box flag.
    std::string m_javaText;
};

bool CLinkPageApp::StartApplication() {
    // The three-dimensional look of the controls: the embedded manifest asks
    // for Common Controls 6, whose visual styles draw the standard controls
    // once the library is loaded.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);

    // Settings go below "Fenwold Applications" and the application name, the
    // executable's file name without its extension.
    CRegistryStore store(AppNameFromModulePath(ModulePath()));
    CWinFolderSource folders;
    CWinBookmarkFiles files;
    CWinPageSink pages;
    CWinCheckFiles checkFiles;
    CWinCheckClock clock;
    CWinCheckThreads threads;
    CCheckServices check{checkFiles, clock, threads, NewWinHttpClient};

    // The main dialog, without a parent, is the only window of the run. On
    // the heap: its genre array is large.
    std::unique_ptr<CMainDlg> dlg(new CMainDlg(store, folders, files, pages, check));

    // Every start begins with profile 1.
    dlg->m_profileSection = kProfileChoices[0].section;
    LoadProfile(store, dlg->m_profileSection, *dlg, m_javaText);

    // OK and Cancel alike end in the save, so the result is not examined.
    dlg->DoModal(nullptr);

    // The profile active now, with the fields as last taken or loaded; each
    // value that cannot be written is told once and the rest still go.
    CFailedWriteBox reporter;
    SaveProfile(store, dlg->m_profileSection, *dlg, m_javaText, reporter);
    return false;
}

namespace {
CLinkPageApp theApp;
}

// F1 help is not offered: no help file belongs to the program.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        const CCommandLine line = ParseCommandLine(CommandArguments());
        if (line.kind != CCommandLine::Dialog) return RunCommandLine(line);
        theApp.StartApplication();
    } catch (...) {
        // Out of memory at start-up or shutdown: end quietly.
        return kExitNotWritten;
    }
    return 0;
}
