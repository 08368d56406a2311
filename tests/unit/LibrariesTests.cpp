#include <gtest/gtest.h>

#include <lz4.h>
#include <sqlite3.h>

#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

// SQLite and LZ4 are built from Debian's sources by our own CMake rules:
// these rows check that the build gives working libraries with the options
// it sets.

namespace {

// An in-memory database, closed whatever the test's outcome.
class CMemoryDb {
public:
    CMemoryDb() { m_ok = sqlite3_open(":memory:", &m_db) == SQLITE_OK; }
    ~CMemoryDb() { sqlite3_close(m_db); }
    CMemoryDb(const CMemoryDb&) = delete;
    CMemoryDb& operator=(const CMemoryDb&) = delete;
    bool ok() const { return m_ok; }
    sqlite3* get() const { return m_db; }

    // Runs |sql| (one statement) and gives each row's columns as texts, "NULL"
    // for a null; false when it cannot be prepared or fails while running.
    bool Query(const std::string& sql, std::vector<std::vector<std::string>>* rows) const {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) return false;
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            std::vector<std::string> row;
            for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
                row.push_back(text ? std::string(text, sqlite3_column_bytes(stmt, i)) : "NULL");
            }
            rows->push_back(row);
        }
        sqlite3_finalize(stmt);
        return rc == SQLITE_DONE;
    }

private:
    sqlite3* m_db = nullptr;
    bool m_ok = false;
};

std::string Decompress(const std::string& block, int capacity, int* result) {
    std::string out(static_cast<size_t>(capacity), '\0');
    *result = LZ4_decompress_safe(block.data(), &out[0], static_cast<int>(block.size()), capacity);
    return out.substr(0, *result > 0 ? static_cast<size_t>(*result) : 0);
}

}  // namespace

// Rows go in as bound parameters and come back from a query byte for byte,
// a null apart from an empty text.
TEST(LibrariesSqlite, RowsComeBackAsStored) {
    const struct { const char* title; const char* url; const char* length; } rows[] = {
        {"Example", "https://example.com/", "7"},
        {u8"表示", "https://example.jp/", "2"},  // UTF-8: two characters, six bytes
        {"it's \"quoted\"", "about:blank", "13"},
        {"", "https://empty.example/", "0"},       // empty, not null
        {nullptr, "https://untitled.example/", "NULL"},
    };
    CMemoryDb db;
    ASSERT_TRUE(db.ok());
    std::vector<std::vector<std::string>> got;
    ASSERT_TRUE(db.Query("CREATE TABLE marks (id INTEGER PRIMARY KEY, title TEXT, url TEXT)", &got));
    sqlite3_stmt* insert = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db.get(), "INSERT INTO marks (title, url) VALUES (?1, ?2)", -1,
                                 &insert, nullptr), SQLITE_OK);
    for (const auto& r : rows) {
        if (r.title) sqlite3_bind_text(insert, 1, r.title, -1, SQLITE_TRANSIENT);
        else sqlite3_bind_null(insert, 1);
        sqlite3_bind_text(insert, 2, r.url, -1, SQLITE_TRANSIENT);
        EXPECT_EQ(sqlite3_step(insert), SQLITE_DONE) << r.url;
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);

    ASSERT_TRUE(db.Query("SELECT title, url, length(title) FROM marks ORDER BY id", &got));
    ASSERT_EQ(got.size(), std::size(rows));
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i][0], rows[i].title ? rows[i].title : "NULL") << rows[i].url;
        EXPECT_EQ(got[i][1], rows[i].url);
        EXPECT_EQ(got[i][2], rows[i].length) << rows[i].url;
    }
    EXPECT_EQ(std::string(u8"表示"), "\xE8\xA1\xA8\xE7\xA4\xBA");  // not code page 932
}

