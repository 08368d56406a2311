#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "links/Bookmarks.h"
#include "links/HtmlBookmarks.h"

namespace {

using namespace std::string_literals;

struct CExpected {
    std::string text;  // code page 932 bytes, as the list shows the entry
    std::string address;
};

struct CFileCase {
    const char* name;
    std::string file;
    std::vector<CExpected> entries;
};

// Reads each row's file and checks its entries in order; every folder the
// reader opened must be closed again at the end.
void ExpectEntries(const std::vector<CFileCase>& rows) {
    for (const CFileCase& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<CLinkEntry> entries;
        CBookmarkCollector collector(entries);
        ReadHtmlBookmarks(row.file, collector);
        EXPECT_EQ(collector.Depth(), 0u);
        ASSERT_EQ(entries.size(), row.entries.size());
        for (size_t i = 0; i < entries.size(); ++i) {
            EXPECT_EQ(entries[i].text, row.entries[i].text) << "entry " << i;
            EXPECT_EQ(entries[i].Address(), row.entries[i].address) << "entry " << i;
        }
    }
}

// A file in UTF-16 with its byte order mark.
std::string Utf16File(std::u16string_view text, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : text) {
        const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
        out.push_back(bigEndian ? high : low);
        out.push_back(bigEndian ? low : high);
    }
    return out;
}

// |piece| |count| times over.
std::string Many(const std::string& piece, size_t count) {
    std::string out;
    for (size_t i = 0; i < count; ++i) out += piece;
    return out;
}

const char kIcon[] = "data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAABAAAAAQCAYAAAAf8/9hAAAAAXNSR0IArs4c6QAAAERJREFU";

}  // namespace

