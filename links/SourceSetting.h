// The setting "Source": which source Import reads.
#pragma once
#include <string>

enum class SourceKind { Favorites, Edge, Chromium, Html, Firefox };

// A source as the setting stores it: "" for the Favorites folder, "edge:" +
// the full path of an Edge profile's Bookmarks file, "chromium:" + that of
// another browser's, "html:" + that of a bookmark HTML file, "firefox:" +
// that of a Firefox profile's folder (its forks' too).
struct CSource {
    SourceKind kind = SourceKind::Favorites;
    std::string path;  // the file's (the profile folder's) full path as the program's text
};

// The source a setting names; an empty, unknown or pathless one names the
// Favorites folder.
CSource ParseSourceSetting(const std::string& setting);
// The setting for |source|.
std::string SourceSetting(const CSource& source);
