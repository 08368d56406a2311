// The browser profiles on this machine, as items of the source drop-down.
#pragma once
#include <vector>

#include "links/BookmarkFiles.h"
#include "links/SourceChoices.h"

// The browser profiles found below the local application data folder, each
// "<browser> - <profile name>": browsers in the order Microsoft Edge, Google
// Chrome, Brave, Vivaldi, Chromium; a profile is a subfolder of the
// browser's "User Data" that holds a "Bookmarks" file, named by
// profile.info_cache.<folder>.name of "Local State" (else by the folder),
// in the order of profile.profiles_order, else "Default" first and then
// "Profile N" by N; then those of Firefox and its forks (FindFirefoxProfiles).
std::vector<CSourceChoice> FindBrowserProfiles(IBookmarkFiles& files);
