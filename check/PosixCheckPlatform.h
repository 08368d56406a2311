// The link check's platform in the native build: threads and the clock of
// the host, and results files in a folder given.
#pragma once
#include <condition_variable>
#include <mutex>

#include "check/CheckPlatform.h"

class CPosixCheckThreads : public ICheckThreads {
public:
    void RunEach(int count, const std::function<void(int)>& work) override;
    void Lock() override;
    void Unlock() override;
    void Wait(int ms) override;
    void WakeAll() override;

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
};

class CPosixCheckClock : public ICheckClock {
public:
    CLocalTime Now() override;
    void Pause(int ms, const std::atomic<bool>& stop) override;
};

class CPosixCheckFiles : public ICheckFiles {
public:
    // Results go into |folder| (made when missing).
    explicit CPosixCheckFiles(HostName folder) : m_folder(std::move(folder)) {}
    bool ResultsFolder(HostName& folder) override;
    FileRead ReadWhole(const HostName& path, std::string& bytes) override;
    bool ReplaceWhole(const HostName& path, const std::string& bytes) override;
    bool Rename(const HostName& path, const HostName& newPath) override;

private:
    HostName m_folder;
};
