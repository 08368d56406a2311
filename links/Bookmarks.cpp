#include "links/Bookmarks.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "core/CodePage932.h"
#include "core/HostFile.h"
#include "core/Text.h"
#include "links/Ordering.h"

const char16_t kBookmarkRootName[] = u"Favorites";
const char16_t kUntitledFolderName[] = u"無題";

namespace {

bool IsControl(char16_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

bool IsHtmlWhiteSpace(char16_t c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

const char kHexDigits[] = "0123456789ABCDEF";

// |title| without HTML white space at either end.
std::u16string_view WithoutHtmlWhiteSpace(std::u16string_view title) {
    size_t from = 0;
    size_t to = title.size();
    while (from < to && IsHtmlWhiteSpace(title[from])) ++from;
    while (to > from && IsHtmlWhiteSpace(title[to - 1])) --to;
    return title.substr(from, to - from);
}

}  // namespace

std::u16string BookmarkName(std::u16string_view title, bool trimWhiteSpace) {
    if (trimWhiteSpace) title = WithoutHtmlWhiteSpace(title);
    std::u16string name(title);
    for (char16_t& c : name)
        if (IsControl(c)) c = u' ';
    return name;
}

namespace {

bool IsEscaped(char16_t c) { return c == u'\\' || c == u'<' || c == u'>'; }

// BookmarkNameText(|name|) appended to |out|; |mayHoldEscaped| false where
// the caller knows that |name| holds none of the three.
void AppendBookmarkNameText(std::u16string_view name, std::string& out, bool mayHoldEscaped = true) {
    // Most names hold none of the three: no copy for them.
    size_t plain = 0;
    if (mayHoldEscaped)
        while (plain < name.size() && !IsEscaped(name[plain])) ++plain;
    if (!mayHoldEscaped || plain == name.size()) {
        AppendTextFromUtf16(name, out);
        return;
    }
    std::u16string escaped;
    escaped.reserve(name.size() + 8);
    for (char16_t c : name) {
        switch (c) {
        case u'\\':
            escaped += u"&#92;";
            break;
        case u'<':
            escaped += u"&#60;";
            break;
        case u'>':
            escaped += u"&#62;";
            break;
        default:
            escaped.push_back(c);
        }
    }
    AppendTextFromUtf16(escaped, out);
}

// BookmarkName(|title|, |trimWhiteSpace|) without a copy where it is |title|
// itself (the usual case); else made in |scratch|. Into |escaped|, whether
// it holds a character that BookmarkNameText escapes: one look at each.
std::u16string_view NameOf(std::u16string_view title, bool trimWhiteSpace, std::u16string& scratch, bool& escaped) {
    if (trimWhiteSpace) title = WithoutHtmlWhiteSpace(title);
    // Without a branch, which the compiler makes into many units at a time:
    // IsControl and IsEscaped ("<" and ">" differ in one bit) as plain sums.
    unsigned control = 0, escapes = 0;
    for (char16_t unit : title) {
        const unsigned c = unit;
        control |= static_cast<unsigned>(c < 0x20) | static_cast<unsigned>(c - 0x7F <= 0x9F - 0x7F);
        escapes |= static_cast<unsigned>(c == u'\\') | static_cast<unsigned>((c | 2) == u'>');
    }
    escaped = escapes != 0;
    if (control == 0) return title;
    scratch.assign(title.begin(), title.end());
    for (char16_t& c : scratch)
        if (IsControl(c)) c = u' ';
    return scratch;
}

const char16_t kLinkSuffix[] = u".url";

// |a|, |b| and |c| one after the other, made at once at their exact size.
template <typename String>
String Joined(const String& a, const String& b, const String& c) {
    String joined(a.size() + b.size() + c.size(), typename String::value_type());
    using Traits = typename String::traits_type;
    typename String::value_type* out = &joined[0];
    Traits::copy(out, a.data(), a.size());
    Traits::copy(out + a.size(), b.data(), b.size());
    Traits::copy(out + a.size() + b.size(), c.data(), c.size());
    return joined;
}

}  // namespace

std::string BookmarkNameText(std::u16string_view name) {
    std::string text;
    AppendBookmarkNameText(name, text);
    return text;
}

std::u16string_view TrimmedAddress(std::u16string_view url) {
    size_t from = 0;
    size_t to = url.size();
    while (from < to && url[from] <= 0x20) ++from;
    while (to > from && url[to - 1] <= 0x20) --to;
    return url.substr(from, to - from);
}

void AppendPercentEncoded(std::string& address, std::u16string_view url, bool dropTabsAndBreaks) {
    // Room for the longest form first (a lone surrogate is U+FFFD, nine
    // characters), so that the address is written in place.
    size_t length = 0;
    for (char16_t c : url) length += (c > 0x20 && c < 0x7F) ? 1 : (c < 0x80) ? 3 : (c < 0x800) ? 6 : 9;
    const size_t start = address.size();
    address.resize(start + length);
    char* out = length == 0 ? nullptr : &address[start];
    char* const begin = out;
    auto percent = [&out](unsigned long byte) {
        *out++ = '%';
        *out++ = kHexDigits[byte >> 4];
        *out++ = kHexDigits[byte & 0x0F];
    };
    for (size_t i = 0; i < url.size();) {
        if (url[i] > 0x20 && url[i] < 0x7F) {
            *out++ = static_cast<char>(url[i++]);
            continue;
        }
        if (dropTabsAndBreaks && (url[i] == u'\t' || url[i] == u'\r' || url[i] == u'\n')) {
            ++i;
            continue;
        }
        // The UTF-8 bytes of the character, each percent-encoded.
        unsigned char bytes[4];
        const size_t n = EncodeUtf8(CodePointAt(url, i), bytes);
        for (size_t k = 0; k < n; ++k) percent(bytes[k]);
    }
    address.resize(start + static_cast<size_t>(out - begin));
}

std::string BookmarkAddress(std::u16string_view url) {
    // Browsers store most addresses already encoded: printable ASCII only,
    // copied as they are checked.
    std::string address(url.size(), '\0');
    // Copied and checked in one pass without a branch, which the compiler
    // makes into many units at a time (the two never overlap).
    char* __restrict const out = url.empty() ? nullptr : &address[0];
    const char16_t* __restrict const in = url.data();
    unsigned outside = 0;
    for (size_t i = 0; i < url.size(); ++i) {
        outside |= static_cast<unsigned>(static_cast<unsigned>(in[i]) - 0x21 >= 0x7F - 0x21);
        out[i] = static_cast<char>(in[i]);
    }
    if (outside == 0) return address;
    address.clear();
    AppendPercentEncoded(address, TrimmedAddress(url), true);
    return address;
}

std::string WebAddress(std::string_view address) {
    // Addresses of bookmarks, and most others, are printable ASCII already.
    size_t plain = 0;
    while (plain < address.size() && address[plain] > 0x20 && address[plain] < 0x7F) ++plain;
    std::string encoded(address.substr(0, plain));
    if (plain < address.size()) AppendPercentEncoded(encoded, DecodeCp932(address.substr(plain)), false);
    // 0x22 is never part of a two-byte character once encoded.
    for (size_t at = encoded.find('"'); at != std::string::npos; at = encoded.find('"', at))
        encoded.replace(at, 1, "%22");
    return encoded;
}

std::vector<size_t> CollectedPathOrder(const std::vector<CLinkEntry>& entries) {
    // The folders as the texts show them, those of one path as one (their
    // entries are sorted together, as their texts are). Each item of a
    // folder is sorted by what follows the folder's path: an entry by its
    // name, a folder by its name and separator. No name holds a separator,
    // so that a folder's key compares with every other name of its parent
    // as each entry below it does. The keys are copied side by side, so
    // that the sort reads them from one place rather than from every text.
    struct Item {
        uint64_t head;  // PathOrderHead of the key
        uint32_t keyAt, keySize;
        uint32_t index;   // an entry k as k, a folder f as n + f
        uint32_t folder;  // the folder it lies in
    };
    struct Folder {
        size_t pathSize;  // its path up to and including its separator
        size_t first;     // the entry that opened it, whose text begins with that path
    };
    const size_t n = entries.size();
    // Never more than the texts (an entry gives its name and the names of
    // the folders it opens): room made once. The numbers fit in 32 bits.
    size_t textBytes = 0;
    for (const CLinkEntry& entry : entries) textBytes += entry.text.size();
    if (n > kMaxBookmarkTextBytes || textBytes > kMaxBookmarkTextBytes) return {};
    std::string keys;
    keys.reserve(textBytes);
    std::vector<Item> items;
    items.reserve(n + n / 4);
    std::vector<Folder> folders{Folder{0, 0}};  // the path before the first separator
    std::vector<uint32_t> open{0};              // the folders of the entry before, outermost first
    std::unordered_map<std::string_view, uint32_t> byPath;
    auto add = [&](const std::string& text, size_t from, size_t to, size_t index) {
        const std::string_view key = std::string_view(text).substr(from, to - from);
        items.push_back(Item{PathOrderHead(key), static_cast<uint32_t>(keys.size()), static_cast<uint32_t>(key.size()),
                             static_cast<uint32_t>(index), open.back()});
        keys += key;
    };
    // The texts lie apart in memory: each is asked for a few entries ahead.
    const size_t kAhead = 8;
    for (size_t k = 0; k < n; ++k) {
        if (k + kAhead < n) __builtin_prefetch(entries[k + kAhead].text.data());
        const std::string& text = entries[k].text;
        const size_t last = LastSeparators(text).last;
        const size_t folderEnd = last == std::string::npos ? 0 : last + 1;
        while (open.size() > 1) {
            const Folder& f = folders[open.back()];
            if (f.pathSize <= folderEnd && text.compare(0, f.pathSize, entries[f.first].text, 0, f.pathSize) == 0)
                break;
            open.pop_back();
        }
        // The folders between: from a character's start, the next
        // separator, up to the last.
        for (size_t at = folders[open.back()].pathSize; at < folderEnd;) {
            size_t separator = at;
            while (text[separator] != kSeparator) separator = NextChar(text, separator);
            const auto made =
                byPath.emplace(std::string_view(text).substr(0, separator + 1), static_cast<uint32_t>(folders.size()));
            if (made.second) {
                add(text, at, separator + 1, n + folders.size());
                folders.push_back(Folder{separator + 1, k});
            }
            open.push_back(made.first->second);
            at = separator + 1;
        }
        add(text, folderEnd, text.size(), k);
    }
    // Each folder's items side by side, in the order they came.
    std::vector<uint32_t> start(folders.size() + 1, 0);
    for (const Item& item : items) ++start[item.folder + 1];
    for (size_t f = 1; f < start.size(); ++f) start[f] += start[f - 1];
    std::vector<uint32_t> sorted(items.size());
    {
        std::vector<uint32_t> fill(start.begin(), start.end() - 1);
        for (size_t i = 0; i < items.size(); ++i) sorted[fill[items[i].folder]++] = static_cast<uint32_t>(i);
    }
    // Equal keys only of entries (a folder's key ends in a separator, an
    // entry's holds none): those go by the whole order.
    const std::string_view all(keys);
    const auto before = [&](uint32_t x, uint32_t y) {
        const Item& a = items[x];
        const Item& b = items[y];
        if (a.head != b.head) return a.head < b.head;
        const int order = ComparePathOrder(all.substr(a.keyAt, a.keySize), all.substr(b.keyAt, b.keySize));
        if (order != 0) return order < 0;
        return a.index < n && b.index < n && CompareInPathOrder(entries[a.index], entries[b.index]) < 0;
    };
    for (size_t f = 0; f < folders.size(); ++f)
        std::sort(sorted.begin() + start[f], sorted.begin() + start[f + 1], before);
    std::vector<size_t> order;
    order.reserve(n);
    struct Frame {
        size_t next, end;  // in |sorted|
    };
    std::vector<Frame> stack{Frame{start[0], start[1]}};
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next == top.end) {
            stack.pop_back();
            continue;
        }
        const uint32_t index = items[sorted[top.next++]].index;
        if (index < n)
            order.push_back(index);
        else
            stack.push_back(Frame{start[index - n], start[index - n + 1]});  // |top| is not used after this
    }
    if (order.size() != n) return {};
    for (size_t k = 1; k < n; ++k) {
        // In this order the entries lie all over memory: each entry is asked
        // for two steps ahead of its text.
        if (k + 2 * kAhead < n) __builtin_prefetch(&entries[order[k + 2 * kAhead]]);
        if (k + kAhead < n) __builtin_prefetch(entries[order[k + kAhead]].text.data());
        if (CompareInPathOrder(entries[order[k - 1]], entries[order[k]]) >= 0) return {};
    }
    return order;
}

