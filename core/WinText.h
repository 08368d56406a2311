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
// The same into |text|, which keeps its capacity between calls.
inline void TextFromWide(const std::wstring& wide, std::string& text) {
    TextFromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()), text);
}

// |path| in the form that passes the 260-character limit: when its full path
// (the platform's, relative paths and "C:name" resolved) is that long or
// more, the "\\?\" form of the full path; else |path| as it is.
std::wstring LongPathForm(const std::wstring& path);

// A real path (a folder from the platform joined with listed names) in the
// "\\?\" form taken verbatim, so that a name ending in a dot or a space
// names that file; a path that is not such a full path goes through
// LongPathForm.
std::wstring RealPathForm(const std::wstring& path);

// The platform's full path of |path| (GetFullPathNameW); false when it has
// none.
bool FullPathOf(const std::wstring& path, std::wstring& full);
