// The Import command: every shortcut file below the Favorites folder.
#pragma once
#include <string>

#include "links/Cp932.h"
#include "links/FolderSource.h"
#include "ui/MainState.h"

extern const char kTooManyLinksText[];

// Adds every shortcut below |folderPath| (ending in the separator) to |list|,
// depth first. Stops adding once the list holds kMaxLinks entries and then
// returns false; true when the whole tree was taken.
bool ScanFolder(const std::string& folderPath, IFolderSource& source, CLinkList& list);

// OnImport's work: wait cursor, control values, empty list, scan of the
// Favorites folder, RefreshLinkList; tells the user when the limit was hit.
void ImportFavorites(CMainState& state, IMainHost& host, IFolderSource& source,
                     const LeadByteTable& lead);
