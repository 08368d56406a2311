#include "links/HtmlBookmarks.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/Text.h"
#include "links/HtmlEncodings.h"

namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// ---------------------------------------------------------------- references

void AppendCodePoint(std::u16string& out, uint32_t code) {
    if (code == 0 || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) code = 0xFFFD;
    // &#150; is the dash windows-1252 puts there, as in browsers: pages
    // written in that code page referred to its characters by their bytes.
    if (code >= 0x80 && code <= 0x9F) code = Windows1252Char(static_cast<unsigned char>(code));
    char16_t units[2];
    out.append(units, EncodeUtf16(code, units));
}

int DigitValue(char16_t c, bool hex) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (hex && c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (hex && c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// The six names bookmark files use, and numeric references, each ending in
// ";"; anything else stays as written. References to 128 to 159 mean the
// characters of windows-1252.
std::u16string DecodeReferences(std::u16string_view text) {
    struct Named {
        std::u16string_view name;  // with its ";"
        char16_t value;
    };
    static const Named kNamed[] = {
        {u"amp;", u'&'}, {u"lt;", u'<'}, {u"gt;", u'>'}, {u"quot;", u'"'}, {u"apos;", u'\''}, {u"nbsp;", 0x00A0},
    };
    std::u16string out;
    out.reserve(text.size());
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        const char16_t c = text[i];
        if (c != u'&') {
            out.push_back(c);
            ++i;
            continue;
        }
        size_t used = 0;
        if (i + 1 < n && text[i + 1] == u'#') {
            size_t k = i + 2;
            const bool hex = k < n && (text[k] == u'x' || text[k] == u'X');
            if (hex) ++k;
            const size_t digits = k;
            uint32_t code = 0;
            for (int d; k < n && (d = DigitValue(text[k], hex)) >= 0; ++k) {
                code = code * (hex ? 16 : 10) + static_cast<uint32_t>(d);
                if (code > 0x110000) code = 0x110000;  // past the last code point: no overflow
            }
            if (k > digits && k < n && text[k] == u';') {
                AppendCodePoint(out, code);
                used = k + 1 - i;
            }
        } else {
            const std::u16string_view rest = text.substr(i + 1);
            for (const Named& named : kNamed) {
                if (rest.substr(0, named.name.size()) == named.name) {
                    out.push_back(named.value);
                    used = 1 + named.name.size();
                    break;
                }
            }
        }
        if (used == 0) {
            out.push_back(c);
            used = 1;
        }
        i += used;
    }
    return out;
}

// ---------------------------------------------------------------- tags

struct CAttribute {
    std::string_view name;
    std::string_view value;
};

enum class TokenKind { Text, StartTag, EndTag };

struct CToken {
    TokenKind kind = TokenKind::Text;
    std::string_view text;  // Text: the bytes; tags: the name
    size_t at = 0;          // where it begins in the file
};

// Splits the bytes into text and tags; comments, declarations and
// processing instructions are passed over. Every search for a delimiter is
// a memchr, so long attribute values cost little more than their reading.
class CTagLexer {
public:
    explicit CTagLexer(std::string_view bytes) : m_bytes(bytes) {}

    bool Next(CToken& token);
    // The attributes of the last start tag.
    const std::vector<CAttribute>& Attributes() const { return m_attributes; }
    // The value of the first attribute named |lower|; false when it has none.
    bool Attribute(std::string_view lower, std::string_view& value) const;
    // Passes over the text of the element named |lower| just started, as
    // HTML reads TITLE: no tag inside, up to its end tag (the next token) or
    // the end of the file.
    void SkipElementText(std::string_view lower);

private:
    size_t Find(char c, size_t from) const {
        if (from >= m_bytes.size()) return std::string_view::npos;
        const void* at = std::memchr(m_bytes.data() + from, c, m_bytes.size() - from);
        return at ? static_cast<const char*>(at) - m_bytes.data() : std::string_view::npos;
    }
    // Past the ">" that ends a tag whose attributes begin at |i|; npos when
    // the file ends first.
    size_t ReadAttributes(size_t i);
    // Past the ">" at or after |from|, or the end.
    size_t SkipToClose(size_t from) const {
        const size_t close = Find('>', from);
        return close == std::string_view::npos ? m_bytes.size() : close + 1;
    }

    std::string_view m_bytes;
    size_t m_pos = 0;
    std::vector<CAttribute> m_attributes;
    bool m_noCommentEnd = false;  // no "-->" lies after the last search: later ones fail too
};

bool CTagLexer::Next(CToken& token) {
    const size_t n = m_bytes.size();
    while (m_pos < n) {
        token.at = m_pos;
        if (m_bytes[m_pos] != '<') {
            size_t lt = Find('<', m_pos);
            if (lt == std::string_view::npos) lt = n;
            token.kind = TokenKind::Text;
            token.text = m_bytes.substr(m_pos, lt - m_pos);
            m_pos = lt;
            return true;
        }
        const size_t at = m_pos;
        const char next = at + 1 < n ? m_bytes[at + 1] : '\0';
        if (IsAsciiLetter(next) || (next == '/' && at + 2 < n && IsAsciiLetter(m_bytes[at + 2]))) {
            const bool end = next == '/';
            size_t i = at + (end ? 2 : 1);
            const size_t nameStart = i;
            while (i < n && !IsHtmlSpace(m_bytes[i]) && m_bytes[i] != '/' && m_bytes[i] != '>') ++i;
            token.kind = end ? TokenKind::EndTag : TokenKind::StartTag;
            token.text = m_bytes.substr(nameStart, i - nameStart);
            m_pos = ReadAttributes(i);
            if (m_pos == std::string_view::npos) {
                m_pos = n;  // a tag cut off by the end of the file is no tag
                return false;
            }
            return true;
        }
        if (next == '!' && m_bytes.substr(at + 2, 2) == "--") {
            size_t close = m_noCommentEnd ? std::string_view::npos : m_bytes.find("-->", at + 2);
            if (close != std::string_view::npos) {
                m_pos = close + 3;
            } else {
                // An unclosed comment ends at its ">", so that one slip in a
                // hand-written file does not hide every link after it.
                m_noCommentEnd = true;
                m_pos = SkipToClose(at + 4);
            }
            continue;
        }
        if (next == '!' || next == '?' || next == '/') {
            m_pos = SkipToClose(at + 2);  // DOCTYPE and the like
            continue;
        }
        // A "<" that opens nothing is text.
        size_t lt = Find('<', at + 1);
        if (lt == std::string_view::npos) lt = n;
        token.kind = TokenKind::Text;
        token.text = m_bytes.substr(at, lt - at);
        m_pos = lt;
        return true;
    }
    return false;
}

size_t CTagLexer::ReadAttributes(size_t i) {
    m_attributes.clear();
    const size_t n = m_bytes.size();
    for (;;) {
        while (i < n && (IsHtmlSpace(m_bytes[i]) || m_bytes[i] == '/')) ++i;
        if (i >= n) return std::string_view::npos;
        if (m_bytes[i] == '>') return i + 1;
        const size_t nameStart = i++;  // a leading "=" belongs to the name
        while (i < n && !IsHtmlSpace(m_bytes[i]) && m_bytes[i] != '/' && m_bytes[i] != '>' && m_bytes[i] != '=') ++i;
        CAttribute attribute{m_bytes.substr(nameStart, i - nameStart), std::string_view()};
        size_t j = i;
        while (j < n && IsHtmlSpace(m_bytes[j])) ++j;
        if (j < n && m_bytes[j] == '=') {
            i = j + 1;
            while (i < n && IsHtmlSpace(m_bytes[i])) ++i;
            if (i >= n) return std::string_view::npos;
            const char quote = m_bytes[i];
            if (quote == '"' || quote == '\'') {
                const size_t close = Find(quote, i + 1);
                if (close == std::string_view::npos) return std::string_view::npos;
                attribute.value = m_bytes.substr(i + 1, close - i - 1);
                i = close + 1;
            } else {
                const size_t valueStart = i;
                while (i < n && !IsHtmlSpace(m_bytes[i]) && m_bytes[i] != '>') ++i;
                attribute.value = m_bytes.substr(valueStart, i - valueStart);
            }
        }
        m_attributes.push_back(attribute);
    }
}

bool CTagLexer::Attribute(std::string_view lower, std::string_view& value) const {
    for (const CAttribute& attribute : m_attributes) {
        if (EqualsAsciiNoCase(attribute.name, lower)) {
            value = attribute.value;
            return true;
        }
    }
    return false;
}

void CTagLexer::SkipElementText(std::string_view lower) {
    const size_t n = m_bytes.size();
    for (size_t lt = Find('<', m_pos); lt != std::string_view::npos; lt = Find('<', lt + 1)) {
        const size_t after = lt + 2 + lower.size();
        if (after <= n && m_bytes[lt + 1] == '/' && EqualsAsciiNoCase(m_bytes.substr(lt + 2, lower.size()), lower) &&
            (after == n || IsHtmlSpace(m_bytes[after]) || m_bytes[after] == '/' || m_bytes[after] == '>')) {
            m_pos = lt;
            return;
        }
    }
    m_pos = n;
}

// The encoding the first META that names a known charset declares, where
// browsers look for one: anywhere in the first 1024 bytes, past them only
// while the head lasts (no DL, DT or H3 yet), and never after the first
// link or description nor inside the TITLE's text. A declaration later in
// the file is text some page happened to hold.
bool FindMetaCharset(std::string_view bytes, Encoding& encoding) {
    const size_t kUnconditionalBytes = 1024;
    CTagLexer lexer(bytes);
    CToken token;
    bool headEnded = false;
    while (lexer.Next(token)) {
        if (token.kind != TokenKind::StartTag) continue;
        const std::string_view name = token.text;
        if (EqualsAsciiNoCase(name, "a") || EqualsAsciiNoCase(name, "dd")) return false;
        if (EqualsAsciiNoCase(name, "dl") || EqualsAsciiNoCase(name, "dt") || EqualsAsciiNoCase(name, "h3"))
            headEnded = true;
        if (headEnded && token.at >= kUnconditionalBytes) return false;
        if (EqualsAsciiNoCase(name, "title")) {
            lexer.SkipElementText("title");
            continue;
        }
        if (!EqualsAsciiNoCase(name, "meta")) continue;
        std::string_view label;
        if (lexer.Attribute("charset", label) && EncodingFromLabel(label, encoding)) return true;
        std::string_view content;
        if (lexer.Attribute("content", content) && LabelFromContent(content, label) &&
            EncodingFromLabel(label, encoding))
            return true;
    }
    return false;
}

// ---------------------------------------------------------------- the reader

class CHtmlBookmarkReader {
public:
    CHtmlBookmarkReader(Encoding encoding, CBookmarkCollector& collector)
        : m_encoding(encoding), m_collector(collector) {}

    void Read(std::string_view bytes);

private:
    enum class Capture { None, Link, Folder };

    void StartTag(std::string_view name, const CTagLexer& lexer);
    void EndTag(std::string_view name);
    // Ends the title being read and hands it on.
    void Finish();
    // Most titles and addresses hold no reference: no second copy for them.
    std::u16string Text(std::string_view bytes) const {
        std::u16string text = Decode(bytes, m_encoding);
        return text.find(u'&') == std::u16string::npos ? text : DecodeReferences(text);
    }

    const Encoding m_encoding;
    CBookmarkCollector& m_collector;
    Capture m_capture = Capture::None;
    std::string m_title;  // the raw bytes of the title being read
    std::u16string m_address;
    bool m_hasFolderName = false;  // an H3 waits for its DL
    std::u16string m_folderName;
    std::vector<bool> m_lists;  // one per open DL: true where it opened a folder
    bool m_stopped = false;
};

void CHtmlBookmarkReader::Read(std::string_view bytes) {
    CTagLexer lexer(bytes);
    CToken token;
    while (!m_stopped && lexer.Next(token)) {
        switch (token.kind) {
        case TokenKind::Text:
            if (m_capture != Capture::None) m_title.append(token.text.data(), token.text.size());
            break;
        case TokenKind::StartTag:
            StartTag(token.text, lexer);
            break;
        case TokenKind::EndTag:
            EndTag(token.text);
            break;
        }
    }
    if (!m_stopped) Finish();
    for (auto it = m_lists.rbegin(); it != m_lists.rend(); ++it)
        if (*it) m_collector.LeaveFolder();
    m_lists.clear();
}

void CHtmlBookmarkReader::StartTag(std::string_view name, const CTagLexer& lexer) {
    const bool isA = EqualsAsciiNoCase(name, "a");
    const bool isH3 = EqualsAsciiNoCase(name, "h3");
    const bool isDl = EqualsAsciiNoCase(name, "dl");
    if (!isA && !isH3 && !isDl && !EqualsAsciiNoCase(name, "dt") && !EqualsAsciiNoCase(name, "dd") && !EqualsAsciiNoCase(name, "hr"))
        return;  // any other tag inside a title is dropped, its text kept
    Finish();
    if (m_stopped) return;
    if (isA) {
        std::string_view href;
        if (lexer.Attribute("href", href) && !href.empty()) {
            m_capture = Capture::Link;
            m_address = Text(href);
        }
    } else if (isH3) {
        m_capture = Capture::Folder;  // its name replaces that of an H3 without its DL
    } else if (isDl) {
        if (m_hasFolderName) m_collector.EnterFolder(m_folderName, true);
        m_lists.push_back(m_hasFolderName);
        m_hasFolderName = false;
    }
}

void CHtmlBookmarkReader::EndTag(std::string_view name) {
    if (EqualsAsciiNoCase(name, "a")) {
        if (m_capture == Capture::Link) Finish();
    } else if (EqualsAsciiNoCase(name, "h3")) {
        if (m_capture == Capture::Folder) Finish();
    } else if (EqualsAsciiNoCase(name, "dl")) {
        Finish();
        if (m_stopped) return;
        m_hasFolderName = false;
        if (m_lists.empty()) return;  // a stray </DL> closes nothing
        if (m_lists.back()) m_collector.LeaveFolder();
        m_lists.pop_back();
    }
}

void CHtmlBookmarkReader::Finish() {
    const Capture capture = m_capture;
    m_capture = Capture::None;
    if (capture == Capture::Link) {
        if (!m_collector.AddBookmark(Text(m_title), m_address, true)) m_stopped = true;
    } else if (capture == Capture::Folder) {
        m_folderName = Text(m_title);
        m_hasFolderName = true;
    }
    m_title.clear();
}

}  // namespace

void ReadHtmlBookmarks(std::string_view bytes, CBookmarkCollector& collector) {
    std::string converted;
    Encoding encoding = Encoding::Utf8;
    const auto startsWith = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
    if (startsWith("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    } else if (startsWith("\xFF\xFE") || startsWith("\xFE\xFF")) {
        converted = Utf8FromUtf16Bytes(bytes.substr(2), bytes[0] == '\xFE');
        bytes = converted;
    } else if (!FindMetaCharset(bytes, encoding)) {
        // No declaration: UTF-8 where the bytes are, else an old Japanese
        // export. A few stray bytes (a title cut inside a character by some
        // tool) among many UTF-8 characters do not make a file code page
        // 932; each becomes U+FFFD. Code page 932 text is never that close.
        const Utf8Measure measure = MeasureUtf8(bytes);
        encoding = measure.illFormed * 1000 <= measure.wellFormed ? Encoding::Utf8 : Encoding::Cp932;
    }
    CHtmlBookmarkReader reader(encoding, collector);
    reader.Read(bytes);
}