// The options our build sets, each seen in what SQLite does; a row without a
// value is a statement SQLite must refuse to prepare.
TEST(LibrariesSqlite, BuildOptions) {
    const struct { const char* sql; const char* value; } rows[] = {
        {"SELECT \"title\" FROM marks", "a"},
        {"SELECT \"no such column\" FROM marks", nullptr},  // no string in double quotes
        {"SELECT load_extension('x')", nullptr},            // not even the function
        {"SELECT json_extract('{\"a\":[1,2]}', '$.a[1]')", "2"},
    };
    CMemoryDb db;
    ASSERT_TRUE(db.ok());
    std::vector<std::vector<std::string>> got;
    ASSERT_TRUE(db.Query("CREATE TABLE marks (title TEXT)", &got));
    ASSERT_TRUE(db.Query("INSERT INTO marks VALUES ('a')", &got));
    for (const auto& r : rows) {
        sqlite3_stmt* stmt = nullptr;
        const bool prepared = sqlite3_prepare_v2(db.get(), r.sql, -1, &stmt, nullptr) == SQLITE_OK;
        EXPECT_EQ(prepared, r.value != nullptr) << r.sql;
        if (prepared && r.value) {
            EXPECT_EQ(sqlite3_step(stmt), SQLITE_ROW) << r.sql;
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
            EXPECT_STREQ(text, r.value) << r.sql;
        }
        sqlite3_finalize(stmt);
    }
    EXPECT_EQ(sqlite3_threadsafe(), 2);
    for (const char* option : {"THREADSAFE=2", "OMIT_LOAD_EXTENSION", "DEFAULT_MEMSTATUS=0", "DQS=0"})
        EXPECT_TRUE(sqlite3_compileoption_used(option)) << option;
}

// Compressed and decompressed again, each row gives back exactly its bytes.
TEST(LibrariesLz4, RoundTrip) {
    std::string json;
    for (int i = 0; i < 1000; ++i) json += "{\"title\":\"Example\",\"uri\":\"https://example.com/\"},";
    std::string junk(70000, '\0');  // incompressible, over the 64 KiB window
    uint32_t x = 2463534242u;
    for (char& c : junk) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x);
    }
    const struct { const char* name; std::string data; size_t most; } rows[] = {
        {"empty", "", 1},
        {"one byte", "a", 2},
        {"zero bytes inside", std::string("a\0b\0\0c", 6), 7},
        {"repetitive JSON", json, json.size() / 20},
        {"junk", junk, static_cast<size_t>(LZ4_compressBound(70000))},
    };
    for (const auto& r : rows) {
        const int size = static_cast<int>(r.data.size());
        std::string block(static_cast<size_t>(LZ4_compressBound(size)), '\0');
        const int packed = LZ4_compress_default(r.data.data(), &block[0], size, static_cast<int>(block.size()));
        ASSERT_GT(packed, 0) << r.name;
        EXPECT_LE(static_cast<size_t>(packed), r.most) << r.name;
        block.resize(static_cast<size_t>(packed));
        int result = 0;
        EXPECT_TRUE(Decompress(block, size, &result) == r.data) << r.name;
        EXPECT_EQ(result, size) << r.name;
        if (size > 0) {
            Decompress(block.substr(0, block.size() - 1), size, &result);
            EXPECT_LT(result, 0) << r.name << ": cut short by one byte";
        }
    }
}

// Blocks made by hand: what decodes and what LZ4 refuses (a negative result).
TEST(LibrariesLz4, HandMadeBlocks) {
    const std::string end12 = std::string("\xC0", 1) + "123456789012";  // 12 literals, the last
    const struct { const char* name; std::string block; int capacity; int result; std::string text; } rows[] = {
        {"literals only", "\x50hello", 5, 5, "hello"},
        {"shorter than the room", "\x50hello", 10, 5, "hello"},
        {"a match repeats what came before", std::string("\x22" "ab\x02\x00", 5) + end12, 20, 20,
         "abababab123456789012"},
        {"no room for all of it", "\x50hello", 4, -1, ""},
        {"literals past the block's end", "\x50he", 5, -1, ""},
        {"bytes after the last literals", "\x50hello!", 5, -1, ""},
        {"a match before the start", std::string("\x10" "a\x05\x00", 4) + end12, 17, -1, ""},
        {"empty block", "", 5, -1, ""},
    };
    for (const auto& r : rows) {
        int result = 0;
        const std::string text = Decompress(r.block, r.capacity, &result);
        if (r.result < 0) {
            EXPECT_LT(result, 0) << r.name;
        } else {
            EXPECT_EQ(result, r.result) << r.name;
            EXPECT_EQ(text, r.text) << r.name;
        }
    }
}
