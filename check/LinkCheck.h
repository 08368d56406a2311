// The check of many addresses at once: how one address is asked for and
// what its answers mean, with at most two requests at a time to one host and
// eight in all, on worker threads.
#pragma once
#include <atomic>
#include <string>
#include <vector>

#include "check/CheckPlatform.h"
#include "check/CheckResults.h"

const int kRequestsPerHost = 2;
const int kRequestsInAll = 8;
const int kMaxRedirects = 10;
const int kRetryPauseMs = 2000;
// A check stops as offline when none of its first this many requests could
// connect or resolve a name.
const int kOfflineProbe = 20;

// True for the addresses the check asks for: http and https ones (the
// scheme in any case).
bool IsCheckable(const std::string& address);
// The host of an http or https address, lower-cased, with its port when one
// is given: the unit of kRequestsPerHost.
std::string HostOf(const std::string& address);
// |location| from a redirect of |base|, resolved to an absolute address.
std::string ResolveLocation(const std::string& base, const std::string& location);

// What one address came to.
struct CLinkFinding {
    LinkState state = LinkState::Error;
    int status = 0;            // the last status, 0 without one
    std::string finalAddress;  // for Moved
    // True when no request of it could connect or resolve a name (for the
    // offline rule).
    bool noNetwork = false;
    bool cancelled = false;
};

// Checks one address: HEAD; a GET of the same address when the HEAD ends in
// 400, 403, 405, 429, 501 or any 5xx, or the connection is reset;
// redirects followed up to kMaxRedirects; one more try after kRetryPauseMs
// for a timeout or a 5xx.
CLinkFinding CheckOne(IHttpClient& http, ICheckClock& clock, const std::string& address,
                      const std::atomic<bool>& stop);

// Shared with whoever shows the progress: written by the workers, read by
// any thread.
struct CCheckProgress {
    std::atomic<int> total{0};
    std::atomic<int> done{0};
    // Per LinkState; Gone counts every "切れ", confirmed or not.
    std::atomic<int> counts[kLinkStateCount] = {};
    // Set by anyone to stop the check; the workers stop within a second.
    std::atomic<bool> stop{false};
};

enum class CheckEnd {
    Finished,  // every address checked
    Stopped,   // progress.stop was set: what was checked is in the results
    Offline,   // no network: nothing recorded
};

struct CCheckPlatform {
    IHttpClient& http;
    ICheckClock& clock;
    ICheckThreads& threads;
};

// Checks |addresses| (checkable, distinct) and puts a record for each one
// checked into |results| (NextRecord at the clock's time when its check
// ended). Finished also drops the records of addresses not in |addresses|.
// Offline leaves |results| as it was.
CheckEnd CheckAddresses(const std::vector<std::string>& addresses, CCheckResults& results,
                        const CCheckPlatform& platform, CCheckProgress& progress);
