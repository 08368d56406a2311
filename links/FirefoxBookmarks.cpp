#include "links/FirefoxBookmarks.h"

#include <lz4.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/Text.h"
#include "links/Json.h"

namespace {

// Items kept in blocks that never move: growing copies nothing, and no page
// is written twice (fresh pages cost more than the copying itself).
template <typename T>
class CBlocks {
public:
    size_t size() const { return m_size; }
    T& operator[](size_t i) { return m_blocks[i / kPerBlock][i % kPerBlock]; }
    const T& operator[](size_t i) const { return m_blocks[i / kPerBlock][i % kPerBlock]; }
    void push_back(const T& item) {
        if (m_size % kPerBlock == 0) {
            m_blocks.emplace_back();
            m_blocks.back().reserve(kPerBlock);
        }
        m_blocks.back().push_back(item);
        ++m_size;
    }

private:
    static constexpr size_t kPerBlock = 4096;
    std::vector<std::vector<T>> m_blocks;
    size_t m_size = 0;
};

// Copies of texts, kept in blocks that never move.
class CTexts {
public:
    std::string_view Keep(std::string_view text) {
        if (text.empty()) return std::string_view();
        if (m_blocks.empty() || m_blocks.back().capacity() - m_blocks.back().size() < text.size()) {
            m_blocks.emplace_back();
            m_blocks.back().reserve(std::max(kBlockBytes, text.size()));
        }
        std::string& block = m_blocks.back();
        const size_t at = block.size();
        block.append(text);
        return std::string_view(block.data() + at, text.size());
    }

private:
    static constexpr size_t kBlockBytes = 64 * 1024;
    std::vector<std::string> m_blocks;  // a string's characters stay where they are when it moves
};

using NodeIndex = uint32_t;
const NodeIndex kNone = UINT32_MAX;

// One bookmark, folder or other item of either store: its title and
// address (UTF-8, as the store has them) in the tree's texts, its children
// a chain in the order of their position. No allocation of its own.
struct CPlace {
    enum Kind : uint8_t { Other, Bookmark, Folder };
    const char* title = nullptr;
    const char* url = nullptr;
    uint32_t titleSize = 0;
    uint32_t urlSize = 0;
    NodeIndex firstChild = kNone;
    NodeIndex lastChild = kNone;
    NodeIndex nextSibling = kNone;
    Kind kind = Other;
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
const size_t kRootGuidSize = 12;

// The root that |guid| names, or -1.
int RootOf(std::string_view guid) {
    if (guid.size() != kRootGuidSize) return -1;
    for (size_t r = 0; r < kRootCount; ++r)
        if (guid == kRoots[r].guid) return static_cast<int>(r);
    return -1;
}

struct CPlacesTree {
    CBlocks<CPlace> nodes;
    CTexts texts;
    NodeIndex roots[kRootCount] = {kNone, kNone, kNone, kNone};

