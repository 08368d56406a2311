#include "links/BookmarkFiles.h"

HostName JoinHostPath(const HostName& folder, const char* relative) {
    HostName joined = folder;
    if (!joined.empty() && joined.back() != kHostSeparator) joined.push_back(kHostSeparator);
    for (const char* p = relative; *p; ++p)
        joined.push_back(*p == '\\' ? kHostSeparator : static_cast<HostName::value_type>(*p));
    return joined;
}

HostName SiblingOf(const HostName& path, const char* name) {
    size_t cut = path.find_last_of(kHostSeparator);
#ifdef _WIN32
    const size_t slash = path.find_last_of(L'/');
    if (slash != HostName::npos && (cut == HostName::npos || slash > cut)) cut = slash;
#endif
    return JoinHostPath(cut == HostName::npos ? HostName() : path.substr(0, cut), name);
}
