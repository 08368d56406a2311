#include "core/CodePage932.h"

#include <windows.h>

#include <climits>
#include <vector>

#include "core/Text.h"

namespace {

const UINT kCodePage = 932;  // always 932, whatever the system's code page

// The form of every unit, by the platform's conversion with no best fit: a
// look-alike is not the character (¥ U+00A5 must never become 0x5C, a
// separator).
struct CForms {
    std::vector<uint16_t> forms = std::vector<uint16_t>(0x10000, kNoCp932Form);

    CForms() {
        std::vector<wchar_t> units;
        units.reserve(0x10000);
        for (unsigned c = 0; c < 0x10000; ++c)
            if (c < 0xD800 || c > 0xDFFF) units.push_back(static_cast<wchar_t>(c));
        if (!FromOneCall(units)) FromCallEach(units);
    }

    // One call over all units rather than one each (a call costs more than
    // the conversion, above all under Wine). The answer splits into
    // characters by the lead-byte rule; a unit without a form gives the
    // default character "?", which no other unit has as its form. False
    // when the answer does not split into one character per unit.
    bool FromOneCall(const std::vector<wchar_t>& units) {
        std::vector<char> bytes(units.size() * 2);
        const char kDefault = '?';
        const int made = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, units.data(),
                                             static_cast<int>(units.size()), bytes.data(),
                                             static_cast<int>(bytes.size()), &kDefault, nullptr);
        if (made <= 0) return false;
        const size_t end = static_cast<size_t>(made);
        size_t at = 0;
        for (wchar_t unit : units) {
            if (at >= end) return false;
            unsigned code = static_cast<unsigned char>(bytes[at++]);
            if (IsLeadByte(static_cast<unsigned char>(code))) {
                if (at >= end) return false;
                code = code * 256u + static_cast<unsigned char>(bytes[at++]);
            }
            forms[unit] = code == static_cast<unsigned char>(kDefault) && unit != L'?' ? kNoCp932Form
                                                                                      : static_cast<uint16_t>(code);
        }
        return at == end;
    }

    // Each unit asked for alone, the default character told apart by the
    // platform itself.
    void FromCallEach(const std::vector<wchar_t>& units) {
        for (wchar_t unit : units) {
            char bytes[4] = {};
            BOOL usedDefault = FALSE;
            const int made = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, &unit, 1, bytes, sizeof bytes,
                                                 nullptr, &usedDefault);
            const unsigned first = static_cast<unsigned char>(bytes[0]), second = static_cast<unsigned char>(bytes[1]);
            uint16_t code = kNoCp932Form;
            if (made == 1 && !usedDefault) code = static_cast<uint16_t>(first);
            if (made == 2 && !usedDefault) code = static_cast<uint16_t>(first * 256u + second);
            forms[unit] = code;
        }
    }
};

const CForms& Forms() {
    static const CForms forms;
    return forms;
}

}  // namespace

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

const uint16_t* Cp932Forms() { return Forms().forms.data(); }
