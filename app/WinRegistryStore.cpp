#include "app/WinRegistryStore.h"

#include <windows.h>

#include <new>
#include <vector>

namespace {
const char kRegistryCompanyKey[] = "Fenwold Applications";
const REGSAM kAccess = KEY_READ | KEY_WRITE;

HKEY CreateOrOpen(HKEY parent, const char* name) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(parent, name, 0, nullptr, REG_OPTION_NON_VOLATILE, kAccess, nullptr, &key,
                        &disposition) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

// The section key, or null when any level cannot be reached. The caller
// closes it.
HKEY OpenSection(const std::string& appName, const std::string& section) {
    HKEY software = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "software", 0, kAccess, &software) != ERROR_SUCCESS)
        return nullptr;
    HKEY company = CreateOrOpen(software, kRegistryCompanyKey);
    if (!company) {
        RegCloseKey(software);
        return nullptr;
    }
    HKEY app = CreateOrOpen(company, appName.c_str());
    RegCloseKey(company);
    RegCloseKey(software);
    if (!app) return nullptr;
    HKEY sectionKey = CreateOrOpen(app, section.c_str());
    RegCloseKey(app);
    return sectionKey;
}

// Closes the section key however the value operation leaves.
class CSectionKey {
public:
    CSectionKey(const std::string& appName, const std::string& section)
        : m_key(OpenSection(appName, section)) {}
    ~CSectionKey() {
        if (m_key) RegCloseKey(m_key);
    }
    CSectionKey(const CSectionKey&) = delete;
    CSectionKey& operator=(const CSectionKey&) = delete;
    HKEY Get() const { return m_key; }

private:
    HKEY m_key;
};
}  // namespace

std::string CRegistryStore::ReadString(const std::string& section, const char* name,
                                       const std::string& def) {
    CSectionKey key(m_appName, section);
    if (!key.Get()) return def;
    DWORD size = 0;
    if (RegQueryValueExA(key.Get(), name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return def;
    if (size == 0) return std::string();
    std::vector<char> data;
    try {
        // One byte more than asked for, so the text always ends in a NUL.
        data.assign(static_cast<size_t>(size) + 1, '\0');
    } catch (const std::bad_alloc&) {
        return def;
    }
    DWORD got = size;
    if (RegQueryValueExA(key.Get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()),
                         &got) != ERROR_SUCCESS)
        return def;
    // The stored type is not examined; the text ends at the first NUL.
    return std::string(data.data());
}

int32_t CRegistryStore::ReadInt(const std::string& section, const char* name, int32_t def) {
    CSectionKey key(m_appName, section);
    if (!key.Get()) return def;
    DWORD value = 0;
    DWORD size = sizeof value;
    // A value longer than four bytes fails with ERROR_MORE_DATA: the default.
    if (RegQueryValueExA(key.Get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS)
        return def;
    return static_cast<int32_t>(value);
}

bool CRegistryStore::WriteString(const std::string& section, const char* name,
                                 const std::string& text) {
    CSectionKey key(m_appName, section);
    if (!key.Get()) return false;
    // Stored as the text up to its first NUL and one NUL byte.
    const std::string stored(text.c_str());
    if (stored.size() + 1 > MAXDWORD) return false;
    return RegSetValueExA(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(stored.c_str()),
                          static_cast<DWORD>(stored.size() + 1)) == ERROR_SUCCESS;
}

bool CRegistryStore::WriteInt(const std::string& section, const char* name, int32_t value) {
    CSectionKey key(m_appName, section);
    if (!key.Get()) return false;
    DWORD data = static_cast<DWORD>(value);
    return RegSetValueExA(key.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof data) == ERROR_SUCCESS;
}
