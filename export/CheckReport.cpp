#include "export/CheckReport.h"

#include <algorithm>
#include <memory>
#include <string_view>
#include <vector>

#include "export/TodayPage.h"
#include "links/Genres.h"
#include "links/Ordering.h"
#include "links/Shortcut.h"

// Its own few rules over the fifth style's sheet: a table of counts and
// links listed with what is known of them, not as tap-sized rows.
const char kCheckReportStyle[] =
    u8"/* The link check's report. */\n"
    u8".when, .about, .info { color: var(--muted); }\n"
    u8".when { margin: 0 0 .5rem; }\n"
    u8".about { margin: .5rem 0 0; }\n"
    u8".counts { border-collapse: collapse; margin: .5rem 0 0; min-width: min(100%, 16rem); }\n"
    u8".counts th, .counts td { padding: .375rem .5rem .375rem 0; border-bottom: 1px solid var(--line); }\n"
    u8".counts th { text-align: left; font-weight: normal; }\n"
    u8".counts td { text-align: right; font-variant-numeric: tabular-nums; white-space: nowrap; }\n"
    u8".counts .total th, .counts .total td { font-weight: bold; border-bottom: 0; }\n"
    // Short sections: laid out at once, or each would hold the height
    // guessed for a genre of the page until it came into view.
    u8"main.report section { content-visibility: visible; }\n"
    u8".report li { padding: .5rem .25rem; border-bottom: 1px solid var(--line); }\n"
    u8".report li p { margin: 0; }\n"
    u8".report .name { font-weight: bold; }\n"
    u8"main.report li a {\n"
    u8"  display: inline-block;\n"
    u8"  min-height: 0;\n"
    u8"  padding: .25rem 0;\n"
    u8"  font-size: 1rem;\n"
    u8"  border: 0;\n"
    u8"  text-decoration: underline;\n"
    u8"}\n";

namespace {

// What a list entry came to, in the order of the table of counts.
enum Kind { kOk, kMoved, kDead, kUnconfirmed, kRefused, kError, kNotChecked, kKindCount };

// The sections, in the order a person acts on them: dead links first.
const Kind kSectionOrder[] = {kDead, kUnconfirmed, kMoved, kRefused, kError};
const Kind kCountOrder[] = {kOk, kMoved, kDead, kUnconfirmed, kRefused, kError, kNotChecked};

const char kTitle[] = u8"リンク確認の結果";
const char kNotCheckedWord[] = u8"確認していない";
const char kTotalWord[] = u8"合計";
const char kCountUnit[] = u8" 件";
const char kCheckedAt[] = u8"確認した日時: ";
const char kCountsHeading[] = u8"件数";
const char kGenreLabel[] = u8"ジャンル: ";
const char kNoStatus[] = u8"HTTP 応答なし";
const char kMovedTo[] = u8"移転先: ";
const char kNoneChecked[] = u8"確認したリンクはありません。";
const char kAllOk[] = u8"確認したリンクはすべて正常でした。";
const char kRefusedAbout[] = u8"サーバーが確認を断りました（401, 403, 429）。ブラウザーでは開けることがあります。";
const char kErrorAbout[] = u8"時間切れ、接続の失敗、暗号化の失敗、サーバーの障害で、確かめられませんでした。";
const char kMovedAbout[] = u8"新しいアドレスへ恒久的に移っています。";

struct CSection {
    std::vector<size_t> entries;  // list indexes in page order
    std::vector<size_t> runs;     // each entry's genre run
};

Kind KindOf(const CLinkRecord* record) {
    if (!record) return kNotChecked;
    switch (record->state) {
        case LinkState::Ok:
            return kOk;
        case LinkState::Moved:
            return kMoved;
        case LinkState::Gone:
            return IsConfirmedDead(*record) ? kDead : kUnconfirmed;
        case LinkState::Refused:
            return kRefused;
        case LinkState::Error:
            break;
    }
    return kError;
}

const char* WordOf(Kind kind) {
    switch (kind) {
        case kOk:
            return StateWordUtf8(LinkState::Ok);
        case kMoved:
            return StateWordUtf8(LinkState::Moved);
        case kDead:
            return StateWordUtf8(LinkState::Gone);
        case kUnconfirmed:
            return kUnconfirmedUtf8;
        case kRefused:
            return StateWordUtf8(LinkState::Refused);
        case kError:
            return StateWordUtf8(LinkState::Error);
        default:
            return kNotCheckedWord;
    }
}

const char* IdOf(Kind kind) {
    switch (kind) {
        case kDead:
            return "dead";
        case kUnconfirmed:
            return "unconfirmed";
        case kMoved:
            return "moved";
        case kRefused:
            return "refused";
        default:
            return "error";
    }
}

std::string AboutOf(Kind kind) {
    const std::string hours = std::to_string(kConfirmHours);
    switch (kind) {
        case kDead:
            return hours + u8" 時間以上あけた 2 度の確認で、どちらも見つからなかったリンクです。";
        case kUnconfirmed:
            return u8"見つかりませんでした。" + hours +
                   u8" 時間以上あけた次の確認でも見つからなければ「切れ」になります。一時的な障害のこともあります。";
        case kMoved:
            return kMovedAbout;
        case kRefused:
            return kRefusedAbout;
        default:
            return kErrorAbout;
    }
}

// The entries in the order of the fifth style's page: by genre, as the
// Write sorts them, without sorting the list itself.
std::vector<size_t> PageOrder(const CMainState& s) {
    const size_t n = std::min(s.m_linkList.Count(), kMaxLinks);
    std::string workGenre = s.m_workGenre;
    std::vector<std::string> genres(n);
    for (size_t k = 0; k < n; ++k) {
        TakeGenre(s.m_linkList.Text(k), s.m_stdGenre, workGenre);
        genres[k] = workGenre;
    }
    std::vector<const std::string*> keys(n);
    for (size_t k = 0; k < n; ++k) keys[k] = &genres[k];
    return ExchangeSortOrder(RankInPathOrder(keys));
}

void AppendCount(std::string& out, size_t count) {
    out += std::to_string(count);
    out += kCountUnit;
}

void AppendLink(std::string& out, const std::string& address) {
    out += "<a href=\"";
    AppendHtmlEscaped(out, address);
    out += "\">";
    AppendHtmlEscaped(out, address);
    out += "</a>";
}

// The page's line feeds as CR LF, as every page the program writes.
std::string WithCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// Opens nothing: the report is returned, never written through a sink.
class CNoPageSink : public IPageSink {
public:
    std::unique_ptr<IPageFile> Create(const std::string&) override { return nullptr; }
};

}  // namespace

