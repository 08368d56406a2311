#include "links/FirefoxBookmarks.h"

#include <lz4.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "core/Text.h"
#include "links/Json.h"

namespace {

// One bookmark, folder or other item of either store.
struct CPlace {
    enum Kind { Other, Bookmark, Folder };
    Kind kind = Other;
    std::u16string title;
    std::u16string url;
    std::vector<size_t> children;  // in the order of their position
};

// The roots in the order they are read; the menu's children lie in the
// root itself.
const struct {
    const char* guid;
    const char16_t* folder;  // null: directly in the root
} kRoots[] = {
    {"menu________", nullptr},
    {"toolbar_____", u"ブックマークツールバー"},
    {"unfiled_____", u"他のブックマーク"},
    {"mobile______", u"モバイルのブックマーク"},
};
const size_t kRootCount = sizeof kRoots / sizeof kRoots[0];
const size_t kNone = static_cast<size_t>(-1);

struct CPlacesTree {
    std::vector<CPlace> nodes;
    size_t roots[kRootCount] = {kNone, kNone, kNone, kNone};

    void TakeRoot(std::string_view guid, size_t node) {
        for (size_t r = 0; r < kRootCount; ++r)
            if (guid == kRoots[r].guid) roots[r] = node;
    }
};

// The bookmarks below |root|, depth first, each item at most once (a
// damaged store may make a folder its own ancestor). False once the
// collector refuses a bookmark.
bool Walk(const CPlacesTree& tree, size_t root, std::vector<bool>& seen, CBookmarkCollector& collector) {
    struct Frame {
        size_t node;
        size_t next;
    };
    std::vector<Frame> stack{{root, 0}};
    seen[root] = true;
    const size_t base = collector.Depth();
    while (!stack.empty()) {
        Frame& top = stack.back();
        const CPlace& folder = tree.nodes[top.node];
        if (top.next >= folder.children.size()) {
            stack.pop_back();
            if (collector.Depth() > base) collector.LeaveFolder();
            continue;
        }
        const size_t child = folder.children[top.next++];
        if (seen[child]) continue;
        seen[child] = true;
        const CPlace& item = tree.nodes[child];
        if (item.kind == CPlace::Bookmark) {
            // One without an address adds nothing.
            if (!collector.AddBookmark(item.title, item.url, false)) {
                while (collector.Depth() > base) collector.LeaveFolder();
                return false;
            }
        } else if (item.kind == CPlace::Folder && !item.children.empty()) {
            collector.EnterFolder(item.title, false);
            stack.push_back(Frame{child, 0});  // |top| is not used after this
        }
    }
    return true;
}

void Collect(const CPlacesTree& tree, CBookmarkCollector& collector) {
    std::vector<bool> seen(tree.nodes.size(), false);
    for (size_t r = 0; r < kRootCount; ++r) {
        const size_t root = tree.roots[r];
        if (root == kNone || seen[root]) continue;
        if (kRoots[r].folder) collector.EnterFolder(kRoots[r].folder, false);
        const bool more = Walk(tree, root, seen, collector);
        if (kRoots[r].folder) collector.LeaveFolder();
        if (!more) return;
    }
}

// ---------------------------------------------------------------- places.sqlite

std::u16string ColumnText(sqlite3_stmt* statement, int column) {
    const unsigned char* text = sqlite3_column_text(statement, column);
    if (!text) return std::u16string();
    return Utf16FromUtf8(std::string_view(reinterpret_cast<const char*>(text),
                                          static_cast<size_t>(sqlite3_column_bytes(statement, column))));
}

std::string Utf8Path(const HostName& path) {
#ifdef _WIN32
    return Utf8FromUtf16(Utf16FromHostName(path));
#else
    return path;
#endif
}

// The tree of the database |path|, opened read-only; false when it is no
// database of bookmarks.
bool QueryPlaces(const HostName& path, CPlacesTree& tree) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(Utf8Path(path).c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    sqlite3_stmt* statement = nullptr;
    // Pages that do not hold together (a damaged file, a -wal of another
    // database) end the query with an error: then nothing of it is taken.
    const char kQuery[] =
        "SELECT b.id, b.type, b.parent, b.title, b.guid, p.url FROM moz_bookmarks b "
        "LEFT JOIN moz_places p ON p.id = b.fk ORDER BY b.parent, b.position, b.id";
    bool ok = sqlite3_prepare_v2(db, kQuery, -1, &statement, nullptr) == SQLITE_OK;
    std::unordered_map<sqlite3_int64, size_t> index;
    std::vector<std::pair<sqlite3_int64, size_t>> parents;  // in the order of position
    int step = SQLITE_ROW;
    while (ok && (step = sqlite3_step(statement)) == SQLITE_ROW) {
        CPlace place;
        const int type = sqlite3_column_int(statement, 1);
        place.kind = type == 1 ? CPlace::Bookmark : type == 2 ? CPlace::Folder : CPlace::Other;
        place.title = ColumnText(statement, 3);
        if (place.kind == CPlace::Bookmark) place.url = ColumnText(statement, 5);
        const size_t node = tree.nodes.size();
        index[sqlite3_column_int64(statement, 0)] = node;
        parents.emplace_back(sqlite3_column_int64(statement, 2), node);
        const unsigned char* guid = sqlite3_column_text(statement, 4);
        if (guid) tree.TakeRoot(reinterpret_cast<const char*>(guid), node);
        tree.nodes.push_back(std::move(place));
    }
    ok = ok && step == SQLITE_DONE;
    sqlite3_finalize(statement);
    sqlite3_close(db);
    if (!ok) return false;
    for (const auto& p : parents) {
        auto parent = index.find(p.first);
        if (parent != index.end() && parent->second != p.second) tree.nodes[parent->second].children.push_back(p.second);
    }
    return true;
}

// The database and its -wal as one consistent pair: the -wal is read before
// and after the database, and the pair taken only when it did not change
// in between (a checkpoint may run meanwhile).
bool CopyPlaces(IBookmarkFiles& files, const HostName& profile, const HostName& copy) {
    const HostName db = JoinHostPath(profile, "places.sqlite");
    const HostName wal = JoinHostPath(profile, "places.sqlite-wal");
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::string walBefore, bytes, walAfter;
        const bool hasWal = files.ReadWhole(wal, walBefore, kMaxBookmarkFileBytes);
        if (!files.ReadWhole(db, bytes, kMaxBookmarkFileBytes)) return false;
        if (hasWal != files.ReadWhole(wal, walAfter, kMaxBookmarkFileBytes) || walBefore != walAfter) continue;
        walAfter.clear();
        walAfter.shrink_to_fit();
        if (!files.WriteWhole(JoinHostPath(copy, "places.sqlite"), bytes)) return false;
        bytes.clear();
        bytes.shrink_to_fit();
        return !hasWal || files.WriteWhole(JoinHostPath(copy, "places.sqlite-wal"), walBefore);
    }
    return false;
}

