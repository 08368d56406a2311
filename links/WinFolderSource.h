// The Favorites folder and folder listings of Windows.
#pragma once
#include "links/FolderSource.h"

class CWinFolderSource : public IFolderSource {
public:
    // The shell's Favorites folder (owner: the desktop window); false when the
    // shell has none or it has no file-system path.
    bool FavoritesPath(std::string& path, HostName& realPath) override;
    // A FindFirstFileExW listing of |realFolder| (long form past 260
    // characters); null when it cannot start. The listing ends at
    // ERROR_NO_MORE_FILES and at any other failure alike.
    std::unique_ptr<IFolderListing> List(const std::string& pattern, const HostName& realFolder) override;
};
