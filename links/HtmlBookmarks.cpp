#include "links/HtmlBookmarks.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/CodePage932.h"
#include "core/Text.h"

namespace {

// The byte encodings a file can be read in; UTF-16 files are made UTF-8
// before anything else looks at them.
enum class Encoding { Utf8, Cp932, EucJp, Windows1252 };

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// |text| equals |lower| (lower-case ASCII) in any case.
bool EqualsNoCase(std::string_view text, std::string_view lower) {
    if (text.size() != lower.size()) return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (AsciiLower(text[i]) != lower[i]) return false;
    return true;
}

// ---------------------------------------------------------------- encodings

std::string Utf8FromUtf16Bytes(std::string_view bytes, bool bigEndian) {
    std::u16string wide;
    wide.reserve(bytes.size() / 2 + 1);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const unsigned char a = static_cast<unsigned char>(bytes[i]);
        const unsigned char b = static_cast<unsigned char>(bytes[i + 1]);
        wide.push_back(static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a)));
    }
    if (bytes.size() % 2 != 0) wide.push_back(0xFFFD);  // a file cut inside its last character
    return Utf8FromUtf16(wide);
}

// Strict: overlong forms, surrogates and values past U+10FFFF fail, so a
// code page 932 file is not mistaken for UTF-8.
bool IsValidUtf8(std::string_view text) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char* const end = p + text.size();
    while (p != end) {
        // Files are mostly ASCII (ICON data above all): eight bytes at a time.
        while (end - p >= 8) {
            uint64_t word;
            std::memcpy(&word, p, 8);
            if (word & 0x8080808080808080ull) break;
            p += 8;
        }
        if (p == end) break;
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0) low = 0xA0;
            if (c == 0xED) high = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0) low = 0x90;
            if (c == 0xF4) high = 0x8F;
        } else {
            return false;
        }
        if (static_cast<size_t>(end - p) < length) return false;
        if (p[1] < low || p[1] > high) return false;
        for (size_t k = 2; k < length; ++k)
            if (p[k] < 0x80 || p[k] > 0xBF) return false;
        p += length;
    }
    return true;
}

// 0x80 to 0x9F; the five codes windows-1252 leaves undefined keep their
// Latin-1 meaning, as browsers read them.
const char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::u16string DecodeWindows1252(std::string_view bytes) {
    std::u16string wide;
    wide.reserve(bytes.size());
    for (char ch : bytes) {
        const unsigned char c = static_cast<unsigned char>(ch);
        wide.push_back(c >= 0x80 && c <= 0x9F ? kWindows1252High[c - 0x80] : static_cast<char16_t>(c));
    }
    return wide;
}

bool IsEucByte(unsigned char c) { return c >= 0xA1 && c <= 0xFE; }

// EUC-JP through code page 932: JIS X 0208 rows map onto Shift_JIS by
// arithmetic, so one table serves both. JIS X 0212 has no place in code
// page 932.
std::u16string DecodeEucJp(std::string_view bytes) {
    std::u16string wide;
    wide.reserve(bytes.size());
    std::string sjis;
    auto replace = [&]() {
        AppendDecodedCp932(sjis, wide);
        sjis.clear();
        wide.push_back(0xFFFD);
    };
    const size_t n = bytes.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        const unsigned char next = i + 1 < n ? static_cast<unsigned char>(bytes[i + 1]) : 0;
        if (c < 0x80) {
            sjis.push_back(static_cast<char>(c));
            ++i;
        } else if (c == 0x8E && next >= 0xA1 && next <= 0xDF) {
            sjis.push_back(static_cast<char>(next));  // half-width katakana: one byte in code page 932
            i += 2;
        } else if (c == 0x8F && IsEucByte(next) && i + 2 < n && IsEucByte(static_cast<unsigned char>(bytes[i + 2]))) {
            replace();
            i += 3;
        } else if (IsEucByte(c) && IsEucByte(next)) {
            const unsigned j1 = c - 0x80;
            const unsigned j2 = next - 0x80;
            const unsigned s1 = ((j1 + 1) >> 1) + (j1 <= 0x5E ? 0x70 : 0xB0);
            const unsigned s2 = j2 + ((j1 & 1) != 0 ? (j2 >= 0x60 ? 0x20 : 0x1F) : 0x7E);
            sjis.push_back(static_cast<char>(s1));
            sjis.push_back(static_cast<char>(s2));
            i += 2;
        } else {
            replace();
            ++i;
        }
    }
    AppendDecodedCp932(sjis, wide);
    return wide;
}

