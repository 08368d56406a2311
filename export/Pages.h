// The pages of the Write command: link rows, main page, index page and genre
// pages, written through the page sink one file at a time.
#pragma once
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/MainState.h"
#include "export/PageOutput.h"

class CCheckResults;

// Reads the link address of the shortcut file of a list entry
// (ReadShortcutUrl in the program; tests put their own reader here).
using UrlReader = std::function<std::string(const CLinkEntry& entry)>;

// How a page, or the pages of a step, ended.
enum class PageResult { Ok, OpenFailed, WriteFailed };

// The row state shared by every page of one Write command: the genre cell and
// the link text of the row being written. Only the two derivations below
// change it; it is never reset between rows or pages.
struct CRowState {
    std::string rowGenre;
    std::string linkText;
};

// Everything the pages of one Write command share.
class CExportContext {
public:
    CExportContext(const CMainState& state, IPageSink& sink, UrlReader readUrl);

    const CMainState& state;
    IPageSink& sink;
    CRowState row;
    // The page file open at the moment; null between pages.
    std::unique_ptr<IPageFile> m_outFile;
    // The stored results of the link check, for the marks of the fifth
    // style; null when there are none. The other styles never read them.
    const CCheckResults* checkResults = nullptr;

    // The address of list entry |index|, read from its shortcut file at the
    // first call and kept for the rest of the command.
    // The view stays valid until the next call.
    std::string_view Url(size_t index);

private:
    UrlReader m_readUrl;
    // Every address read, one after another in blocks that never move: one
    // string per entry would cost more than the addresses themselves, and
    // one growing string would hold two copies while it grows.
    std::vector<std::string> m_urlBlocks;
    std::vector<const char*> m_urlStart;  // null: not read yet
    std::vector<size_t> m_urlLength;
};

// Sets the row genre of |entry| by the genre rule (TakeGenre): without a
// separator it keeps its value; the "Favorites" replacement still applies.
void DeriveRowGenre(const std::string& entry, const std::string& stdGenre, CRowState& row);

// Sets the link text to |entry|'s file name less its last four bytes (empty
// when four or fewer). Without a separator the link text keeps its value.
void DeriveLinkText(const std::string& entry, CRowState& row);

// |url| with every double quote written as %22, so that an address cannot
// end the attribute it stands in. All other bytes unchanged.
std::string EscapeHrefQuotes(std::string_view url);

// Derives the link text of list entry |index|, reads its address and writes
// one kLinkRow (row genre, address, link text) into ctx.m_outFile, which
// must be open. The caller has derived the row genre of the same entry.
// False when the write failed.
bool WriteLinkRow(CExportContext& ctx, size_t index);

// Writes the whole main page of STYLE_SINGLE, STYLE_FRAMES or STYLE_ANCHORS
// into ctx.m_outFile, which must be open; does not close it. Stops at the
// first failed write and returns false.
bool WriteMainPage(CExportContext& ctx);

// Opens the index page (m_outputPath for STYLE_INDEX, the menu page beside
// it for STYLE_FRAMES), writes it and closes it. OpenFailed: nothing
// written or closed. WriteFailed: the file was closed once and nothing more
// written.
PageResult WriteIndexPage(CExportContext& ctx);

// Writes one page per genre run, numbered as the index page numbers them,
// each with exactly the rows of the literal walk (every page walks the whole
// list comparing row genres), in one pass over the list. Stops at the first
// page that cannot be opened or written, as WriteIndexPage does.
PageResult WriteGenrePages(CExportContext& ctx);

// Closes ctx.m_outFile once. Ok only when |written| and the close succeeded.
PageResult FinishPage(CExportContext& ctx, bool written);
