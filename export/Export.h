// The Write command: every page of the chosen output style.
#pragma once
#include "export/PageOutput.h"
#include "export/Pages.h"
#include "links/Cp932.h"
#include "ui/MainState.h"

extern const char kEmptyListText[];
extern const char kInvalidNameText[];
extern const char kCompletedText[];
extern const char kWriteFailedText[];

// OnWrite's work, from TakeControlValues to the closing message.
void RunWrite(CMainState& state, IMainHost& host, IPageSink& sink, const LeadByteTable& lead);

// The same with the shortcut reader given. Ends with exactly one message:
// empty list or unusable output file (nothing written), a page that cannot
// be opened or written (the list refreshed, never the completion message),
// or the completion message. Exactly one page file is open at a time.
void RunWrite(CMainState& state, IMainHost& host, IPageSink& sink, const LeadByteTable& lead,
              UrlReader readUrl);

// The files of the chosen style, in the order of the style table, from the
// main output file on (ctx's row state and base folder already set). Stops
// at the first failure.
PageResult WriteAllPages(CExportContext& ctx);
