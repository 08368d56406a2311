// Reading a bookmark source: a browser profile's "Bookmarks" file, a
// Firefox profile or a bookmark HTML file.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "core/LinkList.h"
#include "links/BookmarkFiles.h"
#include "links/SourceSetting.h"

// Bookmark files larger than this are refused as unreadable.
const size_t kMaxBookmarkFileBytes = size_t{512} * 1024 * 1024;

enum class SourceRead {
    Ok,        // every bookmark taken
    Cut,       // stopped at kMaxLinks
    Failed,    // a file missing, unreadable or not bookmarks (JSON, a database or a backup)
    TooLarge,  // a bookmark's real path or the list's texts past what a list may hold
};

// Reads every bookmark of |source| (not the Favorites folder) into
// |entries|, in the source's own order: for a Bookmarks file that file and
// then an "AccountBookmarks" beside it, if there is one; for a Firefox
// profile its database, else its newest backup. On Failed and
// TooLarge, |failedFile| is the path of the file at fault and |entries| is
// left empty.
SourceRead ReadBookmarkSource(IBookmarkFiles& files, const CSource& source, std::vector<CLinkEntry>& entries,
                              std::string& failedFile);
