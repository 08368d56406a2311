// Timing of the real program under Wine at the link limit: Import of a large
// Favorites tree into the list box, then a Write in the frames style, each
// against a floor taken in the same run on the same tree with bare Win32
// calls; then Import of as many bookmarks from a browser's Bookmarks file
// and from a bookmark HTML file, each against reading that file (and
// RapidJSON's parse of the Bookmarks file), and from a Firefox profile of
// the same tree, against copying its places.sqlite and -wal and SQLite's
// own query of the same rows. Prints wall times; used by bench/wine.sh,
// never by the test suite.
//   ORV_BENCH_REPEAT=n        rounds (default 1); each step's best time
//                             counts, and beside it the median over rounds
//                             of the ratios taken within one round
//   ORV_BENCH_BASELINE=EXE    another Orvelle.exe (Windows path), measured
//                             alternately with this one on the same tree or
//                             file (bookmark files where it lists them all)
//   ORV_BENCH_SOURCES=list    of "favorites chromium html firefox" (default all)
#include "Driver.h"
#include "support/BookmarkGenerator.h"
#include "support/FirefoxOfBookmarks.h"
#include "support/TreeGenerator.h"

#include <psapi.h>
#include <rapidjson/document.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <memory>

namespace drv {

namespace {

double Since(LARGE_INTEGER start)
{
    LARGE_INTEGER now, freq;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&freq);
    return double(now.QuadPart - start.QuadPart) / double(freq.QuadPart);
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t;
}

// The benchmark tree in the Favorites folder of the prefix: seed 42, as in
// bench/run.sh and bench/wine.sh, so the pages can be compared with the
// native ones.
bool MakeLargeTree(CCheck& check, int count)
{
    if (!MakeFavorites(check, {}))
        return false;
    const GeneratedTree tree = GenerateTree(count, 42);
    const std::string fav = FavoritesPath() + "\\";
    for (const std::string& folder : tree.folders)
        if (!check.That(MakeFolder(fav + folder), "cannot create " + Visible(folder)))
            return false;
    for (const GeneratedFile& file : tree.files)
        if (!check.That(WriteBytes(fav + file.path, file.bytes), "cannot create " + Visible(file.path)))
            return false;
    return true;
}

// ---- the floor: what any program must ask of Wine for the same work ----

bool IsDots(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

// Import's floor: a FindFirstFileW walk that keeps every file's path.
void Walk(const std::wstring& folder, std::vector<std::wstring>& files)
{
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        if (IsDots(fd.cFileName))
            continue;
        std::wstring path = folder + L"\\" + fd.cFileName;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            Walk(path, files);
        else
            files.push_back(std::move(path));
    } while (FindNextFileW(h, &fd));
    FindClose(h);
}

// Open, read, close. A short read of a disk file is its end, so a shortcut
// takes one ReadFile.
size_t ReadWhole(const std::wstring& path, std::string* into = nullptr)
{
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return 0;
    static char buf[1 << 16];
    size_t total = 0;
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) {
        total += got;
        if (into)
            into->append(buf, got);
        if (got < sizeof buf)
            break;
    }
    CloseHandle(f);
    return total;
}

struct CPage {
    std::wstring name;
    std::string bytes;
};

// The pages a Write left in |folder|, to be written again by the floor.
std::vector<CPage> TakePages(const std::wstring& folder)
{
    std::vector<std::wstring> files;
    Walk(folder, files);
    std::vector<CPage> pages;
    for (const std::wstring& f : files) {
        CPage p{f.substr(folder.size() + 1), std::string()};
        ReadWhole(f, &p.bytes);
        pages.push_back(std::move(p));
    }
    return pages;
}

// ---- the program ----

// Presses Write and waits for the box that ends it; its time in |seconds|.
// False with the reason when the Write did not end with the completion text.
bool TimedWrite(COrvelle& app, double* seconds, std::string* why)
{
    const LARGE_INTEGER t0 = Now();
    app.Click(IDC_WRITE);
    // A loaded machine can slow a Write tenfold; the watchdog bounds the run.
    HWND box = app.FindDialog("Orvelle", 900000);
    *seconds = Since(t0);
    if (!box) {
        const std::string boxes = app.DismissStrayBoxes();
        *why = "no message box in 900 s" + (boxes.empty() ? "" : " (boxes: " + boxes + ")");
        return false;
    }
    std::string text;
    if (!TakeBox(box, &text, why))
        return false;
    if (text != kWrittenText) {
        *why = "the Write ended with \"" + Visible(text) + "\"";
        return false;
    }
    return true;
}