bool ReadPlaces(IBookmarkFiles& files, const HostName& profile, CPlacesTree& tree) {
    HostName copy;
    if (!files.MakePrivateFolder(copy)) return false;
    bool read = false;
    try {
        read = CopyPlaces(files, profile, copy) && QueryPlaces(JoinHostPath(copy, "places.sqlite"), tree);
    } catch (...) {
        files.RemovePrivateFolder(copy);
        throw;
    }
    files.RemovePrivateFolder(copy);
    return read;
}

// ---------------------------------------------------------------- backups

const char kMozLz4Magic[] = "mozLz40";  // and its NUL: eight bytes

bool TypeIs(const rapidjson::Value& node, const char* type) {
    const rapidjson::Value* value = JsonMember(node, "type");
    return value && value->IsString() && std::strcmp(value->GetString(), type) == 0;
}

std::u16string TextMember(const rapidjson::Value& node, const char* name) {
    const rapidjson::Value* value = JsonMember(node, name);
    return value && value->IsString() ? JsonText(*value) : std::u16string();
}

// The tree of a backup's JSON, with an explicit stack: nesting costs
// memory, never stack.
bool TreeOfBackup(std::string& json, CPlacesTree& tree) {
    rapidjson::Document doc;
    if (!ParseJsonInPlace(json, doc) || !doc.IsObject()) return false;
    struct Pending {
        const rapidjson::Value* node;
        size_t parent;
    };
    std::vector<Pending> stack{{&doc, kNone}};
    while (!stack.empty()) {
        const Pending p = stack.back();
        stack.pop_back();
        const rapidjson::Value& node = *p.node;
        if (!node.IsObject()) continue;
        CPlace place;
        if (TypeIs(node, "text/x-moz-place")) {
            place.kind = CPlace::Bookmark;
            place.url = TextMember(node, "uri");
        } else if (TypeIs(node, "text/x-moz-place-container")) {
            place.kind = CPlace::Folder;
        }
        place.title = TextMember(node, "title");
        const size_t index = tree.nodes.size();
        tree.nodes.push_back(std::move(place));
        if (p.parent != kNone) tree.nodes[p.parent].children.push_back(index);
        const rapidjson::Value* guid = JsonMember(node, "guid");
        if (guid && guid->IsString()) tree.TakeRoot(std::string_view(guid->GetString(), guid->GetStringLength()), index);
        const rapidjson::Value* children = JsonMember(node, "children");
        if (!children || !children->IsArray()) continue;
        // In the order of "index", where the file gives one; pushed last
        // first, so that they come off the stack in order.
        std::vector<const rapidjson::Value*> ordered;
        for (const rapidjson::Value& child : children->GetArray()) ordered.push_back(&child);
        auto position = [](const rapidjson::Value* v) {
            const rapidjson::Value* at = JsonMember(*v, "index");
            return at && at->IsInt64() ? at->GetInt64() : INT64_MAX;
        };
        std::stable_sort(ordered.begin(), ordered.end(),
                         [&](const rapidjson::Value* a, const rapidjson::Value* b) { return position(a) < position(b); });
        for (auto it = ordered.rbegin(); it != ordered.rend(); ++it) stack.push_back(Pending{*it, index});
    }
    return true;
}

