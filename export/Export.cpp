#include "export/Export.h"

#include <optional>

#include "core/Text.h"
#include "core/Texts.h"
#include "export/Fragments.h"
#include "export/TodayPage.h"
#include "links/Genres.h"
#include "links/Ordering.h"
#include "links/Shortcut.h"

void RunWrite(CMainState& state, IMainHost& host, IPageSink& sink, const CCheckResults* checkResults) {
    RunWrite(state, host, sink, [](const CLinkEntry& entry) { return LinkAddress(entry); }, checkResults);
}

PageResult WriteAllPages(CExportContext& ctx) {
    const CMainState& s = ctx.state;
    ctx.m_outFile = ctx.sink.CreateMain(s.m_outputPath, s.m_outputRealPath);
    if (!ctx.m_outFile) return PageResult::OpenFailed;
    bool written = true;
    if (s.m_style == STYLE_SINGLE || s.m_style == STYLE_FRAMES || s.m_style == STYLE_ANCHORS)
        written = WriteMainPage(ctx);
    else if (s.m_style == STYLE_TODAY)
        written = WriteTodayPage(ctx);
    // STYLE_INDEX and unknown styles leave the main file empty here.
    PageResult result = FinishPage(ctx, written);
    if (result != PageResult::Ok) return result;
    if (s.m_style != STYLE_INDEX && s.m_style != STYLE_FRAMES) return PageResult::Ok;
    result = WriteIndexPage(ctx);
    if (result != PageResult::Ok) return result;
    return WriteGenrePages(ctx);
}

bool IsCompanionPageName(const std::string& name, int32_t style) {
    if (style != STYLE_INDEX && style != STYLE_FRAMES) return false;
    std::string lower;
    for (char c : name) lower.push_back(AsciiLower(c));
    if (style == STYLE_FRAMES && lower == kMenuPageName) return true;
    // The genre pages: eight digits, numbered from 1.
    const std::string suffix = ".html";
    if (lower.size() != 8 + suffix.size() || lower.compare(8, suffix.size(), suffix) != 0) return false;
    bool nonZero = false;
    for (size_t i = 0; i < 8; ++i) {
        if (lower[i] < '0' || lower[i] > '9') return false;
        nonZero = nonZero || lower[i] != '0';
    }
    return nonZero;
}

namespace {

// The steps of one Write; |wait| holds the wait cursor while pages are
// written, |told| becomes true once a message has been shown.
void WriteSteps(CMainState& state, IMainHost& host, IPageSink& sink, UrlReader& readUrl,
                const CCheckResults* checkResults, std::optional<CWaitCursor>& wait, bool& told) {
    host.TakeControlValues();
    std::vector<size_t> pathOrder;
    DeriveGenres(state, host, &pathOrder);
    if (state.m_linkList.Count() == 0) {
        told = true;
        host.ShowMessage(kEmptyListText, MsgKind::Refusal);
        RefreshLinkList(state, host, &pathOrder);
        return;
    }
    // A main page named like one of its companion pages would be overwritten
    // by it; refused before anything is written.
    const bool companionName = IsCompanionPageName(sink.MainFileName(state.m_outputPath, state.m_outputRealPath),
                                                   state.m_style);
    // The test open creates or empties the file, as the main page's own open will.
    std::unique_ptr<IPageFile> probe =
        companionName ? nullptr : sink.CreateMain(state.m_outputPath, state.m_outputRealPath);
    if (!probe) {
        told = true;
        host.ShowMessage(kInvalidNameText, MsgKind::Refusal);
        RefreshLinkList(state, host, &pathOrder);
        return;
    }
    if (!probe->Close()) {
        RefreshLinkList(state, host, &pathOrder);
        told = true;
        host.ShowMessage(kWriteFailedText, MsgKind::Refusal);
        return;
    }
    probe.reset();

    wait.emplace(host);
    PageResult result;
    {
        CExportContext ctx(state, sink, std::move(readUrl));
        ctx.checkResults = checkResults;
        ctx.row.rowGenre = state.m_stdGenre;
        ctx.row.linkText.clear();
        result = WriteAllPages(ctx);
        // A page that failed was closed once by the writer; one that an
        // exception left open is closed with the context, unreported.
    }
    RefreshLinkList(state, host, &pathOrder);
    wait.reset();
    told = true;
    switch (result) {
    case PageResult::Ok:
        host.ShowMessage(kCompletedText, MsgKind::Completion);
        break;
    case PageResult::OpenFailed:
        host.ShowMessage(kInvalidNameText, MsgKind::Refusal);
        break;
    case PageResult::WriteFailed:
        host.ShowMessage(kWriteFailedText, MsgKind::Refusal);
        break;
    }
}

}  // namespace

void RunWrite(CMainState& state, IMainHost& host, IPageSink& sink, UrlReader readUrl,
              const CCheckResults* checkResults) {
    std::optional<CWaitCursor> wait;
    bool told = false;
    try {
        WriteSteps(state, host, sink, readUrl, checkResults, wait, told);
    } catch (...) {
        // Out of memory or a platform failure half-way: the list box must
        // show the list again, and the user must not be left believing the
        // pages were written.
        RecoverLinkList(state, host);
        wait.reset();
        if (!told) {
            try {
                host.ShowMessage(kWriteFailedText, MsgKind::Refusal);
            } catch (...) {
                // The window cannot even show a message; nothing more to do.
            }
        }
    }
}
