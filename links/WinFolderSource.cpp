#include "links/WinFolderSource.h"

#include <windows.h>
#include <shlobj.h>

namespace {

class CWinFolderListing : public IFolderListing {
public:
    CWinFolderListing(HANDLE find, const WIN32_FIND_DATAA& first)
        : m_find(find), m_data(first) {}
    ~CWinFolderListing() override { FindClose(m_find); }
    CWinFolderListing(const CWinFolderListing&) = delete;
    CWinFolderListing& operator=(const CWinFolderListing&) = delete;

    bool Next(FolderEntry& entry) override {
        if (m_ended) return false;
        if (m_haveFirst) {
            m_haveFirst = false;
        } else if (!FindNextFileA(m_find, &m_data)) {
            // ERROR_NO_MORE_FILES is the normal end. Any other failure ends
            // the folder too and is not reported: going on after it could
            // deliver an entry twice.
            m_ended = true;
            return false;
        }
        entry.name = m_data.cFileName;
        entry.attributes = m_data.dwFileAttributes;
        return true;
    }

private:
    HANDLE m_find;
    WIN32_FIND_DATAA m_data;
    bool m_haveFirst = true;
    bool m_ended = false;
};

}  // namespace

bool CWinFolderSource::FavoritesPath(std::string& path) {
    LPITEMIDLIST pidl = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(GetDesktopWindow(), CSIDL_FAVORITES, &pidl)) || !pidl)
        return false;
    char buffer[MAX_PATH] = {0};
    BOOL ok = SHGetPathFromIDListA(pidl, buffer);
    CoTaskMemFree(pidl);
    if (!ok || buffer[0] == '\0') return false;
    path = buffer;
    return true;
}

std::unique_ptr<IFolderListing> CWinFolderSource::List(const std::string& pattern) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return nullptr;
    return std::unique_ptr<IFolderListing>(new CWinFolderListing(find, data));
}
