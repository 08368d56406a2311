#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "export/Export.h"
#include "links/Import.h"
#include "links/Scan.h"
#include "links/Shortcut.h"
#include "support/ExpectedPages.h"
#include "support/Fakes.h"
#include "support/FolderSources.h"
#include "support/TempDir.h"

namespace {

struct CContentCase {
    const char* name;
    std::string content;
    std::string url;
};

// Writes each row's content into one file and reads it back. Rows may be
// megabytes long, so a mismatch shows its size and start only.
void ExpectUrls(const std::vector<CContentCase>& rows) {
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    for (const auto& r : rows) {
        CTempDir::Put("f.url", r.content);
        const std::string got = ReadShortcutUrl("f.url");
        EXPECT_EQ(got.size(), r.url.size()) << r.name;
        EXPECT_TRUE(got == r.url) << r.name << ": " << got.substr(0, 80);
    }
}

// |count| bytes drawn from |alphabet| by a fixed seed (xorshift: megabytes
// of junk in milliseconds).
std::string Junk(size_t count, const std::string& alphabet, uint32_t seed) {
    uint32_t x = seed * 2654435761u + 1;
    std::string out(count, '\0');
    for (char& c : out) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = alphabet[x % alphabet.size()];
    }
    return out;
}

std::string Range(int from, int to) {
    std::string out;
    for (int c = from; c <= to; ++c) out.push_back(static_cast<char>(c));
    return out;
}

// Each character of |ascii| as two bytes after the byte order mark.
std::string Utf16(const std::string& ascii, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : ascii) {
        if (bigEndian) out.push_back('\0');
        out.push_back(c);
        if (!bigEndian) out.push_back('\0');
    }
    return out;
}

}  // namespace

TEST(LinksShortcut, SecondWordAfterItsFirstEquals) {
    using namespace std::string_literals;
    const std::string text = "[InternetShortcut]\r\nURL=http://x.example/\r\n";
    ExpectUrls({
        {"usual layout", "[InternetShortcut]\r\nURL=http://example.com/\r\n", "http://example.com/"},
        {"line feeds only", "[InternetShortcut]\nURL=http://example.com/a\n", "http://example.com/a"},
        {"equals in the value", "[InternetShortcut]\nURL=http://e.com/q?a=b&c=d\n", "http://e.com/q?a=b&c=d"},
        {"other leading section", "[DEFAULT]\r\nBASEURL=http://base/\r\n[InternetShortcut]\r\nURL=http://x/\r\n",
         "http://base/"},
        {"key name not compared", "[X]\nHREF=http://h/\n", "http://h/"},
        {"space cuts the URL", "[InternetShortcut]\nURL=http://a b/\n", "http://a"},
        {"nothing after equals", "[InternetShortcut]\nURL=\n", ""},
        {"no equals", "[InternetShortcut]\nURL\n", ""},
        {"single word with equals", "URL=http://only/", "http://only/"},
        {"single word without equals", "[InternetShortcut]\r\n", ""},
        {"third word ignored", "a=1 b=2 c=3", "2"},
        {"other white space", "[I]\t\v\f URL=y\r", "y"},
        {"leading white space", "\r\n\t [I]\n\nURL=z", "z"},
        {"two-byte characters kept", "[I]\nURL=http://例え.jp/ソ表\n", "http://例え.jp/ソ表"},
        {"empty file", "", ""},
        {"white space only", " \r\n\t", ""},
        {"NUL ends the word's text", "[I]\nURL=http://a\0b/\n"s, "http://a"},
        {"word starting with NUL", "[I]\n\0URL=x\n"s, ""},
        {"NUL before the equals", "[I]\nUR\0L=x\n"s, ""},
        {"NUL in the first word only", "[I\0]\nURL=v\n"s, "v"},
        {"Ctrl-Z ends the file", "[I]\nURL=http://a\x1A" "bc\n", "http://a"},
        {"Ctrl-Z before the second word", "K=first\n\x1AURL=x\n", "first"},
        {"Ctrl-Z first", "\x1A[I]\nURL=x", ""},
        // Saved as UTF-16 by an editor: the second word is a lone NUL.
        {"UTF-16 little-endian", Utf16(text, false), ""},
        {"UTF-16 big-endian", Utf16(text, true), ""},
        {"UTF-16 on one line", Utf16("URL=http://x.example/", false), ""},
        // A UTF-8 mark only lengthens the first word.
        {"UTF-8 with mark", "\xEF\xBB\xBF" + text, "http://x.example/"},
        {"UTF-8 mark alone before the key", "\xEF\xBB\xBF URL=http://y/", "http://y/"},
    });
}

