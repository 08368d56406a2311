#include "settings/WinRegistryStore.h"

#include <windows.h>

#include <new>
#include <vector>

#include "core/WinText.h"

namespace {
const char kRegistryCompanyKey[] = "Fenwold Applications";
const REGSAM kAccess = KEY_READ | KEY_WRITE;

HKEY CreateOrOpen(HKEY parent, const std::string& name) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExW(parent, WideText(name).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, kAccess, nullptr,
                        &key, &disposition) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

// The section key, or null when any level cannot be reached. The caller
// closes it.
HKEY OpenSection(const std::string& appName, const std::string& section) {
    HKEY software = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"software", 0, kAccess, &software) != ERROR_SUCCESS)
        return nullptr;
    HKEY company = CreateOrOpen(software, kRegistryCompanyKey);
    if (!company) {
        RegCloseKey(software);
        return nullptr;
    }
    HKEY app = CreateOrOpen(company, appName);
    RegCloseKey(company);
    RegCloseKey(software);
    if (!app) return nullptr;
    HKEY sectionKey = CreateOrOpen(app, section);
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

bool IsTextType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// The value's stored data as the program reads it: a text type as its
// characters in code page 932 (zeros included), any other type as its raw
// bytes, the way the narrow registry functions have always given them.
bool QueryBytes(HKEY key, const char* name, std::string& bytes) {
    const std::wstring wideName = WideText(name);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    std::vector<BYTE> data;
    try {
        data.assign(static_cast<size_t>(size) + sizeof(wchar_t), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    DWORD got = size;
    if (RegQueryValueExW(key, wideName.c_str(), nullptr, &type, data.data(), &got) != ERROR_SUCCESS) return false;
    if (IsTextType(type)) {
        // Stored as UTF-16 whatever the function that stored it; an odd last
        // byte is no character.
        std::wstring units(got / sizeof(wchar_t), L'\0');
        if (!units.empty()) memcpy(&units[0], data.data(), units.size() * sizeof(wchar_t));
        bytes = TextFromWide(units);
    } else {
        bytes.assign(reinterpret_cast<const char*>(data.data()), got);
    }
    return true;
}
}  // namespace

std::string CRegistryStore::ReadString(const std::string& section, const char* name,
                                       const std::string& def) {
    CSectionKey key(m_appName, section);
    if (!key.Get()) return def;
    std::string bytes;
    if (!QueryBytes(key.Get(), name, bytes)) return def;
    // The stored type is not examined further; the text ends at the first NUL.
    return std::string(bytes.c_str());
}

int32_t CRegistryStore::ReadInt(const std::string& section, const char* name, int32_t def) {
    CSectionKey key(m_appName, section);
    if (!key.Get()) return def;
    std::string bytes;
    // More than four bytes is no integer: the default.
    if (!QueryBytes(key.Get(), name, bytes) || bytes.size() > 4) return def;
    uint32_t value = 0;
    for (size_t i = 0; i < bytes.size(); ++i)
        value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    return static_cast<int32_t>(value);
}

bool CRegistryStore::WriteString(const std::string& section, const char* name,
                                 const std::string& text) {
    CSectionKey key(m_appName, section);
    if (!key.Get()) return false;
    // Stored as the text up to its first NUL and one NUL character.
    const std::wstring stored = WideText(std::string(text.c_str()));
    if ((stored.size() + 1) * sizeof(wchar_t) > MAXDWORD) return false;
    return RegSetValueExW(key.Get(), WideText(name).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(stored.c_str()),
                          static_cast<DWORD>((stored.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool CRegistryStore::WriteInt(const std::string& section, const char* name, int32_t value) {
    CSectionKey key(m_appName, section);
    if (!key.Get()) return false;
    DWORD data = static_cast<DWORD>(value);
    return RegSetValueExW(key.Get(), WideText(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof data) == ERROR_SUCCESS;
}