TEST(LinksHtmlBookmarks, EachBrowsersExport) {
    const std::string icon = kIcon;
    ExpectEntries({
        {"Chromium",
         u8"<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n<!-- This is an automatically generated file.\r\n"
         u8"     It will be read and overwritten.\r\n     DO NOT EDIT! -->\r\n"
         u8"<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\r\n"
         u8"<TITLE>Bookmarks</TITLE>\r\n<H1>Bookmarks</H1>\r\n<DL><p>\r\n"
         u8"    <DT><H3 ADD_DATE=\"1700000000\" LAST_MODIFIED=\"1700000500\" PERSONAL_TOOLBAR_FOLDER=\"true\">"
         u8"ブックマーク バー</H3>\r\n    <DL><p>\r\n"
         u8"        <DT><A HREF=\"https://news.example.jp/\" ADD_DATE=\"1700000001\" ICON=\"" + icon +
             u8"\">ニュース &amp; 天気</A>\r\n"
         u8"        <DT><H3 ADD_DATE=\"1700000002\" LAST_MODIFIED=\"1700000003\">Tools</H3>\r\n        <DL><p>\r\n"
         u8"            <DT><A HREF=\"https://example.com/a?x=1&y=&quot;2&quot;\" ADD_DATE=\"1700000004\" ICON=\"" +
             icon + u8"\">Say &quot;hi&quot; &lt;now&gt; &#39;ok&#39;</A>\r\n"
         u8"        </DL><p>\r\n    </DL><p>\r\n"
         u8"    <DT><A HREF=\"https://other.example/\" ADD_DATE=\"1700000005\">Other</A>\r\n</DL><p>\r\n",
         {{"Favorites\\ブックマーク バー\\ニュース & 天気.url", "https://news.example.jp/"},
          {"Favorites\\ブックマーク バー\\Tools\\Say \"hi\" &#60;now&#62; 'ok'.url", "https://example.com/a?x=1&y=\"2\""},
          {"Favorites\\Other.url", "https://other.example/"}}},
        {"Firefox",
         "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<!-- This is an automatically generated file.\n"
         "     It will be read and overwritten.\n     DO NOT EDIT! -->\n"
         "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
         "<meta http-equiv=\"Content-Security-Policy\"\n"
         "      content=\"default-src 'self'; script-src 'none'; img-src data: *; object-src 'none'\"></meta>\n"
         "<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks Menu</H1>\n\n<DL><p>\n"
         "    <DT><A HREF=\"https://www.mozilla.org/about/\" ADD_DATE=\"1\" LAST_MODIFIED=\"2\" "
         "ICON_URI=\"https://www.mozilla.org/favicon.ico\" ICON=\"" + icon + "\">About Us</A>\n"
         "    <HR>    <DT><H3 ADD_DATE=\"1\" LAST_MODIFIED=\"2\" PERSONAL_TOOLBAR_FOLDER=\"true\">Bookmarks Toolbar</H3>\n"
         "    <DL><p>\n"
         "        <DT><A HREF=\"https://example.org/q?a=%22x%22\" ADD_DATE=\"3\" SHORTCUTURL=\"ex\" TAGS=\"a,b\">"
         "Rock &#39;n&#39; Roll</A>\n"
         "        <DT><H3 ADD_DATE=\"4\" LAST_MODIFIED=\"5\">Empty</H3>\n        <DL><p>\n        </DL><p>\n"
         "    </DL><p>\n"
         "    <DT><H3 ADD_DATE=\"1\" LAST_MODIFIED=\"2\" UNFILED_BOOKMARKS_FOLDER=\"true\">Other Bookmarks</H3>\n"
         "    <DL><p>\n"
         "        <DT><A HREF=\"https://example.net/\" ADD_DATE=\"6\" LAST_CHARSET=\"UTF-8\" POST_DATA=\"\">Net</A>\n"
         "    </DL><p>\n</DL>\n",
         {{"Favorites\\About Us.url", "https://www.mozilla.org/about/"},
          {"Favorites\\Bookmarks Toolbar\\Rock 'n' Roll.url", "https://example.org/q?a=%22x%22"},
          {"Favorites\\Other Bookmarks\\Net.url", "https://example.net/"}}},
        {"Safari",
         "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n\t<HTML>\n"
         "\t<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
         "\t<Title>Bookmarks</Title>\n\t<H1>Bookmarks</H1>\n\t<DT><H3 FOLDED>Favorites</H3>\n\t<DL><p>\n"
         "\t\t<DT><A HREF=\"https://www.apple.com/\">Apple</A>\n\t</DL><p>\n"
         "\t<DT><H3 FOLDED id=\"com.apple.ReadingList\">Reading List</H3>\n\t<DL><p>\n"
         "\t\t<DT><A HREF=\"https://blog.example/post\">A Post</A>\n"
         "\t\t<DD>Preview of the post, with <b>markup</b> &amp; more\n"
         "\t\t<DT><A HREF=\"https://blog.example/next\">Next</A>\n\t\t<DD>Another preview\n"
         "\t</DL><p>\n</HTML>\n",
         {{"Favorites\\Favorites\\Apple.url", "https://www.apple.com/"},
          {"Favorites\\Reading List\\A Post.url", "https://blog.example/post"},
          {"Favorites\\Reading List\\Next.url", "https://blog.example/next"}}},
    });
}

