// The genre pages and the whole Write as first described, kept literal
// (a walk of the whole list per genre page, exchange sorts) so that the
// one-pass procedures can be compared with them, in tests and in the benchmark.
#pragma once
#include <string>
#include <vector>

#include "support/LiteralSorts.h"
#include "export/Export.h"
#include "export/Fragments.h"
#include "export/Pages.h"
#include "core/Texts.h"
#include "core/Text.h"
#include "links/Shortcut.h"

// For every run a page, and for every page a walk over the whole list that
// derives each entry's row genre again and writes the entries whose row
// genre equals the page genre.
inline PageResult LiteralGenrePages(CExportContext& ctx) {
    const CMainState& s = ctx.state;
    std::string previous;
    long counter = 0;
    for (size_t j = 0; j < s.m_linkList.Count(); ++j) {
        const std::string g = s.m_genres[j];
        if (g == previous) continue;
        ++counter;
        ctx.m_outFile = ctx.sink.Create(BaseFolder(s.m_outputPath) + FormatFragment(kGenrePageName, {counter}));
        if (!ctx.m_outFile) return PageResult::OpenFailed;
        IPageFile& f = *ctx.m_outFile;
        f.Write(kGenrePageStart);
        if (s.m_style == STYLE_FRAMES)
            f.Write(kHeadEnd);
        else
            f.Write(FormatFragment(kGenrePageBack, {s.m_outputPath}));
        f.Write(FormatFragment(kGenrePageHeading, {g}));
        for (size_t r = 0; r < s.m_linkList.Count(); ++r) {
            DeriveRowGenre(s.m_linkList.Text(r), s.m_stdGenre, ctx.row);
            if (ctx.row.rowGenre == g) WriteLinkRow(ctx, r);
        }
        f.Write(FormatFragment(kFooter, {kHomePageUrl, kVersion}));
        f.Write(kPageEnd);
        if (FinishPage(ctx, true) != PageResult::Ok) return PageResult::WriteFailed;
        previous = g;
    }
    return PageResult::Ok;
}

// A whole Write with the exchange sorts of the genre derivation and of the
// closing refresh, and the literal genre pages. Filters are taken as empty.
inline bool LiteralWrite(CMainState& state, IPageSink& sink) {
    std::vector<std::string> paths = ListTexts(state.m_linkList);
    std::vector<std::string> genres = LiteralGenres(paths, state.m_stdGenre, state.m_workGenre);
    LiteralGenreSort(genres, paths);
    for (size_t k = 0; k < genres.size(); ++k) state.m_genres[k] = genres[k];
    state.m_linkList.Assign(ToEntries(paths));

    CExportContext ctx(state, sink, ReadShortcutUrl);
    ctx.row.rowGenre = state.m_stdGenre;
    ctx.m_outFile = sink.Create(state.m_outputPath);
    if (!ctx.m_outFile) return false;
    bool written = true;
    if (state.m_style != STYLE_INDEX) written = WriteMainPage(ctx);
    bool ok = FinishPage(ctx, written) == PageResult::Ok;
    if (ok && (state.m_style == STYLE_INDEX || state.m_style == STYLE_FRAMES))
        ok = WriteIndexPage(ctx) == PageResult::Ok && LiteralGenrePages(ctx) == PageResult::Ok;

    std::vector<std::string> back = ListTexts(state.m_linkList);
    std::vector<int> none(back.size());
    LiteralExchangeSort(back, none, [&](const std::string& a, const std::string& b) {
        return ComparePathOrder(a, b);
    });
    state.m_linkList.Assign(ToEntries(back));
    return ok;
}
