#include "links/ChromiumBookmarks.h"

#include <rapidjson/document.h>

#include <cstring>
#include <vector>

#include "core/Text.h"

namespace {

using JsonValue = rapidjson::Value;

const size_t kSimdPadding = 16;

// The parse never recurses, so a file nested thousands deep cannot exhaust
// the stack; in place, so names are not copied once more.
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

// A surrogate escaped alone ("\uD800" without its partner) makes the parser
// refuse the whole file; the browser never writes one, but one odd title
// must not cost every bookmark. Each becomes "\uFFFD", of the same length.
void ReplaceLoneSurrogateEscapes(std::string& json) {
    // Most files hold no escaped surrogate at all: look before walking.
    if (json.find("\\uD") == std::string::npos && json.find("\\ud") == std::string::npos) return;
    char* p = &json[0];
    char* const end = p + json.size();
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

// A member's string value as UTF-16 (ill-formed UTF-8 as U+FFFD), empty when
// it is missing or no string.
std::u16string StringMember(const JsonValue& node, const char* name) {
    JsonValue::ConstMemberIterator m = node.FindMember(name);
    if (m == node.MemberEnd() || !m->value.IsString()) return std::u16string();
    return Utf16FromUtf8(std::string_view(m->value.GetString(), m->value.GetStringLength()));
}

bool TypeIs(const JsonValue& node, const char* type) {
    JsonValue::ConstMemberIterator m = node.FindMember("type");
    return m != node.MemberEnd() && m->value.IsString() && std::strcmp(m->value.GetString(), type) == 0;
}

const JsonValue* ChildrenOf(const JsonValue& node) {
    JsonValue::ConstMemberIterator m = node.FindMember("children");
    if (m == node.MemberEnd() || !m->value.IsArray() || m->value.Empty()) return nullptr;
    return &m->value;
}

// The bookmarks below |children|, depth first in the order given, with an
// explicit stack: nesting costs memory, never stack. False once the
// collector refuses a bookmark.
bool WalkChildren(const JsonValue& children, CBookmarkCollector& collector) {
    struct Frame {
        const JsonValue* children;
        rapidjson::SizeType next;
    };
    std::vector<Frame> stack{{&children, 0}};
    const size_t base = collector.Depth();
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next >= top.children->Size()) {
            stack.pop_back();
            if (collector.Depth() > base) collector.LeaveFolder();
            continue;
        }
        const JsonValue& node = (*top.children)[top.next++];
        if (!node.IsObject()) continue;
        if (TypeIs(node, "url")) {
            const std::u16string url = StringMember(node, "url");
            if (url.empty()) continue;
            if (!collector.AddBookmark(StringMember(node, "name"), url, false)) {
                while (collector.Depth() > base) collector.LeaveFolder();
                return false;
            }
        } else if (TypeIs(node, "folder")) {
            if (const JsonValue* sub = ChildrenOf(node)) {
                collector.EnterFolder(StringMember(node, "name"), false);
                stack.push_back(Frame{sub, 0});  // |top| is not used after this
            }
        }
    }
    return true;
}

}  // namespace

bool ReadChromiumBookmarks(std::string& json, RootNames names, CBookmarkCollector& collector) {
    ReplaceLoneSurrogateEscapes(json);
    // The SSE2 scan loads aligned blocks of 16 bytes, which may reach up to
    // 15 bytes past the terminating NUL: they must lie in the buffer.
    if (json.capacity() < json.size() + kSimdPadding) json.reserve(json.size() + kSimdPadding);
    rapidjson::Document doc;
    doc.ParseInsitu<kParseFlags>(&json[0]);
    if (doc.HasParseError() || !doc.IsObject()) return false;
    JsonValue::ConstMemberIterator roots = doc.FindMember("roots");
    if (roots == doc.MemberEnd() || !roots->value.IsObject()) return false;

    const bool edge = names == RootNames::Edge;
    // Roots are known by their keys; the names stored with them are in the
    // language the browser had and are not used.
    const struct {
        const char* key;
        const char16_t* folder;  // null: directly in the root
    } kRoots[] = {
        {"bookmark_bar", edge ? u"お気に入りバー" : u"ブックマーク バー"},
        {"other", nullptr},
        {"synced", edge ? u"モバイルのお気に入り" : u"モバイルのブックマーク"},
    };
    for (const auto& root : kRoots) {
        JsonValue::ConstMemberIterator node = roots->value.FindMember(root.key);
        if (node == roots->value.MemberEnd() || !node->value.IsObject()) continue;
        const JsonValue* children = ChildrenOf(node->value);
        if (!children) continue;
        if (root.folder) collector.EnterFolder(root.folder, false);
        const bool more = WalkChildren(*children, collector);
        if (root.folder) collector.LeaveFolder();
        if (!more) break;
    }
    return true;
}
