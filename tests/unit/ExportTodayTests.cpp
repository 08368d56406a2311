// The page for today's readers: expected pages put together from the
// hand-typed fragments of support/ExpectedPages.h.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export/Export.h"
#include "export/TodayPage.h"
#include "links/Bookmarks.h"
#include "support/ExpectedPages.h"
#include "support/Fakes.h"
#include "support/MemorySink.h"
#include "support/PageBench.h"

namespace {

// A bookmark as Import makes it, in |folder| (null: the root).
CLinkEntry Bookmark(const char16_t* folder, std::u16string_view title, std::u16string_view url) {
    std::vector<CLinkEntry> entries;
    CBookmarkCollector collector(entries);
    if (folder) collector.EnterFolder(folder, false);
    collector.AddBookmark(title, url, false);
    return entries.at(0);
}

void AddBookmark(CPageBench& b, const char16_t* folder, std::u16string_view title, std::u16string_view url) {
    CLinkEntry entry = Bookmark(folder, title, url);
    b.urls[entry.text] = entry.Address();
    b.state.m_linkList.Append(std::move(entry));
}

}  // namespace

// Names as the person sees them, escaping, addresses, the empty genre and
// the back link, byte for byte.
TEST(ExportToday, WholePage) {
    const std::vector<page::CTodayGenre> sections = {
        {"Alpha", {{"http://a1/", "a1"}, {"http://x/?a=1&amp;b=%222%22", "A&amp;B"}}},
        {u8"Béta 😀",
         {{"http://cafe/", u8"café 😀"}, {"http://s/", "&lt;script&gt;a\\b"}, {"http://d/", "&amp;#233;"}}},
        {u8"（ジャンルなし）",
         {{"http://blank/", "http://blank/"}, {"http://c/%E6%97%A5%E6%9C%AC", "c"}, {"http://u/", "fooURL"}}},
    };
    const struct {
        const char* what;
        int useJava;
        std::string backUrl, caption;
        std::string back, shownCaption;
    } rows[] = {
        {"no back link", 0, "", "A<B>&\"", "", "A&lt;B&gt;&amp;&quot;"},
        {"the script's back link", 1, "http://back/", "My &#233;", page::kTodayBackScript, u8"My é"},
        {"a return address", 2, "http://back/&#252;?a&b", "", page::TodayBackLink("http://back/%C3%BC?a&amp;b"),
         u8"わたしのお気に入り"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        CPageBench b;
        b.state.m_style = STYLE_TODAY;
        b.state.m_useJava = r.useJava;
        b.state.m_backUrl = r.backUrl;
        b.state.m_caption = r.caption;
        b.state.m_outputPath = "C:\\web\\today.html";
        b.state.m_stdGenre = "";
        b.Add("C:\\Favorites\\Alpha\\a1.url", "Alpha", "http://a1/");
        b.Add("C:\\Favorites\\Alpha\\A&B.url", "Alpha", "http://x/?a=1&b=\"2\"");
        AddBookmark(b, u"Béta 😀", u"café 😀", u"http://cafe/");
        AddBookmark(b, u"Béta 😀", u"<script>a\\b", u"http://s/");
        // A name typed as "&#233;" in the browser stays those six characters.
        AddBookmark(b, u"Béta 😀", u"&#233;", u"http://d/");
        b.Add("C:\\Favorites\\.url", "", "http://blank/");
        b.Add("C:\\Favorites\\c.URL", "", "http://c/\x93\xfa\x96\x7b");  // 日本 in code page 932
        b.Add("C:\\Favorites\\fooURLurl", "", "http://u/");
        EXPECT_EQ(WriteAllPages(b.Ctx()), PageResult::Ok);
        ASSERT_EQ(b.sink.Paths(), std::vector<std::string>{"C:\\web\\today.html"});
        EXPECT_EQ(b.sink.files[0]->bytes, page::Crlf(page::TodayPage(r.shownCaption, r.back, sections, kTodayStyle, kTodayScript)));
    }
}

// The link's name from its file's real name, never from a reference of the
// text, never cut inside a character.
TEST(ExportToday, LinkNames) {
    const struct {
        const char* what;
        CLinkEntry entry;
        std::u16string name;
    } rows[] = {
        {"references of the text", CLinkEntry("Favorites\\caf&#233;&#128512;.url"), u"café😀"},
        {"a lone surrogate", CLinkEntry("Favorites\\x&#55296;.url"), u"x\xD800"},
        {"a 0x5C second byte", CLinkEntry("C:\\Fav\\表ソ.url"), u"表ソ"},
        {"no dot before url", CLinkEntry("C:\\Fav\\linkurl"), u"link"},
        {"upper case", CLinkEntry("C:\\Fav\\a.URL"), u"a"},
        {"blank: a space and U+3000", CLinkEntry("C:\\Fav\\ \x81\x40.url"), u""},
        {"only .url", CLinkEntry("C:\\Fav\\.url"), u""},
        {"bookmark with a separator in its title", Bookmark(u"F\\G", u"a\\b", u"http://x/"), u"a\\b"},
        {"bookmark titled like a reference", Bookmark(nullptr, u"&#92;", u"http://x/"), u"&#92;"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(TodayLinkName(r.entry), r.name);
    }
}

// A lone surrogate cannot be encoded: U+FFFD in the page. "&" "<" ">" and
// '"' are references wherever they stand.
TEST(ExportToday, EscapingAndAddresses) {
    const struct {
        std::string in, escaped;
    } escapes[] = {
        {"A&B", "A&amp;B"}, {"<script>", "&lt;script&gt;"}, {"\"q\"", "&quot;q&quot;"}, {"&amp;", "&amp;amp;"},
        {u8"日本", u8"日本"}, {"", ""},
    };
    for (const auto& e : escapes) {
        std::string out = "x";
        AppendHtmlEscaped(out, e.in);
        EXPECT_EQ(out, "x" + e.escaped) << e.in;
    }
    const struct {
        std::string in, address;
    } addresses[] = {
        {"http://a/?q=\"x\"", "http://a/?q=%22x%22"},
        {"http://a/b c\t", "http://a/b%20c%09"},
        {"http://a/\x93\xfa\"", "http://a/%E6%97%A5%22"},
        {"http://a/%E6%97%A5", "http://a/%E6%97%A5"},
        {"", ""},
    };
    for (const auto& a : addresses) EXPECT_EQ(TodayAddress(a.in), a.address) << a.in;

    CPageBench b;
    b.state.m_style = STYLE_TODAY;
    b.state.m_stdGenre = "Std";
    b.Add("C:\\Favorites\\x&#55296;.url", "Std", "http://x/");
    EXPECT_EQ(WriteAllPages(b.Ctx()), PageResult::Ok);
    EXPECT_NE(b.sink.files[0]->bytes.find(u8"<a href=\"http://x/\">x\uFFFD</a>"), std::string::npos);
}

// The same entries, genres and order as the page with anchors, after the
// Write's own genre derivation.
TEST(ExportToday, SameGenresAndOrderAsAnchors) {
    const std::vector<std::string> texts = {"C:\\Fav\\Zeta\\z.url", "C:\\Fav\\a.url", "C:\\Fav\\Beta\\b2.url",
                                            "C:\\Fav\\Favorites\\f.url", "C:\\Fav\\Beta\\b1.url",
                                            "C:\\Fav\\ソ\\s.url"};
    std::vector<std::string> orders[2];
    int k = 0;
    for (int style : {STYLE_ANCHORS, STYLE_TODAY}) {
        CMainState state;
        for (const std::string& t : texts) {
            CLinkEntry entry(t);
            entry.SetAddress("http://t/" + t.substr(t.find_last_of('\\') + 1));
            state.m_linkList.Append(std::move(entry));
        }
        state.m_style = style;
        CFakeHost host(state);
        host.controls.outputPath = "o.html";
        host.controls.stdGenre = "Std";
        CMemorySink sink;
        RunWrite(state, host, sink);
        ASSERT_EQ(host.messages.size(), 1u);
        const std::string bytes = sink.Content("o.html");
        // The links' addresses in page order.
        const std::string mark = "\"http://t/";
        for (size_t at = bytes.find(mark); at != std::string::npos; at = bytes.find(mark, at + 1))
            orders[k].push_back(bytes.substr(at + mark.size(), bytes.find('"', at + 1) - at - mark.size()));
        ++k;
    }
    EXPECT_EQ(Sorted(orders[0]), (std::vector<std::string>{"a.url", "b1.url", "b2.url", "f.url", "s.url", "z.url"}));
    EXPECT_EQ(orders[1], orders[0]);
}
