#include "export/TodayPage.h"

#include <cstring>
#include <vector>

#include "core/CodePage932.h"
#include "core/Text.h"
#include "core/Texts.h"
#include "check/CheckResults.h"
#include "check/LinkCheck.h"
#include "links/Bookmarks.h"
#include "links/Genres.h"

// The page is UTF-8: every Japanese text here is a u8 literal, which the
// code page 932 execution character set leaves alone.
const char kTodayNoGenre[] = u8"（ジャンルなし）";

namespace {

const char kHeadStart[] =
    u8"<!DOCTYPE html>\n"
    u8"<html lang=\"ja\">\n"
    u8"<head>\n"
    u8"<meta charset=\"utf-8\">\n"
    u8"<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
    u8"<meta name=\"color-scheme\" content=\"light dark\">\n"
    u8"<meta name=\"referrer\" content=\"no-referrer\">\n"
    // Nothing the page holds may reach another address: no script, style,
    // font or image but its own.
    u8"<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src 'unsafe-inline'; "
    u8"script-src 'unsafe-inline'; img-src data:; base-uri 'none'; form-action 'none'\">\n"
    // Without an icon of its own a browser asks the server for one.
    u8"<link rel=\"icon\" href=\"data:,\">\n"
    u8"<title>";
// A search engine's summary of a published page: its caption.
const char kDescriptionStart[] = u8"</title>\n<meta name=\"description\" content=\"";
const char kStyleStart[] = u8"\">\n<style>\n";
const char kHeadEnd[] = u8"</style>\n</head>\n<body>\n";
const char kHeaderStart[] = u8"<header>\n<h1>";
const char kHeadingEnd[] = u8"</h1>\n";
const char kBackScript[] = u8"<p class=\"back\"><a href=\"javascript:history.back()\">戻る</a></p>\n";
const char kBackStart[] = u8"<p class=\"back\"><a href=\"";
const char kBackEnd[] = u8"\">戻る</a></p>\n";
const char kNavStart[] = u8"</header>\n<nav aria-label=\"ジャンル\">\n<ul>\n";
const char kNavEnd[] = u8"</ul>\n</nav>\n<main>\n";
const char kSectionEnd[] = u8"</ul>\n</section>\n";
const char kMainEnd[] = u8"</main>\n";
const char kFooterStart[] = u8"<footer>\n<p><a href=\"";
const char kFooterEnd[] = u8"</a></p>\n</footer>\n";
const char kScriptStart[] = u8"<script>\n";
const char kPageEnd[] = u8"</script>\n</body>\n</html>\n";
const char kDefaultCaption[] = u8"わたしのお気に入り";
const char kCountUnit[] = u8" 件";
// The marks of the link check's results. The link stays the first child of
// its row: the search script matches that link alone.
const char kDeadStart[] = u8"<li class=\"dead\"><a href=\"";
const char kDeadEnd[] = u8"</s></a> <span class=\"mark\">リンク切れ</span></li>\n";
const char kMovedStart[] = u8"<li class=\"moved\"><a href=\"";
const char kMovedMark[] = u8"</a> <span class=\"mark\">移転先: <a href=\"";
const char kMovedEnd[] = u8"</a></span></li>\n";

enum class LinkMark { None, Dead, Moved };

// What the stored results say of |address|: only a confirmed "切れ" and a
// move to an address the page may link to are marked.
LinkMark MarkOf(const CCheckResults* results, const std::string& address, const CLinkRecord*& record) {
    record = results ? results->Find(address) : nullptr;
    if (!record) return LinkMark::None;
    if (IsConfirmedDead(*record)) return LinkMark::Dead;
    if (record->state == LinkState::Moved && IsCheckable(record->finalAddress)) return LinkMark::Moved;
    return LinkMark::None;
}

// A text of the program (code page 932, references of characters without a
// form of their own) as the person sees it, escaped.
void AppendTextEscaped(std::string& out, std::string_view text) {
    static thread_local std::u16string wide;
    wide.clear();
    AppendUtf16FromText(text, wide);
    static thread_local std::string utf8;
    utf8.clear();
    AppendUtf8FromUtf16(wide, utf8);
    AppendHtmlEscaped(out, utf8);
}

void AppendWideEscaped(std::string& out, std::u16string_view wide) {
    static thread_local std::string utf8;
    utf8.clear();
    AppendUtf8FromUtf16(wide, utf8);
    AppendHtmlEscaped(out, utf8);
}

bool IsSeparatorUnit(char16_t c) { return c == u'\\' || c == u'/'; }

// The last name of real[0, end) whose text is |text|, |end| moved to the
// separator before it: the shortest ending after a separator that gives
// |text| back. A bookmark's title may hold "\" (its text "&#92;"), so the
// last separator is not always the one. Without such an ending, the text's
// own characters.
std::u16string MatchLastName(const std::u16string& real, size_t& end, std::string_view text) {
    for (size_t p = end; p > 0; --p) {
        const bool start = p - 1 == 0 && !IsSeparatorUnit(real[0]);
        if (!IsSeparatorUnit(real[p - 1]) && !start) continue;
        const size_t from = start ? 0 : p;
        const std::u16string_view candidate(real.data() + from, end - from);
        if (BookmarkNameText(candidate) == text) {
            end = from == 0 ? 0 : from - 1;
            return std::u16string(candidate);
        }
    }
    end = 0;
    return Utf16FromText(text);
}

// The real names of |entry|'s file and of the folder that holds it (empty
// without one).
void RealNamesOf(const CLinkEntry& entry, std::u16string& file, std::u16string& folder) {
    const std::string& text = entry.text;
    const SeparatorPair sep = LastSeparators(text);
    const std::string_view whole(text);
    const std::string_view fileText = sep.last == std::string::npos ? whole : whole.substr(sep.last + 1);
    std::string_view folderText;
    if (sep.last != std::string::npos) {
        const size_t from = sep.beforeLast == std::string::npos ? 0 : sep.beforeLast + 1;
        folderText = whole.substr(from, sep.last - from);
    }
    if (entry.realPath.empty()) {
        // The text gives the real path back: its characters are the names.
        file = Utf16FromText(fileText);
        folder = Utf16FromText(folderText);
        return;
    }
    const std::u16string real = Utf16FromHostName(entry.realPath);
    size_t end = real.size();
    file = MatchLastName(real, end, fileText);
    folder = sep.last == std::string::npos ? std::u16string() : MatchLastName(real, end, folderText);
}

bool EqualsNoCase(std::u16string_view text, const char* lower) {
    if (text.size() != std::strlen(lower)) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i] >= u'A' && text[i] <= u'Z' ? static_cast<char16_t>(text[i] + 32) : text[i];
        if (c != static_cast<unsigned char>(lower[i])) return false;
    }
    return true;
}

