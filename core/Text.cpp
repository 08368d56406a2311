#include "core/Text.h"

#include "core/CodePage932.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

struct LeadTable {
    bool lead[256];
    constexpr LeadTable() : lead() {
        for (int c = 0x81; c <= 0x9F; ++c) lead[c] = true;
        for (int c = 0xE0; c <= 0xFC; ++c) lead[c] = true;
    }
};

// One array read per byte: the sort and the separator walks test every byte.
constexpr LeadTable kLead;

inline bool Lead(char c) { return kLead.lead[static_cast<unsigned char>(c)]; }

// One character of |s| at |i|: its value and width; width 0 at the end of
// the text, which a lead byte without a second byte also marks.
struct Char {
    unsigned value;
    size_t width;
};

inline Char PathCharAt(const std::string& s, size_t i) {
    if (i >= s.size()) return {0, 0};
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (!kLead.lead[c]) return {c, 1};
    if (i + 1 >= s.size()) return {0, 0};
    return {c * 256u + static_cast<unsigned char>(s[i + 1]), 2};
}

// The length of the common prefix of |a| and |b|, eight bytes at a time
// (both builds are little-endian x86-64).
inline size_t CommonPrefix(const char* a, const char* b, size_t n) {
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t x, y;
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        if (x != y) return i + static_cast<size_t>(__builtin_ctzll(x ^ y)) / 8;
    }
    while (i < n && a[i] == b[i]) ++i;
    return i;
}

}  // namespace

bool IsLeadByte(unsigned char c) { return kLead.lead[c]; }

size_t NextChar(const std::string& text, size_t i) {
    if (i >= text.size()) return text.size();
    return (Lead(text[i]) && i + 1 < text.size()) ? i + 2 : i + 1;
}

namespace {

// True when the byte at |i| begins a character: the bytes in the lead range
// just before it pair up from the start of their run (a byte outside the
// range ends every character), so an odd run leaves |i| the second byte of
// a character. 0x5C is outside the range, so walks back from successive
// 0x5C bytes never cover the same byte twice.
bool StartsCharacter(const std::string& text, size_t i) {
    size_t run = 0;
    while (run < i && Lead(text[i - run - 1])) ++run;
    return run % 2 == 0;
}

const uint64_t kOnes = 0x0101010101010101ull;
const uint64_t kHighs = 0x8080808080808080ull;

// True when one of the eight bytes of |word| is 0x5C.
inline bool HasSeparatorByte(uint64_t word) {
    const uint64_t x = word ^ (kOnes * static_cast<unsigned char>(kSeparator));
    return ((x - kOnes) & ~x & kHighs) != 0;
}

// The last 0x5C byte of text[0, end), or npos; eight bytes at a time.
size_t LastSeparatorByte(const std::string& text, size_t end) {
    const char* data = text.data();
    while (end >= 8) {
        uint64_t word;
        std::memcpy(&word, data + end - 8, 8);
        if (HasSeparatorByte(word)) break;
        end -= 8;
    }
    while (end > 0)
        if (data[--end] == kSeparator) return end;
    return std::string::npos;
}

}  // namespace

void ReplaceSeparators(std::string& text, char with) {
    for (size_t end = text.size(); (end = LastSeparatorByte(text, end)) != std::string::npos;)
        if (StartsCharacter(text, end)) text[end] = with;
}

SeparatorPair LastSeparators(const std::string& text) {
    // From the end: only the last two components are looked at.
    SeparatorPair pair;
    for (size_t end = text.size(); (end = LastSeparatorByte(text, end)) != std::string::npos;) {
        if (!StartsCharacter(text, end)) continue;
        if (pair.last == std::string::npos) {
            pair.last = end;
        } else {
            pair.beforeLast = end;
            break;
        }
    }
    return pair;
}

bool EndsWithSeparator(const std::string& text) {
    const size_t last = LastSeparators(text).last;
    return last != std::string::npos && last + 1 == text.size();
}

