// The program's texts at the Win32 boundary: every call that passes text
// uses the wide (W) function, converted here with code page 932 explicitly.
#pragma once
#include <windows.h>

#include <string>

#include "core/Text.h"

// A program text as a wide string for Windows.
inline std::wstring WideText(const std::string& text) {
    std::u16string wide = Utf16FromText(text);
    return std::wstring(wide.begin(), wide.end());
}

// A wide string from Windows as a program text.
inline std::string TextFromWide(const wchar_t* wide, size_t size) {
    return TextFromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(wide), size));
}
inline std::string TextFromWide(const std::wstring& wide) { return TextFromWide(wide.data(), wide.size()); }

// |path| in the form that passes the 260-character limit: an absolute path
// of that length or more gets the "\\?\" prefix (after the platform has made
// it whole: no "." or "..", no "/"); a shorter or relative path stays as it is.
std::wstring LongPathForm(const std::wstring& path);
