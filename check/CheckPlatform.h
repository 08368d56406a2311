// What the link check needs of the platform: HTTP, threads, the clock and
// its files. The Win32 implementations (WinHTTP) are the Win*.cpp files of
// this folder; the native build's stand-ins are the Posix*.cpp files, and
// the tests bring their own.
#pragma once
#include <atomic>
#include <functional>
#include <string>

#include "core/HostFile.h"

// How a request ended when no status came back.
enum class HttpFailure {
    None,        // an answer with a status
    Timeout,     // no connection or no answer within the time allowed
    Refused,     // the host refused the connection
    Reset,       // the connection was reset or closed before the answer
    NoSuchHost,  // the host name does not resolve
    Tls,         // the secure connection failed (certificate, protocol)
    Cancelled,   // Cancel() was called
    Other,       // anything else (a malformed address, out of resources)
};

struct CHttpAnswer {
    HttpFailure failure = HttpFailure::None;
    int status = 0;        // with HttpFailure::None
    std::string location;  // the Location header as sent (ASCII), empty without one
};

class IHttpClient {
public:
    virtual ~IHttpClient() = default;
    // One request, |method| "HEAD" or "GET", for |url|, an absolute http or
    // https address in ASCII. Follows no redirect; sends and keeps no
    // cookie; a browser-like User-Agent; the system's proxy and
    // certificates; 15 s for connecting and 15 s for the answer. A GET reads
    // at most the first 64 KiB of the body, then closes. Safe to call from
    // several threads at once.
    virtual CHttpAnswer Send(const char* method, const std::string& url) = 0;
    // Ends every Send in progress within a second with Cancelled; every
    // later Send returns Cancelled at once. Any thread may call it.
    virtual void Cancel() = 0;
};

// A local date and time of day.
struct CLocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

class ICheckClock {
public:
    virtual ~ICheckClock() = default;
    virtual CLocalTime Now() = 0;
    // Waits |ms| milliseconds, or returns sooner once |stop| is true.
    virtual void Pause(int ms, const std::atomic<bool>& stop) = 0;
};

// Worker threads and the one lock and condition they share.
class ICheckThreads {
public:
    virtual ~ICheckThreads() = default;
    // Runs work(0) to work(count - 1), each on a thread of its own, and
    // returns when every one has returned.
    virtual void RunEach(int count, const std::function<void(int)>& work) = 0;
    virtual void Lock() = 0;
    virtual void Unlock() = 0;
    // With the lock held: releases it, waits for WakeAll or |ms|
    // milliseconds, and takes it again.
    virtual void Wait(int ms) = 0;
    virtual void WakeAll() = 0;
};

// Where a read of a results file ended.
enum class FileRead { Read, Missing, Failed };

class ICheckFiles {
public:
    virtual ~ICheckFiles() = default;
    // The folder the results go into, made when missing: "Orvelle" in the
    // user's local application data folder. False when there is none.
    virtual bool ResultsFolder(HostName& folder) = 0;
    virtual FileRead ReadWhole(const HostName& path, std::string& bytes) = 0;
    // Writes |bytes| into a new file beside |path| and renames it over
    // |path|: a failure or a crash leaves the old file whole. False when
    // either step failed (the new file removed).
    virtual bool ReplaceWhole(const HostName& path, const std::string& bytes) = 0;
    // Renames |path| to |newPath|, replacing it; false when it cannot.
    virtual bool Rename(const HostName& path, const HostName& newPath) = 0;
};
