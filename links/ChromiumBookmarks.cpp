#include "links/ChromiumBookmarks.h"

#include <cstring>
#include <vector>

#include "links/Json.h"

namespace {

using JsonValue = rapidjson::Value;

// A member's string value as UTF-16 (ill-formed UTF-8 as U+FFFD), empty when
// it is missing or no string.
std::u16string StringMember(const JsonValue& node, const char* name) {
    const JsonValue* value = JsonMember(node, name);
    return value && value->IsString() ? JsonText(*value) : std::u16string();
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
    rapidjson::Document doc;
    if (!ParseJsonInPlace(json, doc) || !doc.IsObject()) return false;
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
