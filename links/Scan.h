// The Import command: every shortcut file below the Favorites folder.
#pragma once
#include <string>

#include "core/MainState.h"
#include "links/FolderSource.h"

// Adds every shortcut below |folderPath| (ending in the separator; its real
// path |realFolder| likewise) to |list|, depth first, each entry with its
// text and its real path. Stops adding once the list holds kMaxLinks
// entries and then returns false; true when the whole tree was taken. A
// source that knows no real names (an empty |realFolder|) gives entries
// known by their texts alone.
bool ScanFolder(const std::string& folderPath, const HostName& realFolder, IFolderSource& source,
                CLinkList& list);

// OnImport's work: wait cursor, control values, empty list, scan of the
// Favorites folder, RefreshLinkList; tells the user when the limit was hit.
// Whatever fails on the way (memory, the platform), list box 1005 ends up
// showing the list as it then is and the wait cursor ends.
void ImportFavorites(CMainState& state, IMainHost& host, IFolderSource& source);
