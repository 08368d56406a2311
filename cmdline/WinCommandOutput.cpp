#include "cmdline/WinCommandOutput.h"

#include <windows.h>

#include "core/Text.h"
#include "core/WinText.h"

namespace {

bool WriteAll(HANDLE out, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD wrote = 0;
        const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        if (!WriteFile(out, bytes.data() + done, want, &wrote, nullptr) || wrote == 0) return false;
        done += wrote;
    }
    return true;
}

// A console takes wide characters; anything else (a file, a pipe) UTF-8.
void WriteTo(HANDLE out, const std::wstring& wide) {
    DWORD mode = 0;
    if (GetConsoleMode(out, &mode)) {
        DWORD wrote = 0;
        WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &wrote, nullptr);
        return;
    }
    WriteAll(out, Utf8FromUtf16(std::u16string(wide.begin(), wide.end())));
}

}  // namespace

void TellStarter(const std::string& text) {
    std::wstring wide;
    // The console wants CR LF where the texts hold LF.
    for (wchar_t c : WideText(text)) {
        if (c == L'\n') wide.push_back(L'\r');
        wide.push_back(c);
    }
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out != nullptr && out != INVALID_HANDLE_VALUE && GetFileType(out) != FILE_TYPE_UNKNOWN) {
        WriteTo(out, wide);
        return;
    }
    // A program of the Windows subsystem has no console of its own: it
    // borrows the one of the command prompt that started it.
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
    if (console != INVALID_HANDLE_VALUE) {
        WriteTo(console, wide);
        CloseHandle(console);
    }
    FreeConsole();
}

bool AppendToLog(const std::string& path, const std::string& line) {
    HANDLE file = CreateFileW(LongPathForm(WideText(path)).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool ok = WriteAll(file, line);
    return CloseHandle(file) && ok;
}
