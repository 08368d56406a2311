// The bookmarks of a Firefox profile (and of its forks): "places.sqlite"
// through SQLite, else the newest "bookmarkbackups/bookmarks-*.jsonlz4".
#pragma once
#include <string>

#include "links/BookmarkFiles.h"
#include "links/BookmarkSource.h"
#include "links/Bookmarks.h"

// Reads the bookmarks of the profile folder |profile| into |collector|, as
// the shortcuts of the same tree would be: the bookmarks menu's children in
// the root, the toolbar as the folder "ブックマークツールバー", the other
// bookmarks as "他のブックマーク", the mobile ones as
// "モバイルのブックマーク", roots taken by their guids; tags, separators,
// bookmarks without an address and unknown types passed over; everything in
// the order of its position. The database is read from a private copy of
// "places.sqlite" and its "-wal" file (the browser keeps the live ones open
// and its latest changes in the -wal), opened read-only and removed after.
// When the database is missing or cannot be read, the newest backup is read
// instead. Failed when neither can be read; TooLarge as the collector says.
SourceRead ReadFirefoxProfile(IBookmarkFiles& files, const HostName& profile, CBookmarkCollector& collector);

// The JSON inside a backup file ("mozLz40\0", the size as a little-endian
// 32-bit number, one LZ4 block) into |json|; false when the file is not one
// or its block does not give exactly the size it states.
bool DecompressMozLz4(const std::string& file, std::string& json);
