#include "check/WinCheckPlatform.h"

#include <windows.h>
#include <winhttp.h>
#include <shlobj.h>
#include <knownfolders.h>

#include <cstring>
#include <exception>
#include <vector>

namespace {

// As a current desktop browser sends it: some servers refuse or mislead
// clients they do not know.
const wchar_t kUserAgent[] =
    L"Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
    L"Chrome/126.0.0.0 Safari/537.36";
const wchar_t kHeaders[] =
    L"Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8\r\n"
    L"Accept-Language: ja,en;q=0.8\r\n";
const int kTimeoutMs = 15000;
// WinHTTP's own times end every step sooner; this only keeps a completion
// that never comes from holding a check for ever.
const DWORD kStepBoundMs = 4 * kTimeoutMs;
const DWORD kMaxBodyRead = 64 * 1024;

// What a WinHTTP error means for the check. Wine passes the socket's own
// error through for some (a timeout waiting for the answer is WSAETIMEDOUT),
// and tells a connection closed before the answer as an invalid answer.
HttpFailure FailureOf(DWORD error) {
    switch (error) {
    case ERROR_WINHTTP_TIMEOUT:
    case WSAETIMEDOUT: return HttpFailure::Timeout;
    case ERROR_WINHTTP_NAME_NOT_RESOLVED: return HttpFailure::NoSuchHost;
    case ERROR_WINHTTP_CANNOT_CONNECT:
    case WSAECONNREFUSED: return HttpFailure::Refused;
    case ERROR_WINHTTP_CONNECTION_ERROR:
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
    case WSAECONNRESET:
    case WSAECONNABORTED: return HttpFailure::Reset;
    case ERROR_WINHTTP_OPERATION_CANCELLED: return HttpFailure::Cancelled;
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
    case ERROR_WINHTTP_SECURE_INVALID_CA:
    case ERROR_WINHTTP_SECURE_CERT_REV_FAILED:
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE:
    case ERROR_WINHTTP_SECURE_FAILURE_PROXY: return HttpFailure::Tls;
    default: return HttpFailure::Other;
    }
}

// A header value as ASCII: a byte past 0x7F (WinHTTP widens each one) and a
// control or space percent-encoded, as an address carries them.
std::string AsciiOf(const std::wstring& value) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string ascii;
    for (wchar_t c : value) {
        if (c > 0x20 && c < 0x7F) {
            ascii += static_cast<char>(c);
        } else if (c <= 0xFF) {
            ascii += '%';
            ascii += kHex[(c >> 4) & 0xF];
            ascii += kHex[c & 0xF];
        }
    }
    return ascii;
}

// One request in flight. WinHTTP runs it on threads of its own and reports
// each step to Completed; the Send that started it waits for each report or
// for Cancel. Shared by both: the last to let go deletes it (WinHTTP lets go
// when the handle is really gone, which after a cancel may be later).
struct CRequestState {
    HANDLE stepDone = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    LONG refs = 1;
    DWORD error = ERROR_SUCCESS;
    DWORD bytesRead = 0;
    // A read completes into it: it must live as long as the handle.
    char buffer[8192];

    ~CRequestState() {
        if (stepDone) CloseHandle(stepDone);
    }
    void Release() {
        if (InterlockedDecrement(&refs) == 0) delete this;
    }
};

void CALLBACK Completed(HINTERNET, DWORD_PTR context, DWORD status, LPVOID info, DWORD infoSize) {
    CRequestState* request = reinterpret_cast<CRequestState*>(context);
    if (!request) return;
    switch (status) {
    case WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE:
    case WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE:
        SetEvent(request->stepDone);
        break;
    case WINHTTP_CALLBACK_STATUS_READ_COMPLETE:
        request->bytesRead = infoSize;
        SetEvent(request->stepDone);
        break;
    case WINHTTP_CALLBACK_STATUS_REQUEST_ERROR:
        request->error = static_cast<WINHTTP_ASYNC_RESULT*>(info)->dwError;
        SetEvent(request->stepDone);
        break;
    case WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING:
        request->Release();
        break;
    }
}

}  // namespace

struct CWinHttpClient::CState {
    HINTERNET session = nullptr;
    // Set by Cancel: every Send waiting stops waiting.
    HANDLE cancelled = CreateEventW(nullptr, TRUE, FALSE, nullptr);
};

CWinHttpClient::CWinHttpClient() : m_state(new CState) {
    // The system's proxy settings where WinHTTP reads them (Windows 8.1 and
    // later), else WinHTTP's own. Asynchronous, because only an
    // asynchronous request ends at once when its handle is closed.
    for (DWORD access : {WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY}) {
        if (!m_state->session)
            m_state->session =
                WinHttpOpen(kUserAgent, access, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, WINHTTP_FLAG_ASYNC);
    }
    if (!m_state->session) return;
    WinHttpSetTimeouts(m_state->session, kTimeoutMs, kTimeoutMs, kTimeoutMs, kTimeoutMs);
    // Inherited by every handle made from the session; without it no step
    // would ever be seen to end.
    if (WinHttpSetStatusCallback(m_state->session, Completed,
                                 WINHTTP_CALLBACK_FLAG_ALL_COMPLETIONS | WINHTTP_CALLBACK_FLAG_HANDLES,
                                 0) == WINHTTP_INVALID_STATUS_CALLBACK) {
        WinHttpCloseHandle(m_state->session);
        m_state->session = nullptr;
    }
}

