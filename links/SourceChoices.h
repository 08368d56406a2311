// The items of the source drop-down.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "links/BookmarkFiles.h"

// One item of the source drop-down.
struct CSourceChoice {
    enum Kind { Favorites, Profile, Stored, Html, Chooser };
    Kind kind = Favorites;
    std::string text;     // what the drop-down shows
    std::string setting;  // the setting it selects; empty for Favorites and Chooser
};

// The drop-down's items in order: the Favorites folder; |profiles|; the
// stored setting |stored| when no item selects it and its file is not found
// (its path as text); an "HTML - <file name>" item per setting of
// |htmlSettings| (a bookmark HTML file chosen before; one whose file is
// missing shows its path instead, before the HTML items); last the item
// that opens the Open dialog.
std::vector<CSourceChoice> SourceChoices(IBookmarkFiles& files, const std::vector<CSourceChoice>& profiles,
                                         const std::string& stored, const std::vector<std::string>& htmlSettings);

// The index of the item that |setting| selects: the item with that setting,
// else the Favorites folder (0).
size_t ChoiceIndex(const std::vector<CSourceChoice>& choices, const std::string& setting);
