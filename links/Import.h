// The Import command over every kind of source: one sequence of steps for
// the Favorites folder and for bookmarks alike.
#pragma once
#include <string>

#include "core/MainState.h"
#include "links/BookmarkFiles.h"
#include "links/FolderSource.h"

// How an Import ended.
enum class ImportEnd {
    Complete,    // every link of the source is in the list
    Cut,         // stopped at kMaxLinks (told)
    Unreadable,  // the source could not be read; the list is as it was (told)
    Failed,      // ended by an error (memory, the platform): the list is partial (not told)
};

struct CImportOutcome {
    ImportEnd end = ImportEnd::Complete;
    std::string message;  // what the user was told; empty when nothing
    std::string error;    // Failed: what the error was, as the program's text
};

// OnImport's work for the source that state.m_source names: wait cursor,
// control values, the source read into the list (or the list kept when it
// cannot be read), RefreshLinkList, the message. Whatever fails on the way,
// list box 1005 ends up showing the list as it then is and the wait cursor
// ends; the outcome says how it ended. More than kMaxLinks links are cut and
// told; a bookmark file that cannot be read leaves the list exactly as it was
// and tells the user which file it was.
CImportOutcome RunImport(CMainState& state, IMainHost& host, IFolderSource& folders, IBookmarkFiles& files);

// The same for the Favorites folder, whatever the source setting says: an
// empty list, then every shortcut below the folder.
CImportOutcome ImportFavorites(CMainState& state, IMainHost& host, IFolderSource& folders);
