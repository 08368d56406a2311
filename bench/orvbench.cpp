// Benchmark of Import and Write through the portable logic on the real file
// system, against the I/O floor and a literal (quadratic) version of the same
// behaviour. Prints figures; never fails on a slow machine.
//
//   orvbench generate DIR COUNT SEED   make a Favorites tree of COUNT shortcuts
//   orvbench run DIR OUT                Import + Write in the four styles
//   orvbench literal DIR OUT            the same with the exchange sorts and the
//                                       per-page walk over the whole list
//   orvbench floor DIR OUT              list the tree (Import's floor), per style read
//                                       every shortcut and write the bytes that "run"
//                                       left in OUT, each page into a file beside it
//                                       named *.floor, then read every shortcut once more
//   orvbench warm DIR                   read every file of DIR once, untimed: the page
//                                       cache here gives pages back within seconds, and
//                                       each timed run starts from the same warm cache
//   orvbench bookmarks DIR COUNT SEED   write DIR/Bookmarks (browser JSON) and
//                                       DIR/bookmarks.html (its export) of COUNT links
//   orvbench import SOURCE              the whole Import command of SOURCE
//                                       ("chromium:FILE" or "html:FILE"), refresh included
//   orvbench import-floor SOURCE        its floor: read the file, and for JSON parse it
//                                       with RapidJSON as the reader does
//   orvbench import-parts SOURCE        Import's time step by step, for finding hot spots
//   orvbench today OUT COUNT SEED       write the page for today's readers (STYLE_TODAY) of
//                                       COUNT generated bookmarks into the file OUT
//   orvbench today-from SOURCE OUT      the same page of the links of SOURCE
//   orvbench check-pages DIR            a small built-in list with made-up link check
//                                       results: DIR/today-marked.html (the fifth style
//                                       with its marks) and DIR/linkcheck-1.html (the report)
// One process per source and mode, so that each prints its own peak memory.
#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <rapidjson/document.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "support/LiteralPages.h"
#include "support/LiteralSorts.h"
#include "support/Fakes.h"
#include "support/FolderSources.h"
#include "support/TreeGenerator.h"
#include "support/BookmarkGenerator.h"
#include "support/FirefoxOfBookmarks.h"
#include "check/CheckResults.h"
#include "export/CheckReport.h"
#include "export/Export.h"
#include "core/Text.h"
#include "core/Texts.h"
#include "export/Fragments.h"
#include "links/Bookmarks.h"
#include "links/ChromiumBookmarks.h"
#include "links/Genres.h"
#include "links/HtmlBookmarks.h"
#include "links/Import.h"
#include "links/BookmarkSource.h"
#include "links/PosixBookmarkFiles.h"
#include "links/SourceSetting.h"
#include "core/HostFile.h"
#include "links/Ordering.h"
#include "links/Scan.h"
#include "links/Shortcut.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

