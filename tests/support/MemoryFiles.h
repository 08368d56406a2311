// Bookmark files kept in memory: paths are host paths ("/" between names),
// folders are whatever lies above a file.
#pragma once
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "links/BookmarkFiles.h"

class CMemoryBookmarkFiles : public IBookmarkFiles {
public:
    std::map<HostName, std::string> files;
    HostName localAppData, roamingAppData;
    // Called before every access: a test's fault throws from here.
    std::function<void()> onAccess = [] {};

    bool Exists(const HostName& path) override {
        onAccess();
        return files.count(path) != 0;
    }
    bool ReadWhole(const HostName& path, std::string& bytes, size_t maxBytes) override {
        onAccess();
        bytes.clear();
        auto f = files.find(path);
        if (f == files.end() || f->second.size() > maxBytes) return false;
        bytes = f->second;
        return true;
    }
    std::vector<HostName> Subfolders(const HostName& folder) override {
        onAccess();
        std::set<HostName> names;
        const HostName prefix = folder + "/";
        for (const auto& f : files) {
            if (f.first.compare(0, prefix.size(), prefix) != 0) continue;
            const size_t slash = f.first.find('/', prefix.size());
            if (slash != HostName::npos) names.insert(f.first.substr(prefix.size(), slash - prefix.size()));
        }
        return std::vector<HostName>(names.begin(), names.end());
    }
    std::vector<HostName> Files(const HostName& folder) override {
        onAccess();
        std::vector<HostName> names;
        const HostName prefix = folder + "/";
        for (const auto& f : files)
            if (f.first.compare(0, prefix.size(), prefix) == 0 && f.first.find('/', prefix.size()) == HostName::npos)
                names.push_back(f.first.substr(prefix.size()));
        return names;
    }
    bool MakePrivateFolder(HostName& folder) override {
        onAccess();
        folder = "/private/" + std::to_string(++m_private);
        return true;
    }
    bool WriteWhole(const HostName& path, const std::string& bytes) override {
        onAccess();
        files[path] = bytes;
        return true;
    }
    // Cleaning up never fails, faults or not.
    void RemovePrivateFolder(const HostName& folder) override {
        const HostName prefix = folder + "/";
        for (auto f = files.begin(); f != files.end();)
            f = f->first.compare(0, prefix.size(), prefix) == 0 ? files.erase(f) : std::next(f);
    }
    bool LocalAppDataPath(HostName& path) override {
        path = localAppData;
        return !path.empty();
    }
    bool RoamingAppDataPath(HostName& path) override {
        path = roamingAppData;
        return !path.empty();
    }

private:
    int m_private = 0;
};