std::string CheckReportPage(CExportContext& ctx, const CCheckResults& results, const CLocalTime& checkedAt) {
    const CMainState& s = ctx.state;
    const std::vector<size_t> order = PageOrder(s);
    CRowState row;
    row.rowGenre = s.m_stdGenre;
    const std::vector<CTodayGenreRun> runs = TodayGenreRuns(s, row, &order);

    size_t counts[kKindCount] = {};
    CSection sections[kKindCount];
    std::vector<const CLinkRecord*> records(s.m_linkList.Count(), nullptr);
    size_t k = 0;
    for (size_t run = 0; run < runs.size(); ++run) {
        for (size_t end = k + runs[run].count; k < end; ++k) {
            const size_t index = order[k];
            records[index] = results.Find(TodayAddress(ctx.Url(index)));
            const Kind kind = KindOf(records[index]);
            ++counts[kind];
            sections[kind].entries.push_back(index);
            sections[kind].runs.push_back(run);
        }
    }

    std::string text;
    AppendTodayHead(text, kTitle, kCheckReportStyle);
    text += u8"<header>\n<h1>";
    text += kTitle;
    text += u8"</h1>\n<p class=\"when\">";
    text += kCheckedAt;
    const std::string when = FormatLocalTime(checkedAt);
    // The machine-readable form has a "T" where people write a space.
    std::string datetime = when;
    const size_t space = datetime.find(' ');
    if (space != std::string::npos) datetime[space] = 'T';
    text += u8"<time datetime=\"";
    AppendHtmlEscaped(text, datetime);
    text += u8"\">";
    AppendHtmlEscaped(text, when);
    text += u8"</time></p>\n</header>\n<main class=\"report\">\n";

    text += u8"<section id=\"counts\">\n<h2>";
    text += kCountsHeading;
    text += u8"</h2>\n<table class=\"counts\">\n";
    for (Kind kind : kCountOrder) {
        text += u8"<tr><th scope=\"row\">";
        text += WordOf(kind);
        text += u8"</th><td>";
        AppendCount(text, counts[kind]);
        text += u8"</td></tr>\n";
    }
    text += u8"<tr class=\"total\"><th scope=\"row\">";
    text += kTotalWord;
    text += u8"</th><td>";
    AppendCount(text, order.size());
    text += u8"</td></tr>\n</table>\n</section>\n";

    bool listed = false;
    for (Kind kind : kSectionOrder) {
        const CSection& section = sections[kind];
        if (section.entries.empty()) continue;
        listed = true;
        text += u8"<section id=\"";
        text += IdOf(kind);
        text += u8"\">\n<h2>";
        text += WordOf(kind);
        text += u8"<span class=\"count\">";
        AppendCount(text, section.entries.size());
        text += u8"</span></h2>\n<p class=\"about\">";
        text += AboutOf(kind);
        text += u8"</p>\n<ul>\n";
        for (size_t i = 0; i < section.entries.size(); ++i) {
            const size_t index = section.entries[i];
            const CLinkRecord& record = *records[index];
            text += u8"<li><p class=\"name\">";
            AppendTodayLinkText(text, s.m_linkList.Entry(index), ctx.Url(index));
            text += u8"</p>\n<p>";
            AppendLink(text, record.address);
            text += u8"</p>\n";
            if (kind == kMoved && !record.finalAddress.empty()) {
                text += u8"<p>";
                text += kMovedTo;
                AppendLink(text, TodayAddress(record.finalAddress));
                text += u8"</p>\n";
            }
            text += u8"<p class=\"info\">";
            text += kGenreLabel;
            text += runs[section.runs[i]].heading;
            text += u8"\u3000";
            text += record.status ? "HTTP " + std::to_string(record.status) : std::string(kNoStatus);
            text += u8"</p></li>\n";
        }
        text += u8"</ul>\n</section>\n";
    }
    if (!listed) {
        text += u8"<p class=\"about\">";
        text += counts[kNotChecked] == order.size() ? kNoneChecked : kAllOk;
        text += u8"</p>\n";
    }
    text += u8"</main>\n";
    AppendTodayFooter(text);
    text += u8"</body>\n</html>\n";
    return WithCrLf(text);
}

std::string CheckReportPage(const CMainState& state, const CCheckResults& results, const CLocalTime& checkedAt) {
    CNoPageSink sink;
    CExportContext ctx(state, sink, [](const CLinkEntry& entry) { return LinkAddress(entry); });
    return CheckReportPage(ctx, results, checkedAt);
}

bool StoreCheckReport(const CMainState& state, const CCheckResults& results, const CLocalTime& checkedAt,
                      ICheckFiles& files, int profile, HostName& path) {
    HostName folder;
    if (!files.ResultsFolder(folder)) return false;
    path = folder + kHostSeparator + HostNameFromText(ReportFileName(profile));
    return files.ReplaceWhole(path, CheckReportPage(state, results, checkedAt));
}