bool IsBlank(std::u16string_view text) {
    for (char16_t c : text)
        if (c != u' ' && c != u'\t' && c != u'\r' && c != u'\n' && c != 0x00A0 && c != 0x3000) return false;
    return true;
}

// The genre run's heading: the folder's real name, or the standard genre
// for links directly in the Favorites folder.
void AppendGenreHeading(std::string& out, const CLinkEntry& entry, const std::string& rowGenre) {
    std::string folderText;
    std::u16string file, folder;
    const size_t before = out.size();
    if (TakeInnermostFolder(entry.text, folderText) && folderText != kFavoritesFolderName && folderText == rowGenre) {
        RealNamesOf(entry, file, folder);
        AppendWideEscaped(out, folder);
    } else {
        AppendTextEscaped(out, rowGenre);
    }
    if (out.size() == before) out += kTodayNoGenre;
}

}  // namespace

void AppendHtmlEscaped(std::string& out, std::string_view utf8) {
    size_t done = 0;
    for (size_t at = utf8.find_first_of("&<>\""); at != std::string_view::npos;
         at = utf8.find_first_of("&<>\"", at + 1)) {
        out.append(utf8.data() + done, at - done);
        switch (utf8[at]) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += "&quot;";
        }
        done = at + 1;
    }
    out.append(utf8.data() + done, utf8.size() - done);
}

std::u16string TodayLinkName(const CLinkEntry& entry) {
    std::u16string file, folder;
    RealNamesOf(entry, file, folder);
    // The name made it a shortcut by its last three characters, in any case.
    if (file.size() >= 4 && EqualsNoCase(std::u16string_view(file).substr(file.size() - 4), ".url"))
        file.resize(file.size() - 4);
    else if (file.size() >= 3 && EqualsNoCase(std::u16string_view(file).substr(file.size() - 3), "url"))
        file.resize(file.size() - 3);
    if (IsBlank(file)) file.clear();
    return file;
}

std::string TodayAddress(std::string_view address) { return WebAddress(address); }

void AppendTodayHead(std::string& out, std::string_view title, std::string_view moreStyle) {
    out += kHeadStart;
    out += title;
    out += kDescriptionStart;
    out += title;
    out += kStyleStart;
    out += kTodayStyle;
    out += moreStyle;
    out += kHeadEnd;
}

