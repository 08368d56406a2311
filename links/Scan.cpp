#include "links/Scan.h"

#include "core/Text.h"
#include "core/Texts.h"
#include "links/Ordering.h"

namespace {

// Only the last three bytes count, in lower case; a name of three bytes or
// fewer is compared whole, so only "url" itself matches among those.
bool EndsInUrl(const std::string& name) {
    if (name.size() < 3) return false;
    return name.compare(name.size() - 3, 3, "url") == 0;
}

}  // namespace

bool ScanFolder(const std::string& folderPath, const HostName& realFolder, IFolderSource& source,
                CLinkList& list) {
    std::unique_ptr<IFolderListing> listing = source.List(folderPath + "*.*", realFolder);
    if (!listing) return true;  // a folder that cannot be listed adds nothing

    FolderEntry entry;
    while (listing->Next(entry)) {
        if (entry.name == "." || entry.name == "..") continue;
        if (entry.attributes == kFolderAttributes) {
            const HostName realSub =
                realFolder.empty() ? HostName() : realFolder + entry.realName + kHostSeparator;
            if (!ScanFolder(folderPath + entry.name + kSeparator, realSub, source, list)) return false;
        } else if (EndsInUrl(entry.name)) {
            if (list.Count() >= kMaxLinks) return false;
            CLinkEntry link(folderPath + entry.name);
            if (!realFolder.empty()) link.realPath = realFolder + entry.realName;
            list.AddSorted(std::move(link));
        }
    }
    return true;
}

void ImportFavorites(CMainState& state, IMainHost& host, IFolderSource& source) {
    CWaitCursor wait(host);
    bool complete = true;
    try {
        host.TakeControlValues();
        state.m_linkList.Reset();
        std::string favorites;
        HostName realFavorites;
        // Without a Favorites folder there is nothing to scan; an empty path
        // would otherwise become the root of the current drive.
        if (source.FavoritesPath(favorites, realFavorites) && !favorites.empty()) {
            if (!EndsWithSeparator(favorites)) favorites += kSeparator;
            if (!realFavorites.empty() && realFavorites.back() != kHostSeparator) realFavorites += kHostSeparator;
            complete = ScanFolder(favorites, realFavorites, source, state.m_linkList);
        }
        RefreshLinkList(state, host);
    } catch (...) {
        // The box must show exactly what the list holds, or a later Delete
        // would remove another entry than the one selected.
        RecoverLinkList(state, host);
        return;
    }
    wait.End();
    if (!complete) host.ShowMessage(TooManyLinksText(), MsgKind::Refusal);
}
