#include "core/HostFile.h"
#include "core/WinText.h"

// Paths keep their "\" separators; the name goes to Windows in UTF-16, so
// that every file name can be opened, and in the long form past 260.
std::string HostPath(const std::string& path) { return path; }

std::FILE* OpenHostFile(const std::string& path, const char* mode) {
    return _wfopen(LongPathForm(WideText(path)).c_str(), WideText(mode).c_str());
}

std::FILE* OpenRealFile(const HostName& path, const char* mode) {
    return _wfopen(LongPathForm(path).c_str(), WideText(mode).c_str());
}
