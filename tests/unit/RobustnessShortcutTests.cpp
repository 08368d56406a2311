// Shortcut files that are not what the reader expects: junk, text in other
// encodings, files that vanish or turn into folders between Import and Write.
// The usual edges (empty file, one word, no "=", NUL bytes, 100000-byte
// words, missing files, a folder by name) are LinksShortcut's.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <cstdint>
#include <string>
#include <vector>

#include "support/TempDir.h"
#include "support/Fakes.h"
#include "support/FolderSources.h"
#include "RobustnessPages.h"
#include "export/Export.h"
#include "links/Scan.h"
#include "links/Shortcut.h"

namespace {

using robust::CPageRow;

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

// Each character of |ascii| as two bytes, in the order of |bigEndian|.
std::string Utf16(const std::string& ascii, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : ascii) {
        if (bigEndian) out.push_back('\0');
        out.push_back(c);
        if (!bigEndian) out.push_back('\0');
    }
    return out;
}

const size_t kTenMiB = 10u << 20;

}  // namespace

// Ten mebibytes of junk are read to their end without harm; what comes out
// follows the word rule.
TEST(RobustnessShortcut, TenMebibytesOfJunk) {
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    // Bytes that are never white space, NUL, Ctrl-Z or "=".
    const std::string wordBytes = Range(0x21, 0x3C) + Range(0x3E, 0xFF);
    const std::string highBytes = Range(0x80, 0xFF);
    const std::string value = Junk(kTenMiB, wordBytes, 2);
    const struct {
        const char* name;
        std::string content;
        std::string url;
    } rows[] = {
        {"one huge word without equals", Junk(kTenMiB, highBytes, 1), ""},
        {"huge address after the key", "[InternetShortcut]\r\nURL=" + value + "\r\n", value},
        {"huge first word, then the address", Junk(kTenMiB, wordBytes, 3) + "\nURL=http://after/\n",
         "http://after/"},
        {"words of junk: the second one counts",
         Junk(kTenMiB / 2, highBytes, 4) + " k=" + "v" + " " + Junk(kTenMiB / 2, wordBytes, 5), "v"},
        {"NUL bytes only", std::string(kTenMiB, '\0'), ""},
        {"white space only", Junk(kTenMiB, " \t\r\n\v\f", 6), ""},
    };
    for (const auto& r : rows) {
        CTempDir::Put("junk.url", r.content);
        std::string got = ReadShortcutUrl("junk.url");
        EXPECT_EQ(got.size(), r.url.size()) << r.name;
        EXPECT_TRUE(got == r.url) << r.name;
    }
}

// Text saved as UTF-16 (with its byte order mark, as a text editor saves
// it): the second word is a lone NUL, so the address is empty; a UTF-8 mark
// only lengthens the first word.
TEST(RobustnessShortcut, OtherEncodings) {
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string text = "[InternetShortcut]\r\nURL=http://x.example/\r\n";
    const struct {
        const char* name;
        std::string content;
        std::string url;
    } rows[] = {
        {"UTF-16 little-endian", Utf16(text, false), ""},
        {"UTF-16 big-endian", Utf16(text, true), ""},
        {"UTF-16 on one line", Utf16("URL=http://x.example/", false), ""},
        {"UTF-8 with mark", "\xEF\xBB\xBF" + text, "http://x.example/"},
        {"UTF-8 mark alone before the key", "\xEF\xBB\xBF URL=http://y/", "http://y/"},
    };
    for (const auto& r : rows) {
        CTempDir::Put("enc.url", r.content);
        EXPECT_EQ(ReadShortcutUrl("enc.url"), r.url) << r.name;
    }
}

namespace {

const std::string kFoot =
    "</TABLE>\r\n<P align=\"right\"><A HREF=\"http://www.orvelle.example\" TARGET=\"_top\">"
    "Orvelle v4.00</A></P>\r\n";

std::string Row(const std::string& genre, const std::string& url, const std::string& text) {
    return "<TR><TD>" + genre + "</TD><TD><A HREF=\"" + url + "\" TARGET=\"_top\">" + text +
           "</A></TD></TR>\r\n";
}

}  // namespace

