// Benchmark of Import and Write through the portable logic on the real file
// system, against the I/O floor and a literal (quadratic) version of the same
// behaviour. Prints figures; never fails on a slow machine.
//
//   orvbench generate DIR COUNT SEED   make a Favorites tree of COUNT shortcuts
//   orvbench run DIR OUT                Import + Write in the four styles
//   orvbench literal DIR OUT            the same with the exchange sorts and the
//                                       per-page walk over the whole list
//   orvbench floor DIR OUT              list the tree (Import's floor), read every
//                                       shortcut, and per style read them again and
//                                       write the bytes that "run" left in OUT, each
//                                       page into a file beside it named *.floor
#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>

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
#include "export/Export.h"
#include "core/Texts.h"
#include "export/Fragments.h"
#include "links/Genres.h"
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

const int kStyles[] = {STYLE_SINGLE, STYLE_ANCHORS, STYLE_INDEX, STYLE_FRAMES};
const char* const kStyleNames[] = {"single", "anchors", "index", "frames"};

void SetUp(CMainState& state) {
    state.m_caption = "わたしのお気に入り";
    state.m_useJava = 1;
    state.m_stdGenre = "その他";
    state.m_outputPath = "link.html";
}

// One benchmark run on |state|: Import (|import|) then a Write in each style
// into OUT/<style>/link.html (|write|, true when it completed), all timed.
int Measure(CMainState& state, const std::string& dir, const std::string& out,
            const std::function<void(IFolderSource&)>& import, const std::function<bool(IPageSink&)>& write) {
    SetUp(state);
    CPosixFolderSource source(ScanPath(dir + "/Favorites") + "\\");

    Clock::time_point t0 = Clock::now();
    import(source);
    std::printf("import %zu %.3f\n", state.m_linkList.Count(), Seconds(t0));

    CStdioPageSink sink;
    for (int k = 0; k < 4; ++k) {
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
        });
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
        [&](IPageSink& sink) { return LiteralWrite(state, sink); });
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
    std::vector<std::vector<Page>> styles(4);
    for (int k = 0; k < 4; ++k) {
        std::vector<std::string> files;
        ListTree(out + "/" + kStyleNames[k], files);
        for (auto& f : files) styles[k].push_back({f + ".floor", ReadAll(f)});
    }
    // Import lists the tree and reads no shortcut: its floor is the listing.
    Clock::time_point t0 = Clock::now();
    std::vector<std::string> files;
    ListTree(dir + "/Favorites", files);
    std::printf("import %zu %.3f\n", files.size(), Seconds(t0));
    t0 = Clock::now();
    size_t bytes = 0;
    for (const auto& f : files) bytes += ReadAll(f).size();
    std::printf("read %zu %.3f\n", files.size(), Seconds(t0));
    for (int k = 0; k < 4; ++k) {
        Clock::time_point t = Clock::now();
        // A Write reads each shortcut once more (twice for frames: cached).
        for (const auto& f : files) bytes += ReadAll(f).size();
        for (const auto& p : styles[k]) {
            FILE* f = std::fopen(p.path.c_str(), "wb");
            if (!f) continue;
            std::fwrite(p.bytes.data(), 1, p.bytes.size(), f);
            std::fclose(f);
        }
        std::printf("write %s %.3f ok\n", kStyleNames[k], Seconds(t));
    }
    std::printf("peak_kib %ld\nread_bytes %zu\n", PeakKiB(), bytes);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && !std::strcmp(argv[1], "generate"))
        return Generate(argv[2], std::atol(argv[3]), static_cast<unsigned>(std::atol(argv[4])));
    if (argc == 4 && !std::strcmp(argv[1], "run")) return Run(argv[2], argv[3]);
    if (argc == 4 && !std::strcmp(argv[1], "literal")) return Literal(argv[2], argv[3]);
    if (argc == 4 && !std::strcmp(argv[1], "floor")) return Floor(argv[2], argv[3]);
    std::fprintf(stderr, "usage: orvbench generate DIR COUNT SEED | run DIR OUT | literal DIR OUT | floor DIR OUT\n");
    return 2;
}
