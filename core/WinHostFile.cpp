#include "core/HostFile.h"

// The C runtime takes ANSI (code page 932) paths with "\" as they are.
std::string HostPath(const std::string& path) { return path; }

std::FILE* OpenHostFile(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}
