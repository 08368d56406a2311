// The walk of the Favorites folder: every shortcut file below it.
#pragma once
#include <string>

#include "core/LinkList.h"
#include "links/FolderSource.h"

// Adds every shortcut below |folderPath| (ending in the separator; its real
// path |realFolder| likewise) to |list|, depth first, each entry with its
// text and its real path. Stops adding once the list holds kMaxLinks
// entries and then returns false; true when the whole tree was taken. A
// source that knows no real names (an empty |realFolder|) gives entries
// known by their texts alone.
bool ScanFolder(const std::string& folderPath, const HostName& realFolder, IFolderSource& source,
                CLinkList& list);
