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

inline Char PathCharAt(std::string_view s, size_t i) {
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
bool StartsCharacter(std::string_view text, size_t i) {
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

int ComparePathOrder(std::string_view a, std::string_view b) {
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

uint64_t PathOrderHead(std::string_view text) {
    uint64_t head = 0;
    size_t i = 0;
    for (int k = 0; k < 4; ++k) {
        const Char c = PathCharAt(text, i);
        i += c.width;
        head = head << 16 | c.value;  // the end: width 0, value 0
    }
    return head;
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

// Whether the code point |code| has a round-trip code page 932 form.
bool HasCp932Form(unsigned long code) { return code < 0x10000 && Cp932Forms()[code] != kNoCp932Form; }

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

bool EncodeCp932(std::u16string_view wide, std::string& out) {
    const uint16_t* const forms = Cp932Forms();
    out.resize(wide.size() * 2);
    char* p = out.empty() ? nullptr : &out[0];
    char* const begin = p;
    for (char16_t w : wide) {
        const uint16_t code = forms[w];
        if (code == kNoCp932Form) return false;
        if (code >= 0x100) *p++ = static_cast<char>(code >> 8);
        *p++ = static_cast<char>(code & 0xFF);
    }
    out.resize(static_cast<size_t>(p - begin));
    return true;
}

std::string TextFromUtf16(std::u16string_view wide) {
    std::string out;
    AppendTextFromUtf16(wide, out);
    return out;
}

void TextFromUtf16(std::u16string_view wide, std::string& out) {
    out.clear();
    AppendTextFromUtf16(wide, out);
}

namespace {

// The reference "&#" decimal digits ";" of |code| into |out| (room for
// 10 bytes): its length.
size_t WriteReference(char* out, unsigned long code) {
    char digits[8];
    size_t n = 0;
    do {
        digits[n++] = static_cast<char>('0' + code % 10);
        code /= 10;
    } while (code > 0);
    size_t k = 0;
    out[k++] = '&';
    out[k++] = '#';
    while (n > 0) out[k++] = digits[--n];
    out[k++] = ';';
    return k;
}

}  // namespace

void AppendTextFromUtf16(std::u16string_view wide, std::string& out) {
    // Written into a buffer on the stack and appended in pieces: no room
    // made and filled beforehand, no call per character. A piece of
    // kPieceUnits units takes kPieceUnits * 10 bytes at most (references
    // alone). ASCII is the same in code page 932, and needs no table.
    const size_t kPieceUnits = 200;
    char buffer[kPieceUnits * 10];
    const uint16_t* forms = nullptr;
    for (size_t i = 0; i < wide.size();) {
        const size_t end = std::min(wide.size(), i + kPieceUnits);
        size_t used = 0;
        while (i < end) {
            const char16_t w = wide[i];
            if (w < 0x80) {
                buffer[used++] = static_cast<char>(w);
                ++i;
                continue;
            }
            if (!forms) forms = Cp932Forms();
            const uint16_t code = forms[w];
            if (code == kNoCp932Form) {
                // A surrogate pair is one reference (and may end past |end|).
                used += WriteReference(buffer + used, CodePointAt(wide, i));
                continue;
            }
            if (code >= 0x100) buffer[used++] = static_cast<char>(code >> 8);
            buffer[used++] = static_cast<char>(code & 0xFF);
            ++i;
        }
        out.append(buffer, used);
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
    std::u16string wide;
    AppendUtf16FromUtf8(utf8, wide);
    return wide;
}

void AppendUtf16FromUtf8(std::string_view utf8, std::u16string& wide) {
    // Never more units than bytes: room for all of them, made once (a
    // whole file may come here), then written through a buffer on the
    // stack, so that nothing is filled beforehand. A piece of kPiece bytes
    // (and the rest of a sequence it cuts) gives no more units than that.
    if (wide.capacity() < wide.size() + utf8.size()) wide.reserve(wide.size() + utf8.size());
    const size_t kPiece = 256;
    char16_t buffer[kPiece + 4];
    const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const unsigned char* const end = p + utf8.size();
    while (p < end) {
        const unsigned char* const stop = static_cast<size_t>(end - p) > kPiece ? p + kPiece : end;
        size_t used = 0;
        while (p < stop) {
            const unsigned char c = *p;
            if (c < 0x80) {
                buffer[used++] = c;
                ++p;
                continue;
            }
            // Japanese: three bytes led by E1 to EC, EE or EF (no overlong
            // form, no surrogate possible), both trailing ones in 80 to BF.
            if (((c >= 0xE1 && c <= 0xEC) || c == 0xEE || c == 0xEF) && end - p >= 3 && (p[1] & 0xC0) == 0x80 &&
                (p[2] & 0xC0) == 0x80) {
                buffer[used++] = static_cast<char16_t>((c & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F));
                p += 3;
                continue;
            }
            const Utf8Sequence sequence = ReadUtf8Sequence(p, end);
            if (sequence.wellFormed)
                used += EncodeUtf16(sequence.code, buffer + used);
            else
                buffer[used++] = 0xFFFD;
            p += sequence.length;
        }
        wide.append(buffer, used);
    }
}

namespace {

// The UTF-8 size of |wide|, a lone surrogate counted as U+FFFD.
size_t Utf8Size(std::u16string_view wide) {
    size_t size = 0;
    for (size_t i = 0; i < wide.size(); ++i) {
        const char16_t w = wide[i];
        size += w < 0x80 ? 1 : w < 0x800 ? 2 : 3;
        // A pair is four bytes, not three and three.
        if (w >= 0xD800 && w <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
            size += 1;
            ++i;
        }
    }
    return size;
}

// The UTF-8 bytes of |wide| at |out|, which has room for Utf8Size(wide)
// (three bytes a unit at most): where they end.
unsigned char* WriteUtf8(std::u16string_view wide, unsigned char* out) {
    for (size_t i = 0; i < wide.size();) {
        const char16_t w = wide[i];
        if (w < 0x80) {
            *out++ = static_cast<unsigned char>(w);
            ++i;
        } else if (w < 0x800) {
            *out++ = static_cast<unsigned char>(0xC0 | (w >> 6));
            *out++ = static_cast<unsigned char>(0x80 | (w & 0x3F));
            ++i;
        } else if (w < 0xD800 || w > 0xDFFF) {
            *out++ = static_cast<unsigned char>(0xE0 | (w >> 12));
            *out++ = static_cast<unsigned char>(0x80 | ((w >> 6) & 0x3F));
            *out++ = static_cast<unsigned char>(0x80 | (w & 0x3F));
            ++i;
        } else {
            out += EncodeUtf8(CodePointAt(wide, i), out);
        }
    }
    return out;
}

}  // namespace

void AppendUtf8FromUtf16(std::u16string_view wide, std::string& out) {
    const size_t start = out.size();
    out.resize(start + Utf8Size(wide));
    WriteUtf8(wide, reinterpret_cast<unsigned char*>(&out[0]) + start);
}

std::string Utf8FromUtf16(std::u16string_view wide) {
    // Made at its exact size: a string kept for long (a bookmark's real
    // path) must not hold three bytes of room for every unit. A name or a
    // path goes through a buffer on the stack in one pass.
    unsigned char buffer[1536];
    if (wide.size() <= sizeof buffer / 3) {
        const unsigned char* const end = WriteUtf8(wide, buffer);
        return std::string(reinterpret_cast<const char*>(buffer), static_cast<size_t>(end - buffer));
    }
    std::string bytes(Utf8Size(wide), '\0');
    WriteUtf8(wide, reinterpret_cast<unsigned char*>(&bytes[0]));
    return bytes;
}
