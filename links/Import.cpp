#include "links/Import.h"

#include "core/Texts.h"
#include "links/Ordering.h"
#include "links/Scan.h"
#include "links/Sources.h"

namespace {

void ImportBookmarks(CMainState& state, IMainHost& host, const CSource& source) {
    CWaitCursor wait(host);
    SourceRead result = SourceRead::Failed;
    std::string failedFile = source.path;
    try {
        host.TakeControlValues();
        std::vector<CLinkEntry> entries;
        try {
            result = ReadBookmarkSource(source, entries, failedFile);
        } catch (...) {
            // A file too large for memory is one that cannot be read.
            result = SourceRead::Failed;
            failedFile = source.path;
        }
        // The list changes only when the source was read: a failed Import
        // must not cost the user the list on the screen.
        if (result != SourceRead::Failed) {
            state.m_linkList.Assign(std::move(entries));
            RefreshLinkList(state, host);
        }
    } catch (...) {
        RecoverLinkList(state, host);
        return;
    }
    wait.End();
    if (result == SourceRead::Failed)
        host.ShowMessage(std::string(kBookmarksUnreadableText) + "\n" + failedFile, MsgKind::Refusal);
    else if (result == SourceRead::Cut)
        host.ShowMessage(TooManyLinksText(), MsgKind::Refusal);
}

}  // namespace

void RunImport(CMainState& state, IMainHost& host, IFolderSource& folders) {
    const CSource source = ParseSourceSetting(state.m_source);
    if (source.kind == SourceKind::Favorites)
        ImportFavorites(state, host, folders);
    else
        ImportBookmarks(state, host, source);
}