CBookmarkCollector::Match CBookmarkCollector::MatchOf(const HostName& given, const HostName& real) {
    const size_t common = std::min(given.size(), real.size());
    for (size_t i = 0; i < common; ++i)
        if (given[i] != real[i]) return Match::Differs;
    return given.size() == real.size() ? Match::Same : Match::Unsure;
}

CBookmarkCollector::CBookmarkCollector(std::vector<CLinkEntry>& entries, size_t maxPathUnits, size_t maxTextBytes)
    : m_entries(entries), m_maxPathUnits(maxPathUnits), m_maxTextBytes(maxTextBytes) {
    m_real = kBookmarkRootName;
    m_real.push_back(u'\\');
    m_text = TextFromUtf16(m_real);
    m_host = HostNameFromUtf16(m_real);
    m_match = MatchOf(RealNameOfText(m_text), m_host);
    // A suffix that did not give itself back would leave every name unsure.
    const HostName suffix = HostNameFromUtf16(kLinkSuffix);
    m_suffixText = TextFromUtf16(kLinkSuffix);
    m_suffixGivesBack = GivesBackRealName(m_suffixText, suffix);
    m_suffixHost = suffix;
}

void CBookmarkCollector::Expect(size_t bookmarks) {
    const size_t room = m_entries.size() + std::min(bookmarks, kMaxLinks);
    if (room > m_entries.capacity()) m_entries.reserve(std::min(room, kMaxLinks));
}

