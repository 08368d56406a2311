// The byte encodings a bookmark HTML file comes in, their decoders and the
// charset labels that name them: the bookmark reader's view of encodings.
#pragma once
#include <string>
#include <string_view>

// The byte encodings a file can be read in; UTF-16 files are made UTF-8
// before anything else looks at them.
enum class Encoding { Utf8, Cp932, EucJp, Windows1252 };

// HTML's white space: space, tab, line feed, carriage return, form feed.
inline bool IsHtmlSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

// The UTF-16 file |bytes| (its byte order mark removed) as UTF-8. A lone
// surrogate, or a last byte without its pair, becomes U+FFFD.
std::string Utf8FromUtf16Bytes(std::string_view bytes, bool bigEndian);

// The character windows-1252 gives |byte|: Latin-1 but for 0x80 to 0x9F;
// the five codes there it leaves undefined keep their own value, as
// browsers read them.
char16_t Windows1252Char(unsigned char byte);

// |bytes| read as windows-1252, one character a byte.
std::u16string DecodeWindows1252(std::string_view bytes);

// |bytes| read as EUC-JP through code page 932's table; a JIS X 0212
// character, which code page 932 lacks, and a byte that begins no
// character each become U+FFFD.
std::u16string DecodeEucJp(std::string_view bytes);

// |bytes| read in |encoding|; never fails.
std::u16string Decode(std::string_view bytes, Encoding encoding);

// The encoding the charset label |label| names, in any case and with white
// space around it; false for one this reader does not know, which leaves
// the choice to the bytes, |encoding| untouched.
bool EncodingFromLabel(std::string_view label, Encoding& encoding);

// The label after "charset=" in a META's CONTENT ("text/html; charset=x"),
// quoted or not; false when it names none. |label| points into |content|.
bool LabelFromContent(std::string_view content, std::string_view& label);
