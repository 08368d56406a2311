// The platform's own table of code page 932, given explicitly (never the
// system's code page). Win32: MultiByteToWideChar and WideCharToMultiByte
// with 932; elsewhere iconv's CP932 held to the same round-trip rule.
#pragma once
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
