#include "links/WinBookmarkFiles.h"

#include <windows.h>
#include <shlobj.h>
#include <knownfolders.h>

#include "core/WinText.h"

namespace {

bool KnownFolder(REFKNOWNFOLDERID id, HostName& path) {
    PWSTR found = nullptr;
    const HRESULT hr = SHGetKnownFolderPath(id, 0, nullptr, &found);
    const bool ok = SUCCEEDED(hr) && found && found[0] != L'\0';
    if (ok) path = found;
    CoTaskMemFree(found);
    return ok;
}

}  // namespace

bool CWinBookmarkFiles::Exists(const HostName& path) { return HostFileExists(path); }

bool CWinBookmarkFiles::ReadWhole(const HostName& path, std::string& bytes, size_t maxBytes) {
    return ReadWholeHostFile(path, bytes, maxBytes);
}

std::vector<HostName> CWinBookmarkFiles::Subfolders(const HostName& folder) {
    std::vector<HostName> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW(RealPathForm(folder + L"\\*").c_str(), FindExInfoBasic, &data,
                                   FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = data.cFileName;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

bool CWinBookmarkFiles::LocalAppDataPath(HostName& path) { return KnownFolder(FOLDERID_LocalAppData, path); }

bool CWinBookmarkFiles::RoamingAppDataPath(HostName& path) { return KnownFolder(FOLDERID_RoamingAppData, path); }
