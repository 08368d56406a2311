#include "check/CheckRun.h"

#include <unordered_set>

#include "core/Texts.h"
#include "links/Bookmarks.h"
#include "links/Shortcut.h"

std::vector<std::string> AddressesToCheck(const CLinkList& list, size_t& notChecked) {
    notChecked = 0;
    std::vector<std::string> addresses;
    std::unordered_set<std::string> seen;
    for (const CLinkEntry& entry : list.Items()) {
        std::string address = WebAddress(LinkAddress(entry));
        if (!IsCheckable(address)) {
            ++notChecked;
            continue;
        }
        // Each address once, where it first appears.
        if (seen.insert(address).second) addresses.push_back(std::move(address));
    }
    return addresses;
}

std::string CheckCountsText(const CCheckResults& results, const std::vector<std::string>& addresses,
                            size_t notChecked) {
    // Ok, Moved, Gone confirmed, Gone unconfirmed, Refused, Error.
    size_t counts[6] = {};
    for (const std::string& address : addresses) {
        const CLinkRecord* record = results.Find(address);
        if (!record) continue;
        switch (record->state) {
        case LinkState::Ok: ++counts[0]; break;
        case LinkState::Moved: ++counts[1]; break;
        case LinkState::Gone: ++counts[IsConfirmedDead(*record) ? 2 : 3]; break;
        case LinkState::Refused: ++counts[4]; break;
        case LinkState::Error: ++counts[5]; break;
        }
    }
    const char* const words[6] = {StateWordText(LinkState::Ok),      StateWordText(LinkState::Moved),
                                  StateWordText(LinkState::Gone),    kUnconfirmedText,
                                  StateWordText(LinkState::Refused), StateWordText(LinkState::Error)};
    std::string text;
    for (int i = 0; i < 6; ++i) {
        text += words[i];
        text += " " + std::to_string(counts[i]) + kCheckCountUnit + "、";
    }
    text += kCheckNotCheckedText;
    text += " " + std::to_string(notChecked) + kCheckCountUnit;
    return text;
}

namespace {

std::string PathText(const HostName& folder, const std::string& name) {
    return TextFromHostName(folder + kHostSeparator + HostNameFromText(name));
}

}  // namespace

CCheckRunOutcome RunLinkCheck(int profile, const std::vector<std::string>& addresses, size_t notChecked,
                              CCheckServices& services, CCheckProgress& progress) {
    ICheckFiles& files = services.files;
    CCheckRunOutcome outcome;
    if (addresses.empty()) {
        outcome.end = CheckRunEnd::NothingToCheck;
        outcome.text = kCheckNothingText;
        return outcome;
    }
    HostName folder;
    const bool haveFolder = files.ResultsFolder(folder);
    const std::string name = ResultsFileName(profile);
    if (haveFolder) outcome.resultsPath = folder + kHostSeparator + HostNameFromText(name);
    const std::string resultsText = haveFolder ? PathText(folder, name) : name;

    std::string setAside;
    switch (LoadResults(files, profile, outcome.results)) {
    case ResultsLoad::Read:
    case ResultsLoad::Missing:
        break;
    case ResultsLoad::SetAside:
        setAside = std::string(kCheckSetAsideText) + "\n" + resultsText + ".bad\n";
        break;
    case ResultsLoad::Unreadable:
        // A check whose results cannot be kept would be forgotten at once.
        outcome.end = CheckRunEnd::NotStored;
        outcome.text = std::string(kCheckNotStoredText) + "\n" + resultsText;
        return outcome;
    }

    CCheckResults checked = outcome.results;
    const std::unique_ptr<IHttpClient> http = services.newHttp();
    const CheckEnd end =
        CheckAddresses(addresses, checked, CCheckPlatform{*http, services.clock, services.threads}, progress);
    if (end == CheckEnd::Offline) {
        outcome.end = CheckRunEnd::Offline;
        outcome.text = std::string(kCheckOfflineText) + "\n" + setAside;
        outcome.text.pop_back();
        return outcome;
    }
    if (!StoreResults(files, profile, checked)) {
        outcome.end = CheckRunEnd::NotStored;
        outcome.text = std::string(kCheckNotStoredText) + "\n" + setAside + resultsText;
        return outcome;
    }
    outcome.results = std::move(checked);
    outcome.end = end == CheckEnd::Finished ? CheckRunEnd::Checked : CheckRunEnd::Stopped;
    outcome.text = std::string(end == CheckEnd::Finished ? kCheckDoneText : kCheckStoppedText) + "\n" + setAside +
                   CheckCountsText(outcome.results, addresses, notChecked) + "\n" + kCheckResultsText + resultsText;
    return outcome;
}