std::u16string Decode(std::string_view bytes, Encoding encoding) {
    switch (encoding) {
    case Encoding::Cp932:
        return DecodeCp932(bytes);
    case Encoding::EucJp:
        return DecodeEucJp(bytes);
    case Encoding::Windows1252:
        return DecodeWindows1252(bytes);
    case Encoding::Utf8:
        break;
    }
    return Utf16FromUtf8(bytes);
}

// The encoding a charset label names; false for one this reader does not
// know, which leaves the choice to the bytes.
bool EncodingFromLabel(std::string_view label, Encoding& encoding) {
    while (!label.empty() && IsSpace(label.front())) label.remove_prefix(1);
    while (!label.empty() && IsSpace(label.back())) label.remove_suffix(1);
    struct Name {
        const char* label;
        Encoding encoding;
    };
    // UTF-16 labels without a byte order mark mean UTF-8, as in browsers: a
    // META readable as ASCII cannot be in UTF-16.
    static const Name kNames[] = {
        {"utf-8", Encoding::Utf8},
        {"utf8", Encoding::Utf8},
        {"unicode-1-1-utf-8", Encoding::Utf8},
        {"utf-16", Encoding::Utf8},
        {"utf-16le", Encoding::Utf8},
        {"utf-16be", Encoding::Utf8},
        {"shift_jis", Encoding::Cp932},
        {"shift-jis", Encoding::Cp932},
        {"sjis", Encoding::Cp932},
        {"x-sjis", Encoding::Cp932},
        {"ms_kanji", Encoding::Cp932},
        {"csshiftjis", Encoding::Cp932},
        {"windows-31j", Encoding::Cp932},
        {"cp932", Encoding::Cp932},
        {"ms932", Encoding::Cp932},
        {"euc-jp", Encoding::EucJp},
        {"x-euc-jp", Encoding::EucJp},
        {"cseucpkdfmtjapanese", Encoding::EucJp},
        {"windows-1252", Encoding::Windows1252},
        {"cp1252", Encoding::Windows1252},
        {"x-cp1252", Encoding::Windows1252},
        {"iso-8859-1", Encoding::Windows1252},
        {"iso8859-1", Encoding::Windows1252},
        {"iso88591", Encoding::Windows1252},
        {"iso_8859-1", Encoding::Windows1252},
        {"iso_8859-1:1987", Encoding::Windows1252},
        {"iso-ir-100", Encoding::Windows1252},
        {"csisolatin1", Encoding::Windows1252},
        {"latin1", Encoding::Windows1252},
        {"l1", Encoding::Windows1252},
        {"ibm819", Encoding::Windows1252},
        {"cp819", Encoding::Windows1252},
        {"us-ascii", Encoding::Windows1252},
        {"ascii", Encoding::Windows1252},
        {"ansi_x3.4-1968", Encoding::Windows1252},
    };
    for (const Name& name : kNames) {
        if (EqualsNoCase(label, name.label)) {
            encoding = name.encoding;
            return true;
        }
    }
    return false;
}

