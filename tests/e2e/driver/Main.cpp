// orvdriver.exe: the end-to-end suite, the recorder used as the "open"
// handler of http addresses, and the walk-through of scripts/run.sh.
//   orvdriver --orvelle EXE --work DIR [--shots DIR] [--only TEXT] [--timeout S] [--acp N]
//   orvdriver --record FILE ARGS...
//   orvdriver --orvelle EXE --demo OUTDIR
#include "Driver.h"

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>

using namespace drv;

namespace {

// Appends the arguments to file, one line each in code page 932: what the
// shell asked the "open" handler to do.
int Record(const std::vector<std::wstring>& args, size_t from)
{
    FILE* f = _wfopen(args[from].c_str(), L"ab");
    if (!f)
        return 1;
    for (size_t i = from + 1; i < args.size(); ++i)
        fprintf(f, "%s\r\n", ToCp932(args[i]).c_str());
    fclose(f);
    return 0;
}

// The arguments as UTF-16: argv would come through the system's code page.
std::vector<std::wstring> WideArguments()
{
    std::vector<std::wstring> args;
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    for (int i = 0; argv && i < argc; ++i)
        args.push_back(argv[i]);
    if (argv)
        LocalFree(argv);
    return args;
}

int g_passed = 0, g_failed = 0;
volatile LONG g_finished = 0;
DWORD g_budgetSeconds = 270;

// Bounds the whole run: a scenario that hangs despite its own timeouts ends
// the suite with a failure instead of blocking the caller.
DWORD WINAPI Watchdog(LPVOID)
{
    Sleep(g_budgetSeconds * 1000);
    if (InterlockedCompareExchange(&g_finished, 1, 0) != 0)
        return 0;
    HANDLE running = g_runningProgram;
    if (running)
        TerminateProcess(running, 98);
    printf("not ok - watchdog: the suite ran over %lu s\n", (unsigned long)g_budgetSeconds);
    printf("e2e: %d passed, %d failed\n", g_passed, g_failed + 1);
    fflush(stdout);
    ExitProcess(3);
}

void Usage()
{
    fprintf(stderr, "usage: orvdriver --orvelle EXE --work DIR [--shots DIR] [--only TEXT] [--timeout S] [--acp N]\n"
                    "       orvdriver --orvelle EXE --demo OUTDIR\n"
                    "       orvdriver --orvelle EXE --bench COUNT OUTDIR\n"
                    "       orvdriver --record FILE ARGS...\n");
}

}  // namespace

int main()
{
    std::vector<std::wstring> args = WideArguments();
    std::string only, demo, benchOut;
    int benchCount = 0;
    long expectedAcp = 0;
    wchar_t self[MAX_PATH] = {0};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    // Paths are code page 932 texts in the driver; one it cannot spell would
    // be a different path, so it is refused.
    std::string unspellable;
    auto cp932 = [&](const std::wstring& text) {
        if (!HasCp932Form(text))
            unspellable = Visible(text);
        return ToCp932(text);
    };
    g_config.driverExe = cp932(self);
    for (size_t i = 1; i < args.size(); ++i) {
        const std::wstring& a = args[i];
        bool hasValue = i + 1 < args.size();
        if (a == L"--record" && hasValue)
            return Record(args, i + 1);
        if (a == L"--orvelle" && hasValue)
            g_config.orvelleExe = cp932(args[++i]);
        else if (a == L"--work" && hasValue)
            g_config.workDir = cp932(args[++i]);
        else if (a == L"--shots" && hasValue)
            g_config.shotsDir = cp932(args[++i]);
        else if (a == L"--only" && hasValue)
            only = cp932(args[++i]);
        else if (a == L"--demo" && hasValue)
            demo = cp932(args[++i]);
        else if (a == L"--bench" && i + 2 < args.size()) {
            benchCount = _wtoi(args[++i].c_str());
            benchOut = cp932(args[++i]);
        }
        else if (a == L"--timeout" && hasValue)
            g_budgetSeconds = (DWORD)_wtoi(args[++i].c_str());
        else if (a == L"--acp" && hasValue)
            expectedAcp = _wtol(args[++i].c_str());
        else {
            Usage();
            return 2;
        }
    }
    if (g_config.orvelleExe.empty()) {
        Usage();
        return 2;
    }
    if (!unspellable.empty()) {
        printf("not ok - start: the path \"%s\" has no code page 932 form\n", unspellable.c_str());
        printf("e2e: 0 passed, 1 failed\n");
        return 2;
    }
    if (g_config.workDir.empty()) {
        wchar_t cwd[MAX_PATH] = {0};
        GetCurrentDirectoryW(MAX_PATH, cwd);
        g_config.workDir = cp932(cwd);
    }
    // The run is only worth its name under the code page it was meant for:
    // Wine takes it from the locale, which a wrong environment changes quietly.
    if (expectedAcp != 0) {
        UINT acp = GetACP();
        printf("e2e: ANSI code page %u\n", acp);
        fflush(stdout);
        if ((long)acp != expectedAcp) {
            printf("not ok - start: the ANSI code page is %u, not %ld\n", acp, expectedAcp);
            printf("e2e: 0 passed, 1 failed\n");
            return 1;
        }
    }
    if (g_budgetSeconds < 10)
        g_budgetSeconds = 10;
    CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr);

    if (benchCount > 0) {
        int rc = RunBench(benchCount, benchOut);
        InterlockedExchange(&g_finished, 1);
        return rc;
    }
    if (!demo.empty()) {
        int rc = RunDemo(demo);
        InterlockedExchange(&g_finished, 1);
        return rc;
    }

    std::vector<CScenario> scenarios;
    AddFoundationScenarios(scenarios);
    AddImportScenarios(scenarios);
    AddWriteScenarios(scenarios);
    AddDialogScenarios(scenarios);
    AddRobustnessScenarios(scenarios);
    AddTodaysNamesScenarios(scenarios);
    AddBookmarkScenarios(scenarios);
    AddCommandLineScenarios(scenarios);
    AddOutputPathScenarios(scenarios);
    AddTodayPageScenarios(scenarios);
    AddFirefoxScenarios(scenarios);
    AddLinkCheckScenarios(scenarios);
    AddLinkCheckDialogScenarios(scenarios);

    // No Firefox profile but the scenarios' own: a walk-through stopped
    // half-way may have left its sample.
    CAppDataTree(AppData::Roaming, FirefoxHomes()).Remove();
    for (const CScenario& s : scenarios) {
        if (!only.empty() && s.name.find(only) == std::string::npos)
            continue;
        ResetSettings();
        CCheck check;
        s.run(check);
        if (check.Failed()) {
            ++g_failed;
            printf("not ok - %s: %s\n", s.name.c_str(), check.Reasons().c_str());
        } else {
            ++g_passed;
            printf("ok - %s\n", s.name.c_str());
        }
        fflush(stdout);
    }
    // Leave the prefix as the suite found it: no settings, no test tree
    // (ORV_E2E_KEEP keeps the last tree for a look at it).
    ResetSettings();
    if (!getenv("ORV_E2E_KEEP"))
        ClearFavorites();
    if (InterlockedCompareExchange(&g_finished, 1, 0) != 0)
        Sleep(INFINITE);  // the watchdog is ending the process
    printf("e2e: %d passed, %d failed\n", g_passed, g_failed);
    fflush(stdout);
    return g_failed == 0 ? 0 : 1;
}
