// The "Bookmarks" file of Chromium-family browsers (Edge, Chrome, Brave,
// Vivaldi, Chromium): JSON, read through RapidJSON.
#pragma once
#include <string>

#include "links/Bookmarks.h"

// Folder names of the roots "bookmark_bar" and "synced": Edge's, or those of
// the other browsers.
enum class RootNames { Edge, Chromium };

// Reads the bookmarks of |json| into |collector|: the roots bookmark_bar,
// other and synced in that order, each depth first in the order of its
// children; "other" lies directly in the root. Other roots, unknown node
// types, url nodes without an address and folders without children are
// passed over. False, with nothing added, when |json| is not JSON with a
// "roots" object. |json| is parsed in place and left unusable.
bool ReadChromiumBookmarks(std::string& json, RootNames names, CBookmarkCollector& collector);
