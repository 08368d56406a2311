#include "check/LinkCheck.h"

#include <algorithm>
#include <cctype>
#include <deque>
#include <exception>
#include <unordered_map>
#include <utility>

#include "core/Text.h"

namespace {

// Where the authority of an http or https address begins (after "://"),
// npos for any other address.
size_t AuthorityStart(std::string_view address) {
    for (std::string_view scheme : {"http://", "https://"})
        if (address.size() >= scheme.size() && EqualsAsciiNoCase(address.substr(0, scheme.size()), scheme))
            return scheme.size();
    return std::string_view::npos;
}

// The authority's host and port, without the user information.
std::string_view HostAndPort(std::string_view address, size_t start) {
    const size_t end = std::min(address.find_first_of("/?#", start), address.size());
    std::string_view authority = address.substr(start, end - start);
    const size_t at = authority.rfind('@');
    if (at != std::string_view::npos) authority.remove_prefix(at + 1);
    return authority;
}

bool HasScheme(std::string_view reference) {
    if (reference.empty() || !std::isalpha(static_cast<unsigned char>(reference[0]))) return false;
    for (char c : reference) {
        if (c == ':') return true;
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return false;
    }
    return false;
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// Drops the last segment of |path| and the "/" before it.
void DropLastSegment(std::string& path) {
    const size_t slash = path.rfind('/');
    path.erase(slash == std::string::npos ? 0 : slash);
}

// The "." and ".." segments of a path resolved, as a browser resolves them.
std::string RemoveDotSegments(std::string in) {
    std::string out;
    while (!in.empty()) {
        if (StartsWith(in, "../")) {
            in.erase(0, 3);
        } else if (StartsWith(in, "./")) {
            in.erase(0, 2);
        } else if (StartsWith(in, "/./")) {
            in.replace(0, 3, "/");
        } else if (in == "/.") {
            in = "/";
        } else if (StartsWith(in, "/../")) {
            in.replace(0, 4, "/");
            DropLastSegment(out);
        } else if (in == "/..") {
            in = "/";
            DropLastSegment(out);
        } else if (in == "." || in == "..") {
            in.clear();
        } else {
            const size_t next = std::min(in.find('/', 1), in.size());
            out.append(in, 0, next);
            in.erase(0, next);
        }
    }
    return out;
}

// |reference| ("/path?query#fragment") with the dot segments of its path resolved.
std::string CleanPath(std::string_view reference) {
    const size_t end = std::min(reference.find_first_of("?#"), reference.size());
    return RemoveDotSegments(std::string(reference.substr(0, end))) + std::string(reference.substr(end));
}

// A Location may hold spaces and bytes beyond ASCII; requests and the
// results file take ASCII alone.
std::string PercentEncoded(std::string_view address) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : address) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u > 0x20 && u < 0x7F) {
            out += c;
        } else {
            out += '%';
            out += kHex[u >> 4];
            out += kHex[u & 15];
        }
    }
    return out;
}

