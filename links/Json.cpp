#include "links/Json.h"

#include <cstring>

#include "core/Text.h"

namespace {

// The SSE2 scan loads aligned blocks of 16 bytes, which may reach up to 15
// bytes past the terminating NUL: they must lie in the buffer.
const size_t kSimdPadding = 16;

const unsigned kParseFlags = rapidjson::kParseInsituFlag | rapidjson::kParseIterativeFlag;

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

unsigned HexValue(const char* p) {
    unsigned v = 0;
    for (int i = 0; i < 4; ++i) {
        const char c = p[i];
        v = v * 16 + static_cast<unsigned>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
    }
    return v;
}

// The escape "\uXXXX" at |p| (within |end|), or -1.
long EscapedUnit(const char* p, const char* end) {
    if (end - p < 6 || p[0] != '\\' || p[1] != 'u') return -1;
    for (int i = 2; i < 6; ++i)
        if (!IsHex(p[i])) return -1;
    return static_cast<long>(HexValue(p + 2));
}

// The browser never writes a lone surrogate, but one odd title must not cost
// every bookmark: each becomes "\uFFFD", of the same length.
void ReplaceLoneSurrogateEscapes(char* p, char* const end) {
    bool inString = false;
    while (p < end) {
        if (!inString) {
            if (*p == '"') inString = true;
            ++p;
            continue;
        }
        if (*p == '"') {
            inString = false;
            ++p;
            continue;
        }
        if (*p != '\\') {
            ++p;
            continue;
        }
        const long unit = EscapedUnit(p, end);
        if (unit < 0) {
            p += 2;  // another escape: its second character is no quote or backslash of its own
            continue;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            const long next = EscapedUnit(p + 6, end);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                p += 12;
                continue;
            }
        }
        if (unit >= 0xD800 && unit <= 0xDFFF) std::memcpy(p, "\\uFFFD", 6);
        p += 6;
    }
}

}  // namespace

bool ParseJsonInPlace(std::string& json, rapidjson::Document& doc) {
    const size_t start = json.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    // Most files hold no escaped surrogate at all: look before walking.
    if (json.find("\\uD", start) != std::string::npos || json.find("\\ud", start) != std::string::npos)
        ReplaceLoneSurrogateEscapes(&json[start], &json[0] + json.size());
    if (json.capacity() < json.size() + kSimdPadding) json.reserve(json.size() + kSimdPadding);
    doc.ParseInsitu<kParseFlags>(&json[start]);
    return !doc.HasParseError();
}

const rapidjson::Value* JsonMember(const rapidjson::Value& object, const char* name) {
    if (!object.IsObject()) return nullptr;
    rapidjson::Value::ConstMemberIterator m = object.FindMember(name);
    return m == object.MemberEnd() ? nullptr : &m->value;
}

std::u16string JsonText(const rapidjson::Value& value) {
    return Utf16FromUtf8(std::string_view(value.GetString(), value.GetStringLength()));
}
