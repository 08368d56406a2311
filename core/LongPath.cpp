#include "core/LongPath.h"

namespace {

bool StartsWith(std::u16string_view s, std::u16string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

bool IsDrivePath(std::u16string_view p) {
    return p.size() >= 3 && ((p[0] >= u'A' && p[0] <= u'Z') || (p[0] >= u'a' && p[0] <= u'z')) && p[1] == u':' &&
           p[2] == u'\\';
}

// |prefix| followed by |path| from |from| on with each run of separators
// made one: Windows makes "C:\\a\\\\b" "C:\\a\\b" in the plain form, but
// takes the long form as it stands, where the empty name fails.
std::u16string SingleSeparators(std::u16string prefix, std::u16string_view path, size_t from) {
    prefix.reserve(prefix.size() + path.size() - from);
    for (size_t i = from; i < path.size(); ++i)
        if (!(path[i] == u'\\' && !prefix.empty() && prefix.back() == u'\\')) prefix.push_back(path[i]);
    return prefix;
}

// The "\\?\" form of a full path, or empty when it has none.
std::u16string Extended(std::u16string_view full) {
    if (StartsWith(full, u"\\\\?\\")) return std::u16string(full);
    // A device path is local, never a share on a server named ".".
    if (StartsWith(full, u"\\\\.\\")) return u"\\\\?\\" + std::u16string(full.substr(4));
    if (StartsWith(full, u"\\\\")) {
        // The separator after the server name is where the share begins.
        const size_t server = full.find(u'\\', 2);
        if (server == std::u16string_view::npos) return u"\\\\?\\UNC\\" + std::u16string(full.substr(2));
        return SingleSeparators(u"\\\\?\\UNC\\" + std::u16string(full.substr(2, server - 1)), full, server + 1);
    }
    if (IsDrivePath(full)) return SingleSeparators(u"\\\\?\\" + std::u16string(full.substr(0, 3)), full, 3);
    return std::u16string();
}

}  // namespace

std::u16string LongPathDecision(std::u16string_view typed, std::u16string_view full) {
    if (StartsWith(typed, u"\\\\?\\")) return std::u16string(typed);
    // The limit applies to the path Windows makes of the typed one, which
    // may be much longer (a relative name in a deep current folder).
    if (full.size() < kPlainPathLimit) return std::u16string(typed);
    std::u16string extended = Extended(full);
    return extended.empty() ? std::u16string(typed) : extended;
}

std::u16string VerbatimPathForm(std::u16string_view path) {
    if (StartsWith(path, u"\\\\?\\")) return std::u16string(path);
    if (path.find(u'/') != std::u16string_view::npos) return std::u16string();
    const bool unc = StartsWith(path, u"\\\\") && !StartsWith(path, u"\\\\.\\");
    if (!unc && !IsDrivePath(path) && !StartsWith(path, u"\\\\.\\")) return std::u16string();
    // Components "." and ".." are the platform's to resolve.
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(u'\\', start);
        if (end == std::u16string_view::npos) end = path.size();
        const std::u16string_view part = path.substr(start, end - start);
        if (part == u"." || part == u"..") {
            // "\\.\" itself is the device prefix, not a component.
            if (!(start == 2 && StartsWith(path, u"\\\\.\\"))) return std::u16string();
        }
        start = end + 1;
    }
    return Extended(path);
}