    // A new item, or false when there can be no more.
    bool Add(CPlace::Kind kind, std::string_view title, std::string_view url, NodeIndex& index) {
        if (nodes.size() >= kNone || title.size() > UINT32_MAX || url.size() > UINT32_MAX) return false;
        CPlace place;
        place.kind = kind;
        const std::string_view t = texts.Keep(title);
        const std::string_view u = texts.Keep(url);
        place.title = t.data();
        place.titleSize = static_cast<uint32_t>(t.size());
        place.url = u.data();
        place.urlSize = static_cast<uint32_t>(u.size());
        index = static_cast<NodeIndex>(nodes.size());
        nodes.push_back(place);
        return true;
    }
    // |child| as the last child of |parent| so far.
    void AddChild(NodeIndex parent, NodeIndex child) {
        CPlace& p = nodes[parent];
        if (p.lastChild == kNone)
            p.firstChild = child;
        else
            nodes[p.lastChild].nextSibling = child;
        p.lastChild = child;
    }
};

std::string_view TitleOf(const CPlace& place) { return std::string_view(place.title, place.titleSize); }
std::string_view UrlOf(const CPlace& place) { return std::string_view(place.url, place.urlSize); }

// The bookmarks below |root|, depth first, each item at most once (a
// damaged store may make a folder its own ancestor). False once the
// collector refuses a bookmark. Titles are made UTF-16 in |title|, one at
// a time.
bool Walk(const CPlacesTree& tree, NodeIndex root, std::vector<bool>& seen, std::u16string& title,
          CBookmarkCollector& collector) {
    std::vector<NodeIndex> stack{tree.nodes[root].firstChild};  // the next child of each open folder
    seen[root] = true;
    const size_t base = collector.Depth();
    while (!stack.empty()) {
        const NodeIndex child = stack.back();
        if (child == kNone) {
            stack.pop_back();
            if (collector.Depth() > base) collector.LeaveFolder();
            continue;
        }
        const CPlace& item = tree.nodes[child];
        stack.back() = item.nextSibling;
        if (seen[child]) continue;
        seen[child] = true;
        const bool folder = item.kind == CPlace::Folder && item.firstChild != kNone;
        if (item.kind != CPlace::Bookmark && !folder) continue;
        title.clear();
        AppendUtf16FromUtf8(TitleOf(item), title);
        if (folder) {
            collector.EnterFolder(title, false);
            stack.push_back(item.firstChild);
        } else if (!collector.AddBookmark(title, UrlOf(item), false)) {  // one without an address adds nothing
            while (collector.Depth() > base) collector.LeaveFolder();
            return false;
        }
    }
    return true;
}

void Collect(const CPlacesTree& tree, CBookmarkCollector& collector) {
    size_t bookmarks = 0;
    for (size_t k = 0; k < tree.nodes.size(); ++k) bookmarks += tree.nodes[k].kind == CPlace::Bookmark;
    collector.Expect(bookmarks);
    std::vector<bool> seen(tree.nodes.size(), false);
    std::u16string title;
    for (size_t r = 0; r < kRootCount; ++r) {
        const NodeIndex root = tree.roots[r];
        if (root == kNone || seen[root]) continue;
        if (kRoots[r].folder) collector.EnterFolder(kRoots[r].folder, false);
        const bool more = Walk(tree, root, seen, title, collector);
        if (kRoots[r].folder) collector.LeaveFolder();
        if (!more) return;
    }
}

// ---------------------------------------------------------------- places.sqlite

// The text of |column| (UTF-8).
std::string_view ColumnText(sqlite3_stmt* statement, int column) {
    const unsigned char* text = sqlite3_column_text(statement, column);
    if (!text) return std::string_view();
    return std::string_view(reinterpret_cast<const char*>(text),
                            static_cast<size_t>(sqlite3_column_bytes(statement, column)));
}

std::string Utf8Path(const HostName& path) {
#ifdef _WIN32
    return Utf8FromUtf16(Utf16FromHostName(path));
#else
    return path;
#endif
}

// Every item of moz_bookmarks with its address, in the order of position
// within each parent (Firefox's index on parent and position gives it).
const char kRowsQuery[] =
    "SELECT b.id, b.type, b.parent, b.title, b.guid, p.url FROM moz_bookmarks b "
    "LEFT JOIN moz_places p ON p.id = b.fk ORDER BY b.parent, b.position, b.id";
enum { kIdColumn, kTypeColumn, kParentColumn, kTitleColumn, kGuidColumn, kUrlColumn };

// A prepared statement, finalized however the reading ends.
struct CStatement {
    sqlite3_stmt* statement = nullptr;
    ~CStatement() { sqlite3_finalize(statement); }
};

// The rows of the query into |tree|, each folder's children in the order of
// their position; false when the query fails.
bool ReadRows(sqlite3* db, CPlacesTree& tree) {
    CStatement prepared;
    // Pages that do not hold together (a damaged file, a -wal of another
    // database) end the query with an error: then nothing of it is taken.
    bool ok = sqlite3_prepare_v2(db, kRowsQuery, -1, &prepared.statement, nullptr) == SQLITE_OK;
    sqlite3_stmt* const statement = prepared.statement;
    // Each row's id and parent, in the order of the rows.
    std::vector<std::pair<sqlite3_int64, sqlite3_int64>> links;
    int step = SQLITE_ROW;
    while (ok && (step = sqlite3_step(statement)) == SQLITE_ROW) {
        const int type = sqlite3_column_int(statement, kTypeColumn);
        const CPlace::Kind kind = type == 1 ? CPlace::Bookmark : type == 2 ? CPlace::Folder : CPlace::Other;
        NodeIndex node;
        if (!tree.Add(kind, ColumnText(statement, kTitleColumn),
                      kind == CPlace::Bookmark ? ColumnText(statement, kUrlColumn) : std::string_view(), node))
            return false;
        links.emplace_back(sqlite3_column_int64(statement, kIdColumn), sqlite3_column_int64(statement, kParentColumn));
        // Where a damaged table repeats a root's guid, the last row counts.
        const unsigned char* guid = sqlite3_column_text(statement, kGuidColumn);
        const int root = guid ? RootOf(reinterpret_cast<const char*>(guid)) : -1;
        if (root >= 0) tree.roots[root] = node;
    }
    if (!ok || step != SQLITE_DONE) return false;
    // The node of each id: a plain array where the ids are about as many as
    // the rows, as the database gives them out, else a map. A repeated id:
    // the last row counts.
    const size_t n = links.size();
    sqlite3_int64 lowest = 0, highest = -1;
    for (const auto& link : links) {
        lowest = std::min(lowest, link.first);
        highest = std::max(highest, link.first);
    }
    std::vector<NodeIndex> byId;
    std::unordered_map<sqlite3_int64, NodeIndex> byIdMap;
    const bool dense =
        lowest >= 0 && static_cast<unsigned long long>(highest) < 4 * static_cast<unsigned long long>(n) + 1024;
    if (dense) byId.assign(static_cast<size_t>(highest + 1), kNone);
    for (size_t k = 0; k < n; ++k) {
        if (dense)
            byId[static_cast<size_t>(links[k].first)] = static_cast<NodeIndex>(k);
        else
            byIdMap[links[k].first] = static_cast<NodeIndex>(k);
    }
    for (size_t k = 0; k < n; ++k) {
        NodeIndex parent = kNone;
        const sqlite3_int64 id = links[k].second;
        if (dense) {
            if (id >= 0 && id <= highest) parent = byId[static_cast<size_t>(id)];
        } else {
            auto found = byIdMap.find(id);
            if (found != byIdMap.end()) parent = found->second;
        }
        if (parent != kNone && parent != k) tree.AddChild(parent, static_cast<NodeIndex>(k));
    }
    return true;
}

// The tree of the database |path|, opened read-only; false when it is no
// database of bookmarks.
bool QueryPlaces(const HostName& path, CPlacesTree& tree) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(Utf8Path(path).c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    bool read = false;
    try {
        read = ReadRows(db, tree);
    } catch (...) {
        sqlite3_close(db);
        throw;
    }
    sqlite3_close(db);
    return read;
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

// The string |name| of |node| (UTF-8); empty where it has none.
std::string_view StringMember(const rapidjson::Value& node, const char* name) {
    const rapidjson::Value* value = JsonMember(node, name);
    if (!value || !value->IsString()) return std::string_view();
    return std::string_view(value->GetString(), value->GetStringLength());
}

// The tree of a backup's JSON, with an explicit stack: nesting costs
// memory, never stack.
bool TreeOfBackup(std::string& json, CPlacesTree& tree) {
    rapidjson::Document doc;
    if (!ParseJsonInPlace(json, doc) || !doc.IsObject()) return false;
    struct Pending {
        const rapidjson::Value* node;
        NodeIndex parent;
    };
    std::vector<Pending> stack{{&doc, kNone}};
    while (!stack.empty()) {
        const Pending p = stack.back();
        stack.pop_back();
        const rapidjson::Value& node = *p.node;
        if (!node.IsObject()) continue;
        CPlace::Kind kind = CPlace::Other;
        if (TypeIs(node, "text/x-moz-place"))
            kind = CPlace::Bookmark;
        else if (TypeIs(node, "text/x-moz-place-container"))
            kind = CPlace::Folder;
        NodeIndex index;
        if (!tree.Add(kind, StringMember(node, "title"),
                      kind == CPlace::Bookmark ? StringMember(node, "uri") : std::string_view(), index))
            return false;
        if (p.parent != kNone) tree.AddChild(p.parent, index);
        const rapidjson::Value* guid = JsonMember(node, "guid");
        if (guid && guid->IsString()) {
            const int root = RootOf(std::string_view(guid->GetString(), guid->GetStringLength()));
            if (root >= 0) tree.roots[root] = index;
        }
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
