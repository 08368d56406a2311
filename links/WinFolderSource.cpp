#include "links/WinFolderSource.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "core/WinText.h"

namespace {

class CWinFolderListing : public IFolderListing {
public:
    CWinFolderListing(HANDLE find, const WIN32_FIND_DATAW& first) : m_find(find), m_data(first) {}
    ~CWinFolderListing() override { FindClose(m_find); }
    CWinFolderListing(const CWinFolderListing&) = delete;
    CWinFolderListing& operator=(const CWinFolderListing&) = delete;

    bool Next(FolderEntry& entry) override {
        if (m_ended) return false;
        if (m_haveFirst) {
            m_haveFirst = false;
        } else if (!FindNextFileW(m_find, &m_data)) {
            // ERROR_NO_MORE_FILES is the normal end. Any other failure ends
            // the folder too and is not reported: going on after it could
            // deliver an entry twice.
            m_ended = true;
            return false;
        }
        // Into the caller's entry, reusing its buffers: no allocation per name.
        entry.realName = m_data.cFileName;
        TextFromWide(entry.realName, entry.name);
        entry.attributes = m_data.dwFileAttributes;
        return true;
    }

private:
    HANDLE m_find;
    WIN32_FIND_DATAW m_data;
    bool m_haveFirst = true;
    bool m_ended = false;
};

}  // namespace

bool CWinFolderSource::FavoritesPath(std::string& path, HostName& realPath) {
    LPITEMIDLIST pidl = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(GetDesktopWindow(), CSIDL_FAVORITES, &pidl)) || !pidl)
        return false;
    // However long the path: the buffer grows until it fits.
    std::vector<wchar_t> buffer(512);
    BOOL ok = FALSE;
    for (;;) {
        buffer.assign(buffer.size(), L'\0');
        ok = SHGetPathFromIDListEx(pidl, buffer.data(), static_cast<DWORD>(buffer.size()), GPFIDL_DEFAULT);
        if (ok || buffer.size() >= 32768) break;
        buffer.resize(buffer.size() * 4);
    }
    CoTaskMemFree(pidl);
    if (!ok || buffer[0] == L'\0') return false;
    realPath = buffer.data();
    path = TextFromWide(realPath);
    return true;
}

std::unique_ptr<IFolderListing> CWinFolderSource::List(const std::string&, const HostName& realFolder) {
    const std::wstring pattern = RealPathForm(realFolder + L"*.*");
    WIN32_FIND_DATAW data;
    // The basic information spares the short names, and larger batches
    // spare calls; Windows before 7 knows neither and gets the plain form.
    HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER)
        find = FindFirstFileExW(pattern.c_str(), FindExInfoStandard, &data, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) return nullptr;
    return std::unique_ptr<IFolderListing>(new CWinFolderListing(find, data));
}
