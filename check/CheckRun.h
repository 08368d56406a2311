// A check of the list's links as the dialog's button and /check run it:
// which addresses, the stored results before and after, and what to tell.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "check/LinkCheck.h"
#include "core/LinkList.h"

// The addresses a check asks for: the web form (WebAddress) of each
// entry's address (LinkAddress), http and https only, each once, in list
// order. |notChecked| counts the entries with another address or none.
std::vector<std::string> AddressesToCheck(const CLinkList& list, size_t& notChecked);

// What a check works with.
struct CCheckServices {
    ICheckFiles& files;
    ICheckClock& clock;
    ICheckThreads& threads;
    // A new HTTP client for each check: a stopped one stays stopped.
    std::function<std::unique_ptr<IHttpClient>()> newHttp;
};

enum class CheckRunEnd {
    Checked,         // every address checked, the results stored
    Stopped,         // stopped; what was checked is stored
    Offline,         // no network: nothing stored
    NothingToCheck,  // no http or https address
    NotStored,       // the results could not be read or stored
};

struct CCheckRunOutcome {
    CheckRunEnd end = CheckRunEnd::NotStored;
    // What to tell, in the program's text: how it ended, the counts, where
    // the results are.
    std::string text;
    // The stored results as they are now.
    CCheckResults results;
    // The results file, when there is a folder for it.
    HostName resultsPath;
};

// Reads the profile's stored results (a file that cannot be read is set
// aside, and the text says so), checks |addresses| with a new HTTP client,
// and stores the results atomically. |notChecked| is only counted in the
// text. Throws what the check throws (memory); nothing is stored then.
CCheckRunOutcome RunLinkCheck(int profile, const std::vector<std::string>& addresses, size_t notChecked,
                              CCheckServices& services, CCheckProgress& progress);

// "正常 n 件、移転 n 件、切れ n 件、切れ? n 件、拒否 n 件、エラー n 件、
// 確認しないリンク n 件": the records of |addresses| in |results|.
std::string CheckCountsText(const CCheckResults& results, const std::vector<std::string>& addresses,
                            size_t notChecked);
