// The link check's results in the pages: the marks of the fifth style and
// the report page, against the hand-typed fragments of support/ExpectedPages.h.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "check/CheckResults.h"
#include "export/CheckReport.h"
#include "export/Export.h"
#include "export/TodayPage.h"
#include "support/ExpectedPages.h"
#include "support/Fakes.h"
#include "support/MemorySink.h"
#include "support/PageBench.h"

namespace {

CLocalTime May(int day, int hour) { return CLocalTime{2024, 5, day, hour, 0, 0}; }

// A record of a check on 2 May at 09:00; a failure's run began at |first|.
CLinkRecord Record(const std::string& address, LinkState state, int status, CLocalTime first = May(2, 9),
                   const std::string& finalAddress = "") {
    CLinkRecord r;
    r.address = address;
    r.state = state;
    r.status = status;
    r.finalAddress = finalAddress;
    r.lastCheck = May(2, 9);
    r.hasFirstFailure = state != LinkState::Ok && state != LinkState::Moved;
    r.firstFailure = first;
    return r;
}

CCheckResults ResultsOf(const std::vector<CLinkRecord>& records) {
    CCheckResults results;
    for (const CLinkRecord& r : records) results.Put(r);
    return results;
}

// A list as a Write leaves it: three genres, and the fifth style's page of it.
void AddList(CMainState& state, const std::vector<std::string>& texts) {
    for (const std::string& t : texts) {
        CLinkEntry entry(t);
        entry.SetAddress("http://t/" + t.substr(t.find_last_of('\\') + 1));
        state.m_linkList.Append(std::move(entry));
    }
}

std::vector<std::string> WriteAll(int style, const CCheckResults* results) {
    CMainState state;
    AddList(state, {"C:\\Fav\\G\\a.url", "C:\\Fav\\G\\b.url", "C:\\Fav\\c.url"});
    state.m_style = style;
    CFakeHost host(state);
    host.controls.outputPath = "o.html";
    CMemorySink sink;
    RunWrite(state, host, sink, results);
    std::vector<std::string> files;
    for (const auto& f : sink.files) files.push_back(f->path + "\n" + f->bytes);
    return files;
}

}  // namespace

// Only a confirmed "切れ" and a move to an http address are marked, found
// under the address as the page links to it; every text escaped.
TEST(ExportCheckReport, MarksOfTheFifthStyle) {
    const struct {
        const char* what;
        std::string file, url;
        std::vector<CLinkRecord> stored;
        page::CTodayLink shown;
    } rows[] = {
        {"no record", "none", "http://a/none", {}, {"http://a/none", "none"}},
        {"正常", "ok", "http://a/ok", {Record("http://a/ok", LinkState::Ok, 200)}, {"http://a/ok", "ok"}},
        {"切れ 25 hours apart", "A&B", "http://a/d", {Record("http://a/d", LinkState::Gone, 404, May(1, 8))},
         {"http://a/d", "A&amp;B", "dead"}},
        {"切れ 20 hours apart", "d20", "http://a/d20", {Record("http://a/d20", LinkState::Gone, 410, May(1, 13))},
         {"http://a/d20", "d20", "dead"}},
        {"切れ? 19 hours apart", "d19", "http://a/d19", {Record("http://a/d19", LinkState::Gone, 404, May(1, 14))},
         {"http://a/d19", "d19"}},
        {"移転", "mv", "http://a/mv", {Record("http://a/mv", LinkState::Moved, 301, May(2, 9), "https://b/?a=1&b=<2>")},
         {"http://a/mv", "mv", "https://b/?a=1&amp;b=&lt;2&gt;"}},
        {"移転 to a script", "js", "http://a/js",
         {Record("http://a/js", LinkState::Moved, 308, May(2, 9), "javascript:x")}, {"http://a/js", "js"}},
        {"拒否", "rf", "http://a/rf", {Record("http://a/rf", LinkState::Refused, 403, May(1, 3))}, {"http://a/rf", "rf"}},
        {"エラー", "er", "http://a/er", {Record("http://a/er", LinkState::Error, 500, May(1, 3))}, {"http://a/er", "er"}},
        {"a code page 932 address", "jp", "http://a/\x93\xfa\"",
         {Record("http://a/%E6%97%A5%22", LinkState::Gone, 404, May(1, 1))}, {"http://a/%E6%97%A5%22", "jp", "dead"}},
        {"another address's record", "o", "http://a/o", {Record("http://a/o/", LinkState::Gone, 404, May(1, 1))},
         {"http://a/o", "o"}},
    };
    CCheckResults results;
    CPageBench b;
    b.state.m_style = STYLE_TODAY;
    b.state.m_outputPath = "today.html";
    page::CTodayGenre genre{"Alpha", {}};
    for (const auto& r : rows) {
        b.Add("C:\\Favorites\\Alpha\\" + r.file + ".url", "Alpha", r.url);
        for (const CLinkRecord& record : r.stored) results.Put(record);
        genre.links.push_back(r.shown);
    }
    b.Ctx().checkResults = &results;
    EXPECT_EQ(WriteAllPages(b.Ctx()), PageResult::Ok);
    const std::string bytes = b.sink.Content("today.html");
    for (const auto& r : rows) EXPECT_NE(bytes.find(page::Crlf(page::TodayRow(r.shown))), std::string::npos) << r.what;
    EXPECT_EQ(bytes, page::Crlf(page::TodayPage(page::kTodayDefaultCaption, "", {genre}, kTodayStyle, kTodayScript)));
}

