#include "links/Import.h"

#include <exception>
#include <functional>

#include "core/Text.h"
#include "core/Texts.h"
#include "links/BookmarkSource.h"
#include "links/Bookmarks.h"
#include "links/Ordering.h"
#include "links/Scan.h"

namespace {

// Puts a source's links into the list and says how that ended; |message|
// is what the user is to be told, |pathOrder| the list's path order where
// the source knows it (else left empty: the refresh sorts).
using SourceStep =
    std::function<ImportEnd(CMainState& state, std::string& message, std::vector<size_t>& pathOrder)>;

CImportOutcome ImportWith(CMainState& state, IMainHost& host, const SourceStep& read) {
    CImportOutcome outcome;
    CWaitCursor wait(host);
    try {
        host.TakeControlValues();
        std::vector<size_t> pathOrder;
        outcome.end = read(state, outcome.message, pathOrder);
        // A source that could not be read leaves the list, and its box, as
        // they were: a failed Import must not cost the user the list.
        if (outcome.end != ImportEnd::Unreadable) RefreshLinkList(state, host, &pathOrder);
    } catch (...) {
        // The box must show exactly what the list holds, or a later Delete
        // would remove another entry than the one selected.
        RecoverLinkList(state, host);
        outcome.end = ImportEnd::Failed;
        outcome.message.clear();
        outcome.error = ErrorText(std::current_exception());
        return outcome;
    }
    wait.End();
    if (!outcome.message.empty()) host.ShowMessage(outcome.message, MsgKind::Refusal);
    return outcome;
}

ImportEnd ReadFavorites(IFolderSource& folders, CMainState& state, std::string& message) {
    state.m_linkList.Reset();
    std::string favorites;
    HostName realFavorites;
    // Without a Favorites folder there is nothing to scan; an empty path
    // would otherwise become the root of the current drive.
    if (!folders.FavoritesPath(favorites, realFavorites) || favorites.empty()) return ImportEnd::Complete;
    if (!EndsWithSeparator(favorites)) favorites += kSeparator;
    if (!realFavorites.empty() && realFavorites.back() != kHostSeparator) realFavorites += kHostSeparator;
    if (ScanFolder(favorites, realFavorites, folders, state.m_linkList)) return ImportEnd::Complete;
    message = TooManyLinksText();
    return ImportEnd::Cut;
}

ImportEnd ReadBookmarks(IBookmarkFiles& files, const CSource& source, CMainState& state, std::string& message,
                        std::vector<size_t>& pathOrder) {
    SourceRead result = SourceRead::Failed;
    std::string failedFile = source.path;
    std::vector<CLinkEntry> entries;
    try {
        result = ReadBookmarkSource(files, source, entries, failedFile);
    } catch (...) {
        // A file too large for memory is one that cannot be read.
        result = SourceRead::Failed;
        failedFile = source.path;
    }
    switch (result) {
    case SourceRead::Failed:
        message = std::string(kBookmarksUnreadableText) + "\n" + failedFile;
        return ImportEnd::Unreadable;
    case SourceRead::TooLarge:
        message = std::string(kBookmarksUnreadableText) + "\n" + failedFile + "\n" + kBookmarksTooLargeText;
        return ImportEnd::Unreadable;
    case SourceRead::Cut:
        message = TooManyLinksText();
        break;
    case SourceRead::Ok:
        break;
    }
    // Bookmarks come folder by folder, most often in no order the list
    // knows: their path order is found within each folder instead of by
    // sorting the whole list. Without it the refresh sorts as ever.
    try {
        pathOrder = CollectedPathOrder(entries);
    } catch (...) {
        pathOrder.clear();
    }
    state.m_linkList.Assign(std::move(entries));
    if (result == SourceRead::Cut) return ImportEnd::Cut;
    return ImportEnd::Complete;
}

}  // namespace

CImportOutcome ImportFavorites(CMainState& state, IMainHost& host, IFolderSource& folders) {
    return ImportWith(state, host, [&](CMainState& s, std::string& message, std::vector<size_t>&) {
        return ReadFavorites(folders, s, message);
    });
}

CImportOutcome RunImport(CMainState& state, IMainHost& host, IFolderSource& folders, IBookmarkFiles& files) {
    const CSource source = ParseSourceSetting(state.m_source);
    if (source.kind == SourceKind::Favorites) return ImportFavorites(state, host, folders);
    return ImportWith(state, host, [&](CMainState& s, std::string& message, std::vector<size_t>& pathOrder) {
        return ReadBookmarks(files, source, s, message, pathOrder);
    });
}