bool IsRedirect(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool IsPermanent(int status) { return status == 301 || status == 308; }

bool IsServerError(const CHttpAnswer& answer) {
    return answer.failure == HttpFailure::None && answer.status >= 500 && answer.status <= 599;
}

// Many servers refuse HEAD, or unknown clients, where a browser's GET works.
bool AsksForGet(const CHttpAnswer& answer) {
    if (answer.failure == HttpFailure::Reset) return true;
    if (answer.failure != HttpFailure::None) return false;
    const int s = answer.status;
    return s == 400 || s == 403 || s == 405 || s == 429 || s == 501 || IsServerError(answer);
}

// The failures that a machine without a network gives.
bool IsNoNetwork(HttpFailure failure) {
    return failure == HttpFailure::NoSuchHost || failure == HttpFailure::Timeout || failure == HttpFailure::Refused;
}

// Where one chain of requests, redirects followed, ended.
struct CChainEnd {
    CHttpAnswer answer;  // the last one
    // A redirect that cannot be followed: without Location, one too many,
    // in a loop, or to an address that is not http.
    bool broken = false;
    bool cancelled = false;
    // The address the chain's leading permanent redirects led to.
    std::string movedTo;
};

// What the requests of one address found, for the offline rule.
struct CRequestTally {
    int requests = 0;
    bool reached = false;  // a request got a status, or a failure that needs a network
};

CChainEnd FollowChain(IHttpClient& http, const char* method, const std::string& address,
                      const std::atomic<bool>& stop, CRequestTally& tally) {
    CChainEnd end;
    std::string url = address;
    bool leading = true;
    // A loop is a hop taken twice: a server may well redirect an address to
    // itself once (setting a cookie, say) and answer the next request.
    std::vector<std::pair<std::string, std::string>> hops;
    for (;;) {
        if (stop) {
            end.cancelled = true;
            return end;
        }
        end.answer = http.Send(method, url);
        ++tally.requests;
        const HttpFailure failure = end.answer.failure;
        // A request torn down by a stop may come back as any failure.
        if (failure == HttpFailure::Cancelled || (failure != HttpFailure::None && stop)) {
            end.cancelled = true;
            return end;
        }
        if (!IsNoNetwork(failure)) tally.reached = true;
        if (failure != HttpFailure::None || !IsRedirect(end.answer.status)) return end;
        std::string next;
        if (!end.answer.location.empty() && hops.size() < static_cast<size_t>(kMaxRedirects))
            next = ResolveLocation(url, end.answer.location);
        std::pair<std::string, std::string> hop(url, next);
        if (next.empty() || !IsCheckable(next) || std::find(hops.begin(), hops.end(), hop) != hops.end()) {
            end.broken = true;
            return end;
        }
        if (leading && IsPermanent(end.answer.status))
            end.movedTo = next;
        else
            leading = false;
        hops.push_back(std::move(hop));
        url = std::move(next);
    }
}

CChainEnd TryOnce(IHttpClient& http, const std::string& address, const std::atomic<bool>& stop,
                  CRequestTally& tally) {
    CChainEnd end = FollowChain(http, "HEAD", address, stop, tally);
    if (!end.cancelled && !end.broken && AsksForGet(end.answer)) end = FollowChain(http, "GET", address, stop, tally);
    return end;
}

bool AsksForRetry(const CChainEnd& end) {
    return !end.broken && (end.answer.failure == HttpFailure::Timeout || IsServerError(end.answer));
}

CLinkFinding Classify(const CChainEnd& end, const std::string& address) {
    CLinkFinding finding;
    const CHttpAnswer& answer = end.answer;
    finding.status = answer.failure == HttpFailure::None ? answer.status : 0;
    finding.state = LinkState::Error;
    if (end.broken) return finding;
    if (answer.failure == HttpFailure::NoSuchHost) finding.state = LinkState::Gone;
    if (answer.failure != HttpFailure::None) return finding;
    const int s = answer.status;
    if (s >= 200 && s <= 299) {
        const bool moved = !end.movedTo.empty() && end.movedTo != address;
        finding.state = moved ? LinkState::Moved : LinkState::Ok;
        if (moved) finding.finalAddress = end.movedTo;
    } else if (s == 404 || s == 410) {
        finding.state = LinkState::Gone;
    } else if (s == 401 || s == 403 || s == 429) {
        finding.state = LinkState::Refused;
    }
    return finding;
}

}  // namespace

bool IsCheckable(const std::string& address) {
    const size_t start = AuthorityStart(address);
    if (start == std::string::npos) return false;
    // Requests take ASCII without spaces; the list gives addresses so.
    for (char c : address)
        if (static_cast<unsigned char>(c) <= 0x20 || static_cast<unsigned char>(c) >= 0x7F) return false;
    const std::string_view host = HostAndPort(address, start);
    const size_t colon = !host.empty() && host[0] == '[' ? host.find(']') : host.find(':');
    return !host.substr(0, colon).empty();
}

std::string HostOf(const std::string& address) {
    const size_t start = AuthorityStart(address);
    if (start == std::string::npos) return std::string();
    std::string host(HostAndPort(address, start));
    std::transform(host.begin(), host.end(), host.begin(), AsciiLower);
    return host;
}

std::string ResolveLocation(const std::string& base, const std::string& location) {
    std::string_view ref = location;
    while (!ref.empty() && (ref.front() == ' ' || ref.front() == '\t')) ref.remove_prefix(1);
    while (!ref.empty() && (ref.back() == ' ' || ref.back() == '\t')) ref.remove_suffix(1);
    if (HasScheme(ref)) return PercentEncoded(ref);
    // The base's pieces: "http:", "//host", the path, "?query"; its fragment
    // never carries over.
    const std::string_view b = base;
    const size_t colon = std::min(b.find(':'), b.size());
    const size_t pathStart = std::min(b.find_first_of("/?#", std::min(colon + 3, b.size())), b.size());
    const size_t pathEnd = std::min(b.find_first_of("?#", pathStart), b.size());
    const size_t queryEnd = std::min(b.find('#', pathEnd), b.size());
    const std::string scheme(b.substr(0, std::min(colon + 1, b.size())));
    const std::string origin(b.substr(0, pathStart));
    std::string path(b.substr(pathStart, pathEnd - pathStart));
    if (path.empty()) path = "/";
    const std::string_view query = b.substr(pathEnd, queryEnd - pathEnd);
    std::string resolved;
    if (StartsWith(ref, "//")) {
        const size_t hostEnd = std::min(ref.find_first_of("/?#", 2), ref.size());
        resolved = scheme + std::string(ref.substr(0, hostEnd)) + CleanPath(ref.substr(hostEnd));
    } else if (StartsWith(ref, "/")) {
        resolved = origin + CleanPath(ref);
    } else if (StartsWith(ref, "?")) {
        resolved = origin + path + std::string(ref);
    } else if (StartsWith(ref, "#") || ref.empty()) {
        resolved = origin + path + std::string(query) + std::string(ref);
    } else {
        resolved = origin + CleanPath(path.substr(0, path.rfind('/') + 1) + std::string(ref));
    }
    return PercentEncoded(resolved);
}

