// Timing of the real program under Wine at the link limit: Import of a large
// Favorites tree into the list box, then a Write in the frames style. Prints
// wall times; used by bench/wine.sh, never by the test suite.
#include "Driver.h"
#include "support/TreeGenerator.h"

#include <cstdio>
#include <cwchar>

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

// The text of a message box, asked without SMTO_ABORTIFHUNG: after a
// handler that took no message for over 5 s (a long Write), Wine counts the
// box's thread as hung from the moment the box is shown until its modal loop
// first asks for a message, and an aborting send in that moment reads
// nothing. The send waits instead, bounded.
bool BoxText(HWND box, std::string* text, std::string* why)
{
    HWND label = GetDlgItem(box, 0xFFFF);
    DWORD_PTR length = 0;
    if (!label || !SendMessageTimeoutW(label, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kSyncTimeout, &length)) {
        *why = label ? "its text did not answer (error " + Num(GetLastError()) + ")" : "it has no text";
        return false;
    }
    std::wstring wide(length + 1, L'\0');
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(label, WM_GETTEXT, wide.size(), (LPARAM)&wide[0], SMTO_NORMAL, kSyncTimeout,
                             &ignored)) {
        *why = "its text did not answer (error " + Num(GetLastError()) + ")";
        return false;
    }
    wide.resize(wcsnlen(wide.c_str(), wide.size()));
    *text = ToCp932(wide);
    return true;
}

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
    const bool read = BoxText(box, &text, why);
    PressButton(box, IDOK);
    WaitClosed(box);
    if (!read) {
        *why = "the box that ended the Write: " + *why;
        return false;
    }
    if (text != kWrittenText) {
        *why = "the Write ended with \"" + Visible(text) + "\"";
        return false;
    }
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
    double seconds = 0;
    std::string why;
    const bool done = TimedWrite(app, &seconds, &why);
    if (done)
        printf("wine_write_frames %.3f ok\n", seconds);
    else
        printf("wine_write_frames %.3f FAILED: %s\n", seconds, why.c_str());
    app.Click(IDOK);
    app.WaitExit(kWindowTimeout);
    ClearFavorites();
    ResetSettings();
    return done ? 0 : 1;
}

}  // namespace drv