// The newest "bookmarks-*.jsonlz4" of the profile: the names begin with
// the date.
bool NewestBackup(IBookmarkFiles& files, const HostName& profile, HostName& newest) {
    const HostName folder = JoinHostPath(profile, "bookmarkbackups");
    HostName best;
    for (const HostName& name : files.Files(folder)) {
        const std::string text = TextFromHostName(name);
        const std::string prefix = "bookmarks-", suffix = ".jsonlz4";
        if (text.size() <= prefix.size() + suffix.size() || text.compare(0, prefix.size(), prefix) != 0 ||
            !EqualsAsciiNoCase(std::string_view(text).substr(text.size() - suffix.size()), suffix))
            continue;
        if (best.empty() || best < name) best = name;
    }
    if (best.empty()) return false;
    newest = JoinHostPath(folder, "") + best;
    return true;
}

bool ReadBackup(IBookmarkFiles& files, const HostName& profile, CPlacesTree& tree) {
    HostName path;
    std::string file, json;
    if (!NewestBackup(files, profile, path) || !files.ReadWhole(path, file, kMaxBookmarkFileBytes)) return false;
    if (!DecompressMozLz4(file, json)) return false;
    file.clear();
    file.shrink_to_fit();
    return TreeOfBackup(json, tree);
}

}  // namespace

bool DecompressMozLz4(const std::string& file, std::string& json) {
    json.clear();
    const size_t header = sizeof kMozLz4Magic + 4;
    if (file.size() < header || std::memcmp(file.data(), kMozLz4Magic, sizeof kMozLz4Magic) != 0) return false;
    const unsigned char* size = reinterpret_cast<const unsigned char*>(file.data()) + sizeof kMozLz4Magic;
    const size_t stated = size[0] | size[1] << 8 | size[2] << 16 | static_cast<size_t>(size[3]) << 24;
    const size_t packed = file.size() - header;
    // A block expands at most 255 times: a larger stated size is a lie, and
    // must not cost the memory it names.
    if (stated > kMaxBookmarkFileBytes || stated / 255 > packed || packed > static_cast<size_t>(INT32_MAX))
        return false;
    json.resize(stated);
    const int made = LZ4_decompress_safe(file.data() + header, stated ? &json[0] : nullptr, static_cast<int>(packed),
                                         static_cast<int>(stated));
    if (made < 0 || static_cast<size_t>(made) != stated) {
        json.clear();
        return false;
    }
    return true;
}

SourceRead ReadFirefoxProfile(IBookmarkFiles& files, const HostName& profile, CBookmarkCollector& collector) {
    CPlacesTree tree;
    if (!ReadPlaces(files, profile, tree)) {
        tree = CPlacesTree();
        if (!ReadBackup(files, profile, tree)) return SourceRead::Failed;
    }
    Collect(tree, collector);
    if (collector.TooLarge()) return SourceRead::TooLarge;
    return collector.Cut() ? SourceRead::Cut : SourceRead::Ok;
}
