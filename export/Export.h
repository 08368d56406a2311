// The Write command: every page of the chosen output style.
#pragma once
#include "export/PageOutput.h"
#include "links/Cp932.h"
#include "ui/MainState.h"

extern const char kEmptyListText[];
extern const char kInvalidNameText[];
extern const char kCompletedText[];
extern const char kWriteFailedText[];

// OnWrite's work, from TakeControlValues to the closing message.
void RunWrite(CMainState& state, IMainHost& host, IPageSink& sink, const LeadByteTable& lead);
