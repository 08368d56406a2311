#include "core/CodePage932.h"

#include <windows.h>

#include <climits>

namespace {
const UINT kCodePage = 932;  // always 932, whatever the system's code page
}

void AppendDecodedCp932(std::string_view text, std::u16string& out) {
    if (text.empty() || text.size() > INT_MAX) return;
    // Never more UTF-16 units than bytes: one call into room made beforehand.
    const size_t at = out.size();
    out.resize(at + text.size());
    const int n = MultiByteToWideChar(kCodePage, 0, text.data(), static_cast<int>(text.size()),
                                      reinterpret_cast<wchar_t*>(&out[at]), static_cast<int>(text.size()));
    out.resize(at + static_cast<size_t>(n > 0 ? n : 0));
}

std::u16string DecodeCp932(std::string_view text) {
    std::u16string wide;
    AppendDecodedCp932(text, wide);
    return wide;
}

bool EncodeCp932(std::u16string_view wide, std::string& out) {
    out.clear();
    if (wide.empty()) return true;
    if (wide.size() > INT_MAX / 2) return false;
    const wchar_t* in = reinterpret_cast<const wchar_t*>(wide.data());
    const int inSize = static_cast<int>(wide.size());
    out.resize(wide.size() * 2);
    BOOL usedDefault = FALSE;
    // No best fit: a look-alike is not the character (¥ U+00A5 must never
    // become 0x5C, a separator), and the check tells us it happened.
    int n = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, in, inSize, &out[0],
                                static_cast<int>(out.size()), nullptr, &usedDefault);
    if (n <= 0 || usedDefault) return false;
    out.resize(static_cast<size_t>(n));
    return true;
}