long PeakKiB() {
    struct rusage u;
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

void MakeDir(const std::string& path) {
    // Parents first, so any output or tree folder can be named.
    for (size_t at = path.find('/', 1); at != std::string::npos; at = path.find('/', at + 1))
        mkdir(path.substr(0, at).c_str(), 0755);
    mkdir(path.c_str(), 0755);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(path.c_str());
        std::exit(2);
    }
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// The generated tree below DIR/Favorites; HostPath turns only the real
// separators into "/" (a second byte 0x5C stays).
int Generate(const std::string& dir, long count, unsigned seed) {
    const GeneratedTree tree = GenerateTree(count, seed);
    const std::string root = dir + "/Favorites";
    MakeDir(root);
    for (const std::string& folder : tree.folders) mkdir((root + "/" + HostPath(folder)).c_str(), 0755);
    for (const GeneratedFile& file : tree.files) WriteFile(root + "/" + HostPath(file.path), file.bytes);
    std::printf("generated %zu shortcuts in %zu folders below %s\n", tree.files.size(), tree.folders.size(),
                root.c_str());
    return 0;
}

std::string ScanPath(const std::string& hostPath) { return CPosixFolderSource::FromHostPath(hostPath); }

// The literal version knows the first four; the page for today's readers is
// Orvelle's own.
const int kStyles[] = {STYLE_SINGLE, STYLE_ANCHORS, STYLE_INDEX, STYLE_FRAMES, STYLE_TODAY};
const char* const kStyleNames[] = {"single", "anchors", "index", "frames", "today"};
const int kLiteralStyles = 4;
const int kAllStyles = 5;

void SetUp(CMainState& state) {
    state.m_caption = "わたしのお気に入り";
    state.m_useJava = 1;
    state.m_stdGenre = "その他";
    state.m_outputPath = "link.html";
}

// One benchmark run on |state|: Import (|import|) then a Write in each style
// into OUT/<style>/link.html (|write|, true when it completed), all timed.
int Measure(CMainState& state, const std::string& dir, const std::string& out,
            const std::function<void(IFolderSource&)>& import, const std::function<bool(IPageSink&)>& write,
            int styles) {
    SetUp(state);
    CPosixFolderSource source(ScanPath(dir + "/Favorites") + "\\");

    Clock::time_point t0 = Clock::now();
    import(source);
    std::printf("import %zu %.3f\n", state.m_linkList.Count(), Seconds(t0));

    CStdioPageSink sink;
    for (int k = 0; k < styles; ++k) {
        const std::string folder = out + "/" + kStyleNames[k];
        MakeDir(folder);
        state.m_style = kStyles[k];
        state.m_outputPath = ScanPath(folder) + "\\link.html";
        Clock::time_point t = Clock::now();
        const bool ok = write(sink);
        std::printf("write %s %.3f %s\n", kStyleNames[k], Seconds(t), ok ? "ok" : "FAILED");
    }
    std::printf("peak_kib %ld\n", PeakKiB());
    return 0;
}

int Run(const std::string& dir, const std::string& out) {
    CMainState state;
    CFakeHost host(state);
    host.keepBox = false;
    // Import and Write take the controls first: showing the fields before
    // each keeps the values the run set.
    return Measure(
        state, dir, out,
        [&](IFolderSource& source) {
            host.ShowFieldValues();
            ImportFavorites(state, host, source);
        },
        [&](IPageSink& sink) {
            host.ShowFieldValues();
            RunWrite(state, host, sink);
            return !host.messages.empty() && host.messages.back().first == kCompletedText;
        },
        kAllStyles);
}

// Import and Write with the procedures exactly as first described: exchange
// sorts over the whole list and one walk of the whole list per genre page.
int Literal(const std::string& dir, const std::string& out) {
    CMainState state;
    return Measure(
        state, dir, out,
        [&](IFolderSource& source) {
            state.m_linkList.Reset();
            std::string favorites;
            HostName realFavorites;
            source.FavoritesPath(favorites, realFavorites);
            ScanFolder(favorites, realFavorites, source, state.m_linkList);
            std::vector<std::string> paths = ListTexts(state.m_linkList);
            std::vector<int> none(paths.size());
            LiteralExchangeSort(paths, none, [&](const std::string& x, const std::string& y) {
                return ComparePathOrder(x, y);
            });
            state.m_linkList.Assign(ToEntries(paths));
        },
        [&](IPageSink& sink) { return LiteralWrite(state, sink); }, kLiteralStyles);
}

void ListTree(const std::string& folder, std::vector<std::string>& files) {
    DIR* d = opendir(folder.c_str());
    if (!d) return;
    while (struct dirent* e = readdir(d)) {
        if (!std::strcmp(e->d_name, ".") || !std::strcmp(e->d_name, "..")) continue;
        std::string path = folder + "/" + e->d_name;
        struct stat st;
        if (stat(path.c_str(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode)) ListTree(path, files);
        else files.push_back(path);
    }
    closedir(d);
}

std::string ReadAll(const std::string& path) {
    std::string bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
    std::fclose(f);
    return bytes;
}

// The least any implementation must do: list the tree, read each shortcut
// once, and write the pages' bytes (taken from OUT beforehand), once per style.
// The files written stay: removing thousands of files slows the creation of
// files that follows (see run.sh), so the caller removes them after timing.
int Floor(const std::string& dir, const std::string& out) {
    struct Page { std::string path, bytes; };
    std::vector<std::vector<Page>> styles(kAllStyles);
    for (int k = 0; k < kAllStyles; ++k) {
        std::vector<std::string> files;
        ListTree(out + "/" + kStyleNames[k], files);
        for (auto& f : files) styles[k].push_back({f + ".floor", ReadAll(f)});
    }
    // Import lists the tree and reads no shortcut: its floor is the listing.
    Clock::time_point t0 = Clock::now();
    std::vector<std::string> files;
    ListTree(dir + "/Favorites", files);
    std::printf("import %zu %.3f\n", files.size(), Seconds(t0));
    // The floor's Writes come where the run's come, after the listing, and
    // its bare read of every shortcut only after them; run.sh has read the
    // tree just before, for the run and for the floor alike.
    size_t bytes = 0;
    for (int k = 0; k < kAllStyles; ++k) {
        Clock::time_point t = Clock::now();
        // A Write reads each shortcut (frames needs them twice: cached).
        for (const auto& f : files) bytes += ReadAll(f).size();
        for (const auto& p : styles[k]) {
            FILE* f = std::fopen(p.path.c_str(), "wb");
            if (!f) continue;
            std::fwrite(p.bytes.data(), 1, p.bytes.size(), f);
            std::fclose(f);
        }
        std::printf("write %s %.3f ok\n", kStyleNames[k], Seconds(t));
    }
    t0 = Clock::now();
    for (const auto& f : files) bytes += ReadAll(f).size();
    std::printf("read %zu %.3f\n", files.size(), Seconds(t0));
    std::printf("peak_kib %ld\nread_bytes %zu\n", PeakKiB(), bytes);
    return 0;
}

int Warm(const std::string& dir) {
    std::vector<std::string> files;
    ListTree(dir, files);
    size_t bytes = 0;
    for (const auto& f : files) bytes += ReadAll(f).size();
    return bytes > 0 || files.empty() ? 0 : 1;
}

// ---- bookmark sources ----

int GenerateBookmarkFiles(const std::string& dir, long count, unsigned seed) {
    const GeneratedBookmarks made = GenerateBookmarks(count, seed);
    MakeDir(dir);
    WriteFile(dir + "/Bookmarks", made.json);
    WriteFile(dir + "/bookmarks.html", made.html);
    // The same tree in a Firefox profile's database.
    firefox::CPlacesOfTree places;
    MakeDir(dir + "/firefox");
    firefox::CPlaces db(dir + "/firefox/places.sqlite");
    // One transaction: a commit per row would take minutes.
    if (!firefox::PlacesOfBookmarks(made.json, places) || !db.ok() || !db.Exec("BEGIN") || !db.Add(places.items) ||
        !db.Exec("COMMIT") || !db.Checkpoint())
        return 1;
    db.Close();
    struct stat st;
    const double places_mib = stat((dir + "/firefox/places.sqlite").c_str(), &st) == 0 ? st.st_size / 1048576.0 : 0;
    std::printf("generated %ld bookmarks in %ld folders: Bookmarks %.1f MiB, bookmarks.html %.1f MiB, "
                "places.sqlite %.1f MiB\n",
                made.links, made.folders, made.json.size() / 1048576.0, made.html.size() / 1048576.0, places_mib);
    return 0;
}

// "chromium" or "html", and the file of a source setting given on the command line.
bool SplitSource(const std::string& setting, std::string& kind, std::string& file) {
    const size_t colon = setting.find(':');
    if (colon == std::string::npos) return false;
    kind = setting.substr(0, colon);
    file = setting.substr(colon + 1);
    return kind == "chromium" || kind == "html" || kind == "firefox";
}

// FNV-1a over every entry's text and address in list order: equal for two
// sources holding the same tree.
unsigned long long ListHash(const CLinkList& list) {
    unsigned long long h = 14695981039346656037ULL;
    auto mix = [&](const std::string& s) {
        for (char c : s) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
        h = (h ^ 0xFF) * 1099511628211ULL;
    };
    for (const CLinkEntry& e : list.Items()) {
        mix(e.text);
        mix(e.Address());
    }
    return h;
}

// The least any reader must do: one sized read of the whole file.
std::string ReadSized(const std::string& path) {
    std::string bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    struct stat st;
    if (fstat(fileno(f), &st) == 0 && st.st_size > 0) {
        bytes.resize(static_cast<size_t>(st.st_size));
        bytes.resize(std::fread(&bytes[0], 1, bytes.size(), f));
    }
    std::fclose(f);
    return bytes;
}

// The native build makes its code page 932 tables on the first conversion
// (Windows has them ready): made before the clock starts, they cost no step.
void WarmConversions() { TextFromUtf16(u"\u3042"); }

// The flags of the Chromium reader: in place, without recursion.
const unsigned kJsonFlags = rapidjson::kParseInsituFlag | rapidjson::kParseIterativeFlag;

// The Import command of |setting| (its file |file|) as the program runs it,
// on the settings of SetUp and the fields shown; into |seconds|, if given,
// the time it took.
CImportOutcome Import(CMainState& state, CFakeHost& host, const std::string& setting, const std::string& file,
                      double* seconds = nullptr) {
    host.keepBox = false;
    SetUp(state);
    state.m_source = setting;
    CPosixFolderSource folders(ScanPath(file));
    CPosixBookmarkFiles files;
    host.ShowFieldValues();
    WarmConversions();
    const Clock::time_point t0 = Clock::now();
    const CImportOutcome outcome = RunImport(state, host, folders, files);
    if (seconds) *seconds = Seconds(t0);
    return outcome;
}

int ImportBookmarks(const std::string& setting) {
    std::string kind, file;
    if (!SplitSource(setting, kind, file)) return 2;
    CMainState state;
    CFakeHost host(state);
    double seconds = 0;
    Import(state, host, setting, file, &seconds);
    std::printf("%s %zu %.4f\n", kind.c_str(), state.m_linkList.Count(), seconds);
    for (const auto& m : host.messages) std::printf("message %s\n", m.first.c_str());
    std::printf("list_hash %016llx\npeak_kib %ld\n", ListHash(state.m_linkList), PeakKiB());
    return 0;
}

// A Firefox profile's floor: a copy of places.sqlite (and its -wal) into a
// fresh folder, SQLite's own query of the same rows from the copy opened
// read-only, and the copy removed.
int FirefoxFloor(const std::string& profile) {
    Clock::time_point t0 = Clock::now();
    std::string copy = "/tmp/orvbench-floor-XXXXXX";
    if (!mkdtemp(&copy[0])) return 1;
    const std::string db = ReadSized(profile + "/places.sqlite"), wal = ReadSized(profile + "/places.sqlite-wal");
    WriteFile(copy + "/places.sqlite", db);
    if (!wal.empty()) WriteFile(copy + "/places.sqlite-wal", wal);
    const double copied = Seconds(t0);
    t0 = Clock::now();
    sqlite3* handle = nullptr;
    sqlite3_stmt* query = nullptr;
    long rows = 0;
    size_t text = 0;
    bool ok = sqlite3_open_v2((copy + "/places.sqlite").c_str(), &handle, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
              sqlite3_prepare_v2(handle,
                                 "SELECT b.id, b.type, b.parent, b.title, b.guid, p.url FROM moz_bookmarks b "
                                 "LEFT JOIN moz_places p ON p.id = b.fk ORDER BY b.parent, b.position, b.id",
                                 -1, &query, nullptr) == SQLITE_OK;
    int step = SQLITE_ROW;
    while (ok && (step = sqlite3_step(query)) == SQLITE_ROW) {
        for (int column : {3, 4, 5})
            if (sqlite3_column_text(query, column)) text += static_cast<size_t>(sqlite3_column_bytes(query, column));
        ++rows;
    }
    ok = ok && step == SQLITE_DONE;
    sqlite3_finalize(query);
    sqlite3_close(handle);
    const double queried = Seconds(t0);
    t0 = Clock::now();
    std::remove((copy + "/places.sqlite").c_str());
    std::remove((copy + "/places.sqlite-wal").c_str());
    std::remove((copy + "/places.sqlite-shm").c_str());
    rmdir(copy.c_str());
    const double removed = Seconds(t0);
    std::printf("firefox %zu %.4f%s\ncopy %zu %.4f\nquery %ld %.4f\nremove 1 %.4f\npeak_kib %ld\n", db.size() + wal.size(),
                copied + queried + removed, ok ? "" : " QUERY-ERROR", db.size() + wal.size(), copied, rows, queried,
                removed, PeakKiB());
    return ok ? 0 : 1;
}

int ImportFloor(const std::string& setting) {
    std::string kind, file;
    if (!SplitSource(setting, kind, file)) return 2;
    if (kind == "firefox") return FirefoxFloor(file);
    Clock::time_point t0 = Clock::now();
    std::string bytes = ReadSized(file);
    const double read = Seconds(t0);
    double parse = 0;
    bool parsed = true;
    if (kind == "chromium") {
        Clock::time_point t = Clock::now();
        rapidjson::Document doc;
        doc.ParseInsitu<kJsonFlags>(&bytes[0]);
        parsed = !doc.HasParseError() && doc.IsObject();
        parse = Seconds(t);
    }
    std::printf("%s %zu %.4f%s\nread %zu %.4f\nparse %zu %.4f\npeak_kib %ld\n", kind.c_str(), bytes.size(),
                read + parse, parsed ? "" : " PARSE-ERROR", bytes.size(), read, bytes.size(), parse, PeakKiB());
    return 0;
}

// The steps of Import one by one, each on a fresh copy of the bytes: what
// the command spends beyond reading and parsing.
int ImportParts(const std::string& setting) {
    std::string kind, file;
    if (!SplitSource(setting, kind, file)) return 2;
    const CSource source = ParseSourceSetting(setting);
    WarmConversions();
    Clock::time_point t = Clock::now();
    std::string bytes;
    ReadWholeHostFile(HostNameFromText(source.path), bytes, kMaxBookmarkFileBytes);
    std::printf("parts %s read %.4f", kind.c_str(), Seconds(t));

    std::vector<CLinkEntry> entries;
    CBookmarkCollector collector(entries);
    if (kind == "chromium") {
        std::string copy = bytes;
        t = Clock::now();
        {
            rapidjson::Document doc;
            doc.ParseInsitu<kJsonFlags>(&copy[0]);
        }
        const double parse = Seconds(t);
        copy = bytes;
        t = Clock::now();
        ReadChromiumBookmarks(copy, RootNames::Chromium, collector);
        const double all = Seconds(t);
        std::printf(" parse %.4f walk+collect %.4f", parse, all - parse);
    } else {
        t = Clock::now();
        ReadHtmlBookmarks(bytes, collector);
        std::printf(" read_html+collect %.4f", Seconds(t));
    }
    CMainState state;
    CFakeHost host(state);
    SetUp(state);
    host.ShowFieldValues();
    // The path-order ranks alone, then the whole refresh that computes them again.
    std::vector<const CLinkEntry*> keys;
    for (const CLinkEntry& e : entries) keys.push_back(&e);
    t = Clock::now();
    const size_t ranks = RankInPathOrder(keys).size();
    std::printf(" (ranks %.4f)", Seconds(t));
    t = Clock::now();
    state.m_linkList.Assign(std::move(entries));
    RefreshLinkList(state, host);
    std::printf(" refresh %.4f entries %zu/%zu\n", Seconds(t), state.m_linkList.Count(), ranks);
    return 0;
}

// ---- the page for today's readers ----

// Import of |setting| and a Write in STYLE_TODAY into the file |out|, as the
// program does them; prints the links and the page's bytes. Non-zero when
// either command did not complete.
int WriteToday(const std::string& setting, const std::string& out) {
    std::string kind, file;
    if (!SplitSource(setting, kind, file)) return 2;
    CMainState state;
    CFakeHost host(state);
    const CImportOutcome imported = Import(state, host, setting, file);
    if (imported.end != ImportEnd::Complete) {
        std::fprintf(stderr, "today: import of %s did not complete: %s%s\n", setting.c_str(),
                     imported.message.c_str(), imported.error.c_str());
        return 1;
    }
    state.m_style = STYLE_TODAY;
    state.m_outputPath = ScanPath(out);
    host.ShowFieldValues();
    host.messages.clear();
    CStdioPageSink sink;
    Clock::time_point t = Clock::now();
    RunWrite(state, host, sink);
    const double seconds = Seconds(t);
    const bool ok = !host.messages.empty() && host.messages.back().first == kCompletedText;
    struct stat st;
    const long long bytes = stat(out.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
    std::printf("today %zu links %lld bytes %.3f %s\n", state.m_linkList.Count(), bytes, seconds,
                ok ? "ok" : "FAILED");
    return ok ? 0 : 1;
}

// Generated bookmarks go through a Bookmarks file beside OUT, removed after.
int WriteGeneratedToday(const std::string& out, long count, unsigned seed) {
    const std::string json = out + ".Bookmarks";
    WriteFile(json, GenerateBookmarks(count, seed).json);
    const int status = WriteToday("chromium:" + json, out);
    std::remove(json.c_str());
    return status;
}

// ---- the link check's pages ----

// A made-up check's finding: a "切れ" |confirmed| failed first 30 hours
// before the check, else at it; |finalAddress| for a move.
struct CMadeUpLink {
    const char16_t* folder;  // null: the standard genre
    const char16_t* title;
    const char16_t* url;
    bool stored;
    LinkState state;
    int status;
    bool confirmed;
    const char* finalAddress;
};

const CMadeUpLink kMadeUpLinks[] = {
    {u"旅行", u"京都の宿", u"http://travel.example.jp/kyoto", true, LinkState::Gone, 404, true, ""},
    {u"旅行", u"ＡＢＣ Ｎｅｗｓ", u"http://abc.example.com/", true, LinkState::Moved, 301, false,
     "https://news.abc.example.com/top/index.html?from=old-address-with-a-long-query-string-that-must-wrap"},
    {u"旅行", u"温泉ガイド", u"http://onsen.example.jp/", true, LinkState::Ok, 200, false, ""},
    {u"Reading", u"<script>alert(1)</script>", u"http://x.example.com/?q=%22a%22", true, LinkState::Gone, 410, true, ""},
    {u"Reading", u"ぶっくまーく入門", u"http://kana.example.com/hira", true, LinkState::Gone, 404, false, ""},
    {u"Reading",
     u"ロングロングロングロングロングロングロングロングロングロングqwertyuiopqwertyuiopqwertyuiopqwertyuiop",
     u"http://long.example.com/title", true, LinkState::Moved, 308, false, "http://long.example.com/title/"},
    {u"Misc", u"", u"http://long.example.com/segmentsegmentsegmentsegmentsegmentsegmentsegmentsegmentsegmentsegment"
     u"segmentsegmentsegmentsegment?q=xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx",
     true, LinkState::Gone, 404, true, ""},
    {u"Misc", u"会員ページ", u"http://members.example.com/", true, LinkState::Refused, 403, false, ""},
    {u"Misc", u"遅いサイト", u"http://slow.example.com/", true, LinkState::Error, 0, false, ""},
    {u"Misc", u"障害中", u"http://down.example.com/", true, LinkState::Error, 503, false, ""},
    {u"Misc", u"ファイル置き場", u"ftp://files.example.com/", false, LinkState::Ok, 0, false, ""},
    {nullptr, u"Plain", u"http://plain.example.com/", true, LinkState::Ok, 200, false, ""},
    {nullptr, u"まだ確かめていない", u"http://new.example.com/", false, LinkState::Ok, 0, false, ""},
};

CLocalTime MadeUpTime(int day, int hour) { return CLocalTime{2024, 5, day, hour, 0, 0}; }

// The fifth style's page of the built-in list, marked by the made-up
// results, and the report of the same; prints the links and both sizes.
int WriteCheckPages(const std::string& dir) {
    MakeDir(dir);
    std::vector<CLinkEntry> entries;
    CBookmarkCollector collector(entries);
    for (const CMadeUpLink& l : kMadeUpLinks) {
        if (l.folder) collector.EnterFolder(l.folder, false);
        collector.AddBookmark(l.title, l.url, false);
        if (l.folder) collector.LeaveFolder();
    }
    CCheckResults results;
    for (size_t k = 0; k < entries.size(); ++k) {
        const CMadeUpLink& l = kMadeUpLinks[k];
        if (!l.stored) continue;
        CLinkRecord record;
        record.address = WebAddress(LinkAddress(entries[k]));
        record.state = l.state;
        record.status = l.status;
        record.finalAddress = l.finalAddress;
        record.lastCheck = MadeUpTime(2, 9);
        record.hasFirstFailure = l.state != LinkState::Ok && l.state != LinkState::Moved;
        if (record.hasFirstFailure) record.firstFailure = l.confirmed ? MadeUpTime(1, 3) : MadeUpTime(2, 9);
        results.Put(record);
    }

    CMainState state;
    CFakeHost host(state);
    SetUp(state);
    state.m_linkList.Assign(std::move(entries));
    const std::string report = CheckReportPage(state, results, MadeUpTime(2, 9));
    WriteFile(dir + "/linkcheck-1.html", report);

    const std::string today = dir + "/today-marked.html";
    state.m_style = STYLE_TODAY;
    state.m_outputPath = ScanPath(today);
    host.ShowFieldValues();
    CStdioPageSink sink;
    RunWrite(state, host, sink, &results);
    const bool ok = !host.messages.empty() && host.messages.back().first == kCompletedText;
    struct stat st;
    const long long bytes = stat(today.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
    std::printf("check-pages %zu links today %lld bytes report %zu bytes %s\n", state.m_linkList.Count(), bytes,
                report.size(), ok ? "ok" : "FAILED");
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && !std::strcmp(argv[1], "generate"))
        return Generate(argv[2], std::atol(argv[3]), static_cast<unsigned>(std::atol(argv[4])));
    if (argc == 4 && !std::strcmp(argv[1], "run")) return Run(argv[2], argv[3]);
    if (argc == 4 && !std::strcmp(argv[1], "literal")) return Literal(argv[2], argv[3]);
    if (argc == 4 && !std::strcmp(argv[1], "floor")) return Floor(argv[2], argv[3]);
    if (argc == 3 && !std::strcmp(argv[1], "warm")) return Warm(argv[2]);
    if (argc == 5 && !std::strcmp(argv[1], "bookmarks"))
        return GenerateBookmarkFiles(argv[2], std::atol(argv[3]), static_cast<unsigned>(std::atol(argv[4])));
    if (argc == 3 && !std::strcmp(argv[1], "import")) return ImportBookmarks(argv[2]);
    if (argc == 3 && !std::strcmp(argv[1], "import-floor")) return ImportFloor(argv[2]);
    if (argc == 3 && !std::strcmp(argv[1], "import-parts")) return ImportParts(argv[2]);
    if (argc == 5 && !std::strcmp(argv[1], "today"))
        return WriteGeneratedToday(argv[2], std::atol(argv[3]), static_cast<unsigned>(std::atol(argv[4])));
    if (argc == 4 && !std::strcmp(argv[1], "today-from")) return WriteToday(argv[2], argv[3]);
    if (argc == 3 && !std::strcmp(argv[1], "check-pages")) return WriteCheckPages(argv[2]);
    std::fprintf(stderr,
                 "usage: orvbench generate DIR COUNT SEED | run DIR OUT | literal DIR OUT | floor DIR OUT | warm DIR\n"
                 "       orvbench bookmarks DIR COUNT SEED | import SOURCE | import-floor SOURCE | import-parts SOURCE\n"
                 "       orvbench today OUT COUNT SEED | today-from SOURCE OUT | check-pages DIR\n");
    return 2;
}