// The memory counters of process |pid|; zeros when they cannot be read.
PROCESS_MEMORY_COUNTERS MemoryOf(DWORD pid)
{
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    HANDLE p = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!p)
        return pmc;
    if (!GetProcessMemoryInfo(p, &pmc, sizeof pmc))
        pmc = PROCESS_MEMORY_COUNTERS{};
    CloseHandle(p);
    return pmc;
}

double PeakMiB(DWORD pid)
{
    return double(MemoryOf(pid).PeakWorkingSetSize) / (1024.0 * 1024.0);
}

// The times of one step, a round each: their best, and with another step's
// the median of the ratios of the same round. The floor of the file system
// moves between its phases (the same read took 1 s in one round and 5 s in
// the others), so only a ratio within a round compares like with like.
struct CTimes {
    double value = -1;  // the best
    std::vector<double> rounds;
    void Take(double v) { Take(v, v); }
    // A round of several runs: |v| stands for the round, |best| is its best run.
    void Take(double v, double best)
    {
        value = value < 0 || best < value ? best : value;
        rounds.push_back(v);
    }
};

double MedianRatio(const CTimes& a, const CTimes& b)
{
    std::vector<double> r;
    for (size_t k = 0; k < a.rounds.size() && k < b.rounds.size(); ++k)
        r.push_back(a.rounds[k] / b.rounds[k]);
    if (r.empty())
        return 0;
    std::sort(r.begin(), r.end());
    const size_t n = r.size();
    return n % 2 ? r[n / 2] : (r[n / 2 - 1] + r[n / 2]) / 2;
}

// One Orvelle.exe under measurement, with its best times.
struct CProgram {
    CProgram(const char* n, const char* folder) : name(n), folderName(folder) {}
    const char* name;        // "Orvelle", "baseline"
    std::string folderName;  // round 1 writes into outDir\<folderName>
    COrvelle app;
    CTimes import, write;
    CTimes writeToday;  // Orvelle alone: the page for today's readers
    size_t listed = 0;
};

bool StartProgram(CProgram& p, const std::string& exe, const std::string& outDir)
{
    const std::string keep = g_config.orvelleExe;
    g_config.orvelleExe = exe;
    CCheck check;
    const bool started = p.app.Start(check, outDir);
    g_config.orvelleExe = keep;
    if (!started)
        printf("bench: %s: %s\n", p.name, check.Reasons().c_str());
    return started;
}

bool ChooseStyle(CProgram& p, int radio, const char* style)
{
    if (p.app.ClickSync(radio) && p.app.Checked(radio) == BST_CHECKED)
        return true;
    printf("bench: %s: the %s style cannot be chosen\n", p.name, style);
    return false;
}

// quiet: no line when Import does not return (a baseline tried on a
// source it may not know).
bool TimedImport(CProgram& p, double* seconds, bool quiet = false)
{
    const LARGE_INTEGER t0 = Now();
    if (!p.app.ClickSync(IDC_IMPORT)) {
        if (!quiet)
            printf("bench: %s: Import did not return\n", p.name);
        return false;
    }
    *seconds = Since(t0);
    DWORD_PTR items = 0;
    SendBounded(p.app.Item(IDC_LINKLIST), LB_GETCOUNT, 0, 0, &items);
    p.listed = items;
    return true;
}

// A Write into outDir\<folderName> in round 1 (kept for the comparison of
// pages), into a fresh folder of its own in later rounds.
// |style| names the folder (else the program's own) and the figure.
bool TimedWriteInto(CProgram& p, const std::string& outDir, int round, double* seconds, std::wstring* folder,
                    const char* style = "frames")
{
    const std::string name = std::string(style) == "frames" ? p.folderName : style;
    const std::string path = outDir + "\\" + name + (round == 1 ? "" : Num(round));
    RemoveTree(path);
    MakeFolder(path);
    const std::string output = path + "\\link.html";
    if (!p.app.SetText(IDC_OUTPUT, output) || p.app.Text(IDC_OUTPUT) != output) {
        printf("bench: %s: the output file cannot be set\n", p.name);
        return false;
    }
    std::string why;
    if (!TimedWrite(p.app, seconds, &why)) {
        printf("wine_write_%s %.3f FAILED: %s: %s\n", style, *seconds, p.name, why.c_str());
        return false;
    }
    (std::string(style) == "frames" ? p.write : p.writeToday).Take(*seconds);
    *folder = FromCp932(path);
    return true;
}

