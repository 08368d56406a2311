// Opening files: by a program text (code page 932, separators "\"), or by a
// file's real name as the platform spells it.
#pragma once
#include <cstdio>
#include <string>
#include <string_view>

// A file's name as the platform spells it: UTF-16 on Windows, the host's own
// bytes elsewhere. The portable logic only carries and joins it, so that a
// file whose name code page 932 cannot spell is still the file opened.
#ifdef _WIN32
using HostName = std::wstring;
const wchar_t kHostSeparator = L'\\';
#else
using HostName = std::string;
const char kHostSeparator = '/';
#endif

// fopen for a path as the program's texts hold it. On Windows the text goes
// to the platform in UTF-16 (a character reference back to its character)
// and in the long form past 260 characters; elsewhere each "\" that begins a
// character becomes "/" (a second byte 0x5C of a two-byte character stays).
std::FILE* OpenHostFile(const std::string& path, const char* mode);

// fopen for a real name as the platform gave it, however long.
std::FILE* OpenRealFile(const HostName& path, const char* mode);

// The host form of |path| as OpenHostFile uses it.
std::string HostPath(const std::string& path);

// The whole content of the file |path| into |bytes|. False, with |bytes|
// empty, when it cannot be opened or read, or holds more than |maxBytes|.
// The file is opened so that its writer may replace it meanwhile (a browser
// renames its new bookmarks over the old ones).
bool ReadWholeHostFile(const HostName& path, std::string& bytes, size_t maxBytes);

// The real name that the program's text |text| gives back: UTF-16 on
// Windows (a reference to a character without a code page 932 form turned
// back into it), the host form elsewhere. An entry whose real name is this
// keeps no copy of it.
HostName RealNameOfText(const std::string& text);
// True when RealNameOfText(text) is |real|; without making it on Windows,
// where a folder walk asks this of every name.
bool GivesBackRealName(const std::string& text, const HostName& real);

// True when |path| names a file that can be opened for reading.
bool HostFileExists(const HostName& path);

// A real name from UTF-16 (a name made up by the program, such as a
// bookmark's path), and a real name as the program's text and back.
HostName HostNameFromUtf16(std::u16string_view wide);
std::string TextFromHostName(const HostName& name);
HostName HostNameFromText(const std::string& text);
std::u16string Utf16FromHostName(const HostName& name);
