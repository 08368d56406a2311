#include "links/Ordering.h"

#include <algorithm>
#include <numeric>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "core/Text.h"

namespace {

// Counts over positions 0..size-1, with prefix sums and the search for the
// k-th set position, both in O(log size).
class CFenwick {
public:
    explicit CFenwick(size_t size) : m_tree(size + 1, 0) {}
    // All positions set to 1, built in linear time.
    void FillOnes() {
        for (size_t i = 1; i < m_tree.size(); ++i) {
            m_tree[i] += 1;
            size_t parent = i + (i & (~i + 1));
            if (parent < m_tree.size()) m_tree[parent] += m_tree[i];
        }
    }
    void Add(size_t pos, int delta) {
        for (size_t i = pos + 1; i < m_tree.size(); i += i & (~i + 1)) m_tree[i] += delta;
    }
    // Sum over positions 0..end-1.
    int Prefix(size_t end) const {
        int sum = 0;
        for (size_t i = std::min(end, m_tree.size() - 1); i > 0; i -= i & (~i + 1)) sum += m_tree[i];
        return sum;
    }
    // The position holding the (k+1)-th one; k must be below the total.
    size_t Select(int k) const {
        size_t pos = 0;
        size_t step = 1;
        while (step * 2 < m_tree.size()) step *= 2;
        for (; step > 0; step /= 2) {
            if (pos + step < m_tree.size() && m_tree[pos + step] <= k) {
                pos += step;
                k -= m_tree[pos];
            }
        }
        return pos;
    }

private:
    std::vector<int> m_tree;
};

bool PassesFilters(const std::string& entry, const CMainState& state) {
    // An empty exclusion text would be contained everywhere: it switches the
    // exclusion off instead.
    if (!state.m_excludeText.empty() && ContainsAtBoundary(entry, state.m_excludeText))
        return false;
    return ContainsAtBoundary(entry, state.m_includeText);
}

}  // namespace

namespace {

// Dense ranks of |n| items in the order |compare| gives (negative, zero or
// positive): equal items share a rank.
template <typename Compare>
std::vector<uint32_t> DenseRanks(size_t n, Compare compare) {
    std::vector<size_t> byOrder(n);
    std::iota(byOrder.begin(), byOrder.end(), size_t{0});
    std::sort(byOrder.begin(), byOrder.end(), [&](size_t x, size_t y) { return compare(x, y) < 0; });
    std::vector<uint32_t> ranks(n);
    uint32_t rank = 0;
    for (size_t k = 0; k < byOrder.size(); ++k) {
        if (k > 0 && compare(byOrder[k - 1], byOrder[k]) != 0) ++rank;
        ranks[byOrder[k]] = rank;
    }
    return ranks;
}

}  // namespace

namespace {

}  // namespace

std::vector<uint32_t> RankInPathOrder(const std::vector<const std::string*>& texts) {
    // Texts repeat (a genre per entry, a few thousand distinct among 30000):
    // each distinct text is ranked once.
    std::unordered_map<std::string_view, uint32_t> slot;
    slot.reserve(texts.size());
    std::vector<const std::string*> distinct;
    std::vector<uint32_t> which(texts.size());
    for (size_t k = 0; k < texts.size(); ++k) {
        auto added = slot.emplace(*texts[k], static_cast<uint32_t>(distinct.size()));
        if (added.second) distinct.push_back(texts[k]);
        which[k] = added.first->second;
    }
    const std::vector<uint32_t> ranks =
        DenseRanks(distinct.size(), [&](size_t x, size_t y) { return ComparePathOrder(*distinct[x], *distinct[y]); });
    for (uint32_t& w : which) w = ranks[w];
    return which;
}

int CompareInPathOrder(const CLinkEntry& a, const CLinkEntry& b) {
    int order = ComparePathOrder(a.text, b.text);
    if (order != 0) return order;
    // Equal texts are rare: the real paths are made only for them. Two
    // entries that keep none are both what their equal texts give back.
    if (!a.realPath.empty() || !b.realPath.empty()) order = RealPath(a).compare(RealPath(b));
    if (order != 0) return order;
    return a.sourceOrder == b.sourceOrder ? 0 : (a.sourceOrder < b.sourceOrder ? -1 : 1);
}

