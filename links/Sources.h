// Where Import takes its links from: the Favorites folder, a browser
// profile's "Bookmarks" file or a bookmark HTML file. Every source gives the
// same kind of list entry.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "core/LinkList.h"
#include "links/FolderSource.h"

enum class SourceKind { Favorites, Edge, Chromium, Html };

// A source as the setting "Source" stores it: "" for the Favorites folder,
// "edge:" + the full path of an Edge profile's Bookmarks file, "chromium:" +
// that of another browser's, "html:" + that of a bookmark HTML file.
struct CSource {
    SourceKind kind = SourceKind::Favorites;
    std::string path;  // the file's full path as the program's text
};

// The source a setting names; an empty, unknown or pathless one names the
// Favorites folder.
CSource ParseSourceSetting(const std::string& setting);
// The setting for |source|.
std::string SourceSetting(const CSource& source);

// Bookmark files larger than this are refused as unreadable.
const size_t kMaxBookmarkFileBytes = size_t{512} * 1024 * 1024;

enum class SourceRead {
    Ok,      // every bookmark taken
    Cut,     // stopped at kMaxLinks
    Failed,  // a file missing, unreadable or (Bookmarks) not bookmarks JSON
};

// Reads every bookmark of |source| (not the Favorites folder) into
// |entries|, in the source's own order: for a Bookmarks file that file and
// then an "AccountBookmarks" beside it, if there is one. On Failed,
// |failedFile| is the path of the file at fault and |entries| is left empty.
SourceRead ReadBookmarkSource(const CSource& source, std::vector<CLinkEntry>& entries, std::string& failedFile);

// One item of the source drop-down.
struct CSourceChoice {
    enum Kind { Favorites, Profile, Stored, Html, Chooser };
    Kind kind = Favorites;
    std::string text;     // what the drop-down shows
    std::string setting;  // the setting it selects; empty for Favorites and Chooser
};

// The browser profiles found below the local application data folder, each
// "<browser> - <profile name>": browsers in the order Microsoft Edge, Google
// Chrome, Brave, Vivaldi, Chromium; a profile is a subfolder of the
// browser's "User Data" that holds a "Bookmarks" file, named by
// profile.info_cache.<folder>.name of "Local State" (else by the folder),
// in the order of profile.profiles_order, else "Default" first and then
// "Profile N" by N.
std::vector<CSourceChoice> FindBrowserProfiles(IFolderSource& folders);

// The drop-down's items in order: the Favorites folder; |profiles|; the
// stored setting |stored| when no item selects it and its file is not found
// (its path as text); an "HTML - <file name>" item per setting of
// |htmlSettings| (a bookmark HTML file chosen before; one whose file is
// missing shows its path instead, before the HTML items); last the item
// that opens the Open dialog.
std::vector<CSourceChoice> SourceChoices(const std::vector<CSourceChoice>& profiles, const std::string& stored,
                                         const std::vector<std::string>& htmlSettings);

// The index of the item that |setting| selects: the item with that setting,
// else the Favorites folder (0).
size_t ChoiceIndex(const std::vector<CSourceChoice>& choices, const std::string& setting);
