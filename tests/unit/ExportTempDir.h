// A throwaway folder for tests that write real files; the test runs inside
// it, so entries and output paths can be written the way Windows spells them
// ("C:\\web\\top.html" is one file name here).
#pragma once
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class CTempDir {
public:
    CTempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "orvelle-export-XXXXXX").string();
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
        std::error_code ec;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
    }
    bool ok() const { return m_entered; }

    static void Put(const std::string& name, const std::string& bytes) {
        std::ofstream f(name, std::ios::binary | std::ios::trunc);
        f << bytes;
    }
    static void PutShortcut(const std::string& name, const std::string& url) {
        Put(name, "[InternetShortcut]\r\nURL=" + url + "\r\n");
    }
    // The file's bytes, or "<none>" when it does not exist.
    static std::string Get(const std::string& name) {
        std::ifstream f(name, std::ios::binary);
        if (!f) return "<none>";
        return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }
    static bool Exists(const std::string& name) { return std::filesystem::exists(name); }

private:
    std::string m_path, m_previous;
    bool m_entered = false;
};
