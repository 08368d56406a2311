#include "export/Pages.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <utility>

#include "core/Text.h"
#include "core/Texts.h"
#include "export/Fragments.h"
#include "links/Genres.h"

namespace {

const std::string kEmpty;

// Genre array entry |i|; the array is never read past its end.
const std::string& GenreAt(const CMainState& s, size_t i) {
    return i < s.m_genres.size() ? s.m_genres[i] : kEmpty;
}

bool Put(IPageFile& f, const char* fragment) { return f.Write(fragment, std::strlen(fragment)); }

bool Put(IPageFile& f, const char* fragment, std::initializer_list<FragmentArg> args) {
    // One buffer for every row of the command: a row costs no allocation.
    static thread_local std::string text;
    text.clear();
    AppendFragment(text, fragment, args);
    const bool ok = f.Write(text);
    // A row of a huge address is not kept for the rest of the run.
    if (text.capacity() > 64 * 1024) std::string().swap(text);
    return ok;
}

// Title, the head's end, the back link and the heading of the main page and
// of the STYLE_INDEX index page; |afterTitle| and |afterHeadEnd| are the
// main page's style extras (or null).
bool PutHead(IPageFile& f, const CMainState& s, const char* afterTitle, const char* afterHeadEnd) {
    bool ok = s.m_caption.empty() ? Put(f, kHeadDefaultTitle) : Put(f, kHeadTitle, {s.m_caption});
    if (ok && afterTitle) ok = Put(f, afterTitle);
    if (ok) ok = Put(f, s.m_useJava == 1 ? kHeadEndScript : kHeadEnd);
    if (ok && afterHeadEnd) ok = Put(f, afterHeadEnd);
    if (ok) {
        if (s.m_useJava == 1)
            ok = Put(f, kBackLinkScript);
        else if (!s.m_backUrl.empty())
            ok = Put(f, kBackLink, {s.m_backUrl});
    }
    if (ok) ok = s.m_caption.empty() ? Put(f, kHeadingDefault) : Put(f, kHeading, {s.m_caption});
    return ok;
}

bool PutFooter(IPageFile& f) { return Put(f, kFooter, {kHomePageUrl, kVersion}); }

}  // namespace

CExportContext::CExportContext(const CMainState& s, IPageSink& pageSink, UrlReader readUrl)
    : state(s), sink(pageSink), m_readUrl(std::move(readUrl)) {}

std::string_view CExportContext::Url(size_t index) {
    if (index >= state.m_linkList.Count()) return std::string_view();
    if (m_urlStart.size() <= index) {
        m_urlStart.resize(state.m_linkList.Count(), nullptr);
        m_urlLength.resize(state.m_linkList.Count(), 0);
    }
    if (!m_urlStart[index]) {
        const std::string url = m_readUrl ? m_readUrl(state.m_linkList.Entry(index)) : std::string();
        const size_t kBlock = 64 * 1024;
        if (m_urlBlocks.empty() || m_urlBlocks.back().capacity() - m_urlBlocks.back().size() < url.size() + 1) {
            m_urlBlocks.emplace_back();
            m_urlBlocks.back().reserve(std::max(kBlock, url.size() + 1));
        }
        std::string& block = m_urlBlocks.back();
        // Appending within the reserved room never moves the block.
        const size_t at = block.size();
        block += url;
        m_urlStart[index] = block.data() + at;
        m_urlLength[index] = url.size();
    }
    return std::string_view(m_urlStart[index], m_urlLength[index]);
}

void DeriveRowGenre(const std::string& entry, const std::string& stdGenre, CRowState& row) {
    TakeGenre(entry, stdGenre, row.rowGenre);
}

void DeriveLinkText(const std::string& entry, CRowState& row) {
    TakeFileNameStem(entry, row.linkText);
}

std::string EscapeHrefQuotes(std::string_view url) {
    // 0x22 is never the second byte of a two-byte character, so a byte-wise
    // replacement cannot split one.
    if (url.find('"') == std::string_view::npos) return std::string(url);
    std::string out;
    out.reserve(url.size() + 8);
    for (char c : url) {
        if (c == '"')
            out += "%22";
        else
            out.push_back(c);
    }
    return out;
}

bool WriteLinkRow(CExportContext& ctx, size_t index) {
    if (!ctx.m_outFile || index >= ctx.state.m_linkList.Count()) return false;
    DeriveLinkText(ctx.state.m_linkList.Text(index), ctx.row);
    const std::string_view raw = ctx.Url(index);
    // Most addresses hold no quote: written as they are, without a copy.
    std::string escaped;
    if (raw.find('"') != std::string_view::npos) escaped = EscapeHrefQuotes(raw);
    const std::string_view url = escaped.empty() ? raw : std::string_view(escaped);
    return Put(*ctx.m_outFile, kLinkRow, {ctx.row.rowGenre, url, ctx.row.linkText});
}

