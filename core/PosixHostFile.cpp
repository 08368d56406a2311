#include "core/HostFile.h"
#include "core/Text.h"

#include <sys/stat.h>

#include <algorithm>

std::string HostPath(const std::string& path) {
    std::string host = path;
    ReplaceSeparators(host, '/');
    return host;
}

std::FILE* OpenHostFile(const std::string& path, const char* mode) {
    return std::fopen(HostPath(path).c_str(), mode);
}

std::FILE* OpenRealFile(const HostName& path, const char* mode) { return std::fopen(path.c_str(), mode); }

bool ReadWholeHostFile(const HostName& path, std::string& bytes, size_t maxBytes) {
    bytes.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    // One read of the known size; the file may still grow or shrink meanwhile.
    struct stat info;
    if (fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode) && static_cast<size_t>(info.st_size) <= maxBytes)
        bytes.reserve(static_cast<size_t>(info.st_size) + 16);  // room for a parser's block loads
    bool ok = true;
    if (bytes.capacity() > 16) {
        bytes.resize(bytes.capacity() - 16);
        bytes.resize(std::fread(&bytes[0], 1, bytes.size(), file));
    }
    // The rest, if the size was not known or the file grew.
    char chunk[65536];
    size_t got;
    while (ok && (got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        if (bytes.size() + got > maxBytes)
            ok = false;
        else
            bytes.append(chunk, got);
    }
    if (std::ferror(file)) ok = false;
    std::fclose(file);
    if (!ok) bytes.clear();
    return ok;
}

// Real names here are the host's UTF-8 bytes.
HostName HostNameFromUtf16(std::u16string_view wide) { return Utf8FromUtf16(wide); }

std::string TextFromHostName(const HostName& name) { return TextFromUtf16(Utf16FromUtf8(name)); }

HostName HostNameFromText(const std::string& text) { return Utf8FromUtf16(Utf16FromText(text)); }

std::u16string Utf16FromHostName(const HostName& name) { return Utf16FromUtf8(name); }

HostName RealNameOfText(const std::string& text) { return HostPath(text); }

bool GivesBackRealName(const std::string& text, const HostName& real) { return HostPath(text) == real; }