TEST(LinksHtmlBookmarks, Encodings) {
    const std::string head = "<DL><p>\n<DT><A HREF=\"";
    const std::string longHead = "<TITLE>Bookmarks</TITLE>\n<META NAME=\"description\" CONTENT=\"" +
                                 std::string(1100, 'd') + "\">\n";
    ExpectEntries({
        {"Shift_JIS without a charset",
         "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n<TITLE>Bookmarks</TITLE>\r\n<DL><p>\r\n"
         "<DT><H3>\x82\xA8\x8B\x43\x82\xC9\x93\xFC\x82\xE8</H3>\r\n<DL><p>\r\n"
         "<DT><A HREF=\"http://x.example/\x83\x79\x81\x5B\x83\x57\">\x95\x5C\x8E\xA6 \xB6\xC5</A>\r\n</DL><p>\r\n</DL><p>\r\n",
         {{"Favorites\\お気に入り\\表示 ｶﾅ.url", "http://x.example/%E3%83%9A%E3%83%BC%E3%82%B8"}}},
        {"EUC-JP: JIS X 0208, NEC row 13, last row, half-width, JIS X 0212",
         "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=EUC-JP\">\n" + head +
             "http://e/\">\xC6\xFC\xCB\xDC\xB8\xEC\xAD\xA1\xF3\xFE\x8E\xB1\x8F\xB0\xA1!</A>\n",
         {{"Favorites\\日本語①龠ｱ&#65533;!.url", "http://e/"}}},
        {"x-euc-jp alias", "<meta charset=x-euc-jp>" + head + "http://e/\">\xC6\xFC</A>", {{"Favorites\\日.url", "http://e/"}}},
        {"windows-1252",
         "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1252\">\n" + head +
             "http://caf\xE9.example/\">Caf\xE9 \x93Menu\x94 \x80 \x81</A>\n",
         {{"Favorites\\Caf&#233; “Menu” &#8364;  .url", "http://caf%C3%A9.example/"}}},  // 0x81 is a control character
        {"ISO-8859-1 read as windows-1252", "<meta http-equiv=content-type content='text/html;charset=ISO-8859-1'>" +
                                                head + "http://w/\">a\x96z</A>",
         {{"Favorites\\a&#8211;z.url", "http://w/"}}},
        {"a charset wins over valid UTF-8", "<META CHARSET=\"us-ascii\">" + head + "http://w/\">\xC3\xA9</A>",
         {{"Favorites\\&#195;&#169;.url", "http://w/"}}},
        {"Shift_JIS alias on bytes that are also UTF-8", "<meta charset=\"MS_Kanji\">" + head + "http://s/\">\xC3\xA9</A>",
         {{"Favorites\\ﾃｩ.url", "http://s/"}}},
        {"unknown charset: the bytes decide", "<meta charset=koi8-r>" + head + u8"http://u/\">日本</A>",
         {{"Favorites\\日本.url", "http://u/"}}},
        {"no charset, valid UTF-8", head + u8"http://u/ü\">über 😀</A>",
         {{"Favorites\\&#252;ber &#128512;.url", "http://u/%C3%BC"}}},
        // One ill-formed sequence per 1000 UTF-8 characters keeps a file UTF-8.
        {"no charset, a stray byte among 1000 UTF-8 characters",
         head + "http://u/\">" + Many(u8"日", 1000) + "\x80</A>",
         {{"Favorites\\" + Many("日", 1000) + "&#65533;.url", "http://u/"}}},
        // 日's UTF-8 bytes are 譌･ in code page 932.
        {"no charset, a stray byte among 999: code page 932",
         head + "http://u/\">" + Many(u8"日", 999) + "\xB1</A>",
         {{"Favorites\\" + Many("譌･", 999) + "ｱ.url", "http://u/"}}},
        {"no charset, two among 2000, one a sequence cut short",
         head + "http://u/\">\xFF" + Many(u8"日", 1000) + "</A>\n<DT><A HREF=\"http://v/\">" + Many(u8"日", 1000) +
             "\xC3</A>",
         {{"Favorites\\&#65533;" + Many("日", 1000) + ".url", "http://u/"},
          {"Favorites\\" + Many("日", 1000) + "&#65533;.url", "http://v/"}}},
        // Where a META counts: the first 1024 bytes, past them the head.
        {"a META after the first link is not taken", head + u8"http://u/\">日本</A>\n<meta charset=shift_jis>",
         {{"Favorites\\日本.url", "http://u/"}}},
        {"a META in a folder's DD description is not taken",
         "<DL><p><DT><H3>F</H3><DD>About <meta charset=euc-jp> it\n<DL><p><DT><A HREF=\"http://u/\">" + u8"日本</A>"s,
         {{"Favorites\\F\\日本.url", "http://u/"}}},
        {"a META in the TITLE's text is not taken",
         "<TITLE>Say <meta charset=shift_jis></TITLE>" + head + u8"http://u/\">日本</A>",
         {{"Favorites\\日本.url", "http://u/"}}},
        {"a META in the first 1024 bytes after the first DL is taken",
         "<DL><p><META CHARSET=EUC-JP>\n<DT><A HREF=\"http://e/\">\xC6\xFC\xCB\xDC</A>",
         {{"Favorites\\日本.url", "http://e/"}}},
        {"a long head: a META past 1024 bytes before the first DL is taken",
         longHead + "<META CHARSET=EUC-JP>\n" + head + "http://e/\">\xC6\xFC\xCB\xDC</A>",
         {{"Favorites\\日本.url", "http://e/"}}},
        {"a META after a DL that begins past 1024 bytes is not taken",
         longHead + "<DL><p><META CHARSET=EUC-JP>\n<DT><A HREF=\"http://u/\">" + u8"日本</A>",
         {{"Favorites\\日本.url", "http://u/"}}},
        {"a META past 1024 bytes after a DL before them is not taken",
         "<DL><p>\n<!-- " + std::string(1100, 'c') + " -->\n<META CHARSET=EUC-JP>\n<DT><A HREF=\"http://u/\">" +
             u8"日本</A>",
         {{"Favorites\\日本.url", "http://u/"}}},
        {"UTF-8 byte order mark wins over the charset",
         "\xEF\xBB\xBF<meta charset=shift_jis>" + head + u8"http://u/\">日本</A>", {{"Favorites\\日本.url", "http://u/"}}},
        {"UTF-16LE with BOM",
         Utf16File(u"<META CHARSET=\"Shift_JIS\"><DL><p>\r\n<DT><H3>ブックマーク</H3>\r\n<DL><p>\r\n"
                   u"<DT><A HREF=\"http://w/\U0001F600\">日本 &amp; \U0001F600</A>\r\n</DL><p>\r\n</DL><p>\r\n",
                   false),
         {{"Favorites\\ブックマーク\\日本 & &#128512;.url", "http://w/%F0%9F%98%80"}}},
        {"UTF-16BE with BOM, a lone surrogate and an odd last byte",
         Utf16File(u"<A HREF=\"http://b/\">x\xD800y</A>", true) + "\x01",
         {{"Favorites\\x&#65533;y.url", "http://b/"}}},
    });
}