std::vector<uint32_t> RankInPathOrder(const std::vector<const CLinkEntry*>& entries) {
    return DenseRanks(entries.size(), [&](size_t x, size_t y) { return CompareInPathOrder(*entries[x], *entries[y]); });
}

bool InStrictPathOrder(const std::vector<CLinkEntry>& entries) {
    for (size_t k = 1; k < entries.size(); ++k)
        if (CompareInPathOrder(entries[k - 1], entries[k]) >= 0) return false;
    return true;
}

// Why this gives the exchange sort's order.
//
// The exchange sort compares and exchanges the slot pairs (i, j) in a fixed
// order, putting the smaller key in slot i and never exchanging equal keys.
// The final keys are sorted; what needs working out is where the elements of
// one key v end among themselves.
//
// 1. Only "smaller than v", "v" and "greater than v" matter. Replace every
//    key below v by 0, every key above v by 2 and keep the elements of key v
//    as 1s. A comparison between an element of v and another one exchanges
//    in the original exactly when it does in the replacement, and elements
//    of equal replaced key are interchangeable there; so, by induction over
//    the fixed sequence of pairs, every element of v takes the same path in
//    both runs.
//
// 2. The pass for slot i carries the running minimum: it holds slot i's key,
//    and at each later slot with a strictly smaller key it leaves the held
//    key there and takes that slot's key, which ends in slot i. Over 0, 1, 2:
//    while any 0 is left in slots i.., the pass ends with the first 0 in slot
//    i, and a 1 moves only if one stands before that first 0: the first such
//    1 (it is either slot i itself or the first key below the held 2) is left
//    where the 0 was, jumping over the other 1s before it. Once no 0 is left,
//    each pass takes the first remaining 1 to slot i and moves no other 1. So
//    the 1s end in the order they have after the last 0 is taken.
//
// 3. In the sequence of 0s and 1s alone, write B0 0 B1 0 B2 ... 0 Bz with
//    blocks Bk of 1s. Taking the first 0 turns B0 0 B1 into rot(B0) B1, where
//    rot moves the first element to the end (nothing for an empty block).
//    With v's elements at positions q1 < ... < qm and c_t elements of smaller
//    key between q_t and q_t+1 (c_m: after q_m; those before q1 meet an empty
//    block and do nothing), the final order of v's elements is:
//        cur = (e1); rotate cur by c1; append e2; rotate by c2; ...;
//        append em; rotate by cm.
//
// 4. That sequence is replayed backwards over the m final slots: a rotation
//    only moves the start of a circular order and an append inserts just
//    before the start, so undoing step t turns the start back by c_t mod t and
//    frees the slot just before it, which is where e_t ends. Counting c_t and
//    finding the k-th free slot are Fenwick tree queries.
std::vector<size_t> ExchangeSortOrder(const std::vector<uint32_t>& givenKeys) {
    const size_t n = givenKeys.size();
    std::vector<size_t> order(n);
    if (n == 0) return order;

    // Keys are counted into buckets: sparse keys are first made dense, so the
    // buckets never outnumber the elements.
    std::vector<uint32_t> denseKeys;
    const std::vector<uint32_t>* keysInUse = &givenKeys;
    if (*std::max_element(givenKeys.begin(), givenKeys.end()) >= n) {
        std::vector<uint32_t> distinct(givenKeys);
        std::sort(distinct.begin(), distinct.end());
        distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
        denseKeys.reserve(n);
        for (uint32_t k : givenKeys)
            denseKeys.push_back(static_cast<uint32_t>(
                std::lower_bound(distinct.begin(), distinct.end(), k) - distinct.begin()));
        keysInUse = &denseKeys;
    }
    const std::vector<uint32_t>& keys = *keysInUse;

    // Positions of each key, in increasing position, by counting.
    uint32_t maxKey = *std::max_element(keys.begin(), keys.end());
    std::vector<size_t> start(static_cast<size_t>(maxKey) + 2, 0);
    for (uint32_t k : keys) ++start[static_cast<size_t>(k) + 1];
    for (size_t v = 1; v < start.size(); ++v) start[v] += start[v - 1];
    std::vector<size_t> positions(n);
    {
        std::vector<size_t> fill(start.begin(), start.end() - 1);
        for (size_t p = 0; p < n; ++p) positions[fill[keys[p]]++] = p;
    }

    CFenwick smaller(n);  // positions of every key already placed
    int smallerTotal = 0;
    std::vector<int> rotation;
    std::vector<size_t> slotOwner;
    for (size_t v = 0; v + 1 < start.size(); ++v) {
        const size_t* q = positions.data() + start[v];
        const size_t m = start[v + 1] - start[v];
        if (m == 0) continue;

        rotation.assign(m, 0);
        for (size_t t = 0; t < m; ++t) {
            int before = smaller.Prefix(q[t] + 1);
            int upTo = (t + 1 < m) ? smaller.Prefix(q[t + 1]) : smallerTotal;
            rotation[t] = upTo - before;
        }

        slotOwner.assign(m, 0);
        CFenwick freeSlots(m);
        freeSlots.FillOnes();
        size_t head = 0;
        for (size_t t = m; t > 0; --t) {
            const int size = static_cast<int>(t);
            int r = rotation[t - 1] % size;
            int rank = freeSlots.Prefix(head);
            rank = (rank + size - r) % size;
            head = freeSlots.Select(rank);
            size_t slot = freeSlots.Select((rank + size - 1) % size);
            slotOwner[slot] = t - 1;
            freeSlots.Add(slot, -1);
        }

        const size_t base = start[v];
        for (size_t s = 0; s < m; ++s) order[base + s] = q[slotOwner[s]];
        for (size_t t = 0; t < m; ++t) smaller.Add(q[t], 1);
        smallerTotal += static_cast<int>(m);
    }
    return order;
}