void AppendTodayFooter(std::string& out) {
    out += kFooterStart;
    out += kHomePageUrl;
    out += "\">Orvelle v";
    out += kVersion;
    out += kFooterEnd;
}

std::vector<CTodayGenreRun> TodayGenreRuns(const CMainState& s, CRowState& row, const std::vector<size_t>* order) {
    const size_t count = order ? order->size() : s.m_linkList.Count();
    // The runs of one genre first: the nav names each with its count before
    // the sections.
    std::vector<CTodayGenreRun> runs;
    std::string previous;
    for (size_t k = 0; k < count; ++k) {
        const CLinkEntry& entry = s.m_linkList.Entry(order ? (*order)[k] : k);
        DeriveRowGenre(entry.text, s.m_stdGenre, row);
        if (!runs.empty() && row.rowGenre == previous) {
            ++runs.back().count;
            continue;
        }
        previous = row.rowGenre;
        runs.emplace_back();
        runs.back().count = 1;
        AppendGenreHeading(runs.back().heading, entry, row.rowGenre);
    }
    return runs;
}

void AppendTodayLinkText(std::string& out, const CLinkEntry& entry, std::string_view address) {
    const std::u16string name = TodayLinkName(entry);
    if (name.empty())
        AppendTextEscaped(out, address);
    else
        AppendWideEscaped(out, name);
}

bool WriteTodayPage(CExportContext& ctx) {
    if (!ctx.m_outFile) return false;
    IPageFile& f = *ctx.m_outFile;
    const CMainState& s = ctx.state;
    const std::vector<CTodayGenreRun> runs = TodayGenreRuns(s, ctx.row, nullptr);

    std::string text;
    std::string caption;
    if (s.m_caption.empty())
        caption = kDefaultCaption;
    else
        AppendTextEscaped(caption, s.m_caption);
    AppendTodayHead(text, caption, std::string_view());
    text += kHeaderStart;
    text += caption;
    text += kHeadingEnd;
    if (s.m_useJava == 1) {
        text += kBackScript;
    } else if (!s.m_backUrl.empty()) {
        // A typed text: references stand for characters without a code page 932 form.
        std::string url;
        AppendPercentEncoded(url, Utf16FromText(s.m_backUrl), false);
        text += kBackStart;
        AppendHtmlEscaped(text, EscapeHrefQuotes(url));
        text += kBackEnd;
    }
    text += kNavStart;
    for (size_t k = 0; k < runs.size(); ++k) {
        text += "<li><a href=\"#g" + std::to_string(k + 1) + "\">";
        text += runs[k].heading;
        text += "<span class=\"count\">" + std::to_string(runs[k].count) + "</span></a></li>\n";
    }
    text += kNavEnd;
    if (!f.Write(text)) return false;

    // One buffer for every row: a row costs no allocation of its own.
    size_t r = 0;
    for (size_t k = 0; k < runs.size(); ++k) {
        text.clear();
        text += "<section id=\"g" + std::to_string(k + 1) + "\">\n<h2>";
        text += runs[k].heading;
        text += "<span class=\"count\">" + std::to_string(runs[k].count) + kCountUnit + "</span></h2>\n<ul>\n";
        for (size_t end = r + runs[k].count; r < end; ++r) {
            const std::string address = TodayAddress(ctx.Url(r));
            const CLinkRecord* record = nullptr;
            const LinkMark mark = MarkOf(ctx.checkResults, address, record);
            text += mark == LinkMark::Dead ? kDeadStart : mark == LinkMark::Moved ? kMovedStart : "<li><a href=\"";
            AppendHtmlEscaped(text, address);
            text += mark == LinkMark::Dead ? "\"><s>" : "\">";
            AppendTodayLinkText(text, s.m_linkList.Entry(r), ctx.Url(r));
            if (mark == LinkMark::Dead) {
                text += kDeadEnd;
            } else if (mark == LinkMark::Moved) {
                const std::string moved = TodayAddress(record->finalAddress);
                text += kMovedMark;
                AppendHtmlEscaped(text, moved);
                text += "\">";
                AppendHtmlEscaped(text, moved);
                text += kMovedEnd;
            } else {
                text += "</a></li>\n";
            }
            if (text.size() >= 64 * 1024) {
                if (!f.Write(text)) return false;
                text.clear();
            }
        }
        text += kSectionEnd;
        if (!f.Write(text)) return false;
    }

    text.clear();
    text += kMainEnd;
    AppendTodayFooter(text);
    text += kScriptStart;
    text += kTodayScript;
    text += kPageEnd;
    return f.Write(text);
}