// Words are read whole however long, across the reader's chunks; ten
// mebibytes of junk are read to their end and the word rule decides.
TEST(LinksShortcut, LongWordsReadWhole) {
    const size_t kTenMiB = 10u << 20;
    const std::string value(100000, 'a');
    std::string mixed;
    for (int k = 0; mixed.size() < 150000; ++k) mixed += "ソ表=%" + std::to_string(k);
    // Bytes that are never white space, NUL, Ctrl-Z or "=".
    const std::string wordBytes = Range(0x21, 0x3C) + Range(0x3E, 0xFF);
    const std::string highBytes = Range(0x80, 0xFF);
    const std::string huge = Junk(kTenMiB, wordBytes, 2);
    ExpectUrls({
        {"100000-byte address", "[InternetShortcut]\r\nURL=" + value + "\r\n", value},
        {"200000-byte first word", "[" + std::string(200000, 'x') + "]\nURL=http://x/\n", "http://x/"},
        {"bytes of every kind across chunks", "[I]\nURL=" + mixed + " tail", mixed},
        {"one huge word without equals", Junk(kTenMiB, highBytes, 1), ""},
        {"huge address after the key", "[InternetShortcut]\r\nURL=" + huge + "\r\n", huge},
        {"huge first word, then the address", Junk(kTenMiB, wordBytes, 3) + "\nURL=http://after/\n",
         "http://after/"},
        {"words of junk: the second one counts",
         Junk(kTenMiB / 2, highBytes, 4) + " k=v " + Junk(kTenMiB / 2, wordBytes, 5), "v"},
        {"NUL bytes only", std::string(kTenMiB, '\0'), ""},
        {"white space only", Junk(kTenMiB, " \t\r\n\v\f", 6), ""},
    });
}

// Entries of the scan name their files with "\\"; the native build reads them
// through the host path, second bytes 0x5C included.
TEST(LinksShortcut, ReadsByScanPath) {
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    // Made by its host path, so that HostPath is not on both sides.
    std::filesystem::create_directories("scan/表");
    std::ofstream("scan/表/ソ.url", std::ios::binary) << "[InternetShortcut]\r\nURL=http://scan/\r\n";
    EXPECT_EQ(ReadShortcutUrl("scan\\表\\ソ.url"), "http://scan/");
}

// What cannot be read gives the empty address; a name that leads to an
// endless stream ends the read instead of hanging the Write (its bytes are
// NULs, so no word).
TEST(LinksShortcut, UnreadableGivesEmpty) {
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    CTempDir::MakeFolder("folder.url");
    ASSERT_TRUE(CTempDir::Link("/dev/zero", "zero.url"));
    for (const char* name : {"missing.url", "folder.url", "", "zero.url"})
        EXPECT_EQ(ReadShortcutUrl(name), "") << name;
}

// Import on a real tree, then the files change under the list: a deleted
// file, a file replaced by a folder and one without read permission (as
// root, which reads any file, that one is replaced by a folder instead),
// next to folders that the scan lists as shortcuts (read-only and
// dot-named folders ending in "url", attribute words 17 and 18). Write
// completes; those rows get the empty address, every other row its own.
TEST(LinksShortcut, FilesChangedBetweenImportAndWrite) {
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string news = "Favorites\\News\\";
    for (const char* name : {"a", "gone", "locked", "turned", "z"})
        CTempDir::PutShortcut(news + name + ".url", std::string("http://") + name + ".example/");
    CTempDir::PutShortcut(news + "ro.url\\inner.url", "http://inner.example/");
    ASSERT_TRUE(CTempDir::SetMode(news + "ro.url", 0555));
    CTempDir::MakeFolder(news + ".dot.url");

    CPosixFolderSource source("Favorites");
    CMainState state;
    state.m_style = STYLE_SINGLE;
    CFakeHost host(state);
    host.controls.outputPath = "out.html";
    host.controls.stdGenre = "S";
    ImportFavorites(state, host, source);
    std::vector<std::string> imported;
    for (const char* name : {".dot", "a", "gone", "locked", "ro", "turned", "z"})
        imported.push_back(news + name + ".url");
    ASSERT_EQ(ListTexts(state.m_linkList), imported);

    ASSERT_TRUE(CTempDir::Remove(news + "gone.url"));
    ASSERT_TRUE(CTempDir::Remove(news + "turned.url"));
    CTempDir::MakeFolder(news + "turned.url");
    if (geteuid() == 0) {
        ASSERT_TRUE(CTempDir::Remove(news + "locked.url"));
        CTempDir::MakeFolder(news + "locked.url");
    } else {
        ASSERT_TRUE(CTempDir::SetMode(news + "locked.url", 0));
    }

    CStdioPageSink sink;
    RunWrite(state, host, sink);

    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].first, "ファイルへの出力が完了しました。");
    EXPECT_EQ(host.messages[0].second, MsgKind::Completion);
    auto row = [](const char* text, const std::string& url) { return page::LinkRow("News", url, text); };
    EXPECT_EQ(CTempDir::Get("out.html"),
              page::Crlf(page::kHeadDefaultTitle + std::string(page::kHeadEnd) + page::kHeadingDefault +
                         page::kTableHead + row(".dot", "") + row("a", "http://a.example/") + row("gone", "") +
                         row("locked", "") + row("ro", "") + row("turned", "") + row("z", "http://z.example/") +
                         page::Footer() + page::kPageEnd));
    EXPECT_EQ(ListTexts(state.m_linkList), imported);
}
