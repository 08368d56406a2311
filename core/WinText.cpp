#include "core/WinText.h"

#include <vector>

std::wstring LongPathForm(const std::wstring& path) {
    // Below this length every Win32 call takes the plain form, folder
    // creation included (it reserves room for an 8.3 name).
    const size_t kPlainLimit = 240;
    if (path.size() < kPlainLimit || path.compare(0, 4, L"\\\\?\\") == 0) return path;
    DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return path;
    std::vector<wchar_t> full(n + 1);
    n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n == 0 || n >= full.size()) return path;
    std::wstring whole(full.data(), n);
    if (whole.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + whole.substr(2);  // \\server\share
    if (whole.size() >= 3 && whole[1] == L':' && whole[2] == L'\\') return L"\\\\?\\" + whole;
    return path;
}
