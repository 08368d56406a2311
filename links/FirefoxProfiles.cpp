#include "links/FirefoxProfiles.h"

#include <algorithm>

#include "core/Text.h"
#include "links/Bookmarks.h"
#include "links/SourceSetting.h"

namespace {

// profiles.ini is a few hundred bytes; a larger one is not read.
const size_t kMaxIniBytes = size_t{1} * 1024 * 1024;

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// N of a section named "ProfileN" (in any case); false for any other.
bool ProfileNumber(std::string_view section, unsigned long& number) {
    const std::string_view prefix = "profile";
    if (section.size() <= prefix.size() || section.size() > prefix.size() + 9 ||
        !EqualsAsciiNoCase(section.substr(0, prefix.size()), prefix))
        return false;
    number = 0;
    for (char c : section.substr(prefix.size())) {
        if (c < '0' || c > '9') return false;
        number = number * 10 + static_cast<unsigned long>(c - '0');
    }
    return true;
}

// A path of profiles.ini as a real path: "/" and "\" as the platform's
// separator.
HostName HostPathOf(const std::u16string& path) {
    std::u16string separated = path;
    for (char16_t& c : separated)
        if (c == u'/' || c == u'\\') c = static_cast<char16_t>(kHostSeparator);
    return HostNameFromUtf16(separated);
}

}  // namespace

std::vector<CIniProfile> ParseProfilesIni(std::string_view ini) {
    if (ini.substr(0, 3) == "\xEF\xBB\xBF") ini.remove_prefix(3);
    std::vector<CIniProfile> profiles;
    bool inProfile = false;
    bool hasPath = false;
    CIniProfile current;
    auto finish = [&] {
        if (inProfile && hasPath) profiles.push_back(current);
        inProfile = hasPath = false;
        current = CIniProfile();
    };
    while (!ini.empty()) {
        const size_t end = ini.find('\n');
        const std::string_view line = Trimmed(ini.substr(0, end));
        ini.remove_prefix(end == std::string_view::npos ? ini.size() : end + 1);
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        if (line.front() == '[') {
            finish();
            const size_t close = line.find(']');
            if (close != std::string_view::npos) inProfile = ProfileNumber(line.substr(1, close - 1), current.number);
            continue;
        }
        const size_t equals = line.find('=');
        if (!inProfile || equals == std::string_view::npos) continue;
        const std::string_view key = Trimmed(line.substr(0, equals));
        const std::string_view value = Trimmed(line.substr(equals + 1));
        if (EqualsAsciiNoCase(key, "name")) {
            current.name = Utf16FromUtf8(value);
        } else if (EqualsAsciiNoCase(key, "isrelative")) {
            current.isRelative = value == "1";
        } else if (EqualsAsciiNoCase(key, "path") && !value.empty()) {
            current.path = Utf16FromUtf8(value);
            hasPath = true;
        }
    }
    finish();
    std::stable_sort(profiles.begin(), profiles.end(),
                     [](const CIniProfile& a, const CIniProfile& b) { return a.number < b.number; });
    return profiles;
}

void FindFirefoxProfiles(IBookmarkFiles& files, std::vector<CSourceChoice>& out) {
    HostName roaming;
    if (!files.RoamingAppDataPath(roaming) || roaming.empty()) return;
    const struct {
        const char* browser;
        const char* folder;
    } kBrowsers[] = {
        {"Mozilla Firefox", "Mozilla\\Firefox"},
        {"Floorp", "Floorp"},
        {"Waterfox", "Waterfox"},
        {"LibreWolf", "librewolf"},
    };
    for (const auto& b : kBrowsers) {
        const HostName home = JoinHostPath(roaming, b.folder);
        std::string ini;
        if (!files.ReadWhole(JoinHostPath(home, "profiles.ini"), ini, kMaxIniBytes)) continue;
        for (const CIniProfile& p : ParseProfilesIni(ini)) {
            const HostName folder = p.isRelative ? JoinHostPath(home, "") + HostPathOf(p.path) : HostPathOf(p.path);
            if (!files.Exists(JoinHostPath(folder, "places.sqlite"))) {
                const std::vector<HostName> sub = files.Subfolders(folder);
                if (std::find(sub.begin(), sub.end(), JoinHostPath(HostName(), "bookmarkbackups")) == sub.end())
                    continue;
            }
            std::u16string name = BookmarkName(p.name, true);
            if (name.empty()) name = Utf16FromHostName(folder.substr(folder.find_last_of(kHostSeparator) + 1));
            CSourceChoice choice;
            choice.kind = CSourceChoice::Profile;
            choice.text = std::string(b.browser) + " - " + TextFromUtf16(name);
            choice.setting = SourceSetting(CSource{SourceKind::Firefox, TextFromHostName(folder)});
            out.push_back(std::move(choice));
        }
    }
}
