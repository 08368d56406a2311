// The application object and the program's entry: load profile 1, run the
// main dialog, save the active profile.
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "app/Profile.h"
#include "app/WinRegistryStore.h"
#include "core/Texts.h"
#include "core/WinText.h"
#include "export/PageOutput.h"
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

// Each failed value is told on its own; the next value is written after.
class CFailedWriteBox : public IFailedWriteReporter {
public:
    void ReportFailedWrite() override { MsgBox(nullptr, kFailedWriteText, MsgKind::SettingsError); }
};
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
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    // Settings go below "Fenwold Applications" and the application name, the
    // executable's file name without its extension.
    CRegistryStore store(AppNameFromModulePath(ModulePath()));
    CWinFolderSource folders;
    CStdioPageSink pages;

    // The main dialog, without a parent, is the only window of the run. On
    // the heap: its genre array is large.
    std::unique_ptr<CMainDlg> dlg(new CMainDlg(store, folders, pages));

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
        theApp.StartApplication();
    } catch (...) {
        // Out of memory at start-up or shutdown: end quietly.
    }
    return 0;
}