void CBookmarkCollector::EnterFolder(std::u16string_view title, bool trimWhiteSpace) {
    m_depth.push_back(Level{m_text.size(), m_real.size(), m_host.size(), m_match});
    // A folder path past the limit can hold no bookmark: however deep or
    // long the rest, it is not spelt out.
    if (m_overlongFrom < m_depth.size()) return;
    bool escaped = false;
    std::u16string_view name = NameOf(title, trimWhiteSpace, m_name, escaped);
    if (name.empty()) {
        name = kUntitledFolderName;
        escaped = false;
    }
    // The shortest bookmark inside: a name of one character and ".url".
    if (m_real.size() + name.size() + 6 > m_maxPathUnits) {
        m_overlongFrom = m_depth.size();
        return;
    }
    AppendBookmarkNameText(name, m_text, escaped);
    m_text.push_back(kSeparator);
    const size_t from = m_real.size();
    m_real += name;
    m_real.push_back(u'\\');
    // Both paths end in a separator: the real name of the longer path is
    // that of the shorter one and that of the added part.
    m_host += HostNameFromUtf16(std::u16string_view(m_real).substr(from));
    // A difference inside the common part stays a difference below.
    if (m_match != Match::Differs) m_match = MatchOf(RealNameOfText(m_text), m_host);
}