CWinHttpClient::~CWinHttpClient() {
    if (m_state->session) WinHttpCloseHandle(m_state->session);
    if (m_state->cancelled) CloseHandle(m_state->cancelled);
}

void CWinHttpClient::Cancel() { SetEvent(m_state->cancelled); }

CHttpAnswer CWinHttpClient::Send(const char* method, const std::string& url) {
    CState& state = *m_state;
    CHttpAnswer answer;
    answer.failure = HttpFailure::Other;
    if (WaitForSingleObject(state.cancelled, 0) == WAIT_OBJECT_0) {
        answer.failure = HttpFailure::Cancelled;
        return answer;
    }
    if (!state.session || !state.cancelled) return answer;

    const std::wstring wideUrl(url.begin(), url.end());
    URL_COMPONENTS parts = {};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(wideUrl.c_str(), 0, 0, &parts) || parts.dwHostNameLength == 0) return answer;
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    // The path and the query; the fragment stays with the browser.
    std::wstring object = parts.dwUrlPathLength ? std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) : L"/";
    if (parts.dwExtraInfoLength) object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    object = object.substr(0, object.find(L'#'));
    if (object.empty() || object[0] != L'/') object.insert(0, 1, L'/');
    const std::wstring verb(method, method + strlen(method));

    HINTERNET connection = WinHttpConnect(state.session, host.c_str(), parts.nPort, 0);
    HINTERNET request = connection ? WinHttpOpenRequest(connection, verb.c_str(), object.c_str(), nullptr,
                                                        WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                        parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0)
                                   : nullptr;
    CRequestState* step = request ? new CRequestState : nullptr;
    DWORD_PTR context = reinterpret_cast<DWORD_PTR>(step);
    // With its context set, the handle holds a reference until it closes.
    if (step && WinHttpSetOption(request, WINHTTP_OPTION_CONTEXT_VALUE, &context, sizeof context))
        InterlockedIncrement(&step->refs);
    bool cancelled = false;
    // Starts one step and waits for its end: false on a failure (in
    // step->error) or a cancel.
    auto run = [&](BOOL started) {
        if (!started) {
            step->error = GetLastError();
            return false;
        }
        HANDLE events[] = {step->stepDone, state.cancelled};
        switch (WaitForMultipleObjects(2, events, FALSE, kStepBoundMs)) {
        case WAIT_OBJECT_0: return step->error == ERROR_SUCCESS;
        case WAIT_TIMEOUT: step->error = ERROR_WINHTTP_TIMEOUT; return false;
        default: cancelled = true; return false;
        }
    };

    DWORD error = step && step->stepDone ? ERROR_SUCCESS : GetLastError();
    if (step && step->stepDone) {
        DWORD never = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
        DWORD noCookies = WINHTTP_DISABLE_COOKIES;
        WinHttpSetOption(request, WINHTTP_OPTION_REDIRECT_POLICY, &never, sizeof never);
        WinHttpSetOption(request, WINHTTP_OPTION_DISABLE_FEATURE, &noCookies, sizeof noCookies);
        // The wait for the answer's headers has a time of its own (90 s
        // unless set), apart from the receive time of WinHttpSetTimeouts.
        DWORD answerTimeout = kTimeoutMs;
        WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &answerTimeout, sizeof answerTimeout);
        DWORD status = 0, size = sizeof status;
        if (run(WinHttpSendRequest(request, kHeaders, static_cast<DWORD>(-1), WINHTTP_NO_REQUEST_DATA, 0, 0,
                                   context)) &&
            run(WinHttpReceiveResponse(request, nullptr)) &&
            WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX)) {
            answer.failure = HttpFailure::None;
            answer.status = static_cast<int>(status);
            size = 0;
            WinHttpQueryHeaders(request, WINHTTP_QUERY_LOCATION, WINHTTP_HEADER_NAME_BY_INDEX, nullptr, &size,
                                WINHTTP_NO_HEADER_INDEX);
            if (GetLastError() == ERROR_INSUFFICIENT_BUFFER && size > 0) {
                std::wstring location(size / sizeof(wchar_t) + 1, L'\0');
                size = static_cast<DWORD>(location.size() * sizeof(wchar_t));
                if (WinHttpQueryHeaders(request, WINHTTP_QUERY_LOCATION, WINHTTP_HEADER_NAME_BY_INDEX, &location[0],
                                        &size, WINHTTP_NO_HEADER_INDEX)) {
                    location.resize(size / sizeof(wchar_t));
                    answer.location = AsciiOf(location);
                }
            }
            // Some servers only settle on an answer after sending some of
            // the body; more than the start of a page is never needed.
            DWORD total = 0;
            while (verb == L"GET" && total < kMaxBodyRead &&
                   run(WinHttpReadData(request, step->buffer, sizeof step->buffer, nullptr)) && step->bytesRead > 0)
                total += step->bytesRead;
        } else {
            error = step->error != ERROR_SUCCESS ? step->error : GetLastError();
        }
    }
    // Closing a request in flight ends it; WinHTTP lets go of the state
    // when the handle is gone.
    if (request) WinHttpCloseHandle(request);
    if (connection) WinHttpCloseHandle(connection);
    if (step) step->Release();
    if (cancelled || WaitForSingleObject(state.cancelled, 0) == WAIT_OBJECT_0) {
        answer = CHttpAnswer();
        answer.failure = HttpFailure::Cancelled;
    } else if (answer.failure != HttpFailure::None) {
        answer.failure = FailureOf(error);
    }
    return answer;
}

