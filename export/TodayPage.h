// The fifth output style: one self-contained page for today's readers,
// HTML5 in UTF-8, readable on a phone and in the dark, with a search field
// its script adds. The same entries, genres and order as STYLE_ANCHORS.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "export/Pages.h"

// The page's style sheet and script (export/TodayPage.css and .js).
extern const char kTodayStyle[];
extern const char kTodayScript[];

// The section heading of the empty genre (a standard genre set to "").
extern const char kTodayNoGenre[];  // "（ジャンルなし）" in UTF-8

// |text| with & < > " as character references, for text and attribute
// values alike.
void AppendHtmlEscaped(std::string& out, std::string_view utf8);

// The name a person sees for a list entry's link: its file's real name
// without ".url" (without the "url" that made it a shortcut when the name
// has no dot), never cut inside a character; empty when that is blank.
// UTF-16, as the list box shows it.
std::u16string TodayLinkName(const CLinkEntry& entry);

// The address as it goes into the page, by the rule of bookmarks'
// addresses: spaces, control characters and every character beyond ASCII
// (the address's bytes read as code page 932) as percent-encoded UTF-8, a
// double quote as %22, the rest as it is.
std::string TodayAddress(std::string_view address);

// The head of a page in the fifth style's look, from the doctype to the
// opening <body> tag: |title| (escaped UTF-8) as its title and description,
// kTodayStyle and then |moreStyle| as its style sheet.
void AppendTodayHead(std::string& out, std::string_view title, std::string_view moreStyle);

// The footer that ends the fifth style's pages: the program's name and
// version linked to its home page.
void AppendTodayFooter(std::string& out);

// One genre's run of list entries, a section of the page.
struct CTodayGenreRun {
    size_t count = 0;
    std::string heading;  // escaped UTF-8, never empty
};

// The genre runs of the list entries |order| names (list indexes), in that
// order; of the whole list in its own order when |order| is null. The row
// genre is derived through |row| as the page derives it.
std::vector<CTodayGenreRun> TodayGenreRuns(const CMainState& state, CRowState& row,
                                           const std::vector<size_t>* order);

// Appends what the page shows of a link, escaped: its name (TodayLinkName),
// or |address| (the program's text) when that is empty.
void AppendTodayLinkText(std::string& out, const CLinkEntry& entry, std::string_view address);

// Writes the whole page into ctx.m_outFile, which must be open; does not
// close it. Stops at the first failed write and returns false. With
// ctx.checkResults, a link they call dead ("切れ", confirmed) is struck
// through with "リンク切れ" beside it, and a moved one has its new address
// beside it as a link; other states are not marked.
bool WriteTodayPage(CExportContext& ctx);