// The label after "charset=" in a META's CONTENT ("text/html; charset=x").
bool LabelFromContent(std::string_view content, std::string_view& label) {
    size_t at = 0;
    while (at + 7 <= content.size()) {
        if (!EqualsNoCase(content.substr(at, 7), "charset")) {
            ++at;
            continue;
        }
        size_t i = at + 7;
        while (i < content.size() && IsSpace(content[i])) ++i;
        if (i >= content.size() || content[i] != '=') {
            at += 7;
            continue;
        }
        ++i;
        while (i < content.size() && IsSpace(content[i])) ++i;
        if (i >= content.size()) return false;
        if (content[i] == '"' || content[i] == '\'') {
            const size_t close = content.find(content[i], i + 1);
            if (close == std::string_view::npos) return false;
            label = content.substr(i + 1, close - i - 1);
            return true;
        }
        size_t end = i;
        while (end < content.size() && !IsSpace(content[end]) && content[end] != ';') ++end;
        label = content.substr(i, end - i);
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- references

void AppendCodePoint(std::u16string& out, uint32_t code) {
    if (code == 0 || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) code = 0xFFFD;
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
// ";"; anything else stays as written.
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
            while (i < n && !IsSpace(m_bytes[i]) && m_bytes[i] != '/' && m_bytes[i] != '>') ++i;
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
        while (i < n && (IsSpace(m_bytes[i]) || m_bytes[i] == '/')) ++i;
        if (i >= n) return std::string_view::npos;
        if (m_bytes[i] == '>') return i + 1;
        const size_t nameStart = i++;  // a leading "=" belongs to the name
        while (i < n && !IsSpace(m_bytes[i]) && m_bytes[i] != '/' && m_bytes[i] != '>' && m_bytes[i] != '=') ++i;
        CAttribute attribute{m_bytes.substr(nameStart, i - nameStart), std::string_view()};
        size_t j = i;
        while (j < n && IsSpace(m_bytes[j])) ++j;
        if (j < n && m_bytes[j] == '=') {
            i = j + 1;
            while (i < n && IsSpace(m_bytes[i])) ++i;
            if (i >= n) return std::string_view::npos;
            const char quote = m_bytes[i];
            if (quote == '"' || quote == '\'') {
                const size_t close = Find(quote, i + 1);
                if (close == std::string_view::npos) return std::string_view::npos;
                attribute.value = m_bytes.substr(i + 1, close - i - 1);
                i = close + 1;
            } else {
                const size_t valueStart = i;
                while (i < n && !IsSpace(m_bytes[i]) && m_bytes[i] != '>') ++i;
                attribute.value = m_bytes.substr(valueStart, i - valueStart);
            }
        }
        m_attributes.push_back(attribute);
    }
}

bool CTagLexer::Attribute(std::string_view lower, std::string_view& value) const {
    for (const CAttribute& attribute : m_attributes) {
        if (EqualsNoCase(attribute.name, lower)) {
            value = attribute.value;
            return true;
        }
    }
    return false;
}

// The encoding the first META that names a known charset declares.
bool FindMetaCharset(std::string_view bytes, Encoding& encoding) {
    CTagLexer lexer(bytes);
    CToken token;
    while (lexer.Next(token)) {
        if (token.kind != TokenKind::StartTag || !EqualsNoCase(token.text, "meta")) continue;
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
    const bool isA = EqualsNoCase(name, "a");
    const bool isH3 = EqualsNoCase(name, "h3");
    const bool isDl = EqualsNoCase(name, "dl");
    if (!isA && !isH3 && !isDl && !EqualsNoCase(name, "dt") && !EqualsNoCase(name, "dd") && !EqualsNoCase(name, "hr"))
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
    if (EqualsNoCase(name, "a")) {
        if (m_capture == Capture::Link) Finish();
    } else if (EqualsNoCase(name, "h3")) {
        if (m_capture == Capture::Folder) Finish();
    } else if (EqualsNoCase(name, "dl")) {
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
        // No declaration: UTF-8 where the bytes allow it, else an old
        // Japanese export.
        encoding = IsValidUtf8(bytes) ? Encoding::Utf8 : Encoding::Cp932;
    }
    CHtmlBookmarkReader reader(encoding, collector);
    reader.Read(bytes);
}
