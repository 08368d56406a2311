// The Write command: every page of the chosen output style.
#pragma once
#include "core/MainState.h"
#include "export/PageOutput.h"
#include "export/Pages.h"

class CCheckResults;

// OnWrite's work, from TakeControlValues to the closing message, with the
// program's reader: a bookmark's own address, else the shortcut file's.
// |checkResults|, the profile's stored link check results when there are
// any, lets the fifth style mark dead and moved links; every other style
// writes the same pages with them or without.
void RunWrite(CMainState& state, IMainHost& host, IPageSink& sink, const CCheckResults* checkResults = nullptr);

// The same with the shortcut reader given. Ends with exactly one message:
// empty list or unusable output file (nothing written), a page that cannot
// be opened or written (the list refreshed, never the completion message),
// or the completion message. Exactly one page file is open at a time. An
// exception anywhere (memory, the platform) ends it like a failed write:
// the list box rebuilt from the list, the wait cursor off, and
// "ファイルへの出力に失敗しました。" unless a refusal was already shown.
void RunWrite(CMainState& state, IMainHost& host, IPageSink& sink, UrlReader readUrl,
              const CCheckResults* checkResults = nullptr);

// The files of the chosen style, in the order of the style table, from the
// main output file on (ctx's row state already set). Stops at the first
// failure.
PageResult WriteAllPages(CExportContext& ctx);

// True when |name|, the main output file's name as it will be written, is
// one of the companion pages of |style| (compared without regard to case,
// as Windows compares names): "linkmenu.html" for STYLE_FRAMES, a genre page
// "%08d.html" numbered 1 or more for STYLE_INDEX and STYLE_FRAMES.
bool IsCompanionPageName(const std::string& name, int32_t style);
