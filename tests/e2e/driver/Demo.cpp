// The walk-through that scripts/run.sh shows when there is no display: the
// sample Favorites imported and written in all five styles.
#include "Driver.h"
#include "support/FirefoxStore.h"

#include <cstdio>

namespace drv {

namespace {

// A Firefox profile as a fresh installation names it, for the drop-down's
// picture: its profiles.ini in the roaming folder, a few bookmarks.
bool MakeFirefoxSample(CCheck& check, CAppDataTree& roaming)
{
    using firefox::kBookmark;
    const std::wstring profile = roaming.Root() + L"\\Mozilla\\Firefox\\Profiles\\k3x9q2vd.default-release";
    if (!roaming.Put(check, L"Mozilla\\Firefox\\profiles.ini",
                     "[Profile0]\nName=default-release\nIsRelative=1\nPath=Profiles/k3x9q2vd.default-release\n\n"
                     "[General]\nStartWithLastProfile=1\nVersion=2\n") ||
        !check.That(MakeFolder(profile), "cannot make " + Visible(profile)))
        return false;
    std::vector<firefox::CItem> items = firefox::Roots();
    items.push_back({10, kBookmark, 2, 0, u8"Orvelle ホーム", "sample_home_", "http://www.orvelle.example/"});
    items.push_back({11, kBookmark, 3, 0, u8"天気予報", "sample_wthr_", "http://weather.example.jp/"});
    firefox::CPlaces places(Utf8Bytes(profile + L"\\places.sqlite"));
    return check.That(places.ok() && places.Add(items), "cannot make the sample places.sqlite");
}

}  // namespace

int RunDemo(const std::string& outDir)
{
    CCheck check;
    // Removed again at the end, like the scenarios' profiles.
    CAppDataTree roaming(AppData::Roaming, FirefoxHomes());
    if (!MakeFirefoxSample(check, roaming)) {
        printf("demo: %s\n", check.Reasons().c_str());
        return 1;
    }
    COrvelle app;
    if (!app.Start(check, outDir)) {
        printf("demo: %s\n", check.Reasons().c_str());
        return 1;
    }
    if (!app.ClickSync(IDC_IMPORT)) {
        printf("demo: Import did not return\n");
        return 1;
    }
    printf("demo: imported %d shortcuts\n", (int)app.ListItems().size());
    const struct {
        int radio;
        const char* folder;
    } styles[] = {
        {IDC_STYLE_SINGLE, "single"},
        {IDC_STYLE_ANCHORS, "anchors"},
        {IDC_STYLE_INDEX, "index"},
        {IDC_STYLE_FRAMES, "frames"},
        {IDC_STYLE_TODAY, "today"},
    };
    int rc = 0;
    for (const auto& s : styles) {
        std::string folder = outDir + "\\pages\\" + s.folder;
        MakeFolder(folder);
        app.ClickSync(s.radio);
        app.SetText(IDC_OUTPUT, folder + "\\link.html");
        std::string text, why;
        if (!app.Write(&text, kWriteTimeout, &why)) {
            printf("demo: writing %s: %s\n", s.folder, why.c_str());
            rc = 1;
            continue;
        }
        printf("demo: %s: %s\n", s.folder, text == kWrittenText ? "written" : Visible(text).c_str());
    }
    std::string shots = g_config.shotsDir;
    g_config.shotsDir = outDir;
    Shot(app.Main(), "orvelle");
    // The sources found: the sample browser profiles beside the Favorites
    // folder, and the Firefox profile.
    HWND sources = app.Item(IDC_SOURCE);
    SendBounded(sources, CB_SHOWDROPDOWN, TRUE, 0);
    app.Settle();
    Shot(app.Main(), "sources");
    SendBounded(sources, CB_SHOWDROPDOWN, FALSE, 0);
    g_config.shotsDir = shots;
    app.Click(IDOK);
    if (!app.WaitExit(kWindowTimeout)) {
        printf("demo: the program did not end: %s\n", app.DismissStrayBoxes().c_str());
        rc = 1;
    }
    return rc;
}

}  // namespace drv
