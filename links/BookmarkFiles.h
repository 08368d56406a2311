// What the bookmark sources need of the platform's files, as the Favorites
// walk has its folder source: their tests need no real files, and the Win32
// side stays in one short file.
#pragma once
#include <string>
#include <vector>

#include "core/HostFile.h"

class IBookmarkFiles {
public:
    virtual ~IBookmarkFiles() = default;
    // True when |path| names a file that can be opened for reading.
    virtual bool Exists(const HostName& path) = 0;
    // The whole content of the file |path| into |bytes|; false, with |bytes|
    // empty, when it cannot be opened or read or holds more than |maxBytes|.
    // The file is opened so that its writer may replace it meanwhile (a
    // browser renames its new bookmarks over the old ones).
    virtual bool ReadWhole(const HostName& path, std::string& bytes, size_t maxBytes) = 0;
    // The names of the folders directly inside |folder| (a real path without
    // a trailing separator), "." and ".." left out; empty when it cannot be
    // listed.
    virtual std::vector<HostName> Subfolders(const HostName& folder) = 0;
    // The names of the files directly inside |folder|; empty when it cannot
    // be listed.
    virtual std::vector<HostName> Files(const HostName& folder) = 0;
    // A new, empty folder of the program's own below the user's temporary
    // folder, for private copies of files that another program keeps open;
    // false when none can be made.
    virtual bool MakePrivateFolder(HostName& folder) = 0;
    // Creates or replaces |path| with |bytes|; false when it cannot.
    virtual bool WriteWhole(const HostName& path, const std::string& bytes) = 0;
    // Removes the files directly inside |folder|, then the folder.
    virtual void RemovePrivateFolder(const HostName& folder) = 0;
    // The user's local (FOLDERID_LocalAppData) and roaming
    // (FOLDERID_RoamingAppData) application data folders, where browsers keep
    // their profiles; false when the platform has none.
    virtual bool LocalAppDataPath(HostName& path) = 0;
    virtual bool RoamingAppDataPath(HostName& path) = 0;
};

// |folder| joined with |relative| (ASCII, "\" between its names), each "\"
// made the platform's separator.
HostName JoinHostPath(const HostName& folder, const char* relative);
// The real path of the file |name| in the folder of the file |path|.
HostName SiblingOf(const HostName& path, const char* name);
