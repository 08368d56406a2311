// The settings store over the per-user registry: HKCU\software\Fenwold
// Applications\<application name>\<section>.
#pragma once
#include <string>

#include "settings/SettingsStore.h"

class CRegistryStore : public ISettingsStore {
public:
    // |appName| is the key below "Fenwold Applications" (the executable's
    // file name without its extension).
    explicit CRegistryStore(std::string appName) : m_appName(std::move(appName)) {}

    // Each call opens the key path afresh (creating levels 3 to 5 when
    // absent, never "software"), does one value operation and closes every
    // key it opened.
    std::string ReadString(const std::string& section, const char* name,
                           const std::string& def) override;
    int32_t ReadInt(const std::string& section, const char* name, int32_t def) override;
    bool WriteString(const std::string& section, const char* name,
                     const std::string& text) override;
    bool WriteInt(const std::string& section, const char* name, int32_t value) override;

private:
    std::string m_appName;
};