// Import on a real tree, then the files change under the list: a deleted
// file, a file replaced by a folder and one without read permission (as
// root, which reads any file, that one is replaced by a folder instead),
// next to folders that the scan lists as shortcuts (read-only and
// dot-named folders ending in "url", attribute words 17 and 18). Write
// completes; those rows get the empty address, every other row its own.
TEST(RobustnessShortcut, FilesChangedBetweenImportAndWrite) {
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    const bool root = geteuid() == 0;
    CTempDir::PutShortcut("Favorites\\News\\a.url", "http://a.example/");
    CTempDir::PutShortcut("Favorites\\News\\gone.url", "http://gone.example/");
    CTempDir::PutShortcut("Favorites\\News\\locked.url", "http://locked.example/");
    CTempDir::PutShortcut("Favorites\\News\\turned.url", "http://turned.example/");
    CTempDir::PutShortcut("Favorites\\News\\z.url", "http://z.example/");
    CTempDir::MakeFolder("Favorites\\News\\ro.url");
    CTempDir::PutShortcut("Favorites\\News\\ro.url\\inner.url", "http://inner.example/");
    ASSERT_EQ(chmod(HostPath("Favorites\\News\\ro.url").c_str(), 0555), 0);
    CTempDir::MakeFolder("Favorites\\News\\.dot.url");

    CPosixFolderSource source("Favorites");
    CMainState state;
    state.m_style = STYLE_SINGLE;
    CFakeHost host(state);
    host.controls.outputPath = "out.html";
    host.controls.stdGenre = "S";
    ImportFavorites(state, host, source);
    const std::vector<std::string> imported = {
        "Favorites\\News\\.dot.url",   "Favorites\\News\\a.url",      "Favorites\\News\\gone.url",
        "Favorites\\News\\locked.url", "Favorites\\News\\ro.url",     "Favorites\\News\\turned.url",
        "Favorites\\News\\z.url"};
    ASSERT_EQ(ListTexts(state.m_linkList), imported);

    ASSERT_TRUE(std::filesystem::remove(HostPath("Favorites\\News\\gone.url")));
    ASSERT_TRUE(std::filesystem::remove(HostPath("Favorites\\News\\turned.url")));
    CTempDir::MakeFolder("Favorites\\News\\turned.url");
    if (root) {
        ASSERT_TRUE(std::filesystem::remove(HostPath("Favorites\\News\\locked.url")));
        CTempDir::MakeFolder("Favorites\\News\\locked.url");
    } else {
        ASSERT_EQ(chmod(HostPath("Favorites\\News\\locked.url").c_str(), 0), 0);
    }

    CStdioPageSink sink;
    RunWrite(state, host, sink);
    chmod(HostPath("Favorites\\News\\ro.url").c_str(), 0755);
    chmod(HostPath("Favorites\\News\\locked.url").c_str(), 0644);

    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].first, "ファイルへの出力が完了しました。");
    EXPECT_EQ(host.messages[0].second, MsgKind::Completion);
    EXPECT_EQ(CTempDir::Get("out.html"),
              "<HTML>\r\n<HEAD>\r\n<TITLE>My Link</TITLE>\r\n</HEAD>\r\n<BODY>\r\n"
              "<H1>わたしのお気に入り</H1>\r\n"
              "<TABLE BORDER=1>\r\n<TR><TH>ジャンル</TH><TH>リンク</TH></TR>\r\n" +
                  Row("News", "", ".dot") + Row("News", "http://a.example/", "a") + Row("News", "", "gone") +
                  Row("News", "", "locked") + Row("News", "", "ro") + Row("News", "", "turned") +
                  Row("News", "http://z.example/", "z") + kFoot + "</BODY>\r\n</HTML>\r\n");
    EXPECT_EQ(ListTexts(state.m_linkList), imported);
}
