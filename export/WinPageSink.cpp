#include "export/WinPageSink.h"

#include "core/LongPath.h"
#include "core/WinText.h"

bool CWinPageSink::MainFullPath(const std::string& mainPath, const HostName& mainReal, std::wstring& full) {
    if (!mainReal.empty()) {
        // A path the dialog gave is whole already; normalising it again
        // could change a folder name that ends in a dot.
        if (!VerbatimPathForm(std::u16string(mainReal.begin(), mainReal.end())).empty()) {
            full = mainReal;
            return true;
        }
        return FullPathOf(mainReal, full);
    }
    return FullPathOf(WideText(mainPath), full);
}

std::unique_ptr<IPageFile> CWinPageSink::CreateMain(const std::string& path, const HostName& realPath) {
    if (realPath.empty()) return Create(path);
    return PageFileOver(OpenRealFile(realPath, "wb"));
}

std::unique_ptr<IPageFile> CWinPageSink::CreateBeside(const std::string& mainPath, const HostName& mainReal,
                                                      const std::string& name) {
    std::wstring full;
    if (!MainFullPath(mainPath, mainReal, full)) return CStdioPageSink::CreateBeside(mainPath, mainReal, name);
    const size_t cut = full.find_last_of(L'\\');
    if (cut == std::wstring::npos) return nullptr;
    return PageFileOver(OpenRealFile(full.substr(0, cut + 1) + WideText(name), "wb"));
}

std::string CWinPageSink::MainFileName(const std::string& mainPath, const HostName& mainReal) {
    std::wstring full;
    if (!MainFullPath(mainPath, mainReal, full)) return CStdioPageSink::MainFileName(mainPath, mainReal);
    const size_t cut = full.find_last_of(L'\\');
    return TextFromWide(cut == std::wstring::npos ? full : full.substr(cut + 1));
}
