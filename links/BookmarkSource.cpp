#include "links/BookmarkSource.h"

#include "core/Text.h"
#include "links/Bookmarks.h"
#include "links/ChromiumBookmarks.h"
#include "links/FirefoxBookmarks.h"
#include "links/HtmlBookmarks.h"

namespace {

SourceRead Ended(const CBookmarkCollector& collector) {
    if (collector.TooLarge()) return SourceRead::TooLarge;
    return collector.Cut() ? SourceRead::Cut : SourceRead::Ok;
}

// Reads one Chromium-family bookmarks file; a missing file counts as empty
// when |optional|.
SourceRead ReadChromiumFile(IBookmarkFiles& files, const HostName& path, RootNames names, bool optional,
                            CBookmarkCollector& collector) {
    std::string json;
    if (!files.ReadWhole(path, json, kMaxBookmarkFileBytes)) {
        if (optional && !files.Exists(path)) return SourceRead::Ok;
        return SourceRead::Failed;
    }
    if (!ReadChromiumBookmarks(json, names, collector)) return SourceRead::Failed;
    return Ended(collector);
}

}  // namespace

SourceRead ReadBookmarkSource(IBookmarkFiles& files, const CSource& source, std::vector<CLinkEntry>& entries,
                              std::string& failedFile) {
    entries.clear();
    CBookmarkCollector collector(entries);
    const HostName path = HostNameFromText(source.path);
    SourceRead result = SourceRead::Failed;
    failedFile = source.path;
    if (source.kind == SourceKind::Html) {
        std::string bytes;
        if (files.ReadWhole(path, bytes, kMaxBookmarkFileBytes)) {
            ReadHtmlBookmarks(bytes, collector);
            result = Ended(collector);
        }
    } else if (source.kind == SourceKind::Firefox) {
        result = ReadFirefoxProfile(files, path, collector);
    } else if (source.kind == SourceKind::Edge || source.kind == SourceKind::Chromium) {
        const RootNames names = source.kind == SourceKind::Edge ? RootNames::Edge : RootNames::Chromium;
        result = ReadChromiumFile(files, path, names, false, collector);
        if (result == SourceRead::Ok) {
            // Bookmarks kept with the account join the same folders.
            const HostName account = SiblingOf(path, "AccountBookmarks");
            result = ReadChromiumFile(files, account, names, true, collector);
            if (result == SourceRead::Failed || result == SourceRead::TooLarge)
                failedFile = TextFromHostName(account);
        }
    }
    if (result == SourceRead::Failed || result == SourceRead::TooLarge) {
        // Nothing of a source that could not be read whole is kept.
        entries.clear();
        entries.shrink_to_fit();
    }
    return result;
}
