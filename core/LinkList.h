// The link list: full paths of shortcut files, shown by list box 1005.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/HostFile.h"

// Capacity of the genre array and of every working copy of the list.
const size_t kMaxLinks = 30000;

// One entry of the link list. Sorting, filtering, deleting and the genre
// reorder move whole entries, so whatever an entry carries besides its text
// stays with it.
struct CLinkEntry {
    CLinkEntry() = default;
    // An entry made from its text alone.
    CLinkEntry(std::string entryText) : text(std::move(entryText)) {}
    CLinkEntry(const char* entryText) : text(entryText) {}

    // The shortcut's full path as the program's text: what the pages,
    // the sort and the filters work on.
    std::string text;
    // The file's real full path as the platform gave it, which the reader
    // opens and list box 1005 shows; empty where it is what the text gives
    // back (RealNameOfText), as for most names, or for an entry known by its
    // text alone. See RealPath().
    HostName realPath;
    CLinkEntry(const CLinkEntry& other);
    CLinkEntry& operator=(const CLinkEntry& other);
    CLinkEntry(CLinkEntry&&) noexcept = default;
    CLinkEntry& operator=(CLinkEntry&&) noexcept = default;

    // The link address taken at Import, for an entry that is no file of its
    // own (a bookmark): Write reads no file for it. Empty for a file.
    bool HasAddress() const { return m_address != nullptr; }
    const std::string& Address() const;
    void SetAddress(std::string address);
    // The entry's place in its source's own order, from 1, where two entries
    // can share text and real path (two bookmarks of one name in one
    // folder); 0 for a file, whose real path is its own.
    uint32_t sourceOrder = 0;

private:
    // Held apart: most entries are files and have none, and every entry of
    // a list of 30000 counts.
    std::unique_ptr<const std::string> m_address;
};

// The real full path of |entry|: its own, or the one its text gives back.
HostName RealPath(const CLinkEntry& entry);

// Opens the shortcut file of |entry| by its real path.
std::FILE* OpenLinkFile(const CLinkEntry& entry, const char* mode);

// The ordered list of shortcut paths. The model is the truth; the window
// mirrors it after each change (see IMainHost::LinkListChanged).
class CLinkList {
public:
    // Removes all entries.
    void Reset();
    // Inserts |text| where it keeps the list in the list control's own order
    // (case-insensitive, ties after equal entries). Placement is settled
    // lazily with one merge, so a scan of 30000 entries is not quadratic.
    void AddSorted(CLinkEntry entry);
    // Inserts |entry| at the end, without sorting.
    void Append(CLinkEntry entry);
    // Removes entry |index|; later entries move up. Out of range: nothing.
    void DeleteAt(size_t index);
    size_t Count() const { return m_items.size() + m_pending.size(); }
    // Entry |index| and its text; |index| must be below Count().
    const CLinkEntry& Entry(size_t index) const;
    const std::string& Text(size_t index) const { return Entry(index).text; }
    // All entries in list order.
    const std::vector<CLinkEntry>& Items() const;
    // Replaces the whole content in one step (reset, then append each).
    void Assign(std::vector<CLinkEntry>&& items);
    // Takes every entry out in list order, leaving the list empty, so that
    // a reorder moves entries instead of copying them. Allocates nothing
    // (cannot fail) once Items() has been called since the last change.
    std::vector<CLinkEntry> Release();
    // The same for a caller that puts every entry into an order of its own
    // in which equal entries are indistinguishable (the refresh): entries
    // added sorted and not yet placed come out unplaced, sparing the sort
    // that would place them. Put them back with Assign if that caller fails.
    std::vector<CLinkEntry> ReleaseForReorder();

private:
    void Settle() const;

    mutable std::vector<CLinkEntry> m_items;
    mutable std::vector<CLinkEntry> m_pending;  // added sorted, not yet placed
};

// The list control's own order: byte-wise with ASCII letters folded to
// lower case. Only the sorted add uses it.
int CompareListControlOrder(const std::string& a, const std::string& b);