void RemoveFolder(const std::wstring& folder)
{
    RemoveTree(folder);
    RemoveDirectoryW(folder.c_str());
}

double WorkingSetMiB(DWORD pid)
{
    return double(MemoryOf(pid).WorkingSetSize) / (1024.0 * 1024.0);
}

// The least a reader must ask of Wine: the size, then one read of it all.
// |share| as the reader shares the file (a live database is open for writing).
bool ReadSized(const std::wstring& path, std::string* bytes, DWORD share = FILE_SHARE_READ)
{
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size{};
    DWORD got = 0;
    bool ok = GetFileSizeEx(f, &size) && size.QuadPart < 0x7FFFFFFF;
    if (ok) {
        bytes->resize((size_t)size.QuadPart);
        ok = bytes->empty() || (ReadFile(f, &(*bytes)[0], (DWORD)bytes->size(), &got, nullptr) && got == bytes->size());
    }
    CloseHandle(f);
    return ok;
}

// What showing |texts| costs in itself: a list box of the driver with the
// program's styles, filled as the program fills its own.
double ListBoxFill(const std::vector<std::wstring>& texts)
{
    HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP | LBS_SORT | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL |
                                WS_BORDER, 0, 0, 400, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!list)
        return -1;
    size_t units = 0;
    for (const std::wstring& t : texts)
        units += t.size() + 1;
    const LARGE_INTEGER t0 = Now();
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    SendMessageW(list, LB_INITSTORAGE, texts.size(), (LPARAM)(units * sizeof(wchar_t)));
    for (const std::wstring& t : texts)
        SendMessageW(list, LB_INSERTSTRING, (WPARAM)-1, (LPARAM)t.c_str());
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    const double seconds = Since(t0);
    DestroyWindow(list);
    return seconds;
}

// The floor of one bookmark source: what any reader must ask of Wine for
// the same file, in timed parts (read, parse; copy, query, remove).
struct CFloor {
    // One round: the time of each part; false when it could not be done.
    std::function<bool(std::vector<double>& parts)> round;
    // The closing line's parenthesis, from each part's best time.
    std::function<std::string(const std::vector<CTimes>& parts)> describe;
};

