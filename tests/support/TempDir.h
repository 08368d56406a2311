// A throwaway folder for tests that write real files; the test runs inside
// it, so entries and output paths can be written the way Windows spells them
// ("C:\\web\\top.html" is the file C:/web/top.html below it). Names are
// taken in their host form, as the program's own file opens take them.
#pragma once
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/HostFile.h"

class CTempDir {
public:
    CTempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "orvelle-test-XXXXXX").string();
        char* made = mkdtemp(&pattern[0]);
        if (made) m_path = made;
        char* old = getcwd(nullptr, 0);
        if (old) {
            m_previous = old;
            free(old);
        }
        if (!m_path.empty() && chdir(m_path.c_str()) == 0) m_entered = true;
    }
    ~CTempDir() {
        if (m_entered && !m_previous.empty() && chdir(m_previous.c_str()) != 0) {
            // Nothing sensible to do; the folder is removed by its full name below.
        }
        if (m_path.empty()) return;
        // Tests take permissions away; give them back so that everything
        // can go. Links are never followed: they may point at devices.
        namespace fs = std::filesystem;
        std::error_code ec;
        fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
        for (fs::recursive_directory_iterator it(m_path, ec), end; !ec && it != end; it.increment(ec))
            if (it->is_directory(ec) && !it->is_symlink(ec))
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(m_path, ec);
    }
    bool ok() const { return m_entered; }

    static void Put(const std::string& name, const std::string& bytes) {
        std::filesystem::path host(HostPath(name));
        std::error_code ec;
        if (host.has_parent_path()) std::filesystem::create_directories(host.parent_path(), ec);
        std::ofstream f(host, std::ios::binary | std::ios::trunc);
        f << bytes;
    }
    static void PutShortcut(const std::string& name, const std::string& url) {
        Put(name, "[InternetShortcut]\r\nURL=" + url + "\r\n");
    }
    // The file's bytes; "<none>" when it does not exist, "<folder>" for a folder.
    static std::string Get(const std::string& name) {
        if (IsFolder(name)) return "<folder>";
        std::ifstream f(HostPath(name), std::ios::binary);
        if (!f) return "<none>";
        return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }
    static bool Exists(const std::string& name) { return std::filesystem::exists(HostPath(name)); }
    static bool IsFolder(const std::string& name) { return std::filesystem::is_directory(HostPath(name)); }
    static void MakeFolder(const std::string& name) {
        std::error_code ec;
        std::filesystem::create_directories(HostPath(name), ec);
    }
    static bool Remove(const std::string& name) { return std::filesystem::remove(HostPath(name)); }
    // |name| as a symbolic link to |target| (a host path, taken as it is).
    static bool Link(const std::string& target, const std::string& name) {
        return symlink(target.c_str(), HostPath(name).c_str()) == 0;
    }
    static bool SetMode(const std::string& name, mode_t mode) { return chmod(HostPath(name).c_str(), mode) == 0; }

private:
    std::string m_path, m_previous;
    bool m_entered = false;
};