void RefreshLinkList(CMainState& state, IMainHost& host, const std::vector<size_t>* pathOrder) {
    host.TakeControlValues();

    const size_t count = state.m_linkList.Count();
    const bool known = pathOrder && !pathOrder->empty() && pathOrder->size() == count && count <= kMaxLinks;
    // Entries that tie in this order have equal real paths and texts that
    // differ at most by a lone lead byte at the end, which no file name
    // gives: the order they come in does not matter, so a scan's entries
    // need not be placed by the list control's own order first.
    std::vector<CLinkEntry> all = known ? state.m_linkList.Release() : state.m_linkList.ReleaseForReorder();
    try {
        const size_t n = std::min(all.size(), kMaxLinks);
        std::vector<size_t> sorted;
        if (!known) {
            std::vector<const CLinkEntry*> keys(n);
            for (size_t k = 0; k < n; ++k) keys[k] = &all[k];
            sorted = ExchangeSortOrder(RankInPathOrder(keys));
        }
        const std::vector<size_t>& order = known ? *pathOrder : sorted;
        std::vector<bool> done(n, false);
        // Nothing below can fail: the entries move in place, never copied.
        PermuteInPlace(all, order, done);
    } catch (...) {
        // The list must not be lost for a failure of the sort.
        state.m_linkList.Assign(std::move(all));
        throw;
    }
    size_t kept = 0;
    for (size_t k = 0; k < all.size(); ++k)
        if (PassesFilters(all[k].text, state)) {
            if (kept != k) all[kept] = std::move(all[k]);
            ++kept;
        }
    all.erase(all.begin() + static_cast<std::ptrdiff_t>(kept), all.end());
    // The list changes in one step, once everything that can fail is done.
    state.m_linkList.Assign(std::move(all));
    host.LinkListChanged();
}

void RecoverLinkList(CMainState& state, IMainHost& host) noexcept {
    try {
        RefreshLinkList(state, host);
        return;
    } catch (...) {
    }
    try {
        host.LinkListChanged();
    } catch (...) {
        // Nothing more can be done: the window shows what it last could.
    }
}
