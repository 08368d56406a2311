// Timing of the real program under Wine at the link limit: Import of a large
// Favorites tree into the list box, then a Write in the frames style. Prints
// wall times; used by bench/wine.sh, never by the test suite.
#include "Driver.h"
#include "support/TreeGenerator.h"

#include <cstdio>

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
    if (!app.ClickSync(IDC_IMPORT)) {
        printf("bench: Import did not return\n");
        return 1;
    }
    const double import = Since(t0);
    const size_t listed = app.ListItems().size();
    printf("wine_import %zu %.3f\n", listed, import);

    const std::string folder = outDir + "\\frames";
    MakeFolder(folder);
    app.ClickSync(IDC_STYLE_FRAMES);
    app.SetText(IDC_OUTPUT, folder + "\\link.html");
    t0 = Now();
    std::string text;
    const bool done = app.Write(&text, 240000);
    printf("wine_write_frames %.3f %s\n", Since(t0), done && text == kWrittenText ? "ok" : "FAILED");
    app.Click(IDOK);
    app.WaitExit(kWindowTimeout);
    ClearFavorites();
    ResetSettings();
    return done ? 0 : 1;
}

}  // namespace drv