void CBookmarkCollector::LeaveFolder() {
    if (m_depth.empty()) return;
    if (m_overlongFrom == m_depth.size()) m_overlongFrom = SIZE_MAX;
    const Level& level = m_depth.back();
    m_text.resize(level.textSize);
    m_real.resize(level.realSize);
    m_host.resize(level.hostSize);
    m_match = level.match;
    m_depth.pop_back();
}

bool CBookmarkCollector::AddBookmark(std::u16string_view title, std::u16string_view url, bool trimWhiteSpace) {
    url = TrimmedAddress(url);
    if (url.empty()) return true;
    return Add(title, url, std::string_view(), trimWhiteSpace);
}

bool CBookmarkCollector::AddBookmark(std::u16string_view title, std::string_view utf8Url, bool trimWhiteSpace) {
    // Most addresses are printable ASCII: then the bytes are the address
    // itself, with nothing to trim or to encode, and need no UTF-16 (but
    // as the name of a bookmark without one).
    unsigned outside = 0;
    for (char c : utf8Url) outside |= static_cast<unsigned>(static_cast<unsigned char>(c) - 0x21u >= 0x7F - 0x21);
    if (outside == 0) return utf8Url.empty() || Add(title, std::u16string_view(), utf8Url, trimWhiteSpace);
    m_url.clear();
    AppendUtf16FromUtf8(utf8Url, m_url);
    return AddBookmark(title, m_url, trimWhiteSpace);
}

bool CBookmarkCollector::Add(std::u16string_view title, std::u16string_view url, std::string_view plainUrl,
                             bool trimWhiteSpace) {
    if (m_entries.size() >= kMaxLinks) {
        m_cut = true;
        return false;
    }
    bool escaped = false;
    std::u16string_view name = NameOf(title, trimWhiteSpace, m_name, escaped);
    if (name.empty()) {
        if (url.empty()) {
            m_url.assign(plainUrl.begin(), plainUrl.end());
            url = m_url;
        }
        name = NameOf(url, false, m_name, escaped);
    }
    if (m_overlongFrom != SIZE_MAX || m_real.size() + name.size() + 4 > m_maxPathUnits) {
        m_tooLarge = true;
        return false;
    }
    m_nameText.clear();
    AppendBookmarkNameText(name, m_nameText, escaped);
    m_textBytes += m_text.size() + m_nameText.size() + m_suffixText.size();
    if (m_textBytes > m_maxTextBytes) {
        m_tooLarge = true;
        return false;
    }

    CLinkEntry entry;
    entry.text = Joined(m_text, m_nameText, m_suffixText);
    // The real path is kept only where the text does not give it back, as
    // for a file. The folder path answers that once for all its bookmarks
    // (it ends in a separator, so a path's real name is that of the folder
    // path followed by that of the rest): only the name is left to ask
    // about where the folder path gives itself back.
    const HostName nameHost = HostNameFromUtf16(name);
    bool givesBack = false;
    if (m_match == Match::Same && m_suffixGivesBack) {
        givesBack = GivesBackRealName(m_nameText, nameHost);
    } else if (m_match != Match::Differs) {
        givesBack = GivesBackRealName(entry.text, Joined(m_host, nameHost, m_suffixHost));
    }
    if (!givesBack) entry.realPath = Joined(m_host, nameHost, m_suffixHost);
    entry.SetAddress(plainUrl.empty() ? BookmarkAddress(url) : std::string(plainUrl));
    entry.sourceOrder = m_nextOrder++;
    m_entries.push_back(std::move(entry));
    return true;
}