TEST(LinksHtmlBookmarks, Quirks) {
    ExpectEntries({
        {"missing </A> before DT, DD, HR, H3, A, </DL>",
         "<DL><p><DT><A HREF=\"http://1/\">One\n<DT><A HREF=\"http://2/\">Two<DD>note\n"
         "<DT><A HREF=\"http://3/\">Three<HR><A HREF=\"http://4/\">Four<A HREF=\"http://5/\">Five<H3>F</H3>"
         "<DL><p><DT><A HREF=\"http://6/\">Six</DL><DT><A HREF=\"http://7/\">Seven",
         {{"Favorites\\One.url", "http://1/"}, {"Favorites\\Two.url", "http://2/"}, {"Favorites\\Three.url", "http://3/"},
          {"Favorites\\Four.url", "http://4/"}, {"Favorites\\Five.url", "http://5/"},
          {"Favorites\\F\\Six.url", "http://6/"}, {"Favorites\\Seven.url", "http://7/"}}},
        {"missing </H3>", "<DL><p><DT><H3>Folder\n<DL><p><DT><A HREF=\"http://x/\">X</A></DL></DL>",
         {{"Favorites\\Folder\\X.url", "http://x/"}}},
        {"title spanning lines", "<DT><A HREF=\"http://x/\">\r\n  Long\r\n  title\n</A><DT><H3>A\nB</H3><DL><DT><A HREF=\"http://y/\">Y</A>",
         {{"Favorites\\Long    title.url", "http://x/"}, {"Favorites\\A B\\Y.url", "http://y/"}}},
        {"tags, script and comments inside a title keep their text",
         "<DT><A HREF=\"http://x/\">Bold <B>word</B><!-- c --> <script>alert(1)</script> <I>end</I></A>"
         "<DT><A HREF=\"http://y/\">a < b<br/></A>",
         {{"Favorites\\Bold word alert(1) end.url", "http://x/"}, {"Favorites\\a &#60; b.url", "http://y/"}}},
        {"unquoted, single-quoted, spaced and quoted '>' attributes",
         "<DT><A HREF=http://u/p?a=1 ADD_DATE=1>U</A><DT><A href='http://s/\"q\"'>S</A>"
         "<DT><A ICON = 'x' HREF = \"http://g/?a>b\" HREF=\"http://second/\">G</A>",
         {{"Favorites\\U.url", "http://u/p?a=1"}, {"Favorites\\S.url", "http://s/\"q\""}, {"Favorites\\G.url", "http://g/?a>b"}}},
        {"lower-case tags", "<dl><p><dt><h3>low</h3><dl><p><dt><a href=\"http://l/\">L</a></dl><p></dl><p>",
         {{"Favorites\\low\\L.url", "http://l/"}}},
        {"stray </DL> closes nothing", "</DL><DL><p><DT><H3>F</H3><DL><p></DL></DL></DL><DT><A HREF=\"http://a/\">A</A>",
         {{"Favorites\\A.url", "http://a/"}}},
        {"DL without H3 joins the folder around it",
         "<DL><p><DT><H3>F</H3><DL><p><DL><p><DT><A HREF=\"http://i/\">in</A></DL><DT><A HREF=\"http://j/\">J</A></DL>",
         {{"Favorites\\F\\in.url", "http://i/"}, {"Favorites\\F\\J.url", "http://j/"}}},
        {"links between an H3 and its DL",
         "<DL><p><DT><H3>F</H3>\n<DT><A HREF=\"http://b/\">between</A>\n<HR><DL><p><DT><A HREF=\"http://i/\">inside</A></DL>",
         {{"Favorites\\between.url", "http://b/"}, {"Favorites\\F\\inside.url", "http://i/"}}},
        {"H3 without its DL names nothing",
         "<DL><p><DT><H3>Lost</H3><DT><H3>Kept</H3><DL><p><DT><A HREF=\"http://k/\">k</A></DL>"
         "<DT><H3>Orphan</H3></DL><DL><p><DT><A HREF=\"http://o/\">o</A></DL>",
         {{"Favorites\\Kept\\k.url", "http://k/"}, {"Favorites\\o.url", "http://o/"}}},
        {"first link on the line of H1",
         "<TITLE>Bookmarks</TITLE><H1>Bookmarks</H1><DL><p><DT><A HREF=\"http://first/\">First</A></DL>",
         {{"Favorites\\First.url", "http://first/"}}},
        {"A without or with an empty HREF",
         "<DT><A NAME=\"n\">anchor</A><DT><A HREF=\"\">empty</A><DT><A HREF>bare</A><DT><A HREF=\"http://k/\">kept</A>",
         {{"Favorites\\kept.url", "http://k/"}}},
        {"comments hide links; an unclosed one ends at its '>'",
         "<!-- <DT><A HREF=\"http://hidden/\">hidden</A> --><!-- oops ><DT><A HREF=\"http://v/\">visible</A>",
         {{"Favorites\\visible.url", "http://v/"}}},
        {"folders left open at the end, and a tag cut off",
         "<DL><p><DT><H3>F</H3><DL><p><DT><A HREF=\"http://x/\">x</A><DT><A HREF=\"http://y",
         {{"Favorites\\F\\x.url", "http://x/"}}},
        {"no link at all", "<HTML><BODY><H1>Nothing</H1><DL><p></DL></BODY></HTML>", {}},
        {"empty file", "", {}},
    });
}

