// Bookmarks as link list entries: a bookmark becomes the entry that its
// Internet Shortcut would be in a Favorites folder holding the same tree, so
// ordering, filters, genres and every page work on it unchanged.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/LinkList.h"

// The folder that stands for the Favorites folder itself: its bookmarks take
// the standard genre.
extern const char16_t kBookmarkRootName[];  // u"Favorites"
// The name of a folder whose title is empty.
extern const char16_t kUntitledFolderName[];  // u"無題"

// |title| with every control character (U+0000 to U+001F, U+007F to U+009F)
// made a space; with |trimWhiteSpace|, white space (space, tab, CR, LF, FF) at both
// ends is dropped first, as bookmark HTML files indent and break titles.
std::u16string BookmarkName(std::u16string_view title, bool trimWhiteSpace);

// One name of a bookmark path as the program's text: "\" as "&#92;", "<" as
// "&#60;" and ">" as "&#62;" (a title can neither split a path nor put
// markup into a page), then as a file name is converted (TextFromUtf16).
std::string BookmarkNameText(std::u16string_view name);

// |url| without the spaces and control characters (U+0000 to U+0020) at its
// ends, as URL parsers take an address; empty for an address of nothing else.
std::u16string_view TrimmedAddress(std::u16string_view url);

// The address as it goes into a page: TrimmedAddress(|url|) without the
// tabs, CRs and LFs inside it (URL parsers drop them), then characters
// outside ASCII, spaces and control characters as their UTF-8 bytes
// percent-encoded with upper-case hexadecimal digits; every other character
// as it is. A lone surrogate counts as U+FFFD.
std::string BookmarkAddress(std::u16string_view url);

// Appends |url| to |address| with characters outside ASCII, spaces and
// control characters as their UTF-8 bytes percent-encoded (upper-case
// hexadecimal), a lone surrogate as U+FFFD; with |dropTabsAndBreaks| the
// tabs, CRs and LFs are left out instead. Nothing is trimmed.
void AppendPercentEncoded(std::string& address, std::u16string_view url, bool dropTabsAndBreaks);

// A list entry's address (the program's text) as the web sees it: ASCII
// alone, by the rule of bookmarks' addresses: spaces, control characters
// and every character beyond ASCII (the bytes read as code page 932) as
// percent-encoded UTF-8, a double quote as %22, the rest as it is. The
// fifth style links to it, and the link check asks for it and keeps its
// results under it.
std::string WebAddress(std::string_view address);

// The longest real path a bookmark may have: that of any Windows path.
const size_t kMaxBookmarkPathUnits = 32767;
// What the list texts of one source's entries may take in all (their real
// paths, where kept, take at most twice as much).
const size_t kMaxBookmarkTextBytes = size_t{256} * 1024 * 1024;

// The order RefreshLinkList sorts |entries| into (CompareInPathOrder), for
// entries as a collector makes them: each path a folder path and a name
// without a separator. Only the names within each folder are sorted, each
// against its few neighbours, rather than whole paths against the whole
// list. Element k is the index of the entry that goes to slot k. Every two
// neighbours in the result are checked at the end: empty where they are
// not strictly in that order (entries not made so), which leaves the sort
// to the refresh.
std::vector<size_t> CollectedPathOrder(const std::vector<CLinkEntry>& entries);

// Collects the bookmarks of one or more trees, read in the source's own
// order, into list entries. Readers call EnterFolder and LeaveFolder in
// pairs around the bookmarks of a folder; a folder that receives no bookmark
// leaves no trace.
class CBookmarkCollector {
public:
    // Entries are appended to |entries|, at most kMaxLinks in all, none with
    // a real path longer than |maxPathUnits| UTF-16 units, and their texts
    // taking at most |maxTextBytes|.
    explicit CBookmarkCollector(std::vector<CLinkEntry>& entries, size_t maxPathUnits = kMaxBookmarkPathUnits,
                                size_t maxTextBytes = kMaxBookmarkTextBytes);

    // Makes room for |bookmarks| more entries at once (a reader that knows
    // how many it holds): a list grown step by step writes fresh memory
    // twice over.
    void Expect(size_t bookmarks);

    // Opens a folder below the current one. |title| as the source stores it;
    // |trimWhiteSpace| as for BookmarkName. An empty name becomes "無題".
    void EnterFolder(std::u16string_view title, bool trimWhiteSpace);
    // Closes the folder opened last; at the root it does nothing.
    void LeaveFolder();
    // The depth below the root (0 at the root).
    size_t Depth() const { return m_depth.size(); }

    // Adds one bookmark in the current folder: its real path is "Favorites\"
    // + folder names + "\" + name + ".url", its text the same made of
    // BookmarkNameText parts, its address BookmarkAddress(|url|). An empty
    // name takes |url| as its name (control characters made spaces); an
    // address that is empty once trimmed adds nothing. False, and nothing
    // added, once kMaxLinks entries have been collected, or when the entry
    // would pass the limits of path or texts: the reader stops there.
    bool AddBookmark(std::u16string_view title, std::u16string_view url, bool trimWhiteSpace);
    // The same for an address given as UTF-8, read as Utf16FromUtf8 reads
    // it (an address from SQLite or JSON).
    bool AddBookmark(std::u16string_view title, std::string_view utf8Url, bool trimWhiteSpace);

    // True once a bookmark was refused for kMaxLinks.
    bool Cut() const { return m_cut; }
    // True once a bookmark was refused for the path or the texts: the source
    // is one that no list can hold, checked before the memory is spent.
    bool TooLarge() const { return m_tooLarge; }

private:
    // How the real name that a path text gives back (RealNameOfText) stands
    // to the real path: the same; different inside their common part, so
    // that every longer path differs too; or one a prefix of the other.
    enum class Match { Same, Differs, Unsure };
    static Match MatchOf(const HostName& given, const HostName& real);
    // AddBookmark for the trimmed address |url|, not empty, or where that
    // is empty for |plainUrl|, printable ASCII and not empty, which is its
    // own address.
    bool Add(std::u16string_view title, std::u16string_view url, std::string_view plainUrl, bool trimWhiteSpace);

    struct Level {
        size_t textSize;
        size_t realSize;
        size_t hostSize;
        Match match;
    };
    std::vector<CLinkEntry>& m_entries;
    std::string m_text;      // "Favorites\" + folder texts, each ending in "\"
    std::u16string m_real;   // the same as real names
    HostName m_host;         // the same as the platform's real name
    Match m_match;           // of m_text and m_host
    std::vector<Level> m_depth;
    // The depth from which folder names no longer fit into m_real; none
    // fits there, so they are not kept.
    size_t m_overlongFrom = SIZE_MAX;
    const size_t m_maxPathUnits;
    const size_t m_maxTextBytes;
    size_t m_textBytes = 0;
    uint32_t m_nextOrder = 1;
    bool m_cut = false;
    bool m_tooLarge = false;
    // ".url" as a text and as a real name, and whether the one gives back
    // the other.
    std::string m_suffixText;
    HostName m_suffixHost;
    bool m_suffixGivesBack = false;
    // Room reused from one bookmark to the next.
    std::u16string m_name;
    std::u16string m_url;
    std::string m_nameText;
};
