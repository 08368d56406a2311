// Bookmark HTML files ("NETSCAPE-Bookmark-file-1"), as every browser exports
// them and people write them by hand: read by tag, tolerantly.
#pragma once
#include <string_view>

#include "links/Bookmarks.h"

// Reads the links and folders of the file |bytes| into |collector|, in the
// file's order, until the end or until the collector refuses a bookmark.
// Never fails: a file without any link adds nothing.
void ReadHtmlBookmarks(std::string_view bytes, CBookmarkCollector& collector);
