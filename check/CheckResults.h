// The results of link checks that last from one check to the next: one
// record per address, kept per profile in linkcheck-N.tsv below the user's
// local application data folder, and the rules that read them (when "切れ"
// is confirmed).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "check/CheckPlatform.h"

// What one check found for an address.
enum class LinkState {
    Ok,       // "正常": 2xx, after any redirects
    Moved,    // "移転": a permanent redirect (301, 308) to another address that answers 2xx
    Gone,     // "切れ": 404 or 410, or a host name that does not resolve
    Refused,  // "拒否": 401, 403 or 429 after the GET
    Error,    // "エラー": timeouts, refused connections, TLS failures, 5xx after the retry, the rest
};
const int kLinkStateCount = 5;

// The state's word as the results file and the pages write it, in UTF-8.
const char* StateWordUtf8(LinkState state);
// The same in the program's text (code page 932), for messages.
const char* StateWordText(LinkState state);
// "切れ?", a "切れ" not yet confirmed, in UTF-8 and in the program's text.
extern const char kUnconfirmedUtf8[];
extern const char kUnconfirmedText[];

// The hours between two checks that must both find an address "切れ" before
// it counts as dead.
const int kConfirmHours = 20;

struct CLinkRecord {
    std::string address;  // WebAddress form: ASCII
    LinkState state = LinkState::Ok;
    int status = 0;            // the last HTTP status; 0 without one
    std::string finalAddress;  // the new address of a moved link, else empty
    // When the current run of failures began: the first of the checks in a
    // row that found the same failing state. Unset after a success.
    bool hasFirstFailure = false;
    CLocalTime firstFailure;
    CLocalTime lastCheck;
};

// True when the record is "切れ" in two checks |kConfirmHours| apart or more.
bool IsConfirmedDead(const CLinkRecord& record);
// True when it is "切れ" but not confirmed yet ("切れ?").
bool IsUnconfirmedGone(const CLinkRecord& record);

// Seconds from 2000-01-01 00:00:00 to |time|, taking every day as 24 hours.
int64_t SecondsOf(const CLocalTime& time);
// "YYYY-MM-DD hh:mm:ss".
std::string FormatLocalTime(const CLocalTime& time);
// The reverse; false for anything else.
bool ParseLocalTime(std::string_view text, CLocalTime& time);

// The records of one profile, sorted by address.
class CCheckResults {
public:
    const std::vector<CLinkRecord>& Records() const { return m_records; }
    // The record of |address|, or null.
    const CLinkRecord* Find(std::string_view address) const;
    // Inserts or replaces the record of its address.
    void Put(CLinkRecord record);
    // Drops the records whose address |keep| does not hold (sorted, distinct).
    void KeepOnly(const std::vector<std::string>& keep);
    void Clear() { m_records.clear(); }

private:
    std::vector<CLinkRecord> m_records;
};

// The record an address gets from one check at |now| that found |state|,
// given the record it had (null for a new address): the rules of the run of
// failures and of "切れ" confirmed.
CLinkRecord NextRecord(const CLinkRecord* previous, const std::string& address, LinkState state, int status,
                       const std::string& finalAddress, const CLocalTime& now);

// The file's form: UTF-8, CR LF, no header; per line, separated by tabs:
// the address, the state's word, the status (empty without one), the final
// address (empty unless moved), the first failure's time (empty after a
// success), the last check's time.
std::string FormatResults(const CCheckResults& results);
// False, with |results| empty, when |bytes| is not such a file (a line of
// another shape, an unknown word, a bad time, a bad status). An empty file
// is read as no records.
bool ParseResults(std::string_view bytes, CCheckResults& results);

// "linkcheck-N.tsv" and the report page "linkcheck-N.html" for profile N.
std::string ResultsFileName(int profile);
std::string ReportFileName(int profile);

// How reading the stored results of a profile ended.
enum class ResultsLoad { Read, Missing, SetAside, Unreadable };
// Reads profile |profile|'s results from the results folder. A file that is
// not a results file, or cannot be read, is renamed with ".bad" added
// (SetAside, or Unreadable when even that fails, or there is no folder) and
// |results| left empty.
ResultsLoad LoadResults(ICheckFiles& files, int profile, CCheckResults& results);
// Replaces the profile's results file atomically; false when it cannot.
bool StoreResults(ICheckFiles& files, int profile, const CCheckResults& results);
// The profile's stored results as they are, for a page that marks its
// links: false, with |results| empty, when there are none or they cannot be
// read. Renames nothing.
bool ReadStoredResults(ICheckFiles& files, int profile, CCheckResults& results);
