// Test stand-ins for the link check's HTTP and clock: answers scripted per
// request, counts of the requests open at once, and a clock that moves only
// when the test moves it.
#pragma once
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <new>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "check/CheckPlatform.h"

inline CHttpAnswer Answer(int status, std::string location = std::string()) {
    CHttpAnswer answer;
    answer.status = status;
    answer.location = std::move(location);
    return answer;
}

inline CHttpAnswer Failed(HttpFailure failure) {
    CHttpAnswer answer;
    answer.failure = failure;
    return answer;
}

class CFakeHttp : public IHttpClient {
public:
    // The answers to "METHOD url", one per request in turn; the last repeats.
    std::map<std::string, std::vector<CHttpAnswer>> script;
    // The answer to a request the script does not hold.
    CHttpAnswer otherwise = Answer(200);
    // How long each request lasts, so that requests overlap.
    int sleepMicroseconds = 0;
    // Requests to these hosts last until Cancel() (10 s at most).
    std::set<std::string> hangingHosts;
    // Set when this many answers have been given (a person's stop).
    std::atomic<bool>* stopFlag = nullptr;
    int stopAfterAnswers = 0;
    // A request for this address throws, as an allocation that fails.
    std::string throwsFor;

    // Read once the check has ended: "METHOD url" in the order the requests
    // began, and the most requests open at once.
    std::vector<std::string> log;
    int maxOpenInAll = 0;
    int maxOpenPerHost = 0;
    int cancels = 0;

    CHttpAnswer Send(const char* method, const std::string& url) override {
        std::unique_lock<std::mutex> lock(m_mutex);
        const std::string key = std::string(method) + " " + url;
        log.push_back(key);
        if (m_cancelled) return Failed(HttpFailure::Cancelled);
        if (url == throwsFor) throw std::bad_alloc();
        CHttpAnswer answer = otherwise;
        auto scripted = script.find(key);
        if (scripted != script.end()) {
            size_t& turn = m_turns[key];
            answer = scripted->second[std::min(turn, scripted->second.size() - 1)];
            ++turn;
        }
        const std::string host = HostPart(url);
        int& open = m_openPerHost[host];
        maxOpenPerHost = std::max(maxOpenPerHost, ++open);
        maxOpenInAll = std::max(maxOpenInAll, ++m_openInAll);
        if (hangingHosts.count(host)) {
            m_wake.wait_for(lock, std::chrono::seconds(10), [this] { return m_cancelled; });
        } else if (sleepMicroseconds > 0) {
            lock.unlock();
            std::this_thread::sleep_for(std::chrono::microseconds(sleepMicroseconds));
            lock.lock();
        }
        --open;
        --m_openInAll;
        if (m_cancelled) return Failed(HttpFailure::Cancelled);
        if (stopFlag && ++m_answers == stopAfterAnswers) *stopFlag = true;
        return answer;
    }

    void Cancel() override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_cancelled = true;
        ++cancels;
        m_wake.notify_all();
    }

private:
    // The test's own reading of a host: what lies between "://" and the next "/".
    static std::string HostPart(const std::string& url) {
        const size_t start = url.find("://");
        if (start == std::string::npos) return std::string();
        return url.substr(start + 3, url.find('/', start + 3) - start - 3);
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::map<std::string, size_t> m_turns;
    std::map<std::string, int> m_openPerHost;
    int m_openInAll = 0;
    int m_answers = 0;
    bool m_cancelled = false;
};

class CFakeClock : public ICheckClock {
public:
    // What Now() gives until the test changes it.
    CLocalTime now{2024, 5, 1, 9, 0, 0};
    // Every pause asked for; none of them waits.
    std::vector<int> pauses;

    CLocalTime Now() override {
        std::lock_guard<std::mutex> lock(m_mutex);
        return now;
    }
    void Pause(int ms, const std::atomic<bool>&) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        pauses.push_back(ms);
    }

private:
    std::mutex m_mutex;
};