CLinkFinding CheckOne(IHttpClient& http, ICheckClock& clock, const std::string& address,
                      const std::atomic<bool>& stop) {
    if (!IsCheckable(address)) return CLinkFinding();
    CRequestTally tally;
    CChainEnd end = TryOnce(http, address, stop, tally);
    // A timeout or a server's error is often gone a moment later.
    if (!end.cancelled && AsksForRetry(end)) {
        clock.Pause(kRetryPauseMs, stop);
        end = TryOnce(http, address, stop, tally);
    }
    CLinkFinding finding;
    if (end.cancelled) {
        finding.cancelled = true;
        return finding;
    }
    finding = Classify(end, address);
    finding.noNetwork = tally.requests > 0 && !tally.reached;
    return finding;
}

namespace {

// Holds the threads' lock for a scope; an exception on the way out lets it go.
class CLockHeld {
public:
    explicit CLockHeld(ICheckThreads& threads) : m_threads(threads) { m_threads.Lock(); }
    ~CLockHeld() {
        if (m_held) m_threads.Unlock();
    }
    CLockHeld(const CLockHeld&) = delete;
    CLockHeld& operator=(const CLockHeld&) = delete;
    void Release() {
        m_held = false;
        m_threads.Unlock();
    }
    void Take() {
        m_threads.Lock();
        m_held = true;
    }

private:
    ICheckThreads& m_threads;
    bool m_held = true;
};

// The addresses of one host, taken in the list's order.
struct CHostQueue {
    std::vector<size_t> addresses;
    size_t next = 0;
    int active = 0;
    bool ready = false;  // in the ring of hosts with an address to give
    bool HasWaiting() const { return next < addresses.size(); }
};

struct CDone {
    size_t index;
    CLinkFinding finding;
    CLocalTime when;
};

// One run of CheckAddresses: what the workers and the watcher share, under
// the threads' lock unless atomic.
class CCheckRun {
public:
    CCheckRun(const std::vector<std::string>& addresses, const CCheckPlatform& platform, CCheckProgress& progress)
        : m_addresses(addresses), m_platform(platform), m_progress(progress),
          m_probe(std::min(static_cast<size_t>(kOfflineProbe), addresses.size())) {
        std::unordered_map<std::string, size_t> hostIndex;
        for (size_t i = 0; i < addresses.size(); ++i) {
            auto found = hostIndex.emplace(HostOf(addresses[i]), m_hosts.size());
            if (found.second) m_hosts.emplace_back();
            m_hosts[found.first->second].addresses.push_back(i);
        }
        // Round the hosts: a list sorted by host keeps every host going.
        for (size_t h = 0; h < m_hosts.size(); ++h) {
            m_hosts[h].ready = true;
            m_ready.push_back(h);
        }
        m_waiting = addresses.size();
        m_done.reserve(addresses.size());
    }

    CheckEnd Run(CCheckResults& results) {
        const int workers = static_cast<int>(std::min(static_cast<size_t>(kRequestsInAll), m_addresses.size()));
        m_workersLeft = workers;
        // The watcher is the first thread, so that a stop is heard however
        // few of the workers could be started.
        if (workers > 0)
            m_platform.threads.RunEach(workers + 1, [this](int i) {
                if (i == 0)
                    Watch();
                else
                    Work();
            });
        if (m_failure) std::rethrow_exception(m_failure);
        if (m_offline) return CheckEnd::Offline;
        const bool finished = m_done.size() == m_addresses.size();
        results = Applied(results, finished);
        return finished ? CheckEnd::Finished : CheckEnd::Stopped;
    }

private:
    void Work() {
        try {
            CLockHeld held(m_platform.threads);
            while (!m_halt && !m_progress.stop) {
                if (m_ready.empty()) {
                    if (m_waiting == 0) break;
                    m_platform.threads.Wait(100);
                    continue;
                }
                const size_t host = m_ready.front();
                m_ready.pop_front();
                CHostQueue& queue = m_hosts[host];
                const size_t index = queue.addresses[queue.next++];
                --m_waiting;
                ++queue.active;
                queue.ready = queue.HasWaiting() && queue.active < kRequestsPerHost;
                if (queue.ready) m_ready.push_back(host);
                held.Release();
                CLinkFinding finding = CheckOne(m_platform.http, m_platform.clock, m_addresses[index], m_halt);
                const CLocalTime when = m_platform.clock.Now();
                held.Take();
                --queue.active;
                if (queue.HasWaiting() && !queue.ready) {
                    queue.ready = true;
                    m_ready.push_back(host);
                }
                Record(index, std::move(finding), when);
                m_platform.threads.WakeAll();
            }
        } catch (...) {
            Fail(std::current_exception());
        }
        CLockHeld held(m_platform.threads);
        --m_workersLeft;
        m_platform.threads.WakeAll();
    }

