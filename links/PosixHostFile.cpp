#include "links/Cp932.h"
#include "links/HostFile.h"

std::string HostPath(const std::string& path) {
    std::string host = path;
    const LeadByteTable& lead = Cp932LeadBytes();
    for (size_t i = 0; i < host.size(); ++i) {
        if (lead.IsLead(static_cast<unsigned char>(host[i])))
            ++i;
        else if (host[i] == kSeparator)
            host[i] = '/';
    }
    return host;
}

std::FILE* OpenHostFile(const std::string& path, const char* mode) {
    return std::fopen(HostPath(path).c_str(), mode);
}
