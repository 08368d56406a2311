// The application object and the program's entry: load profile 1, run the
// main dialog, save the active profile.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/Profile.h"
#include "app/WinRegistryStore.h"
#include "export/PageOutput.h"
#include "links/Cp932.h"
#include "links/WinFolderSource.h"
#include "ui/Dialog.h"
#include "ui/MainDlg.h"

namespace {
bool SystemLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != FALSE; }

// The full path of the running executable, however long.
std::string ModulePath() {
    std::vector<char> buf(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return std::string();
        if (n < buf.size()) return std::string(buf.data(), n);
        if (buf.size() >= 32768) return std::string(buf.data(), buf.size() - 1);
        buf.resize(buf.size() * 2);
    }
}

// Each failed value is told on its own; the next value is written after.
class CFailedWriteBox : public IFailedWriteReporter {
public:
    void ReportFailedWrite() override { MsgBox(nullptr, kFailedWriteText, BoxKind::SettingsError); }
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
    // 1. The three-dimensional look of the standard controls: the platform
    // draws dialogs of this template version that way itself; no common
    // controls are used, so nothing needs registering.

    // 4. The settings key: "Fenwold Applications" and the application name,
    // which is the executable's file name without extension.
    const LeadByteTable lead = MakeLeadByteTable(SystemLeadByte);
    CRegistryStore store(AppNameFromModulePath(ModulePath(), lead));
    CWinFolderSource folders;
    CStdioPageSink pages;

    // 2, 3. The main dialog, without a parent; it is the only window. Held on
    // the heap: its genre array is large.
    std::unique_ptr<CMainDlg> dlg(new CMainDlg(store, folders, pages));

    // 5, 6. Profile 1.
    dlg->m_profileSection = kProfileChoices[0].section;
    LoadProfile(store, dlg->m_profileSection, *dlg, m_javaText);

    // 7. Its result is not examined: OK and Cancel both end in the save.
    dlg->DoModal(nullptr);

    // 8. The profile active now, with the fields as last taken or loaded.
    CFailedWriteBox reporter;
    SaveProfile(store, dlg->m_profileSection, *dlg, m_javaText, reporter);

    // 9.
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