TEST(LinksHtmlBookmarks, CharacterReferences) {
    ExpectEntries({
        {"named", "<A HREF=\"http://e/?a=1&amp;b=2&quot;\">&amp; &lt;&gt; &quot; &apos; &nbsp;x</A>",
         {{"Favorites\\& &#60;&#62; \" ' &#160;x.url", "http://e/?a=1&b=2\""}}},
        {"numeric", "<A HREF=\"http://e/&#128512;&#x41;\">&#65;&#x42;&#X43;&#0068;&#x5C;&#x1F600;</A>",
         {{"Favorites\\ABCD&#92;&#128512;.url", "http://e/%F0%9F%98%80A"}}},
        {"128 to 159 as windows-1252, its five undefined codes as they are",
         "<A HREF=\"http://e/&#150;&#x8D;\">&#150;&#128;&#x80;&#147;q&#148;&#X9F;&#159;&#160;</A>",
         {{"Favorites\\&#8211;&#8364;&#8364;“q”&#376;&#376;&#160;.url", "http://e/%E2%80%93%C2%8D"}}},
        {"zero, surrogate, too large and 2^32 + 65",
         "<A HREF=\"http://e/&#0;\">&#0;&#xD800;&#x110000;&#4294967361;&#x100000041;</A>",
         {{"Favorites\\&#65533;&#65533;&#65533;&#65533;&#65533;.url", "http://e/%EF%BF%BD"}}},
        {"invalid ones stay as written", "<A HREF=\"http://e/?a&b=1&#;\">&AMP; &amp &#65 &#; &#x; &#xG; &foo; &</A>",
         {{"Favorites\\&AMP; &amp &#65 &#; &#x; &#xG; &foo; &.url", "http://e/?a&b=1&#;"}}},
        {"decoded once", "<A HREF=\"http://e/\">&amp;lt; &#38;amp;</A>", {{"Favorites\\&lt; &amp;.url", "http://e/"}}},
        {"in a folder name", "<H3>a&#92;b &lt;c&gt;</H3><DL><A HREF=\"http://e/\">e</A></DL>",
         {{"Favorites\\a&#92;b &#60;c&#62;\\e.url", "http://e/"}}},
        {"after decoding Shift_JIS", "<A HREF=\"http://e/\">\x82\xA0&#x3042;&#12354;</A>", {{"Favorites\\あああ.url", "http://e/"}}},
    });
}

