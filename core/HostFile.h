// Opening a file named by a system path (code page 932, separators "\").
#pragma once
#include <cstdio>
#include <string>

// fopen for a path as the scan and the settings hold it. On Windows the path
// goes to the C runtime as it is; elsewhere each "\" that begins a character
// becomes "/" (a second byte 0x5C of a two-byte character stays).
std::FILE* OpenHostFile(const std::string& path, const char* mode);

// The host form of |path| as OpenHostFile uses it.
std::string HostPath(const std::string& path);