    // Cancels the requests in progress once the check is to stop.
    void Watch() {
        try {
            CLockHeld held(m_platform.threads);
            bool cancelled = false;
            while (m_workersLeft > 0) {
                if (!cancelled && (m_halt || m_progress.stop)) {
                    m_halt = true;
                    cancelled = true;
                    held.Release();
                    m_platform.http.Cancel();
                    held.Take();
                    m_platform.threads.WakeAll();
                    continue;
                }
                m_platform.threads.Wait(100);
            }
        } catch (...) {
            Fail(std::current_exception());
        }
    }

    // With the lock held.
    void Record(size_t index, CLinkFinding finding, const CLocalTime& when) {
        if (finding.cancelled) return;
        ++m_completed;
        // Offline when the first findings all say so; one that reached a
        // server decides the other way.
        if (!m_offlineDecided && m_completed <= m_probe) {
            if (!finding.noNetwork) {
                m_offlineDecided = true;
            } else if (m_completed == m_probe) {
                m_offlineDecided = true;
                m_offline = true;
                m_halt = true;
            }
        }
        ++m_progress.counts[static_cast<int>(finding.state)];
        ++m_progress.done;
        m_done.push_back(CDone{index, std::move(finding), when});
    }

    void Fail(std::exception_ptr failure) {
        CLockHeld held(m_platform.threads);
        if (!m_failure) m_failure = failure;
        m_halt = true;
        m_platform.threads.WakeAll();
    }

    // |results| with the findings in, and without the addresses no longer
    // listed when the check finished.
    CCheckResults Applied(const CCheckResults& results, bool finished) {
        std::sort(m_done.begin(), m_done.end(),
                  [this](const CDone& a, const CDone& b) { return m_addresses[a.index] < m_addresses[b.index]; });
        CCheckResults merged;
        const std::vector<CLinkRecord>& old = results.Records();
        size_t o = 0;
        for (size_t i = 0; i < m_done.size(); ++i) {
            const std::string& address = m_addresses[m_done[i].index];
            if (i > 0 && address == m_addresses[m_done[i - 1].index]) continue;
            for (; o < old.size() && old[o].address < address; ++o) merged.Put(old[o]);
            const CLinkRecord* previous = o < old.size() && old[o].address == address ? &old[o++] : nullptr;
            const CLinkFinding& f = m_done[i].finding;
            merged.Put(NextRecord(previous, address, f.state, f.status, f.finalAddress, m_done[i].when));
        }
        for (; o < old.size(); ++o) merged.Put(old[o]);
        if (finished) {
            std::vector<std::string> keep = m_addresses;
            std::sort(keep.begin(), keep.end());
            keep.erase(std::unique(keep.begin(), keep.end()), keep.end());
            merged.KeepOnly(keep);
        }
        return merged;
    }

    const std::vector<std::string>& m_addresses;
    const CCheckPlatform& m_platform;
    CCheckProgress& m_progress;
    const size_t m_probe;
    std::vector<CHostQueue> m_hosts;
    std::deque<size_t> m_ready;
    size_t m_waiting = 0;
    int m_workersLeft = 0;
    std::atomic<bool> m_halt{false};
    size_t m_completed = 0;
    bool m_offlineDecided = false;
    bool m_offline = false;
    std::vector<CDone> m_done;
    std::exception_ptr m_failure;
};

}  // namespace

CheckEnd CheckAddresses(const std::vector<std::string>& addresses, CCheckResults& results,
                        const CCheckPlatform& platform, CCheckProgress& progress) {
    progress.total = static_cast<int>(addresses.size());
    progress.done = 0;
    for (auto& count : progress.counts) count = 0;
    CCheckRun run(addresses, platform, progress);
    return run.Run(results);
}
