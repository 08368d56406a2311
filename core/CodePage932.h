// The platform's own table of code page 932, given explicitly (never the
// system's code page). Win32: MultiByteToWideChar and WideCharToMultiByte
// with 932; elsewhere iconv's CP932 held to the same round-trip rule.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// |text| as UTF-16. A byte sequence that is no code page 932 character
// becomes whatever the platform's table makes of it; never fails.
std::u16string DecodeCp932(std::string_view text);
// The same appended to |out|, which keeps its capacity between calls.
void AppendDecodedCp932(std::string_view text, std::u16string& out);

// |wide| as code page 932 bytes, into |out|. True only when every character
// has a round-trip form (converting the bytes back gives the same
// character): no best fit, so ¥ never becomes 0x5C. False otherwise, with
// |out| unspecified.
bool EncodeCp932(std::u16string_view wide, std::string& out);

// What the platform's table gives each UTF-16 unit, indexed by the unit:
// its round-trip form (one byte, or lead * 256 + second byte), or
// kNoCp932Form where it has none (a surrogate, é, 〜 U+301C). Made once, on
// the first call, from the same conversion EncodeCp932 stands for, so that
// a text is converted by lookups instead of a call per character.
const uint16_t kNoCp932Form = 0xFFFF;  // 0xFF begins no character of code page 932
const uint16_t* Cp932Forms();