// Import of |count| bookmarks from the source |setting| (a Source value of
// kind "chromium", "html" or "firefox"), stored in the settings before the
// start, against its floor, and against the baseline where it lists them
// all (an older one may not know the source); each program started for
// this source alone, so its peak working set is this Import's.
bool BenchBookmarkSource(const char* kind, const std::string& setting, int count, int rounds,
                         const std::string& outDir, const char* baselineExe, const CFloor& floorOf)
{
    ResetSettings();
    if (!PutSettingString("Orvelle", "Source", setting)) {
        printf("bench: the Source setting cannot be stored\n");
        return false;
    }
    CProgram p{"Orvelle", ""}, baseline{"baseline", ""};
    std::vector<CProgram*> programs = {&p};
    if (!StartProgram(p, g_config.orvelleExe, outDir))
        return false;
    if (baselineExe && *baselineExe && StartProgram(baseline, baselineExe, outDir))
        programs.push_back(&baseline);
    const double before = WorkingSetMiB(p.app.Pid());
    std::vector<CTimes> parts;
    CTimes floor;
    for (int round = 1; round <= rounds; ++round) {
        std::vector<CProgram*> order = programs;
        if (round % 2 == 0)
            std::reverse(order.begin(), order.end());
        std::string line = "bench: " + std::string(kind) + " round " + Num(round) + ":";
        char figure[160];
        for (CProgram* q : order) {
            double seconds = 0;
            const bool probe = q == &baseline && round == 1;
            if (!TimedImport(*q, &seconds, probe) || (probe && q->listed != (size_t)count)) {
                if (!probe)
                    return false;
                const std::string boxes = q->app.DismissStrayBoxes();
                printf("bench: %s: the baseline lists %zu entries, not %d%s: compared without it\n", kind, q->listed,
                       count, boxes.empty() ? "" : (" (boxes: " + boxes + ")").c_str());
                q->app.Kill();
                programs.pop_back();
                continue;
            }
            q->import.Take(seconds);
            snprintf(figure, sizeof figure, " %s Import %.3f s, %zu entries;", q->name, seconds, q->listed);
            line += figure;
        }
        std::vector<double> times;
        if (!floorOf.round(times))
            return false;
        parts.resize(times.size());
        double total = 0;
        for (size_t k = 0; k < times.size(); ++k) {
            parts[k].Take(times[k]);
            total += times[k];
        }
        floor.Take(total);
        printf("%s floor %.3f s\n", line.c_str(), total);
        fflush(stdout);
    }
    std::vector<double> peaks;
    for (CProgram* q : programs)
        peaks.push_back(PeakMiB(q->app.Pid()));
    const std::vector<std::wstring> shown = p.app.ListItemsW();
    CTimes fill;
    for (int round = 1; round <= rounds; ++round)
        fill.Take(ListBoxFill(shown));
    for (CProgram* q : programs) {
        q->app.Click(IDOK);
        q->app.WaitExit(kWindowTimeout);
    }
    ResetSettings();
    printf("wine_floor_%s %.3f (%s)\n", kind, floor.value, floorOf.describe(parts).c_str());
    for (size_t k = 0; k < programs.size(); ++k) {
        const CProgram& q = *programs[k];
        const std::string tag = k == 0 ? "wine_" + std::string(kind) : "wine_baseline_" + std::string(kind);
        printf("%s %zu %.3f x_floor %.2f (same-round median %.2f)\n", tag.c_str(), q.listed, q.import.value,
               q.import.value / floor.value, MedianRatio(q.import, floor));
        if (k == 0)
            printf("%s_peak_MiB %.1f (%.1f before the first Import)\n", tag.c_str(), peaks[k], before);
        else
            printf("%s_peak_MiB %.1f\n", tag.c_str(), peaks[k]);
    }
    printf("wine_%s_listbox_fill %.3f (the same texts into a list box of the driver; part of Import, not of the floor)\n",
           kind, fill.value);
    if (programs.size() > 1)
        printf("wine_vs_baseline %s %.2f (same-round median %.2f)\n", kind, p.import.value / baseline.import.value,
               MedianRatio(p.import, baseline.import));
    fflush(stdout);
    return p.listed == (size_t)count;
}

std::string Formatted(const char* format, ...)
{
    char buf[256];
    va_list args;
    va_start(args, format);
    vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    return buf;
}

// The floor of a Bookmarks file (|json|: and RapidJSON's parse of it, as the
// reader parses: in place, without recursion) or of an HTML file: one read.
CFloor FileFloor(const std::string& file, bool json)
{
    auto bytes = std::make_shared<size_t>(0);
    auto parsed = std::make_shared<bool>(true);
    CFloor f;
    f.round = [file, json, bytes, parsed](std::vector<double>& parts) {
        std::string text;
        LARGE_INTEGER t0 = Now();
        if (!ReadSized(FromCp932(file), &text)) {
            printf("bench: the floor cannot read %s\n", file.c_str());
            return false;
        }
        parts.push_back(Since(t0));
        *bytes = text.size();
        if (json) {
            t0 = Now();
            rapidjson::Document doc;
            doc.ParseInsitu<rapidjson::kParseInsituFlag | rapidjson::kParseIterativeFlag>(&text[0]);
            parts.push_back(Since(t0));
            *parsed = *parsed && !doc.HasParseError();
        }
        return true;
    };
    f.describe = [json, bytes, parsed](const std::vector<CTimes>& parts) {
        if (json)
            return Formatted("read %.3f + parse %.3f of %.1f MiB%s", parts[0].value, parts[1].value,
                             *bytes / 1048576.0, *parsed ? "" : ", PARSE ERROR");
        return Formatted("read of %.1f MiB", *bytes / 1048576.0);
    };
    return f;
}

// ---- Firefox ----

