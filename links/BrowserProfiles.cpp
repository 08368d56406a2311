#include "links/BrowserProfiles.h"

#include <algorithm>

#include "core/Text.h"
#include "links/Bookmarks.h"
#include "links/FirefoxProfiles.h"
#include "links/Json.h"
#include "links/SourceSetting.h"

namespace {

// "Local State" holds far less; a larger one is not read.
const size_t kMaxLocalStateBytes = size_t{64} * 1024 * 1024;

// A profile folder found on disk.
struct CFoundProfile {
    std::u16string folder;  // its name, as Local State keys it
    HostName bookmarks;     // the full path of its Bookmarks file
};

// "Default" first, then "Profile N" by N, then any other by name.
bool DefaultProfileOrder(const CFoundProfile& a, const CFoundProfile& b) {
    auto rank = [](const std::u16string& name, unsigned long& number) {
        if (name == u"Default") return 0;
        const std::u16string prefix = u"Profile ";
        if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
            name.size() - prefix.size() <= 9) {
            number = 0;
            for (size_t i = prefix.size(); i < name.size(); ++i) {
                if (name[i] < u'0' || name[i] > u'9') return 2;
                number = number * 10 + static_cast<unsigned long>(name[i] - u'0');
            }
            return 1;
        }
        return 2;
    };
    unsigned long na = 0, nb = 0;
    const int ra = rank(a.folder, na);
    const int rb = rank(b.folder, nb);
    if (ra != rb) return ra < rb;
    if (ra == 1 && na != nb) return na < nb;
    return a.folder < b.folder;
}

// The profiles of one browser's "User Data" folder, in the browser's order,
// each with its display name.
void FindProfilesOf(IBookmarkFiles& files, const HostName& userData, const char* browser, SourceKind kind,
                    std::vector<CSourceChoice>& out) {
    std::vector<CFoundProfile> found;
    for (const HostName& folder : files.Subfolders(userData)) {
        HostName bookmarks = JoinHostPath(JoinHostPath(userData, "") + folder, "Bookmarks");
        if (!files.Exists(bookmarks)) continue;
        found.push_back(CFoundProfile{Utf16FromHostName(folder), std::move(bookmarks)});
    }
    if (found.empty()) return;
    std::sort(found.begin(), found.end(), DefaultProfileOrder);

    std::string localState;
    rapidjson::Document doc;
    const rapidjson::Value* cache = nullptr;
    if (files.ReadWhole(JoinHostPath(userData, "Local State"), localState, kMaxLocalStateBytes) &&
        ParseJsonInPlace(localState, doc)) {
        const rapidjson::Value* profile = JsonMember(doc, "profile");
        const rapidjson::Value* order = profile ? JsonMember(*profile, "profiles_order") : nullptr;
        if (order && order->IsArray()) {
            // The browser's own order first; profiles it does not list keep theirs after.
            std::vector<CFoundProfile> ordered;
            for (const rapidjson::Value& name : order->GetArray()) {
                if (!name.IsString()) continue;
                const std::u16string folder = JsonText(name);
                auto it = std::find_if(found.begin(), found.end(),
                                       [&](const CFoundProfile& p) { return p.folder == folder; });
                if (it == found.end()) continue;
                ordered.push_back(std::move(*it));
                found.erase(it);
            }
            for (CFoundProfile& rest : found) ordered.push_back(std::move(rest));
            found.swap(ordered);
        }
        cache = profile ? JsonMember(*profile, "info_cache") : nullptr;
    }
    for (const CFoundProfile& p : found) {
        std::u16string name;
        if (cache) {
            const rapidjson::Value* info = JsonMember(*cache, Utf8FromUtf16(p.folder).c_str());
            const rapidjson::Value* shown = info ? JsonMember(*info, "name") : nullptr;
            if (shown && shown->IsString()) name = BookmarkName(JsonText(*shown), false);
        }
        if (name.empty()) name = p.folder;
        CSourceChoice choice;
        choice.kind = CSourceChoice::Profile;
        choice.text = std::string(browser) + " - " + TextFromUtf16(name);
        choice.setting = SourceSetting(CSource{kind, TextFromHostName(p.bookmarks)});
        out.push_back(std::move(choice));
    }
}

}  // namespace

std::vector<CSourceChoice> FindBrowserProfiles(IBookmarkFiles& files) {
    std::vector<CSourceChoice> profiles;
    HostName localAppData;
    if (!files.LocalAppDataPath(localAppData)) localAppData.clear();
    const struct {
        const char* browser;
        const char* userData;
        SourceKind kind;
    } kBrowsers[] = {
        {"Microsoft Edge", "Microsoft\\Edge\\User Data", SourceKind::Edge},
        {"Google Chrome", "Google\\Chrome\\User Data", SourceKind::Chromium},
        {"Brave", "BraveSoftware\\Brave-Browser\\User Data", SourceKind::Chromium},
        {"Vivaldi", "Vivaldi\\User Data", SourceKind::Chromium},
        {"Chromium", "Chromium\\User Data", SourceKind::Chromium},
    };
    for (const auto& b : kBrowsers)
        if (!localAppData.empty()) FindProfilesOf(files, JoinHostPath(localAppData, b.userData), b.browser, b.kind, profiles);
    // Firefox and its forks after the Chromium family, before the HTML files.
    FindFirefoxProfiles(files, profiles);
    return profiles;
}
