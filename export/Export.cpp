#include "export/Export.h"

#include <exception>

#include "links/Genres.h"
#include "links/Ordering.h"
#include "links/Shortcut.h"

const char kEmptyListText[] = "出力する内容がありません";
const char kInvalidNameText[] = "フォルダ名かファイル名が不正です。確認してください。";
const char kCompletedText[] = "ファイルへの出力が完了しました。";
const char kWriteFailedText[] = "ファイルへの出力に失敗しました。";

void RunWrite(CMainState& state, IMainHost& host, IPageSink& sink, const LeadByteTable& lead) {
    RunWrite(state, host, sink, lead, ReadShortcutUrl);
}

PageResult WriteAllPages(CExportContext& ctx) {
    const CMainState& s = ctx.state;
    ctx.m_outFile = ctx.sink.Create(s.m_outputPath);
    if (!ctx.m_outFile) return PageResult::OpenFailed;
    bool written = true;
    if (s.m_style == STYLE_SINGLE || s.m_style == STYLE_FRAMES || s.m_style == STYLE_ANCHORS)
        written = WriteMainPage(ctx);
    // STYLE_INDEX and unknown styles leave the main file empty here.
    PageResult result = FinishPage(ctx, written);
    if (result != PageResult::Ok) return result;
    if (s.m_style != STYLE_INDEX && s.m_style != STYLE_FRAMES) return PageResult::Ok;
    result = WriteIndexPage(ctx);
    if (result != PageResult::Ok) return result;
    return WriteGenrePages(ctx);
}

void RunWrite(CMainState& state, IMainHost& host, IPageSink& sink, const LeadByteTable& lead,
              UrlReader readUrl) {
    host.TakeControlValues();
    DeriveGenres(state, host, lead);
    if (state.m_linkList.Count() == 0) {
        host.ShowMessage(kEmptyListText, MsgIcon::Exclamation);
        RefreshLinkList(state, host, lead);
        return;
    }
    // The test open creates or empties the file, as the main page's own open will.
    std::unique_ptr<IPageFile> probe = sink.Create(state.m_outputPath);
    if (!probe) {
        host.ShowMessage(kInvalidNameText, MsgIcon::Exclamation);
        RefreshLinkList(state, host, lead);
        return;
    }
    if (!probe->Close()) {
        RefreshLinkList(state, host, lead);
        host.ShowMessage(kWriteFailedText, MsgIcon::Exclamation);
        return;
    }
    probe.reset();

    host.BeginWaitCursor();
    PageResult result;
    {
        CExportContext ctx(state, sink, lead, std::move(readUrl));
        ctx.row.rowGenre = state.m_stdGenre;
        ctx.row.linkText.clear();
        ctx.baseFolder = BaseFolder(state.m_outputPath, lead);
        try {
            result = WriteAllPages(ctx);
        } catch (const std::exception&) {
            // Out of memory mid-page: the open file is closed with the context,
            // and the user hears of the failure rather than of success.
            result = PageResult::WriteFailed;
        }
        // A page that failed was closed once by the writer; nothing stays open.
    }
    RefreshLinkList(state, host, lead);
    host.EndWaitCursor();
    switch (result) {
    case PageResult::Ok:
        host.ShowMessage(kCompletedText, MsgIcon::Information);
        break;
    case PageResult::OpenFailed:
        host.ShowMessage(kInvalidNameText, MsgIcon::Exclamation);
        break;
    case PageResult::WriteFailed:
        host.ShowMessage(kWriteFailedText, MsgIcon::Exclamation);
        break;
    }
}
