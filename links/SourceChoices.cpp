#include "links/SourceChoices.h"

#include <algorithm>

#include "core/Text.h"
#include "core/Texts.h"
#include "links/SourceSetting.h"

std::vector<CSourceChoice> SourceChoices(IBookmarkFiles& files, const std::vector<CSourceChoice>& profiles,
                                         const std::string& stored, const std::vector<std::string>& htmlSettings) {
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
        if (files.Exists(HostNameFromText(source.path)))
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
