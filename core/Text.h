// Code page 932 text: the one place that knows which bytes begin a two-byte
// character. Every walk over a path or a text in the program goes through
// these functions.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// |c| in lower case when it is an ASCII capital, else unchanged. A byte, not
// a character: never a locale, so bytes past ASCII never change.
inline char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// True when |text| equals |lower| (lower-case ASCII) but for the case of
// ASCII letters.
bool EqualsAsciiNoCase(std::string_view text, std::string_view lower);

// True when |c| begins a two-byte character of code page 932 (0x81 to 0x9F,
// 0xE0 to 0xFC). A fixed table: the answer never depends on the system's
// code page.
bool IsLeadByte(unsigned char c);

// The position of the character after the one at |i|: two bytes on for a
// lead byte with a byte after it, else one (a lone lead byte at the end is a
// character of its own). Never beyond text.size().
size_t NextChar(const std::string& text, size_t i);

const char kSeparator = '\\';

// Every separator of |text| (where a character begins) becomes |with|.
void ReplaceSeparators(std::string& text, char with);

// The last two separators of |text| ("\\" where a character begins; a
// second byte 0x5C is never one); npos where there are fewer.
struct SeparatorPair {
    size_t last = std::string::npos;
    size_t beforeLast = std::string::npos;
};
SeparatorPair LastSeparators(const std::string& text);

// True when the last character of |text| is a separator.
bool EndsWithSeparator(const std::string& text);

// The prefix of |path| up to and including its last separator; empty when it
// holds none.
std::string BaseFolder(const std::string& path);

// The file name of a Windows path: what follows its last "\" (where a
// character begins), "/" or ":" (a drive, as in "C:name").
std::string FileNameOf(const std::string& path);

// The folder that directly holds |path|'s file: the text between the last
// two separators, or from the start up to the only one. False, and |folder|
// untouched, when |path| holds no separator.
bool TakeInnermostFolder(const std::string& path, std::string& folder);

// The file name of |path| (after its last separator) less its last four
// bytes, empty when the name has four or fewer. Bytes, not characters: a cut
// inside a two-byte character keeps its lead byte. False, and |stem|
// untouched, when |path| holds no separator.
bool TakeFileNameStem(const std::string& path, std::string& stem);

// Path order: compares the texts as code page 932 characters, a two-byte
// character valued lead * 256 + second, a one-byte character by its
// unsigned value; a lead byte at the very end ends the text. Negative, zero
// or positive. Zero for identical texts, and otherwise only for texts that
// differ by a lone lead byte at their end.
int ComparePathOrder(std::string_view a, std::string_view b);
// The first four characters of |text| as a number, each 16 bits of it (a
// two-byte character lead * 256 + second, any other its byte, 0 after the
// end): where the numbers of two texts differ, they order the texts as
// ComparePathOrder does.
uint64_t PathOrderHead(std::string_view text);

// True when the bytes of |text| occur in |entry| starting where a character
// of |entry| begins. The empty text is contained in every entry.
bool ContainsAtBoundary(const std::string& entry, const std::string& text);

// The texts of the world outside (UTF-16: file names, controls, the
// registry) as the program's texts, and back.
//
// A character with a round-trip code page 932 form becomes those bytes; any
// other (é, 〜 U+301C, emoji, a lone surrogate) becomes the decimal numeric
// character reference of its code point, "&#233;", one per code point, so
// that every page shows the real character and nothing is lost.
std::string TextFromUtf16(std::u16string_view wide);
// The same into |text|, which keeps its capacity between calls.
void TextFromUtf16(std::u16string_view wide, std::string& text);
// The same appended to |text|.
void AppendTextFromUtf16(std::u16string_view wide, std::string& text);

// The way back: code page 932 characters to UTF-16, and a reference as
// TextFromUtf16 writes it ("&#" decimal digits without a leading zero ";")
// back to its character, but only where that character has no code page 932
// form: a typed "&#65;" stays the five characters it is.
std::u16string Utf16FromText(std::string_view text);
// The same appended to |out|.
void AppendUtf16FromText(std::string_view text, std::u16string& out);

// The code point at |i| of |wide|, |i| moved past it: a surrogate pair read
// whole, a lone surrogate as its own value.
inline unsigned long CodePointAt(std::u16string_view wide, size_t& i) {
    unsigned long code = wide[i++];
    if (code >= 0xD800 && code <= 0xDBFF && i < wide.size() && wide[i] >= 0xDC00 && wide[i] <= 0xDFFF)
        code = 0x10000 + ((code - 0xD800) << 10) + (wide[i++] - 0xDC00);
    return code;
}

// The UTF-16 units of the code point |code| into |units|: 1 or 2 of them.
inline size_t EncodeUtf16(unsigned long code, char16_t* units) {
    if (code < 0x10000) {
        units[0] = static_cast<char16_t>(code);
        return 1;
    }
    units[0] = static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
    units[1] = static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    return 2;
}

// The UTF-8 bytes of the code point |code| (a surrogate taken as U+FFFD)
// into |bytes|: 1 to 4 of them.
inline size_t EncodeUtf8(unsigned long code, unsigned char* bytes) {
    if (code >= 0xD800 && code <= 0xDFFF) code = 0xFFFD;
    if (code < 0x80) {
        bytes[0] = static_cast<unsigned char>(code);
        return 1;
    }
    if (code < 0x800) {
        bytes[0] = static_cast<unsigned char>(0xC0 | (code >> 6));
        bytes[1] = static_cast<unsigned char>(0x80 | (code & 0x3F));
        return 2;
    }
    if (code < 0x10000) {
        bytes[0] = static_cast<unsigned char>(0xE0 | (code >> 12));
        bytes[1] = static_cast<unsigned char>(0x80 | ((code >> 6) & 0x3F));
        bytes[2] = static_cast<unsigned char>(0x80 | (code & 0x3F));
        return 3;
    }
    bytes[0] = static_cast<unsigned char>(0xF0 | (code >> 18));
    bytes[1] = static_cast<unsigned char>(0x80 | ((code >> 12) & 0x3F));
    bytes[2] = static_cast<unsigned char>(0x80 | ((code >> 6) & 0x3F));
    bytes[3] = static_cast<unsigned char>(0x80 | (code & 0x3F));
    return 4;
}

// |utf8| as UTF-16; each ill-formed sequence (a stray byte, an overlong form,
// a surrogate, past U+10FFFF, cut short) becomes U+FFFD.
std::u16string Utf16FromUtf8(std::string_view utf8);
// The same appended to |out|.
void AppendUtf16FromUtf8(std::string_view utf8, std::u16string& out);

// What |bytes| holds as UTF-8: its well-formed characters beyond ASCII, and
// its ill-formed sequences (a stray byte, an overlong form, a surrogate,
// past U+10FFFF, cut short), each counted as one, as Utf16FromUtf8 makes
// each one U+FFFD. Text in another encoding has many of the latter.
struct Utf8Measure {
    size_t wellFormed = 0;
    size_t illFormed = 0;
};
Utf8Measure MeasureUtf8(std::string_view bytes);

// |wide| as UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf8FromUtf16(std::u16string_view wide);
// The same appended to |out|.
void AppendUtf8FromUtf16(std::u16string_view wide, std::string& out);
