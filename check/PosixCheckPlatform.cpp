#include "check/PosixCheckPlatform.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <thread>
#include <vector>

void CPosixCheckThreads::RunEach(int count, const std::function<void(int)>& work) {
    std::vector<std::thread> threads;
    threads.reserve(count);
    try {
        for (int i = 0; i < count; ++i) threads.emplace_back([&work, i] { work(i); });
    } catch (...) {
        // A thread that cannot be made: the ones made still end on their own.
        for (std::thread& t : threads) t.join();
        throw;
    }
    for (std::thread& t : threads) t.join();
}

void CPosixCheckThreads::Lock() { m_mutex.lock(); }

void CPosixCheckThreads::Unlock() { m_mutex.unlock(); }

void CPosixCheckThreads::Wait(int ms) {
    std::unique_lock<std::mutex> lock(m_mutex, std::adopt_lock);
    m_wake.wait_for(lock, std::chrono::milliseconds(ms));
    // The caller holds the lock again and lets it go itself.
    lock.release();
}

void CPosixCheckThreads::WakeAll() { m_wake.notify_all(); }

CLocalTime CPosixCheckClock::Now() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    CLocalTime time;
    time.year = local.tm_year + 1900;
    time.month = local.tm_mon + 1;
    time.day = local.tm_mday;
    time.hour = local.tm_hour;
    time.minute = local.tm_min;
    // A leap second reads as the second before it.
    time.second = local.tm_sec > 59 ? 59 : local.tm_sec;
    return time;
}

void CPosixCheckClock::Pause(int ms, const std::atomic<bool>& stop) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(ms);
    for (Clock::time_point now = Clock::now(); !stop && now < end; now = Clock::now())
        std::this_thread::sleep_for(std::min<Clock::duration>(end - now, std::chrono::milliseconds(50)));
}

bool CPosixCheckFiles::ResultsFolder(HostName& folder) {
    std::error_code ec;
    std::filesystem::create_directories(m_folder, ec);
    if (!std::filesystem::is_directory(m_folder, ec)) return false;
    folder = m_folder;
    return true;
}

FileRead CPosixCheckFiles::ReadWhole(const HostName& path, std::string& bytes) {
    bytes.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return errno == ENOENT ? FileRead::Missing : FileRead::Failed;
    char chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    if (ok) return FileRead::Read;
    bytes.clear();
    return FileRead::Failed;
}

bool CPosixCheckFiles::ReplaceWhole(const HostName& path, const std::string& bytes) {
    const HostName fresh = path + ".new";
    std::FILE* file = std::fopen(fresh.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = std::fclose(file) == 0 && ok;
    if (ok && std::rename(fresh.c_str(), path.c_str()) == 0) return true;
    std::remove(fresh.c_str());
    return false;
}

bool CPosixCheckFiles::Rename(const HostName& path, const HostName& newPath) {
    return std::rename(path.c_str(), newPath.c_str()) == 0;
}
