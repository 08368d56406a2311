// Timing of the real program under Wine at the link limit: Import of a large
// Favorites tree into the list box, then a Write in the frames style. Prints
// wall times; used by bench/wine.sh, never by the test suite.
#include "Driver.h"

#include <cstdio>
#include <random>

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

// count shortcuts over about count/6 folders nested up to five levels, with
// Japanese names (several ending in a second byte 0x5C).
bool MakeLargeTree(CCheck& check, int count)
{
    const char* words[] = {"ソフト", "表計算", "ニュース", "音楽", "予定", "申請", "構成", "旅行", "News", "Tools"};
    std::mt19937 rng(42);
    std::vector<std::string> paths;
    std::vector<std::string> folders = {""};
    std::vector<int> depth = {0};
    for (int k = 0; k < count / 6 + 1; ++k) {
        size_t parent;
        do
            parent = rng() % folders.size();
        while (depth[parent] >= 5);
        std::string name = folders[parent] + (folders[parent].empty() ? "" : "\\") + words[rng() % 10] + Num(k);
        folders.push_back(name);
        depth.push_back(depth[parent] + 1);
        paths.push_back(name);
    }
    std::vector<std::string> urls;
    for (int n = 0; n < count; ++n) {
        const std::string& folder = folders[rng() % folders.size()];
        paths.push_back((folder.empty() ? "" : folder + "\\") + words[rng() % 10] + "のページ" + Num(n) + ".url");
        urls.push_back("http://www.example.com/" + Num(n) + "/index.html");
    }
    std::vector<CFavEntry> entries;
    const size_t folderCount = folders.size() - 1;
    for (size_t k = 0; k < paths.size(); ++k)
        entries.push_back({paths[k].c_str(), k < folderCount ? nullptr : urls[k - folderCount].c_str()});
    return MakeFavorites(check, entries);
}

}  // namespace

int RunBench(int count, const std::string& outDir)
{
    CCheck check;
    LARGE_INTEGER t0 = Now();
    if (!MakeLargeTree(check, count)) {
        printf("bench: %s\n", check.Reasons().c_str());
        return 1;
    }
    printf("bench: tree of %d shortcuts made in %.1f s\n", count, Since(t0));
    COrvelle app;
    if (!app.Start(check, outDir)) {
        printf("bench: %s\n", check.Reasons().c_str());
        return 1;
    }
    t0 = Now();
    if (!app.ClickSync(kIdImport)) {
        printf("bench: Import did not return\n");
        return 1;
    }
    const double import = Since(t0);
    const size_t listed = app.ListItems().size();
    printf("wine_import %zu %.3f\n", listed, import);

    const std::string folder = outDir + "\\frames";
    MakeFolder(folder);
    app.ClickSync(kIdStyleFrames);
    app.SetText(kIdOutput, folder + "\\link.html");
    t0 = Now();
    app.Click(kIdWrite);
    std::string text;
    const bool done = app.TakeMessageBox("Orvelle", &text, 240000);
    printf("wine_write_frames %.3f %s\n", Since(t0),
           done && text == "ファイルへの出力が完了しました。" ? "ok" : "FAILED");
    app.Click(IDOK);
    app.WaitExit(kWindowTimeout);
    ClearFavorites();
    ResetSettings();
    return done ? 0 : 1;
}

}  // namespace drv