std::string BaseFolder(const std::string& path) {
    const size_t last = LastSeparators(path).last;
    return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

std::string FileNameOf(const std::string& path) {
    size_t start = 0;
    for (size_t i = 0; i < path.size(); i = NextChar(path, i))
        if (path[i] == kSeparator || path[i] == '/' || path[i] == ':') start = i + 1;
    return path.substr(start);
}

bool TakeInnermostFolder(const std::string& path, std::string& folder) {
    const SeparatorPair sep = LastSeparators(path);
    if (sep.last == std::string::npos) return false;
    const size_t from = sep.beforeLast == std::string::npos ? 0 : sep.beforeLast + 1;
    folder.assign(path, from, sep.last - from);
    return true;
}

bool TakeFileNameStem(const std::string& path, std::string& stem) {
    const size_t last = LastSeparators(path).last;
    if (last == std::string::npos) return false;
    const size_t nameSize = path.size() - last - 1;
    if (nameSize > 4)
        stem.assign(path, last + 1, nameSize - 4);
    else
        stem.clear();
    return true;
}

int ComparePathOrder(const std::string& a, const std::string& b) {
    // Paths share long prefixes: find the first differing byte with a plain
    // comparison, then step back to the character it belongs to. A run of
    // bytes in the lead range that follows a byte outside it (or the start)
    // begins on a character boundary and pairs up from there, so its parity
    // tells whether the differing byte is the second byte of a character.
    const size_t common = std::min(a.size(), b.size());
    size_t i = CommonPrefix(a.data(), b.data(), common);
    if (!StartsCharacter(a, i)) --i;
    // Equal characters have equal widths, so both texts stay at the same offset.
    for (;;) {
        Char x = PathCharAt(a, i);
        Char y = PathCharAt(b, i);
        if (x.width == 0 || y.width == 0) {
            if (x.width == y.width) return 0;
            return x.width == 0 ? -1 : 1;
        }
        if (x.value != y.value) return x.value < y.value ? -1 : 1;
        i += x.width;
    }
}

bool ContainsAtBoundary(const std::string& entry, const std::string& text) {
    if (text.empty()) return true;
    const size_t n = entry.size();
    const size_t m = text.size();
    for (size_t i = 0; i + m <= n; i += Lead(entry[i]) ? 2 : 1) {
        if (entry[i] == text[0] && std::memcmp(entry.data() + i, text.data(), m) == 0) return true;
    }
    return false;
}

namespace {

void AppendReference(std::string& out, unsigned long code) {
    out += "&#";
    out += std::to_string(code);
    out += ';';
}

// Whether the code point |code| has a round-trip code page 932 form.
bool HasCp932Form(unsigned long code) {
    char16_t units[2];
    const size_t n = EncodeUtf16(code, units);
    std::string bytes;
    return EncodeCp932(std::u16string_view(units, n), bytes);
}

// The reference at |at| ("&#" digits ";") and its length, when it is one
// that TextFromUtf16 writes for a character without a code page 932 form.
bool ParseReference(std::string_view text, size_t at, unsigned long& code, size_t& length) {
    size_t i = at + 2;
    if (i >= text.size() || text[i] < '1' || text[i] > '9') return false;  // no leading zero
    code = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        code = code * 10 + static_cast<unsigned long>(text[i] - '0');
        if (code > 0x10FFFF) return false;
    }
    if (i >= text.size() || text[i] != ';') return false;
    length = i + 1 - at;
    return !HasCp932Form(code);
}

}  // namespace

std::string TextFromUtf16(std::u16string_view wide) {
    std::string out;
    TextFromUtf16(wide, out);
    return out;
}

void TextFromUtf16(std::u16string_view wide, std::string& out) {
    // Plain ASCII is the same in code page 932: no table, no platform call.
    size_t ascii = 0;
    while (ascii < wide.size() && wide[ascii] < 0x80) ++ascii;
    if (ascii == wide.size()) {
        out.assign(wide.begin(), wide.end());
        return;
    }
    if (EncodeCp932(wide, out)) return;  // the usual case: one call
    out.clear();
    std::string bytes;
    for (size_t i = 0; i < wide.size();) {
        const size_t at = i;
        const unsigned long code = CodePointAt(wide, i);
        if (EncodeCp932(wide.substr(at, i - at), bytes))
            out += bytes;
        else
            AppendReference(out, code);
    }
}

std::u16string Utf16FromText(std::string_view text) {
    std::u16string wide;
    AppendUtf16FromText(text, wide);
    return wide;
}

