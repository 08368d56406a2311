#include "links/Bookmarks.h"

#include "core/CodePage932.h"
#include "core/HostFile.h"
#include "core/Text.h"

const char16_t kBookmarkRootName[] = u"Favorites";
const char16_t kUntitledFolderName[] = u"無題";

namespace {

bool IsControl(char16_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

bool IsHtmlWhiteSpace(char16_t c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

const char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

std::u16string BookmarkName(std::u16string_view title, bool trimWhiteSpace) {
    if (trimWhiteSpace) {
        size_t from = 0;
        size_t to = title.size();
        while (from < to && IsHtmlWhiteSpace(title[from])) ++from;
        while (to > from && IsHtmlWhiteSpace(title[to - 1])) --to;
        title = title.substr(from, to - from);
    }
    std::u16string name(title);
    for (char16_t& c : name)
        if (IsControl(c)) c = u' ';
    return name;
}

std::string BookmarkNameText(std::u16string_view name) {
    // Most names hold none of the three: no copy for them.
    if (name.find_first_of(u"\\<>") == std::u16string_view::npos) return TextFromUtf16(name);
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
    return TextFromUtf16(escaped);
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
    // Browsers store most addresses already encoded: printable ASCII only.
    size_t plain = 0;
    while (plain < url.size() && url[plain] > 0x20 && url[plain] < 0x7F) ++plain;
    if (plain == url.size()) return std::string(url.begin(), url.end());
    std::string address;
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

CBookmarkCollector::CBookmarkCollector(std::vector<CLinkEntry>& entries, size_t maxPathUnits, size_t maxTextBytes)
    : m_entries(entries), m_maxPathUnits(maxPathUnits), m_maxTextBytes(maxTextBytes) {
    m_real = kBookmarkRootName;
    m_real.push_back(u'\\');
    m_text = TextFromUtf16(m_real);
}

void CBookmarkCollector::EnterFolder(std::u16string_view title, bool trimWhiteSpace) {
    m_depth.push_back(Level{m_text.size(), m_real.size()});
    // A folder path past the limit can hold no bookmark: however deep or
    // long the rest, it is not spelt out.
    if (m_overlongFrom < m_depth.size()) return;
    std::u16string name = BookmarkName(title, trimWhiteSpace);
    if (name.empty()) name = kUntitledFolderName;
    // The shortest bookmark inside: a name of one character and ".url".
    if (m_real.size() + name.size() + 6 > m_maxPathUnits) {
        m_overlongFrom = m_depth.size();
        return;
    }
    m_text += BookmarkNameText(name);
    m_text.push_back(kSeparator);
    m_real += name;
    m_real.push_back(u'\\');
}

void CBookmarkCollector::LeaveFolder() {
    if (m_depth.empty()) return;
    if (m_overlongFrom == m_depth.size()) m_overlongFrom = SIZE_MAX;
    m_text.resize(m_depth.back().textSize);
    m_real.resize(m_depth.back().realSize);
    m_depth.pop_back();
}

bool CBookmarkCollector::AddBookmark(std::u16string_view title, std::u16string_view url, bool trimWhiteSpace) {
    url = TrimmedAddress(url);
    if (url.empty()) return true;
    if (m_entries.size() >= kMaxLinks) {
        m_cut = true;
        return false;
    }
    std::u16string name = BookmarkName(title, trimWhiteSpace);
    if (name.empty()) name = BookmarkName(url, false);
    if (m_overlongFrom != SIZE_MAX || m_real.size() + name.size() + 4 > m_maxPathUnits) {
        m_tooLarge = true;
        return false;
    }

    CLinkEntry entry;
    entry.text.reserve(m_text.size() + name.size() + 4);
    entry.text = m_text;
    entry.text += BookmarkNameText(name);
    entry.text += ".url";
    std::u16string real;
    real.reserve(m_real.size() + name.size() + 4);
    real = m_real;
    real += name;
    real += u".url";
    HostName realPath = HostNameFromUtf16(real);
    // Kept only where the text does not give it back, as for a file.
    if (!GivesBackRealName(entry.text, realPath)) entry.realPath = std::move(realPath);
    m_textBytes += entry.text.size();
    if (m_textBytes > m_maxTextBytes) {
        m_tooLarge = true;
        return false;
    }
    entry.SetAddress(BookmarkAddress(url));
    entry.sourceOrder = m_nextOrder++;
    m_entries.push_back(std::move(entry));
    return true;
}
