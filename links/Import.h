// The Import command over every kind of source.
#pragma once
#include "core/MainState.h"
#include "links/FolderSource.h"

// OnImport's work for the source that state.m_source names: the Favorites
// folder scan (ImportFavorites), or the bookmarks of a browser profile or a
// bookmark HTML file. A bookmark file that cannot be read leaves the list
// exactly as it was and tells the user which file it was; more than
// kMaxLinks bookmarks are cut and told as the scan tells it.
void RunImport(CMainState& state, IMainHost& host, IFolderSource& folders);
