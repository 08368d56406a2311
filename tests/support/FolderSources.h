// Folder sources for tests: folders kept in memory, and the host's own file
// system.
#pragma once
#include <dirent.h>
#include <sys/stat.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "links/FolderSource.h"
#include "core/HostFile.h"

// Folders kept in memory, keyed by their listing pattern (folder + "*.*").
// A folder without a key cannot be listed at all; one can be made to break
// off its listing after some entries.
class CMemoryFolderSource : public IFolderSource {
public:
    struct Folder {
        std::vector<FolderEntry> entries;
        size_t failAfter = SIZE_MAX;
    };
    bool hasFavorites = true;
    std::string favorites = "C:\\Fav";
    std::map<std::string, Folder> folders;
    std::vector<std::string> listed;  // every pattern asked for

    // The Favorites folder's real path; empty: entries are known by their
    // texts alone.
    HostName realFavorites;

    // Adds |name| to |folder| (which ends in its separator).
    void Add(const std::string& folder, const std::string& name, uint32_t attributes,
             const HostName& realName = HostName()) {
        folders[folder + "*.*"].entries.push_back(FolderEntry{name, attributes, realName});
    }
    bool FavoritesPath(std::string& path, HostName& realPath) override {
        if (!hasFavorites) return false;
        path = favorites;
        realPath = realFavorites;
        return true;
    }
    std::unique_ptr<IFolderListing> List(const std::string& pattern, const HostName&) override {
        listed.push_back(pattern);
        auto f = folders.find(pattern);
        if (f == folders.end()) return nullptr;
        return std::unique_ptr<IFolderListing>(new CListing(f->second));
    }

private:
    class CListing : public IFolderListing {
    public:
        explicit CListing(const Folder& folder) : m_folder(folder) {}
        bool Next(FolderEntry& entry) override {
            if (m_next >= m_folder.entries.size() || m_next >= m_folder.failAfter) return false;
            entry = m_folder.entries[m_next++];
            return true;
        }

    private:
        const Folder& m_folder;
        size_t m_next = 0;
    };
};

// The host's file system: paths use the separator "\\" as the scan does and
// are turned into host paths by HostPath (a second byte 0x5C stays, so names
// like ソ survive). Attribute words mimic what Wine reports for the same
// tree: folder 16, file 32, +2 for a dot-named entry, +1 without write
// permission, 1040 for a symbolic link to a folder.
class CPosixFolderSource : public IFolderSource {
public:
    // |favorites| is the Favorites folder as a scan path (separators "\\").
    explicit CPosixFolderSource(std::string favorites) : m_favorites(std::move(favorites)) {}

    // A host path made of one-byte characters in the scan's form ("/" to "\\").
    static std::string FromHostPath(std::string path) {
        for (char& c : path)
            if (c == '/') c = '\\';
        return path;
    }

    // The real names are the host's: the text path in its host form.
    bool FavoritesPath(std::string& path, HostName& realPath) override {
        path = m_favorites;
        realPath = HostPath(m_favorites);
        return true;
    }

    std::unique_ptr<IFolderListing> List(const std::string& pattern, const HostName& realFolder) override {
        listed.push_back(pattern);
        const std::string suffix = "*.*";
        if (pattern.size() < suffix.size() ||
            pattern.compare(pattern.size() - suffix.size(), suffix.size(), suffix) != 0)
            return nullptr;
        std::string folder =
            realFolder.empty() ? HostPath(pattern.substr(0, pattern.size() - suffix.size())) : realFolder;
        DIR* dir = opendir(folder.c_str());
        if (!dir) return nullptr;
        return std::unique_ptr<IFolderListing>(new CListing(dir, folder));
    }

    std::vector<std::string> listed;  // every pattern asked for

private:
    class CListing : public IFolderListing {
    public:
        CListing(DIR* dir, std::string folder) : m_dir(dir), m_folder(std::move(folder)) {}
        ~CListing() override { closedir(m_dir); }
        bool Next(FolderEntry& entry) override {
            struct dirent* d = readdir(m_dir);
            if (!d) return false;
            entry.name = d->d_name;
            entry.realName = d->d_name;
            entry.attributes = Attributes(m_folder + entry.name, entry.name);
            return true;
        }

    private:
        static uint32_t Attributes(const std::string& path, const std::string& name) {
            struct stat link, target;
            if (lstat(path.c_str(), &link) != 0) return 32;
            if (S_ISLNK(link.st_mode)) {
                if (stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode)) return 1040;
                return 32;
            }
            uint32_t word = S_ISDIR(link.st_mode) ? 16 : 32;
            if (!name.empty() && name[0] == '.' && name != "." && name != "..") word += 2;
            if (!(link.st_mode & S_IWUSR)) word += 1;
            return word;
        }
        DIR* m_dir;
        std::string m_folder;
    };

    std::string m_favorites;
};
