// The fifth output style: one self-contained page for today's readers,
// HTML5 in UTF-8, readable on a phone and in the dark, with a search field
// its script adds. The same entries, genres and order as STYLE_ANCHORS.
#pragma once
#include <string>
#include <string_view>

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

// Writes the whole page into ctx.m_outFile, which must be open; does not
// close it. Stops at the first failed write and returns false.
bool WriteTodayPage(CExportContext& ctx);