// The floor of a Firefox profile: a copy of places.sqlite and its -wal
// into a fresh folder of the temporary folder (read with all sharing, as
// the live files are open), SQLite's own query of the same rows from the
// copy opened read-only, and the copy removed.
CFloor FirefoxFloor(const std::wstring& profile)
{
    auto bytes = std::make_shared<size_t>(0);
    auto rows = std::make_shared<long>(0);
    CFloor f;
    f.round = [profile, bytes, rows](std::vector<double>& parts) {
        wchar_t temp[MAX_PATH + 1] = {0};
        GetTempPathW(MAX_PATH + 1, temp);
        const std::wstring copy = std::wstring(temp) + L"orvbench-floor";
        RemoveFolder(copy);
        const DWORD all = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        LARGE_INTEGER t0 = Now();
        std::string db, wal;
        const bool hasWal = ReadSized(profile + L"\\places.sqlite-wal", &wal, all);
        if (!ReadSized(profile + L"\\places.sqlite", &db, all) || !MakeFolder(copy) ||
            !WriteBytes(copy + L"\\places.sqlite", db) ||
            (hasWal && !WriteBytes(copy + L"\\places.sqlite-wal", wal))) {
            printf("bench: the floor cannot copy places.sqlite into %s\n", Visible(copy).c_str());
            return false;
        }
        parts.push_back(Since(t0));
        *bytes = db.size() + wal.size();

        t0 = Now();
        sqlite3* handle = nullptr;
        sqlite3_stmt* query = nullptr;
        long n = 0;
        bool ok = sqlite3_open_v2(Utf8Bytes(copy + L"\\places.sqlite").c_str(), &handle, SQLITE_OPEN_READONLY,
                                  nullptr) == SQLITE_OK &&
                  sqlite3_prepare_v2(handle,
                                     "SELECT b.id, b.type, b.parent, b.title, b.guid, p.url FROM moz_bookmarks b "
                                     "LEFT JOIN moz_places p ON p.id = b.fk ORDER BY b.parent, b.position, b.id",
                                     -1, &query, nullptr) == SQLITE_OK;
        size_t text = 0;
        int step = SQLITE_ROW;
        while (ok && (step = sqlite3_step(query)) == SQLITE_ROW) {
            sqlite3_column_int64(query, 0);
            sqlite3_column_int(query, 1);
            sqlite3_column_int64(query, 2);
            for (int column : {3, 4, 5})
                if (sqlite3_column_text(query, column))
                    text += (size_t)sqlite3_column_bytes(query, column);
            ++n;
        }
        ok = ok && step == SQLITE_DONE && text > 0;
        sqlite3_finalize(query);
        sqlite3_close(handle);
        parts.push_back(Since(t0));
        *rows = n;

        t0 = Now();
        RemoveFolder(copy);
        parts.push_back(Since(t0));
        if (!ok)
            printf("bench: the floor's query of places.sqlite failed\n");
        return ok;
    };
    f.describe = [bytes, rows](const std::vector<CTimes>& parts) {
        return Formatted("copy %.3f of %.1f MiB + query %.3f of %ld rows + remove %.3f", parts[0].value,
                         *bytes / 1048576.0, parts[1].value, *rows, parts[2].value);
    };
    return f;
}

