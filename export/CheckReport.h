// The link check's report page (linkcheck-N.html): what the stored results
// say of the links in the list, in the look of the fifth style.
#pragma once
#include <string>

#include "check/CheckResults.h"
#include "export/Pages.h"

// The report's own rules, after the fifth style's sheet (kTodayStyle).
extern const char kCheckReportStyle[];

// The whole report page, UTF-8 with CR LF line ends, for the list entries
// of ctx.state and |results|, checked at |checkedAt|: the counts of each
// state (and of the entries without a record, "not checked"), then one
// section per state with links, in the order dead ("切れ"), unconfirmed
// ("切れ?"), moved (with the new address), refused, errors; each link with
// its genre, name, address and HTTP status, in the fifth style's order and
// as it names them. An entry without a record is counted, not listed; a
// page without any section says so. Every text escaped. Reads the
// addresses through ctx; writes nothing and changes neither ctx.state nor
// ctx.row.
std::string CheckReportPage(CExportContext& ctx, const CCheckResults& results, const CLocalTime& checkedAt);

// The same with the program's reader of addresses: a bookmark's own, else
// its shortcut file's.
std::string CheckReportPage(const CMainState& state, const CCheckResults& results, const CLocalTime& checkedAt);

// Writes that page into the results folder as ReportFileName(|profile|),
// replacing the old one whole; false when it cannot. |path| is its path.
bool StoreCheckReport(const CMainState& state, const CCheckResults& results, const CLocalTime& checkedAt,
                      ICheckFiles& files, int profile, HostName& path);
