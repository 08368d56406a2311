#include "links/PosixBookmarkFiles.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

bool CPosixBookmarkFiles::Exists(const HostName& path) { return HostFileExists(path); }

bool CPosixBookmarkFiles::ReadWhole(const HostName& path, std::string& bytes, size_t maxBytes) {
    return ReadWholeHostFile(path, bytes, maxBytes);
}

namespace {

// The names in |folder| that are folders (|folders|) or files.
std::vector<HostName> Listed(const HostName& folder, bool folders) {
    std::vector<HostName> names;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return names;
    while (const struct dirent* d = readdir(dir)) {
        const std::string name = d->d_name;
        struct stat info;
        if (name != "." && name != ".." && stat((folder + "/" + name).c_str(), &info) == 0 &&
            S_ISDIR(info.st_mode) == folders)
            names.push_back(name);
    }
    closedir(dir);
    return names;
}

}  // namespace

std::vector<HostName> CPosixBookmarkFiles::Subfolders(const HostName& folder) { return Listed(folder, true); }

std::vector<HostName> CPosixBookmarkFiles::Files(const HostName& folder) { return Listed(folder, false); }

bool CPosixBookmarkFiles::MakePrivateFolder(HostName& folder) {
    const char* temp = std::getenv("TMPDIR");
    std::string pattern = std::string(temp && *temp ? temp : "/tmp") + "/Orvelle-XXXXXX";
    if (!mkdtemp(&pattern[0])) return false;
    folder = pattern;
    return true;
}

bool CPosixBookmarkFiles::WriteWhole(const HostName& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

void CPosixBookmarkFiles::RemovePrivateFolder(const HostName& folder) {
    for (const HostName& name : Files(folder)) std::remove((folder + "/" + name).c_str());
    rmdir(folder.c_str());
}

bool CPosixBookmarkFiles::LocalAppDataPath(HostName& path) {
    path = m_local;
    return !path.empty();
}

bool CPosixBookmarkFiles::RoamingAppDataPath(HostName& path) {
    path = m_roaming;
    return !path.empty();
}
