#include "core/WinText.h"

#include <vector>

#include "core/LongPath.h"

namespace {

std::u16string U16(const std::wstring& w) { return std::u16string(w.begin(), w.end()); }
std::wstring W(const std::u16string& u) { return std::wstring(u.begin(), u.end()); }

// An absolute path ("X:\", "X:/", "\\..."): Windows' full path of it is
// never longer than the path itself.
bool IsAbsolute(const std::wstring& p) {
    if (p.size() >= 2 && (p[0] == L'\\' || p[0] == L'/') && (p[1] == L'\\' || p[1] == L'/')) return true;
    return p.size() >= 3 && p[1] == L':' && (p[2] == L'\\' || p[2] == L'/');
}

}  // namespace

std::wstring LongPathForm(const std::wstring& path) {
    if (path.compare(0, 4, L"\\\\?\\") == 0) return path;
    // A short absolute path stays short: no need to ask for its full form.
    if (path.size() < kPlainPathLimit && IsAbsolute(path)) return path;
    DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return path;
    std::vector<wchar_t> full(n + 1);
    n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n == 0 || n >= full.size()) return path;
    return W(LongPathDecision(U16(path), std::u16string(full.data(), full.data() + n)));
}

std::wstring RealPathForm(const std::wstring& path) {
    const std::u16string verbatim = VerbatimPathForm(U16(path));
    return verbatim.empty() ? LongPathForm(path) : W(verbatim);
}

bool FullPathOf(const std::wstring& path, std::wstring& full) {
    DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return false;
    std::vector<wchar_t> buffer(n + 1);
    n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (n == 0 || n >= buffer.size()) return false;
    full.assign(buffer.data(), n);
    return true;
}