// With results the four other styles write the same files, and so does the
// fifth when they hold none of its links.
TEST(ExportCheckReport, ResultsChangeOnlyTheFifthStyle) {
    const CCheckResults marking = ResultsOf({Record("http://t/a.url", LinkState::Gone, 404, May(1, 3)),
                                             Record("http://t/b.url", LinkState::Moved, 301, May(2, 9), "http://n/")});
    const CCheckResults other = ResultsOf({Record("http://elsewhere/", LinkState::Gone, 404, May(1, 3))});
    for (int style : {STYLE_SINGLE, STYLE_ANCHORS, STYLE_INDEX, STYLE_FRAMES})
        EXPECT_EQ(WriteAll(style, &marking), WriteAll(style, nullptr)) << style;
    EXPECT_EQ(WriteAll(STYLE_TODAY, &other), WriteAll(STYLE_TODAY, nullptr));
    const std::string marked = WriteAll(STYLE_TODAY, &marking).back();
    EXPECT_NE(marked.find(u8"<s>a</s></a> <span class=\"mark\">リンク切れ</span>"), std::string::npos);
    EXPECT_NE(marked.find(u8"移転先: <a href=\"http://n/\">"), std::string::npos);
}

// Counts, sections in the order dead, unconfirmed, moved, refused, errors,
// each link with genre, name, address and status, all escaped; an entry
// without a record counted, not listed; a report without sections says why.
TEST(ExportCheckReport, Pages) {
    const std::vector<CLinkRecord> everyState = {
        Record("http://b/ok", LinkState::Ok, 200),
        Record("http://b/refused", LinkState::Refused, 403),
        Record("http://b/err", LinkState::Error, 0),
        Record("http://nowhere.invalid/", LinkState::Gone, 0, May(1, 9)),
        Record("http://s/?q=%22x%22&y", LinkState::Moved, 301, May(2, 9), "https://s/new?a=<1>&b"),
        Record("http://z/dead", LinkState::Gone, 404, May(1, 13)),
        Record("http://z/gone", LinkState::Gone, 410, May(1, 14)),
        Record("http://z/%E6%97%A5", LinkState::Gone, 404, May(1, 1)),
    };
    const std::vector<page::CReportSection> everySection = {
        {"dead",
         u8"切れ",
         page::kReportDeadAbout,
         {{"dns", "http://nowhere.invalid/", "Beta", u8"HTTP 応答なし"},
          {"dead", "http://z/dead", "Zeta", "HTTP 404"},
          {u8"http://z/日", "http://z/%E6%97%A5", "Zeta", "HTTP 404"}}},
        {"unconfirmed", u8"切れ?", page::kReportUnconfirmedAbout, {{"gone", "http://z/gone", "Zeta", "HTTP 410"}}},
        {"moved",
         u8"移転",
         page::kReportMovedAbout,
         {{"a&amp;b", "http://s/?q=%22x%22&amp;y", "Std&amp;Co", "HTTP 301", "https://s/new?a=&lt;1&gt;&amp;b"}}},
        {"refused", u8"拒否", page::kReportRefusedAbout, {{"&lt;refused&gt;", "http://b/refused", "Beta", "HTTP 403"}}},
        {"error", u8"エラー", page::kReportErrorAbout, {{"err", "http://b/err", "Beta", u8"HTTP 応答なし"}}},
    };
    const struct {
        const char* what;
        bool emptyList;
        std::vector<CLinkRecord> records;
        std::vector<int> counts;  // 正常 移転 切れ 切れ? 拒否 エラー, not checked
        std::vector<page::CReportSection> sections;
        std::string none;
    } rows[] = {
        {"every state", false, everyState, {1, 1, 3, 1, 1, 1, 1}, everySection, ""},
        {"only 正常", false, {everyState[0]}, {1, 0, 0, 0, 0, 0, 8}, {}, page::kReportAllOk},
        {"nothing stored", false, {}, {0, 0, 0, 0, 0, 0, 9}, {}, page::kReportNoneChecked},
        {"other addresses only",
         false,
         {Record("http://b/ok/", LinkState::Gone, 404, May(1, 1))},
         {0, 0, 0, 0, 0, 0, 9},
         {},
         page::kReportNoneChecked},
        {"an empty list", true, everyState, {0, 0, 0, 0, 0, 0, 0}, {}, page::kReportNoneChecked},
    };
    // Already in the fifth style's order: Beta, the standard genre, Zeta.
    const char* const list[][2] = {
        {"Beta\\ok", "http://b/ok"},
        {"Beta\\<refused>", "http://b/refused"},
        {"Beta\\err", "http://b/err"},
        {"Beta\\ftp", "ftp://b/"},
        {"Beta\\dns", "http://nowhere.invalid/"},
        {"a&b", "http://s/?q=\"x\"&y"},
        {"Zeta\\dead", "http://z/dead"},
        {"Zeta\\gone", "http://z/gone"},
        {"Zeta\\", "http://z/\x93\xfa"},  // a blank name; 日 in code page 932
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        CPageBench b;
        b.state.m_stdGenre = "Std&Co";
        for (const auto& l : list)
            if (!r.emptyList) b.Add(std::string("C:\\Favorites\\") + l[0] + ".url", "", l[1]);
        EXPECT_EQ(CheckReportPage(b.Ctx(), ResultsOf(r.records), May(2, 9)),
                  page::Crlf(page::CheckReport("2024-05-02 09:00:00", r.counts, r.sections, r.none,
                                               std::string(kTodayStyle) + kCheckReportStyle)));
        EXPECT_EQ(b.Ctx().row.rowGenre, b.state.m_stdGenre);  // the Write's row state untouched
    }
}

