#include "core/HostFile.h"
#include "core/WinText.h"

#include <algorithm>

// Paths keep their "\" separators; the name goes to Windows in UTF-16, so
// that every file name can be opened, and in the long form past 260.
std::string HostPath(const std::string& path) { return path; }

std::FILE* OpenHostFile(const std::string& path, const char* mode) {
    return _wfopen(LongPathForm(WideText(path)).c_str(), WideText(mode).c_str());
}

std::FILE* OpenRealFile(const HostName& path, const char* mode) {
    return _wfopen(RealPathForm(path).c_str(), WideText(mode).c_str());
}

bool ReadWholeHostFile(const HostName& path, std::string& bytes, size_t maxBytes) {
    bytes.clear();
    HANDLE file = CreateFileW(RealPathForm(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(file, &size) && static_cast<unsigned long long>(size.QuadPart) <= maxBytes;
    if (ok) {
        try {
            // Room for a parser's block loads past the end, so that it
            // need not copy the file to get it.
            bytes.reserve(static_cast<size_t>(size.QuadPart) + 16);
            bytes.resize(static_cast<size_t>(size.QuadPart));
        } catch (...) {
            CloseHandle(file);
            throw;
        }
        size_t done = 0;
        while (ok && done < bytes.size()) {
            const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
            DWORD got = 0;
            ok = ReadFile(file, &bytes[done], want, &got, nullptr) && got > 0;
            done += got;
        }
    }
    CloseHandle(file);
    if (!ok) bytes.clear();
    return ok;
}

HostName HostNameFromUtf16(std::u16string_view wide) { return HostName(wide.begin(), wide.end()); }

std::string TextFromHostName(const HostName& name) { return TextFromWide(name); }

HostName HostNameFromText(const std::string& text) { return WideText(text); }

std::u16string Utf16FromHostName(const HostName& name) { return std::u16string(name.begin(), name.end()); }

HostName RealNameOfText(const std::string& text) { return WideText(text); }

bool GivesBackRealName(const std::string& text, const HostName& real) {
    // One buffer for the whole walk: a heap allocation per name costs more
    // under Wine than the conversion itself.
    static thread_local std::u16string wide;
    wide.clear();
    AppendUtf16FromText(text, wide);
    return wide.size() == real.size() &&
           std::equal(wide.begin(), wide.end(), real.begin(),
                      [](char16_t a, wchar_t b) { return a == static_cast<char16_t>(b); });
}
