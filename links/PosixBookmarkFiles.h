// The bookmark sources' files in the native build: the host's file system,
// with application data folders given by the caller.
#pragma once
#include <utility>

#include "links/BookmarkFiles.h"

class CPosixBookmarkFiles : public IBookmarkFiles {
public:
    // Empty folders: the platform has none.
    explicit CPosixBookmarkFiles(HostName localAppData = HostName(), HostName roamingAppData = HostName())
        : m_local(std::move(localAppData)), m_roaming(std::move(roamingAppData)) {}

    bool Exists(const HostName& path) override;
    bool ReadWhole(const HostName& path, std::string& bytes, size_t maxBytes) override;
    std::vector<HostName> Subfolders(const HostName& folder) override;
    std::vector<HostName> Files(const HostName& folder) override;
    // mkdtemp below $TMPDIR (else /tmp).
    bool MakePrivateFolder(HostName& folder) override;
    bool WriteWhole(const HostName& path, const std::string& bytes) override;
    void RemovePrivateFolder(const HostName& folder) override;
    bool LocalAppDataPath(HostName& path) override;
    bool RoamingAppDataPath(HostName& path) override;

private:
    HostName m_local;
    HostName m_roaming;
};