bool WriteMainPage(CExportContext& ctx) {
    if (!ctx.m_outFile) return false;
    IPageFile& f = *ctx.m_outFile;
    const CMainState& s = ctx.state;
    const bool frames = s.m_style == STYLE_FRAMES;
    const bool anchors = s.m_style == STYLE_ANCHORS;
    const size_t count = s.m_linkList.Count();

    bool ok = PutHead(f, s, frames ? kFrameset : nullptr, anchors ? kTopAnchor : nullptr);
    if (ok && anchors) {
        const std::string* last = &kEmpty;
        for (size_t k = 0; ok && k < count; ++k) {
            const std::string& genre = GenreAt(s, k);
            if (!genre.empty() && genre != *last) {
                ok = Put(f, kAnchorIndexItem, {genre, genre});
                last = &genre;
            }
        }
        if (ok) ok = Put(f, kAnchorIndexEnd);
    }
    if (ok) ok = Put(f, kTableHead);
    std::string previous;
    for (size_t r = 0; ok && r < count; ++r) {
        DeriveRowGenre(s.m_linkList.Text(r), s.m_stdGenre, ctx.row);
        if (anchors && !previous.empty() && previous != ctx.row.rowGenre)
            ok = Put(f, kGenreBreak, {ctx.row.rowGenre});
        previous = ctx.row.rowGenre;
        if (ok) ok = WriteLinkRow(ctx, r);
    }
    if (ok) ok = PutFooter(f);
    if (ok && frames) ok = Put(f, kNoFramesEnd);
    if (ok) ok = Put(f, kPageEnd);
    return ok;
}

PageResult FinishPage(CExportContext& ctx, bool written) {
    if (!ctx.m_outFile) return PageResult::OpenFailed;
    bool closed = ctx.m_outFile->Close();
    ctx.m_outFile.reset();
    return written && closed ? PageResult::Ok : PageResult::WriteFailed;
}

PageResult WriteIndexPage(CExportContext& ctx) {
    const CMainState& s = ctx.state;
    const bool index = s.m_style == STYLE_INDEX;
    ctx.m_outFile = index ? ctx.sink.CreateMain(s.m_outputPath, s.m_outputRealPath)
                          : ctx.sink.CreateBeside(s.m_outputPath, s.m_outputRealPath, kMenuPageName);
    if (!ctx.m_outFile) return PageResult::OpenFailed;
    IPageFile& f = *ctx.m_outFile;

    bool ok = !index || PutHead(f, s, nullptr, nullptr);
    const char* item = index ? kIndexItem : kMenuItem;
    const std::string* previous = &kEmpty;
    long number = 0;
    for (size_t i = 0; ok && i < s.m_linkList.Count(); ++i) {
        const std::string& genre = GenreAt(s, i);
        if (genre != *previous) {
            ok = Put(f, item, {++number, genre});
            previous = &genre;
        }
    }
    if (ok) ok = Put(f, kIndexEnd);
    return FinishPage(ctx, ok);
}

namespace {

// The row genre of every entry in one full walk over the list from a given
// incoming row genre, with the entries grouped by it (in list order).
struct CRowWalk {
    std::string incoming;
    std::string outgoing;
    std::unordered_map<std::string, std::vector<size_t>> rows;
};

CRowWalk MakeRowWalk(const CExportContext& ctx, const std::string& incoming) {
    CRowWalk walk;
    walk.incoming = incoming;
    CRowState st;
    st.rowGenre = incoming;
    const CMainState& s = ctx.state;
    for (size_t r = 0; r < s.m_linkList.Count(); ++r) {
        DeriveRowGenre(s.m_linkList.Text(r), s.m_stdGenre, st);
        walk.rows[st.rowGenre].push_back(r);
    }
    walk.outgoing = st.rowGenre;
    return walk;
}

}  // namespace

PageResult WriteGenrePages(CExportContext& ctx) {
    const CMainState& s = ctx.state;
    // A walk's row genres depend on its incoming row genre only through the
    // entries before the first separator; after the first walk every walk
    // starts from the same state, so at most two distinct walks occur. Each
    // is computed once and looked up by its incoming state.
    std::vector<CRowWalk> walks;
    walks.reserve(2);
    const std::string* previous = &kEmpty;
    long number = 0;
    for (size_t j = 0; j < s.m_linkList.Count(); ++j) {
        const std::string& genre = GenreAt(s, j);
        if (genre == *previous) continue;
        previous = &genre;
        ++number;

        const CRowWalk* walk = nullptr;
        for (const CRowWalk& w : walks)
            if (w.incoming == ctx.row.rowGenre) walk = &w;
        if (!walk) {
            walks.push_back(MakeRowWalk(ctx, ctx.row.rowGenre));
            walk = &walks.back();
        }

        ctx.m_outFile =
            ctx.sink.CreateBeside(s.m_outputPath, s.m_outputRealPath, FormatFragment(kGenrePageName, {number}));
        if (!ctx.m_outFile) return PageResult::OpenFailed;
        IPageFile& f = *ctx.m_outFile;
        bool ok = Put(f, kGenrePageStart);
        if (ok)
            ok = s.m_style == STYLE_FRAMES ? Put(f, kHeadEnd) : Put(f, kGenrePageBack, {s.m_outputPath});
        if (ok) ok = Put(f, kGenrePageHeading, {genre});
        auto bucket = walk->rows.find(genre);
        if (bucket != walk->rows.end()) {
            // Every row of this page has the page genre as its row genre.
            ctx.row.rowGenre = genre;
            for (size_t k = 0; ok && k < bucket->second.size(); ++k) ok = WriteLinkRow(ctx, bucket->second[k]);
        }
        ctx.row.rowGenre = walk->outgoing;
        if (ok) ok = PutFooter(f);
        if (ok) ok = Put(f, kPageEnd);
        PageResult result = FinishPage(ctx, ok);
        if (result != PageResult::Ok) return result;
    }
    return PageResult::Ok;
}