void AppendUtf16FromText(std::string_view text, std::u16string& wide) {
    // "&" and "#" are never the second byte of a two-byte character, so a
    // byte search finds only real ones.
    size_t at = text.find("&#");
    if (at == std::string_view::npos) {
        // Plain ASCII is the same in UTF-16: no table, no platform call.
        size_t ascii = 0;
        while (ascii < text.size() && static_cast<unsigned char>(text[ascii]) < 0x80) ++ascii;
        if (ascii == text.size())
            wide.append(text.begin(), text.end());
        else
            AppendDecodedCp932(text, wide);
        return;
    }
    size_t done = 0;
    for (; at != std::string_view::npos; at = text.find("&#", at + 1)) {
        unsigned long code;
        size_t length;
        if (!ParseReference(text, at, code, length)) continue;
        AppendDecodedCp932(text.substr(done, at - done), wide);
        char16_t units[2];
        wide.append(units, EncodeUtf16(code, units));
        done = at + length;
        at = done - 1;
    }
    AppendDecodedCp932(text.substr(done), wide);
}

namespace {

// One sequence of UTF-8 that begins with a byte past ASCII.
struct Utf8Sequence {
    size_t length;       // its bytes; when ill-formed, the maximal part that could begin a well-formed one
    unsigned long code;  // the code point, when well-formed
    bool wellFormed;
};

// The sequence at |p|, *p >= 0x80, |end| past the last byte. The range of
// its second byte excludes overlong forms, surrogates and values past
// U+10FFFF (Unicode's table of well-formed sequences); a byte that can
// begin none is ill-formed alone.
inline Utf8Sequence ReadUtf8Sequence(const unsigned char* p, const unsigned char* end) {
    const unsigned char c = *p;
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    unsigned long code = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
        code = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        code = c & 0x0F;
        if (c == 0xE0) low = 0xA0;
        if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        code = c & 0x07;
        if (c == 0xF0) low = 0x90;
        if (c == 0xF4) high = 0x8F;
    } else {
        return {1, 0, false};
    }
    size_t k = 1;
    for (; k < length && p + k < end; ++k) {
        const unsigned char t = p[k];
        if (t < low || t > high) break;
        code = (code << 6) | (t & 0x3F);
        low = 0x80;
        high = 0xBF;
    }
    return {k, code, k == length};
}

}  // namespace

bool EqualsAsciiNoCase(std::string_view text, std::string_view lower) {
    if (text.size() != lower.size()) return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (AsciiLower(text[i]) != lower[i]) return false;
    return true;
}

Utf8Measure MeasureUtf8(std::string_view bytes) {
    Utf8Measure measure;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const unsigned char* const end = p + bytes.size();
    while (p != end) {
        // Files are mostly ASCII (ICON data above all): eight bytes at a time.
        while (end - p >= 8) {
            uint64_t word;
            std::memcpy(&word, p, 8);
            if (word & kHighs) break;
            p += 8;
        }
        if (p == end) break;
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const Utf8Sequence sequence = ReadUtf8Sequence(p, end);
        ++(sequence.wellFormed ? measure.wellFormed : measure.illFormed);
        p += sequence.length;
    }
    return measure;
}

std::u16string Utf16FromUtf8(std::string_view utf8) {
    // Never more units than bytes: written in place, cut to size at the end.
    std::u16string wide(utf8.size(), u'\0');
    char16_t* out = wide.empty() ? nullptr : &wide[0];
    char16_t* const begin = out;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const unsigned char* const end = p + utf8.size();
    while (p != end) {
        if (*p < 0x80) {
            *out++ = *p++;
            continue;
        }
        const Utf8Sequence sequence = ReadUtf8Sequence(p, end);
        if (sequence.wellFormed)
            out += EncodeUtf16(sequence.code, out);
        else
            *out++ = 0xFFFD;
        p += sequence.length;
    }
    wide.resize(static_cast<size_t>(out - begin));
    return wide;
}

void AppendUtf8FromUtf16(std::u16string_view wide, std::string& out) {
    for (size_t i = 0; i < wide.size();) {
        if (wide[i] < 0x80) {
            out.push_back(static_cast<char>(wide[i++]));
            continue;
        }
        unsigned char bytes[4];
        const size_t n = EncodeUtf8(CodePointAt(wide, i), bytes);
        out.append(reinterpret_cast<const char*>(bytes), n);
    }
}

std::string Utf8FromUtf16(std::u16string_view wide) {
    // The exact size first: a string kept for long (a bookmark's real path)
    // must not hold three bytes of room for every unit.
    size_t size = 0;
    for (size_t i = 0; i < wide.size();) {
        if (wide[i] < 0x80) {
            ++size;
            ++i;
            continue;
        }
        const unsigned long code = CodePointAt(wide, i);
        size += code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;  // a lone surrogate is U+FFFD, three bytes
    }
    std::string bytes;
    bytes.reserve(size);
    AppendUtf8FromUtf16(wide, bytes);
    return bytes;
}