// Whatever the list's order, the report lists the links in the order of
// the fifth style's page.
TEST(ExportCheckReport, SameOrderAsTheFifthStyle) {
    CMainState state;
    AddList(state, {"C:\\Fav\\Zeta\\z.url", "C:\\Fav\\a.url", "C:\\Fav\\Beta\\b2.url", "C:\\Fav\\Favorites\\f.url",
                    "C:\\Fav\\Beta\\b1.url", "C:\\Fav\\ソ\\s.url"});
    CCheckResults results;
    for (const CLinkEntry& e : state.m_linkList.Items()) results.Put(Record(e.Address(), LinkState::Error, 500));
    const std::string report = CheckReportPage(state, results, May(2, 9));  // before the Write sorts the list
    state.m_style = STYLE_TODAY;
    CFakeHost host(state);
    host.controls.outputPath = "o.html";
    CMemorySink sink;
    RunWrite(state, host, sink);
    std::vector<std::string> orders[2];
    const std::string pages[2] = {report, sink.Content("o.html")}, mark = "href=\"http://t/";
    for (int k = 0; k < 2; ++k) {
        for (size_t at = pages[k].find(mark); at != std::string::npos; at = pages[k].find(mark, at + 1))
            orders[k].push_back(
                pages[k].substr(at + mark.size(), pages[k].find('"', at + mark.size()) - at - mark.size()));
    }
    EXPECT_EQ(Sorted(orders[0]), (std::vector<std::string>{"a.url", "b1.url", "b2.url", "f.url", "s.url", "z.url"}));
    EXPECT_EQ(orders[0], orders[1]);
}
