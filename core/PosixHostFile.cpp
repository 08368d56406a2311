#include "core/HostFile.h"
#include "core/Text.h"

std::string HostPath(const std::string& path) {
    std::string host = path;
    for (size_t i = 0; i < host.size(); i = NextChar(host, i))
        if (host[i] == kSeparator) host[i] = '/';
    return host;
}

std::FILE* OpenHostFile(const std::string& path, const char* mode) {
    return std::fopen(HostPath(path).c_str(), mode);
}

std::FILE* OpenRealFile(const HostName& path, const char* mode) { return std::fopen(path.c_str(), mode); }
