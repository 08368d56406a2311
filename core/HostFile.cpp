#include "core/HostFile.h"

bool HostFileExists(const HostName& path) {
    std::FILE* file = OpenRealFile(path, "rb");
    if (!file) return false;
    std::fclose(file);
    return true;
}