// Import from a Firefox profile of the prefix's roaming tree holding the
// generated tree, its mobile bookmarks only in the -wal, the writer open
// as while the browser runs.
bool BenchFirefox(const GeneratedBookmarks& made, int count, int rounds, const std::string& outDir,
                  const char* baselineExe)
{
    const LARGE_INTEGER t0 = Now();
    firefox::CPlacesOfTree places;
    if (!firefox::PlacesOfBookmarks(made.json, places)) {
        printf("bench: the generated Bookmarks file cannot be parsed\n");
        return false;
    }
    CAppDataTree roaming(AppData::Roaming, FirefoxHomes());
    const std::wstring profile = roaming.Root() + L"\\Mozilla\\Firefox\\Profiles\\bench.default-release";
    CCheck check;
    if (!roaming.Put(check, L"Mozilla\\Firefox\\profiles.ini",
                     "[Profile0]\nName=bench\nIsRelative=1\nPath=Profiles/bench.default-release\nDefault=1\n") ||
        !MakeFolder(profile)) {
        printf("bench: %s\n", check.Reasons().c_str());
        return false;
    }
    const std::vector<firefox::CItem> stored(places.items.begin(), places.items.begin() + places.mobileFrom);
    const std::vector<firefox::CItem> walOnly(places.items.begin() + places.mobileFrom, places.items.end());
    firefox::CPlaces writer(Utf8Bytes(profile + L"\\places.sqlite"));
    // One transaction each: a commit per row would take minutes.
    if (!writer.ok() || !writer.Exec("BEGIN") || !writer.Add(stored) || !writer.Exec("COMMIT") ||
        !writer.Checkpoint() || !writer.Exec("BEGIN") || !writer.Add(walOnly) || !writer.Exec("COMMIT")) {
        printf("bench: places.sqlite cannot be made in %s\n", Visible(profile).c_str());
        return false;
    }
    std::string db, wal;
    const DWORD all = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    ReadSized(profile + L"\\places.sqlite", &db, all);
    ReadSized(profile + L"\\places.sqlite-wal", &wal, all);
    printf("bench: places.sqlite of %zu rows (%.1f MiB) and its -wal of %zu (%.1f MiB) made in %.1f s\n",
           stored.size(), db.size() / 1048576.0, walOnly.size(), wal.size() / 1048576.0, Since(t0));
    fflush(stdout);
    return BenchBookmarkSource("firefox", "firefox:" + ToCp932(profile), count, rounds, outDir, baselineExe,
                               FirefoxFloor(profile));
}

int RunBookmarkBench(int count, const std::string& outDir, const std::string& sources, int rounds)
{
    // Seed 42 and the same generator as bench/run.sh: the same bytes.
    const LARGE_INTEGER t0 = Now();
    const GeneratedBookmarks made = GenerateBookmarks(count, 42);
    const std::string json = outDir + "\\Bookmarks", html = outDir + "\\bookmarks.html";
    if (!WriteBytes(json, made.json) || !WriteBytes(html, made.html)) {
        printf("bench: the bookmark files cannot be written into %s\n", outDir.c_str());
        return 1;
    }
    printf("bench: %ld bookmarks in %ld folders written in %.1f s\n", made.links, made.folders, Since(t0));
    fflush(stdout);
    // An empty Favorites folder: a baseline that does not know the source
    // imports it instead, and so lists nothing.
    ClearFavorites();
    const char* baselineExe = getenv("ORV_BENCH_BASELINE");
    bool complete = true;
    if (sources.find(" chromium ") != std::string::npos)
        complete = BenchBookmarkSource("chromium", "chromium:" + json, count, rounds, outDir, baselineExe,
                                       FileFloor(json, true)) &&
                   complete;
    if (sources.find(" html ") != std::string::npos)
        complete = BenchBookmarkSource("html", "html:" + html, count, rounds, outDir, baselineExe,
                                       FileFloor(html, false)) &&
                   complete;
    if (sources.find(" firefox ") != std::string::npos)
        complete = BenchFirefox(made, count, rounds, outDir, baselineExe) && complete;
    return complete ? 0 : 1;
}

