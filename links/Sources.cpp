#include "links/Sources.h"

#include <rapidjson/document.h>

#include <algorithm>
#include <cstdlib>

#include "core/HostFile.h"
#include "core/Text.h"
#include "core/Texts.h"
#include "links/Bookmarks.h"
#include "links/ChromiumBookmarks.h"
#include "links/HtmlBookmarks.h"

namespace {

const struct {
    SourceKind kind;
    const char* prefix;
} kSettingPrefixes[] = {
    {SourceKind::Edge, "edge:"},
    {SourceKind::Chromium, "chromium:"},
    {SourceKind::Html, "html:"},
};

// "Local State" holds far less; a larger one is not read.
const size_t kMaxLocalStateBytes = size_t{64} * 1024 * 1024;

// The real path of the file |name| in the folder of the file |path|.
HostName SiblingOf(const HostName& path, const char* name) {
    size_t cut = path.find_last_of(kHostSeparator);
#ifdef _WIN32
    const size_t slash = path.find_last_of(L'/');
    if (slash != HostName::npos && (cut == HostName::npos || slash > cut)) cut = slash;
#endif
    HostName sibling = cut == HostName::npos ? HostName() : path.substr(0, cut + 1);
    for (const char* p = name; *p; ++p) sibling.push_back(static_cast<HostName::value_type>(*p));
    return sibling;
}

HostName Join(const HostName& folder, const char* relative) {
    HostName joined = folder;
    if (!joined.empty() && joined.back() != kHostSeparator) joined.push_back(kHostSeparator);
    for (const char* p = relative; *p; ++p)
        joined.push_back(*p == '\\' ? kHostSeparator : static_cast<HostName::value_type>(*p));
    return joined;
}

// Reads one Chromium-family bookmarks file; a missing file counts as empty
// when |optional|.
SourceRead ReadChromiumFile(const HostName& path, RootNames names, bool optional,
                            CBookmarkCollector& collector) {
    std::string json;
    if (!ReadWholeHostFile(path, json, kMaxBookmarkFileBytes)) {
        if (optional && !HostFileExists(path)) return SourceRead::Ok;
        return SourceRead::Failed;
    }
    if (!ReadChromiumBookmarks(json, names, collector)) return SourceRead::Failed;
    return collector.Cut() ? SourceRead::Cut : SourceRead::Ok;
}

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

const rapidjson::Value* Member(const rapidjson::Value& object, const char* name) {
    if (!object.IsObject()) return nullptr;
    rapidjson::Value::ConstMemberIterator m = object.FindMember(name);
    return m == object.MemberEnd() ? nullptr : &m->value;
}

std::u16string JsonText(const rapidjson::Value& value) {
    return Utf16FromUtf8(std::string_view(value.GetString(), value.GetStringLength()));
}

// The profiles of one browser's "User Data" folder, in the browser's order,
// each with its display name.
void FindProfilesOf(IFolderSource& folders, const HostName& userData, const char* browser, SourceKind kind,
                    std::vector<CSourceChoice>& out) {
    std::vector<CFoundProfile> found;
    HostName listed = userData;
    listed.push_back(kHostSeparator);
    std::unique_ptr<IFolderListing> listing = folders.List(TextFromHostName(listed) + "*.*", listed);
    if (!listing) return;
    FolderEntry entry;
    while (listing->Next(entry)) {
        if (!(entry.attributes & kFolderAttributes) || entry.name == "." || entry.name == "..") continue;
        const HostName real = entry.realName.empty() ? HostNameFromText(entry.name) : entry.realName;
        HostName bookmarks = Join(listed + real, "Bookmarks");
        if (!HostFileExists(bookmarks)) continue;
        found.push_back(CFoundProfile{Utf16FromHostName(real), std::move(bookmarks)});
    }
    if (found.empty()) return;
    std::sort(found.begin(), found.end(), DefaultProfileOrder);

    std::string localState;
    rapidjson::Document doc;
    const rapidjson::Value* cache = nullptr;
    if (ReadWholeHostFile(Join(userData, "Local State"), localState, kMaxLocalStateBytes)) {
        doc.Parse<rapidjson::kParseIterativeFlag>(localState.data(), localState.size());
        if (!doc.HasParseError()) {
            const rapidjson::Value* profile = Member(doc, "profile");
            const rapidjson::Value* order = profile ? Member(*profile, "profiles_order") : nullptr;
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
            cache = profile ? Member(*profile, "info_cache") : nullptr;
        }
    }
    for (const CFoundProfile& p : found) {
        std::u16string name;
        if (cache) {
            const rapidjson::Value* info = Member(*cache, Utf8FromUtf16(p.folder).c_str());
            const rapidjson::Value* shown = info ? Member(*info, "name") : nullptr;
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

CSource ParseSourceSetting(const std::string& setting) {
    for (const auto& p : kSettingPrefixes) {
        const size_t n = std::char_traits<char>::length(p.prefix);
        if (setting.size() > n && setting.compare(0, n, p.prefix) == 0) return CSource{p.kind, setting.substr(n)};
    }
    return CSource();
}

std::string SourceSetting(const CSource& source) {
    for (const auto& p : kSettingPrefixes)
        if (p.kind == source.kind) return p.prefix + source.path;
    return std::string();
}

SourceRead ReadBookmarkSource(const CSource& source, std::vector<CLinkEntry>& entries, std::string& failedFile) {
    entries.clear();
    CBookmarkCollector collector(entries);
    const HostName path = HostNameFromText(source.path);
    SourceRead result = SourceRead::Failed;
    if (source.kind == SourceKind::Html) {
        std::string bytes;
        if (ReadWholeHostFile(path, bytes, kMaxBookmarkFileBytes)) {
            ReadHtmlBookmarks(bytes, collector);
            result = collector.Cut() ? SourceRead::Cut : SourceRead::Ok;
        }
        if (result == SourceRead::Failed) failedFile = source.path;
    } else if (source.kind == SourceKind::Edge || source.kind == SourceKind::Chromium) {
        const RootNames names = source.kind == SourceKind::Edge ? RootNames::Edge : RootNames::Chromium;
        result = ReadChromiumFile(path, names, false, collector);
        if (result == SourceRead::Failed) {
            failedFile = source.path;
        } else if (result == SourceRead::Ok) {
            // Bookmarks kept with the account join the same folders.
            const HostName account = SiblingOf(path, "AccountBookmarks");
            result = ReadChromiumFile(account, names, true, collector);
            if (result == SourceRead::Failed) failedFile = TextFromHostName(account);
        }
    } else {
        failedFile = source.path;
    }
    if (result == SourceRead::Failed) entries.clear();
    return result;
}

std::vector<CSourceChoice> FindBrowserProfiles(IFolderSource& folders) {
    std::vector<CSourceChoice> profiles;
    HostName localAppData;
    if (!folders.LocalAppDataPath(localAppData) || localAppData.empty()) return profiles;
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
    for (const auto& b : kBrowsers) FindProfilesOf(folders, Join(localAppData, b.userData), b.browser, b.kind, profiles);
    return profiles;
}

std::vector<CSourceChoice> SourceChoices(const std::vector<CSourceChoice>& profiles, const std::string& stored,
                                         const std::vector<std::string>& htmlSettings) {
    std::vector<CSourceChoice> choices;
    choices.push_back(CSourceChoice{CSourceChoice::Favorites, kFavoritesSourceText, std::string()});
    choices.insert(choices.end(), profiles.begin(), profiles.end());

    auto listed = [&](const std::string& setting) {
        return std::any_of(choices.begin(), choices.end(),
                           [&](const CSourceChoice& c) { return !setting.empty() && c.setting == setting; });
    };
    std::vector<std::string> html;
    const CSource storedSource = ParseSourceSetting(stored);
    if (storedSource.kind == SourceKind::Html) html.push_back(stored);
    for (const std::string& s : htmlSettings)
        if (ParseSourceSetting(s).kind == SourceKind::Html && std::find(html.begin(), html.end(), s) == html.end())
            html.push_back(s);

    // Sources whose file is not found show their paths, before the HTML items.
    std::vector<CSourceChoice> found;
    if (storedSource.kind != SourceKind::Favorites && storedSource.kind != SourceKind::Html && !listed(stored))
        choices.push_back(CSourceChoice{CSourceChoice::Stored, storedSource.path, stored});
    for (const std::string& s : html) {
        const CSource source = ParseSourceSetting(s);
        if (HostFileExists(HostNameFromText(source.path)))
            found.push_back(CSourceChoice{CSourceChoice::Html, kHtmlSourcePrefix + FileNameOf(source.path), s});
        else
            choices.push_back(CSourceChoice{CSourceChoice::Stored, source.path, s});
    }
    choices.insert(choices.end(), found.begin(), found.end());
    choices.push_back(CSourceChoice{CSourceChoice::Chooser, kChooseHtmlSourceText, std::string()});
    return choices;
}

size_t ChoiceIndex(const std::vector<CSourceChoice>& choices, const std::string& setting) {
    if (setting.empty()) return 0;
    for (size_t i = 0; i < choices.size(); ++i)
        if (choices[i].setting == setting) return i;
    return 0;
}
