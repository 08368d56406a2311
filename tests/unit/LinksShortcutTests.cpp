#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "links/Shortcut.h"

namespace {

// Shortcut files written byte for byte into a scratch folder.
class LinksShortcut : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/orvelle-url-XXXXXX";
        const char* made = mkdtemp(pattern);
        ASSERT_NE(made, nullptr);
        m_root = made;
    }
    void TearDown() override {
        std::string command = "rm -rf '" + m_root + "'";
        if (std::system(command.c_str()) != 0) {}
    }
    std::string Write(const std::string& bytes) {
        std::string path = m_root + "/f" + std::to_string(m_files++) + ".url";
        std::FILE* f = std::fopen(path.c_str(), "wb");
        EXPECT_NE(f, nullptr);
        if (f) {
            EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
            std::fclose(f);
        }
        return path;
    }
    std::string m_root;
    int m_files = 0;
};

}  // namespace

TEST_F(LinksShortcut, SecondWordAfterItsFirstEquals) {
    using namespace std::string_literals;
    const struct {
        const char* name;
        std::string content;
        std::string url;
    } rows[] = {
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
    };
    for (const auto& r : rows) EXPECT_EQ(ReadShortcutUrl(Write(r.content)), r.url) << r.name;
}

TEST_F(LinksShortcut, LongWordsReadWhole) {
    const std::string value(100000, 'a');
    EXPECT_EQ(ReadShortcutUrl(Write("[InternetShortcut]\r\nURL=" + value + "\r\n")), value);
    // A long first word is read over, however long.
    EXPECT_EQ(ReadShortcutUrl(Write("[" + std::string(200000, 'x') + "]\nURL=http://x/\n")), "http://x/");
    // The value spans chunk boundaries with bytes of every kind.
    std::string mixed;
    for (int k = 0; mixed.size() < 150000; ++k) mixed += "ソ表=%" + std::to_string(k);
    EXPECT_EQ(ReadShortcutUrl(Write("[I]\nURL=" + mixed + " tail")), mixed);
}

// Entries of the scan name their files with "\\"; the native build reads them
// through the host path.
TEST_F(LinksShortcut, ReadsByScanPath) {
    std::string path = Write("[InternetShortcut]\r\nURL=http://scan/\r\n");
    for (char& c : path)
        if (c == '/') c = '\\';
    EXPECT_EQ(ReadShortcutUrl(path), "http://scan/");
}

TEST_F(LinksShortcut, UnreadableGivesEmpty) {
    EXPECT_EQ(ReadShortcutUrl(m_root + "/missing.url"), "");
    std::string folder = m_root + "/folder.url";
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    EXPECT_EQ(ReadShortcutUrl(folder), "");
    EXPECT_EQ(ReadShortcutUrl(""), "");
}

// A shortcut name that leads to an endless stream ends the read instead of
// hanging the Write; its bytes are NULs, so no word and no address.
TEST_F(LinksShortcut, EndlessStreamEnds) {
    const std::string link = m_root + "/zero.url";
    ASSERT_EQ(symlink("/dev/zero", link.c_str()), 0);
    EXPECT_EQ(ReadShortcutUrl(link), "");
}
