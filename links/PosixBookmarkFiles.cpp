#include "links/PosixBookmarkFiles.h"

#include <dirent.h>
#include <sys/stat.h>

bool CPosixBookmarkFiles::Exists(const HostName& path) { return HostFileExists(path); }

bool CPosixBookmarkFiles::ReadWhole(const HostName& path, std::string& bytes, size_t maxBytes) {
    return ReadWholeHostFile(path, bytes, maxBytes);
}

std::vector<HostName> CPosixBookmarkFiles::Subfolders(const HostName& folder) {
    std::vector<HostName> names;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return names;
    while (const struct dirent* d = readdir(dir)) {
        const std::string name = d->d_name;
        struct stat info;
        if (name != "." && name != ".." && stat((folder + "/" + name).c_str(), &info) == 0 && S_ISDIR(info.st_mode))
            names.push_back(name);
    }
    closedir(dir);
    return names;
}

bool CPosixBookmarkFiles::LocalAppDataPath(HostName& path) {
    path = m_local;
    return !path.empty();
}

bool CPosixBookmarkFiles::RoamingAppDataPath(HostName& path) {
    path = m_roaming;
    return !path.empty();
}
