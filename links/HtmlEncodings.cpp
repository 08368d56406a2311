#include "links/HtmlEncodings.h"

#include "core/CodePage932.h"
#include "core/Text.h"

namespace {

// 0x80 to 0x9F; the five codes windows-1252 leaves undefined keep their
// Latin-1 meaning, as browsers read them.
const char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool IsEucByte(unsigned char c) { return c >= 0xA1 && c <= 0xFE; }

}  // namespace

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

char16_t Windows1252Char(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? kWindows1252High[byte - 0x80] : static_cast<char16_t>(byte);
}

std::u16string DecodeWindows1252(std::string_view bytes) {
    std::u16string wide;
    wide.reserve(bytes.size());
    for (char c : bytes) wide.push_back(Windows1252Char(static_cast<unsigned char>(c)));
    return wide;
}

// JIS X 0208 rows map onto Shift_JIS by arithmetic, so one table serves both.
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

bool EncodingFromLabel(std::string_view label, Encoding& encoding) {
    while (!label.empty() && IsHtmlSpace(label.front())) label.remove_prefix(1);
    while (!label.empty() && IsHtmlSpace(label.back())) label.remove_suffix(1);
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
        if (EqualsAsciiNoCase(label, name.label)) {
            encoding = name.encoding;
            return true;
        }
    }
    return false;
}

bool LabelFromContent(std::string_view content, std::string_view& label) {
    size_t at = 0;
    while (at + 7 <= content.size()) {
        if (!EqualsAsciiNoCase(content.substr(at, 7), "charset")) {
            ++at;
            continue;
        }
        size_t i = at + 7;
        while (i < content.size() && IsHtmlSpace(content[i])) ++i;
        if (i >= content.size() || content[i] != '=') {
            at += 7;
            continue;
        }
        ++i;
        while (i < content.size() && IsHtmlSpace(content[i])) ++i;
        if (i >= content.size()) return false;
        if (content[i] == '"' || content[i] == '\'') {
            const size_t close = content.find(content[i], i + 1);
            if (close == std::string_view::npos) return false;
            label = content.substr(i + 1, close - i - 1);
            return true;
        }
        size_t end = i;
        while (end < content.size() && !IsHtmlSpace(content[end]) && content[end] != ';') ++end;
        label = content.substr(i, end - i);
        return true;
    }
    return false;
}
