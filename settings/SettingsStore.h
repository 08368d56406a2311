// The settings store: four primitives over one profile section each.
#pragma once
#include <cstdint>
#include <string>

class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;
    // The text stored under |name| up to its first NUL, or |def| when the
    // section cannot be reached or the value cannot be queried.
    virtual std::string ReadString(const std::string& section, const char* name,
                                   const std::string& def) = 0;
    // At most four bytes read as a 32-bit integer, or |def| on any failure.
    virtual int32_t ReadInt(const std::string& section, const char* name, int32_t def) = 0;
    // Stores the text and one NUL byte; false when the section cannot be
    // reached or the value cannot be set.
    virtual bool WriteString(const std::string& section, const char* name,
                             const std::string& text) = 0;
    // Stores the four-byte little-endian value; false on failure.
    virtual bool WriteInt(const std::string& section, const char* name, int32_t value) = 0;
};
