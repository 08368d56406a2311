// The bookmark sources' files on Windows.
#pragma once
#include "links/BookmarkFiles.h"

class CWinBookmarkFiles : public IBookmarkFiles {
public:
    bool Exists(const HostName& path) override;
    bool ReadWhole(const HostName& path, std::string& bytes, size_t maxBytes) override;
    // A FindFirstFileExW listing (long form past 260 characters).
    std::vector<HostName> Subfolders(const HostName& folder) override;
    std::vector<HostName> Files(const HostName& folder) override;
    // A folder "Orvelle-<process>-<n>" below GetTempPathW's folder.
    bool MakePrivateFolder(HostName& folder) override;
    bool WriteWhole(const HostName& path, const std::string& bytes) override;
    void RemovePrivateFolder(const HostName& folder) override;
    bool LocalAppDataPath(HostName& path) override;
    bool RoamingAppDataPath(HostName& path) override;
};
