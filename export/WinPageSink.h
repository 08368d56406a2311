// Page files on Windows: the main page by the path the user typed or chose,
// and the companion pages in the folder that Windows makes of it.
#pragma once
#include "export/PageOutput.h"

class CWinPageSink : public CStdioPageSink {
public:
    // By |realPath| when the Save As dialog gave it, else by the text.
    std::unique_ptr<IPageFile> CreateMain(const std::string& path, const HostName& realPath) override;
    // In the folder of the main page's full path (GetFullPathNameW): "/" is
    // a separator too, and "C:name" is relative to drive C's current folder.
    std::unique_ptr<IPageFile> CreateBeside(const std::string& mainPath, const HostName& mainReal,
                                            const std::string& name) override;
    // The last name of the main page's full path: trailing dots and spaces
    // are gone there, as Windows drops them.
    std::string MainFileName(const std::string& mainPath, const HostName& mainReal) override;

private:
    // The full path of the main page; false when Windows makes none.
    static bool MainFullPath(const std::string& mainPath, const HostName& mainReal, std::wstring& full);
};
