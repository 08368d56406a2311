// The link check's platform on Windows: WinHTTP, Win32 threads with a
// slim reader/writer lock and a condition variable, the local clock, and
// results in %LOCALAPPDATA%\Orvelle.
#pragma once
#include <memory>

#include "check/CheckPlatform.h"

class CWinHttpClient : public IHttpClient {
public:
    CWinHttpClient();
    ~CWinHttpClient() override;
    CHttpAnswer Send(const char* method, const std::string& url) override;
    void Cancel() override;

private:
    struct CState;
    std::unique_ptr<CState> m_state;
};

class CWinCheckThreads : public ICheckThreads {
public:
    CWinCheckThreads();
    ~CWinCheckThreads() override;
    void RunEach(int count, const std::function<void(int)>& work) override;
    void Lock() override;
    void Unlock() override;
    void Wait(int ms) override;
    void WakeAll() override;

private:
    struct CState;
    std::unique_ptr<CState> m_state;
};

class CWinCheckClock : public ICheckClock {
public:
    CLocalTime Now() override;
    void Pause(int ms, const std::atomic<bool>& stop) override;
};

class CWinCheckFiles : public ICheckFiles {
public:
    bool ResultsFolder(HostName& folder) override;
    FileRead ReadWhole(const HostName& path, std::string& bytes) override;
    bool ReplaceWhole(const HostName& path, const std::string& bytes) override;
    bool Rename(const HostName& path, const HostName& newPath) override;
};
