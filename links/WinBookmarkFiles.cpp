#include "links/WinBookmarkFiles.h"

#include <windows.h>
#include <shlobj.h>
#include <knownfolders.h>

#include <algorithm>
#include <string>

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

// The names in |folder| that are folders (|folders|) or files.
std::vector<HostName> Listed(const HostName& folder, bool folders) {
    std::vector<HostName> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW(RealPathForm(folder + L"\\*").c_str(), FindExInfoBasic, &data,
                                   FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = data.cFileName;
        if (((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == folders && name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

}  // namespace

bool CWinBookmarkFiles::Exists(const HostName& path) { return HostFileExists(path); }

bool CWinBookmarkFiles::ReadWhole(const HostName& path, std::string& bytes, size_t maxBytes) {
    return ReadWholeHostFile(path, bytes, maxBytes);
}

std::vector<HostName> CWinBookmarkFiles::Subfolders(const HostName& folder) { return Listed(folder, true); }

std::vector<HostName> CWinBookmarkFiles::Files(const HostName& folder) { return Listed(folder, false); }

bool CWinBookmarkFiles::MakePrivateFolder(HostName& folder) {
    wchar_t temp[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    if (n == 0 || n > MAX_PATH) return false;
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring name = std::wstring(temp) + L"Orvelle-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                  std::to_wstring(++counter);
        if (CreateDirectoryW(RealPathForm(name).c_str(), nullptr)) {
            folder = name;
            return true;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    return false;
}

bool CWinBookmarkFiles::WriteWhole(const HostName& path, const std::string& bytes) {
    HANDLE file = CreateFileW(RealPathForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    for (size_t done = 0; ok && done < bytes.size();) {
        const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
        DWORD put = 0;
        ok = WriteFile(file, bytes.data() + done, want, &put, nullptr) && put == want;
        done += put;
    }
    return CloseHandle(file) && ok;
}

void CWinBookmarkFiles::RemovePrivateFolder(const HostName& folder) {
    for (const HostName& name : Files(folder)) DeleteFileW(RealPathForm(folder + L"\\" + name).c_str());
    RemoveDirectoryW(RealPathForm(folder).c_str());
}


bool CWinBookmarkFiles::LocalAppDataPath(HostName& path) { return KnownFolder(FOLDERID_LocalAppData, path); }

bool CWinBookmarkFiles::RoamingAppDataPath(HostName& path) { return KnownFolder(FOLDERID_RoamingAppData, path); }
