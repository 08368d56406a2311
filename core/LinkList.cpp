#include "core/LinkList.h"

#include <algorithm>
#include <iterator>

#include "core/Text.h"

CLinkEntry::CLinkEntry(const CLinkEntry& other)
    : text(other.text),
      realPath(other.realPath),
      sourceOrder(other.sourceOrder),
      m_address(other.m_address ? new std::string(*other.m_address) : nullptr) {}

CLinkEntry& CLinkEntry::operator=(const CLinkEntry& other) {
    if (this != &other) *this = CLinkEntry(other);
    return *this;
}

const std::string& CLinkEntry::Address() const {
    static const std::string kNone;
    return m_address ? *m_address : kNone;
}

void CLinkEntry::SetAddress(std::string address) { m_address.reset(new std::string(std::move(address))); }

HostName RealPath(const CLinkEntry& entry) {
    return entry.realPath.empty() ? RealNameOfText(entry.text) : entry.realPath;
}

std::FILE* OpenLinkFile(const CLinkEntry& entry, const char* mode) {
    // Through the real form even where the text stands for it: a folder
    // named "Dot." must not be read as "Dot".
    return OpenRealFile(RealPath(entry), mode);
}

int CompareListControlOrder(const std::string& a, const std::string& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(AsciiLower(a[i]));
        unsigned char y = static_cast<unsigned char>(AsciiLower(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

void CLinkList::Reset() {
    m_items.clear();
    m_pending.clear();
    // The next scan adds into the room the last list had: a list of 30000
    // would otherwise grow anew, each step a fresh block of megabytes.
    if (m_pending.capacity() < m_items.capacity()) m_pending.swap(m_items);
}

void CLinkList::AddSorted(CLinkEntry entry) { m_pending.push_back(std::move(entry)); }

void CLinkList::Append(CLinkEntry entry) {
    Settle();
    m_items.push_back(std::move(entry));
}

void CLinkList::DeleteAt(size_t index) {
    Settle();
    if (index < m_items.size())
        m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(index));
}

const CLinkEntry& CLinkList::Entry(size_t index) const {
    Settle();
    return m_items[index];
}

const std::vector<CLinkEntry>& CLinkList::Items() const {
    Settle();
    return m_items;
}

std::vector<CLinkEntry> CLinkList::Release() {
    Settle();
    std::vector<CLinkEntry> items;
    items.swap(m_items);
    return items;
}

std::vector<CLinkEntry> CLinkList::ReleaseForReorder() {
    if (!m_items.empty()) return Release();
    std::vector<CLinkEntry> items;
    items.swap(m_pending);
    return items;
}

void CLinkList::Assign(std::vector<CLinkEntry>&& items) {
    m_pending.clear();
    m_items = std::move(items);
}

void CLinkList::Settle() const {
    if (m_pending.empty()) return;
    auto less = [](const CLinkEntry& a, const CLinkEntry& b) {
        return CompareListControlOrder(a.text, b.text) < 0;
    };
    // Inserting one by one keeps earlier equal entries first: a stable sort of
    // the added entries merged behind the equal ones already placed does the same.
    std::stable_sort(m_pending.begin(), m_pending.end(), less);
    if (m_items.empty() || !std::is_sorted(m_items.begin(), m_items.end(), less)) {
        if (!m_items.empty()) {
            // Entries appended unsorted before: place each added one by the
            // same search the control would make, one at a time.
            for (auto& p : m_pending) {
                auto at = std::upper_bound(m_items.begin(), m_items.end(), p, less);
                m_items.insert(at, std::move(p));
            }
        } else {
            m_items.swap(m_pending);
        }
    } else {
        std::vector<CLinkEntry> merged;
        merged.reserve(m_items.size() + m_pending.size());
        std::merge(std::make_move_iterator(m_items.begin()), std::make_move_iterator(m_items.end()),
                   std::make_move_iterator(m_pending.begin()), std::make_move_iterator(m_pending.end()),
                   std::back_inserter(merged), less);
        m_items.swap(merged);
    }
    m_pending.clear();
}