TEST(LinksHtmlBookmarks, DeepNestingAndLongIcons) {
    const int kDepth = 1000;
    std::string deep = "<DL><p>\n";
    std::string deepText = "Favorites\\";
    for (int i = 0; i < kDepth; ++i) {
        deep += "<DT><H3>L</H3>\n<DL><p>\n";
        deepText += "L\\";
    }
    deep += "<DT><A HREF=\"http://deep/\">Deep</A>\n";
    std::string closed = deep;
    for (int i = 0; i < kDepth; ++i) closed += "</DL><p>\n";
    closed += "<DT><A HREF=\"http://after/\">After</A>\n</DL><p>\n";

    // Three values of 17 MB: a file of some 50 MB, almost all ICON data.
    const std::string data(17 * 1024 * 1024, 'Q');
    ExpectEntries({
        {"1000 levels", closed, {{deepText + "Deep.url", "http://deep/"}, {"Favorites\\After.url", "http://after/"}}},
        {"1000 levels left open", deep, {{deepText + "Deep.url", "http://deep/"}}},
        {"50 MB of ICON data",
         "<DL><p><DT><A HREF=\"http://big/\" ICON=\"data:image/png;base64," + data + "\">Big</A>\n"
         "<DT><A ICON=data:" + data + " HREF=http://next/>Next</A><DT><A ICON='" + data + "' HREF='http://last/'>Last</A></DL>",
         {{"Favorites\\Big.url", "http://big/"}, {"Favorites\\Next.url", "http://next/"}, {"Favorites\\Last.url", "http://last/"}}},
        // NUL bytes are characters like any other: in a title a space, in a
        // skipped value nothing at all.
        {"NUL bytes", "<DL><p><DT><A ICON=\"\0\0\" HREF=\"http://n/\">a\0b</A>\0<DT><H3>F\0</H3>"s +
                          "<DL><p><DT><A HREF=\"http://m/\">m</A></DL></DL>",
         {{"Favorites\\a b.url", "http://n/"}, {"Favorites\\F \\m.url", "http://m/"}}},
    });
}

TEST(LinksHtmlBookmarks, StopsAtTheLimitAndClosesFolders) {
    std::string file = "<DL><p><DT><H3>F</H3><DL><p>";
    for (size_t i = 0; i <= kMaxLinks; ++i) file += "<DT><A HREF=\"http://x/\">" + std::to_string(i) + "</A>\n";
    std::vector<CLinkEntry> entries;
    CBookmarkCollector collector(entries);
    ReadHtmlBookmarks(file, collector);
    EXPECT_TRUE(collector.Cut());
    EXPECT_EQ(collector.Depth(), 0u);
    ASSERT_EQ(entries.size(), kMaxLinks);
    EXPECT_EQ(entries.back().text, "Favorites\\F\\29999.url");
}
