// Firefox's bookmark stores made for tests: a places.sqlite through SQLite,
// and a bookmarkbackups/*.jsonlz4 through LZ4, from one list of items.
#pragma once
#include <lz4.h>
#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <vector>

namespace firefox {

enum { kBookmark = 1, kFolder = 2, kSeparator = 3 };

// One row of moz_bookmarks; |url| null for none, |title| null for NULL.
struct CItem {
    long id;
    int type;
    long parent;
    int position;
    const char* title;
    const char* guid;
    const char* url;
};

// The roots as a fresh profile has them, ids 1 to 6.
inline std::vector<CItem> Roots()
{
    return {{1, kFolder, 0, 0, "", "root________", nullptr},   {2, kFolder, 1, 0, "menu", "menu________", nullptr},
            {3, kFolder, 1, 1, "toolbar", "toolbar_____", nullptr}, {4, kFolder, 1, 2, "tags", "tags________", nullptr},
            {5, kFolder, 1, 3, "unfiled", "unfiled_____", nullptr}, {6, kFolder, 1, 4, "mobile", "mobile______", nullptr}};
}

// A places.sqlite at |path| (UTF-8) in WAL mode, its writer kept open until
// Close: what was added last stays in the -wal, as while Firefox runs.
class CPlaces {
public:
    explicit CPlaces(const std::string& path)
    {
        m_ok = sqlite3_open(path.c_str(), &m_db) == SQLITE_OK &&
               Exec("PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;"
                    "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR);"
                    "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL,"
                    " parent INTEGER, position INTEGER, title LONGVARCHAR, guid TEXT);"
                    // The browser's own index, which gives the order of position.
                    "CREATE INDEX moz_bookmarks_parentindex ON moz_bookmarks (parent, position);");
    }
    ~CPlaces() { Close(); }
    bool ok() const { return m_ok; }

    bool Add(const std::vector<CItem>& items)
    {
        for (const CItem& i : items) {
            sqlite3_stmt* s = nullptr;
            const bool hasUrl = i.url != nullptr;
            if (hasUrl) {
                m_ok = m_ok && sqlite3_prepare_v2(m_db, "INSERT INTO moz_places (id, url) VALUES (?, ?)", -1, &s,
                                                  nullptr) == SQLITE_OK;
                if (m_ok) {
                    sqlite3_bind_int64(s, 1, i.id);
                    sqlite3_bind_text(s, 2, i.url, -1, SQLITE_TRANSIENT);
                    m_ok = sqlite3_step(s) == SQLITE_DONE;
                }
                sqlite3_finalize(s);
            }
            m_ok = m_ok && sqlite3_prepare_v2(m_db,
                                              "INSERT INTO moz_bookmarks (id, type, fk, parent, position, title, guid)"
                                              " VALUES (?, ?, ?, ?, ?, ?, ?)",
                                              -1, &s, nullptr) == SQLITE_OK;
            if (m_ok) {
                sqlite3_bind_int64(s, 1, i.id);
                sqlite3_bind_int(s, 2, i.type);
                if (hasUrl) sqlite3_bind_int64(s, 3, i.id);
                sqlite3_bind_int64(s, 4, i.parent);
                sqlite3_bind_int(s, 5, i.position);
                if (i.title) sqlite3_bind_text(s, 6, i.title, -1, SQLITE_TRANSIENT);
                sqlite3_bind_text(s, 7, i.guid, -1, SQLITE_TRANSIENT);
                m_ok = sqlite3_step(s) == SQLITE_DONE;
            }
            sqlite3_finalize(s);
        }
        return m_ok;
    }
    // Moves everything from the -wal into the database file.
    bool Checkpoint() { return Exec("PRAGMA wal_checkpoint(TRUNCATE);"); }
    bool Exec(const char* sql) { return m_db && sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }
    void Close()
    {
        if (m_db) sqlite3_close(m_db);
        m_db = nullptr;
    }

private:
    sqlite3* m_db = nullptr;
    bool m_ok = false;
};

inline std::string JsonString(const char* text)
{
    std::string out = "\"";
    for (const char* p = text; *p; ++p) {
        if (*p == '"' || *p == '\\')
            out += '\\';
        out += *p;
    }
    return out + "\"";
}

// The backup's JSON of |items| (parent ids as written), from the item with
// parent 0, as Firefox writes it: "index", "type", "uri", "children".
inline std::string BackupJson(const std::vector<CItem>& items, long node = 1)
{
    const CItem* self = nullptr;
    for (const CItem& i : items)
        if (i.id == node)
            self = &i;
    if (!self)
        return "{}";
    const char* type = self->type == kBookmark   ? "text/x-moz-place"
                       : self->type == kFolder   ? "text/x-moz-place-container"
                       : self->type == kSeparator ? "text/x-moz-place-separator"
                                                  : "text/x-unknown";
    std::string out = "{\"guid\":" + JsonString(self->guid) + ",\"index\":" + std::to_string(self->position) +
                      ",\"type\":" + JsonString(type);
    if (self->title)
        out += ",\"title\":" + JsonString(self->title);
    if (self->url)
        out += ",\"uri\":" + JsonString(self->url);
    std::string children;
    for (const CItem& i : items)
        if (i.parent == node && i.id != node)
            children += (children.empty() ? "" : ",") + BackupJson(items, i.id);
    if (self->type == kFolder)
        out += ",\"children\":[" + children + "]";
    return out + "}";
}

// "mozLz40\0", the size, one LZ4 block; |statedSize| replaces the true size
// when not negative.
inline std::string MozLz4(const std::string& json, long long statedSize = -1)
{
    std::string block(static_cast<size_t>(LZ4_compressBound(static_cast<int>(json.size()))), '\0');
    const int packed = LZ4_compress_default(json.data(), &block[0], static_cast<int>(json.size()),
                                            static_cast<int>(block.size()));
    block.resize(packed > 0 ? static_cast<size_t>(packed) : 0);
    const uint32_t size = static_cast<uint32_t>(statedSize < 0 ? static_cast<long long>(json.size()) : statedSize);
    std::string out("mozLz40", 8);
    for (int k = 0; k < 4; ++k)
        out.push_back(static_cast<char>((size >> (8 * k)) & 0xFF));
    return out + block;
}

}  // namespace firefox
