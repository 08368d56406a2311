#include "core/CodePage932.h"
#include "core/Text.h"

#include <iconv.h>

#include <array>
#include <cstring>
#include <vector>

namespace {

const char16_t kNoChar = 0xFFFF;

// Both directions, built once from iconv: iconv has one-way mappings (¥ to
// 0x5C, 〜 to 0x8160) that the round-trip rule must not take.
struct CTables {
    std::vector<char16_t> decode = std::vector<char16_t>(0x10000, kNoChar);  // byte, or lead * 256 + trail
    std::vector<uint16_t> encode = std::vector<uint16_t>(0x10000, kNoCp932Form);

    CTables() {
        iconv_t toWide = iconv_open("UTF-16LE", "CP932");
        iconv_t toBytes = iconv_open("CP932", "UTF-16LE");
        if (toWide == (iconv_t)-1 || toBytes == (iconv_t)-1) return;
        for (unsigned code = 0; code < 0x10000; ++code) {
            char in[2];
            size_t inSize = 0;
            if (code < 0x100) {
                in[inSize++] = static_cast<char>(code);
            } else {
                in[inSize++] = static_cast<char>(code >> 8);
                in[inSize++] = static_cast<char>(code & 0xFF);
            }
            char out[8];
            char* inPtr = in;
            char* outPtr = out;
            size_t outLeft = sizeof out;
            iconv(toWide, nullptr, nullptr, nullptr, nullptr);
            if (iconv(toWide, &inPtr, &inSize, &outPtr, &outLeft) != (size_t)-1 && outLeft == 6)
                decode[code] = static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                                     static_cast<unsigned char>(out[1]) << 8);
        }
        for (unsigned c = 0; c < 0x10000; ++c) {
            if (c >= 0xD800 && c <= 0xDFFF) continue;
            char in[2] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
            char out[8];
            char* inPtr = in;
            size_t inSize = 2;
            char* outPtr = out;
            size_t outLeft = sizeof out;
            iconv(toBytes, nullptr, nullptr, nullptr, nullptr);
            if (iconv(toBytes, &inPtr, &inSize, &outPtr, &outLeft) == (size_t)-1) continue;
            size_t n = sizeof out - outLeft;
            unsigned code = n == 1 ? static_cast<unsigned char>(out[0])
                          : n == 2 ? static_cast<unsigned char>(out[0]) * 256u + static_cast<unsigned char>(out[1])
                                   : 0x10000;
            if (code < 0x10000 && decode[code] == c) encode[c] = static_cast<uint16_t>(code);
        }
        iconv_close(toWide);
        iconv_close(toBytes);
    }
};

const CTables& Tables() {
    static const CTables tables;
    return tables;
}

}  // namespace

std::u16string DecodeCp932(std::string_view text) {
    std::u16string wide;
    AppendDecodedCp932(text, wide);
    return wide;
}

void AppendDecodedCp932(std::string_view text, std::u16string& wide) {
    const CTables& t = Tables();
    wide.reserve(wide.size() + text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        unsigned code = c;
        if (IsLeadByte(c) && i + 1 < text.size()) code = c * 256u + static_cast<unsigned char>(text[++i]);
        char16_t w = t.decode[code];
        wide.push_back(w == kNoChar ? u'\u30FB' : w);  // as Windows shows an undefined code
    }
}

const uint16_t* Cp932Forms() { return Tables().encode.data(); }