namespace {

struct CThreadStart {
    const std::function<void(int)>* work;
    int index;
    std::exception_ptr failure;
};

DWORD WINAPI RunWorker(LPVOID param) {
    CThreadStart* start = static_cast<CThreadStart*>(param);
    // An exception must not leave the thread; the caller rethrows it.
    try {
        (*start->work)(start->index);
    } catch (...) {
        start->failure = std::current_exception();
    }
    return 0;
}

}  // namespace

struct CWinCheckThreads::CState {
    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE wake = CONDITION_VARIABLE_INIT;
};

CWinCheckThreads::CWinCheckThreads() : m_state(new CState) {}

CWinCheckThreads::~CWinCheckThreads() = default;

void CWinCheckThreads::RunEach(int count, const std::function<void(int)>& work) {
    std::vector<CThreadStart> starts(count > 0 ? count : 0);
    std::vector<HANDLE> threads;
    for (int i = 0; i < count; ++i) {
        starts[i] = {&work, i, nullptr};
        HANDLE thread = CreateThread(nullptr, 0, RunWorker, &starts[i], 0, nullptr);
        // Without a thread of its own the work still gets done, here.
        if (thread)
            threads.push_back(thread);
        else
            RunWorker(&starts[i]);
    }
    for (HANDLE thread : threads) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    for (const CThreadStart& start : starts)
        if (start.failure) std::rethrow_exception(start.failure);
}

void CWinCheckThreads::Lock() { AcquireSRWLockExclusive(&m_state->lock); }

void CWinCheckThreads::Unlock() { ReleaseSRWLockExclusive(&m_state->lock); }

void CWinCheckThreads::Wait(int ms) {
    SleepConditionVariableSRW(&m_state->wake, &m_state->lock, ms < 0 ? 0 : static_cast<DWORD>(ms), 0);
}

void CWinCheckThreads::WakeAll() { WakeAllConditionVariable(&m_state->wake); }

CLocalTime CWinCheckClock::Now() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    CLocalTime time;
    time.year = now.wYear;
    time.month = now.wMonth;
    time.day = now.wDay;
    time.hour = now.wHour;
    time.minute = now.wMinute;
    time.second = now.wSecond;
    return time;
}

void CWinCheckClock::Pause(int ms, const std::atomic<bool>& stop) {
    // Short steps, so that a stop is seen within the second promised.
    while (ms > 0 && !stop) {
        const int step = ms < 50 ? ms : 50;
        Sleep(static_cast<DWORD>(step));
        ms -= step;
    }
}

bool CWinCheckFiles::ResultsFolder(HostName& folder) {
    PWSTR found = nullptr;
    const HRESULT hr = SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &found);
    const bool ok = SUCCEEDED(hr) && found && found[0] != L'\0';
    if (ok) folder = std::wstring(found) + L"\\Orvelle";
    CoTaskMemFree(found);
    if (!ok) return false;
    if (CreateDirectoryW(folder.c_str(), nullptr)) return true;
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

FileRead CWinCheckFiles::ReadWhole(const HostName& path, std::string& bytes) {
    bytes.clear();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileRead::Missing
                                                                              : FileRead::Failed;
    }
    bool ok = true;
    char buffer[65536];
    DWORD got = 0;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != 0) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    if (!ok) bytes.clear();
    return ok ? FileRead::Read : FileRead::Failed;
}

bool CWinCheckFiles::ReplaceWhole(const HostName& path, const std::string& bytes) {
    const HostName fresh = path + L".new";
    HANDLE file = CreateFileW(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = bytes.size() <= MAXDWORD &&
              WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    // On the disk before the rename, so that a crash leaves either file whole.
    ok = FlushFileBuffers(file) && ok;
    ok = CloseHandle(file) && ok;
    ok = ok && MoveFileExW(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileW(fresh.c_str());
    return ok;
}

bool CWinCheckFiles::Rename(const HostName& path, const HostName& newPath) {
    return MoveFileExW(path.c_str(), newPath.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}
