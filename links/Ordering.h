// The exchange sort's order in O(n log n), and the list refresh that ends
// Import and Write.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/MainState.h"

// Dense ranks in path order (ComparePathOrder): texts that compare equal share a rank, a
// smaller rank comes first; ranks run from 0 without gaps.
// The texts are given by address, so that callers need not copy them.
std::vector<uint32_t> RankInPathOrder(const std::vector<const std::string*>& texts);

// The same for list entries: path order of their texts, and entries of equal
// texts (two files whose names convert to the same text) in the order of
// their real names, compared unit by unit, and then (two bookmarks of one
// name in one folder) in their source's order.
std::vector<uint32_t> RankInPathOrder(const std::vector<const CLinkEntry*>& entries);
// That order of two entries: negative, zero or positive.
int CompareInPathOrder(const CLinkEntry& a, const CLinkEntry& b);
// True when every entry comes strictly after the one before it in that order.
bool InStrictPathOrder(const std::vector<CLinkEntry>& entries);

// The permutation that the exchange sort (for each slot i, for each later
// slot j, exchange when slot i's key is greater than slot j's) makes of
// |keys|: element k of the result is the index of the key that ends in slot
// k. Reproduces that procedure's order of equal keys exactly, in
// O(n log n) time whatever the keys.
std::vector<size_t> ExchangeSortOrder(const std::vector<uint32_t>& keys);

// Reorders the first order.size() elements of |items| in place so that slot
// k receives the element that was at order[k] (a permutation of 0..n-1),
// and drops the elements after them. |done| is n flags of scratch, made by
// the caller beforehand so that nothing here allocates: the moves cannot
// fail, and no second copy of the list is held.
template <typename T>
void PermuteInPlace(std::vector<T>& items, const std::vector<size_t>& order, std::vector<bool>& done) {
    const size_t n = order.size();
    items.erase(items.begin() + static_cast<std::ptrdiff_t>(n), items.end());
    for (size_t start = 0; start < n; ++start) {
        if (done[start] || order[start] == start) continue;
        T saved = std::move(items[start]);
        size_t k = start;
        for (;;) {
            done[k] = true;
            const size_t from = order[k];
            if (from == start) {
                items[k] = std::move(saved);
                break;
            }
            items[k] = std::move(items[from]);
            k = from;
        }
    }
}

// Takes the control values, sorts the list into path order and keeps only
// the entries that pass the exclusion and inclusion texts, then tells the
// host that the list changed. Handles at most kMaxLinks entries: any beyond
// are dropped. Does not touch m_genres. A non-empty |pathOrder| of the
// list's size is that order already known (from DeriveGenres): slot k
// receives entry pathOrder[k], with no sort.
void RefreshLinkList(CMainState& state, IMainHost& host, const std::vector<size_t>* pathOrder = nullptr);

// After a command failed half-way: refreshes the list as RefreshLinkList
// does or, should that fail too, has the window show the list model as it
// stands. Either way list box 1005 and the model agree afterwards (unless
// the window itself cannot show them). Never throws.
void RecoverLinkList(CMainState& state, IMainHost& host) noexcept;