int RunFavoritesBench(int count, const std::string& outDir, int rounds)
{
    const char* baselineExe = getenv("ORV_BENCH_BASELINE");
    CCheck check;
    LARGE_INTEGER t0 = Now();
    if (!MakeLargeTree(check, count)) {
        printf("bench: %s\n", check.Reasons().c_str());
        return 1;
    }
    printf("bench: tree of %d shortcuts made in %.1f s\n", count, Since(t0));
    fflush(stdout);
    CProgram orvelle{"Orvelle", "frames"}, baseline{"baseline", "frames-baseline"};
    std::vector<CProgram*> programs = {&orvelle};
    if (baselineExe && *baselineExe)
        programs.push_back(&baseline);
    for (CProgram* p : programs)
        if (!StartProgram(*p, p == &orvelle ? g_config.orvelleExe : baselineExe, outDir) ||
            !ChooseStyle(*p, IDC_STYLE_FRAMES, "frames"))
            return 1;

    const std::wstring favorites = FavoritesPathW();
    // The page cache here gives pages back within seconds of their last
    // use: whichever step came first after a pause read part of the tree
    // from the disk. Every timed step starts from the same warm cache: an
    // untimed walk before an Import and before the walk, an untimed read of
    // every shortcut before a Write and before the read.
    std::vector<std::wstring> shortcuts;
    Walk(favorites, shortcuts);
    const auto warmListing = [&] {
        std::vector<std::wstring> again;
        Walk(favorites, again);
    };
    const auto warmShortcuts = [&] {
        for (const std::wstring& f : shortcuts)
            ReadWhole(f);
    };
    CTimes walk, read, create, writeFloor, createToday, todayFloor;
    size_t todayBytes = 0;
    size_t walked = 0, pages = 0;
    std::vector<std::wstring> leftOver;  // removed at the end, not between the timed steps
    for (int round = 1; round <= rounds; ++round) {
        // Programs and floor alternate, and the programs take turns going
        // first, so that other work on the machine falls on all alike.
        std::vector<CProgram*> order = programs;
        if (round % 2 == 0)
            std::reverse(order.begin(), order.end());
        std::string line = "bench: round " + Num(round) + ":";
        char figure[160];
        // Each program imports twice, in the order A B B A: a drift of the
        // file system within the round, and whatever the later place of a
        // pair costs, falls on both alike. The round counts their mean.
        std::vector<CProgram*> imports = order;
        imports.insert(imports.end(), order.rbegin(), order.rend());
        std::vector<double> sum(programs.size(), 0), best(programs.size(), -1);
        for (CProgram* p : imports) {
            double seconds = 0;
            warmListing();
            if (!TimedImport(*p, &seconds))
                return 1;
            const size_t k = p == &orvelle ? 0 : 1;
            sum[k] += seconds;
            best[k] = best[k] < 0 || seconds < best[k] ? seconds : best[k];
            snprintf(figure, sizeof figure, " %s Import %.3f s,", p->name, seconds);
            line += figure;
        }
        for (size_t k = 0; k < programs.size(); ++k)
            programs[k]->import.Take(sum[k] / 2, best[k]);
        warmListing();
        t0 = Now();
        std::vector<std::wstring> files;
        Walk(favorites, files);
        const double walkTime = Since(t0);
        walk.Take(walkTime);
        walked = files.size();
        snprintf(figure, sizeof figure, " walk %.3f s;", walkTime);
        line += figure;

        std::wstring folder;
        for (CProgram* p : order) {
            double seconds = 0;
            std::wstring written;
            warmShortcuts();
            if (!TimedWriteInto(*p, outDir, round, &seconds, &written))
                return 1;
            if (p == &orvelle)
                folder = written;
            if (round > 1)
                leftOver.push_back(written);
            snprintf(figure, sizeof figure, " %s Write %.3f s,", p->name, seconds);
            line += figure;
        }

        // The floor writes the pages Orvelle wrote, into a folder beside them.
        const std::vector<CPage> written = TakePages(folder);
        pages = written.size();
        const std::wstring floorFolder = folder + L"-floor";
        RemoveFolder(floorFolder);
        MakeFolder(floorFolder);
        leftOver.push_back(floorFolder);
        warmShortcuts();
        t0 = Now();
        for (const std::wstring& f : files)
            ReadWhole(f);
        const double readTime = Since(t0);
        read.Take(readTime);
        t0 = Now();
        for (const CPage& p : written)
            if (!WriteBytes(floorFolder + L"\\" + p.name, p.bytes)) {
                printf("bench: the floor cannot create %s\n", Visible(p.name).c_str());
                return 1;
            }
        const double createTime = Since(t0);
        create.Take(createTime);
        writeFloor.Take(readTime + createTime);
        snprintf(figure, sizeof figure, " read %.3f s + create %.3f s;", readTime, createTime);
        line += figure;

        // The page for today's readers, by Orvelle alone (a baseline may not
        // have the style); its floor reads every shortcut as above and
        // creates the one page.
        std::wstring todayFolder;
        double todaySeconds = 0;
        warmShortcuts();
        if (!ChooseStyle(orvelle, IDC_STYLE_TODAY, "today") ||
            !TimedWriteInto(orvelle, outDir, round, &todaySeconds, &todayFolder, "today") ||
            !ChooseStyle(orvelle, IDC_STYLE_FRAMES, "frames"))
            return 1;
        if (round > 1)
            leftOver.push_back(todayFolder);
        const std::vector<CPage> todayPages = TakePages(todayFolder);
        const std::wstring todayFloorFolder = todayFolder + L"-floor";
        RemoveFolder(todayFloorFolder);
        MakeFolder(todayFloorFolder);
        leftOver.push_back(todayFloorFolder);
        t0 = Now();
        for (const CPage& p : todayPages)
            if (!WriteBytes(todayFloorFolder + L"\\" + p.name, p.bytes)) {
                printf("bench: the floor cannot create %s\n", Visible(p.name).c_str());
                return 1;
            }
        const double todayCreate = Since(t0);
        createToday.Take(todayCreate);
        todayFloor.Take(readTime + todayCreate);
        todayBytes = todayPages.empty() ? 0 : todayPages[0].bytes.size();
        snprintf(figure, sizeof figure, " Orvelle today Write %.3f s, create %.3f s", todaySeconds, todayCreate);
        printf("%s%s\n", line.c_str(), figure);
        fflush(stdout);
    }
    std::vector<double> peaks;
    for (CProgram* p : programs) {
        peaks.push_back(PeakMiB(p->app.Pid()));
        p->app.Click(IDOK);
        p->app.WaitExit(kWindowTimeout);
    }
    ClearFavorites();
    ResetSettings();
    for (const std::wstring& f : leftOver)
        RemoveFolder(f);

    // The best floor of the Write is the best read beside the best create,
    // perhaps of two rounds; the medians take each round's own.
    const double bestWriteFloor = read.value + create.value;
    printf("wine_floor_import %.3f (a FindFirstFileW walk of %zu files)\n", walk.value, walked);
    printf("wine_floor_write_frames %.3f (read %zu shortcuts %.3f + create %zu pages %.3f)\n", bestWriteFloor, walked,
           read.value, pages, create.value);
    bool complete = walked == (size_t)count;
    for (size_t k = 0; k < programs.size(); ++k) {
        const CProgram& p = *programs[k];
        const char* tag = k == 0 ? "wine" : "wine_baseline";
        printf("%s_import %zu %.3f x_floor %.2f (same-round median %.2f)\n", tag, p.listed, p.import.value,
               p.import.value / walk.value, MedianRatio(p.import, walk));
        printf("%s_write_frames %.3f x_floor %.2f ok (same-round median %.2f)\n", tag, p.write.value,
               p.write.value / bestWriteFloor, MedianRatio(p.write, writeFloor));
        if (k == 0)
            printf("wine_write_today %.3f x_floor %.2f (same-round median %.2f; floor: read %.3f + create %.3f; page %zu "
                   "bytes)\n",
                   p.writeToday.value, p.writeToday.value / (read.value + createToday.value),
                   MedianRatio(p.writeToday, todayFloor), read.value, createToday.value, todayBytes);
        printf("%s_peak_MiB %.1f\n", tag, peaks[k]);
        complete = complete && p.listed == (size_t)count;
    }
    if (programs.size() > 1)
        printf("wine_vs_baseline import %.2f write_frames %.2f (same-round medians %.2f and %.2f)\n",
               orvelle.import.value / baseline.import.value, orvelle.write.value / baseline.write.value,
               MedianRatio(orvelle.import, baseline.import), MedianRatio(orvelle.write, baseline.write));
    return complete ? 0 : 1;
}

}  // namespace

int RunBench(int count, const std::string& outDir)
{
    const char* repeatText = getenv("ORV_BENCH_REPEAT");
    const int rounds = repeatText && atoi(repeatText) > 0 ? atoi(repeatText) : 1;
    const char* sourcesText = getenv("ORV_BENCH_SOURCES");
    const std::string sources =
        " " + std::string(sourcesText && *sourcesText ? sourcesText : "favorites chromium html firefox") + " ";
    int rc = 0;
    if (sources.find(" favorites ") != std::string::npos)
        rc = RunFavoritesBench(count, outDir, rounds);
    if (sources.find(" chromium ") != std::string::npos || sources.find(" html ") != std::string::npos ||
        sources.find(" firefox ") != std::string::npos)
        rc = RunBookmarkBench(count, outDir, sources, rounds) != 0 ? 1 : rc;
    printf("wine_rounds %d\n", rounds);
    return rc;
}

}  // namespace drv
