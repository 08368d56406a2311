// Start-up, the main dialog's controls and keys, Delete, and what lands in
// the registry when the program ends.
#include "Driver.h"

namespace drv {
namespace {

const char kSection[] = "Orvelle";

void FirstStartShowsDefaults(CCheck& t)
{
    COrvelle app;
    if (!app.Start(t))
        return;
    Shot(app.Main(), "main-first-start");
    struct {
        int id;
        const char* want;
    } edits[] = {
        {IDC_CAPTION, "わたしのお気に入り"},
        {IDC_BACKURL, ""},
        {IDC_OUTPUT, "link.html"},
        {IDC_STDGENRE, "その他"},
        {IDC_EXCLUDE, ""},
        {IDC_INCLUDE, ""},
    };
    for (const auto& e : edits)
        t.Same(app.Text(e.id), e.want, "edit " + Num(e.id));
    t.That(app.Checked(IDC_USEJAVA) == BST_CHECKED, "the JAVA box is not checked");
    ExpectCheckedStyles(t, app, {IDC_STYLE_SINGLE}, "first start");
    t.Same(app.Title(), "Orvelle - 設定１", "window title");
    t.That(app.ListItems().empty(), "the link list is not empty at start");
    // Reading alone creates the section key of profile 1.
    t.That(SettingCount(kSection) >= 0, "section Orvelle was not created at start-up");
    t.That(SettingCount("Orvelle2") < 0, "section Orvelle2 exists though profile 2 was never read");
    app.ExitWithOk(t);
}

void ExitButtonSavesAllEight(CCheck& t)
{
    COrvelle app;
    if (!app.Start(t))
        return;
    if (!app.ExitWithOk(t))
        return;
    ExpectProfile(t, kSection, DefaultValues());
}

void ExitButtonSavesTypedValues(CCheck& t)
{
    COrvelle app;
    if (!app.Start(t))
        return;
    CProfileValues v;
    v.caption = "表計算ソフトのリンク集";
    v.myurl = "http://www.example.jp/ソ/";
    v.output = "C:\\web\\ソース.html";
    v.stdGenre = "未分類";
    v.disabled = "予定";
    v.enabled = "url";
    v.java = "FALSE";
    v.style = 3;
    app.SetText(IDC_CAPTION, v.caption);
    app.SetText(IDC_BACKURL, v.myurl);
    app.SetText(IDC_OUTPUT, v.output);
    app.SetText(IDC_STDGENRE, v.stdGenre);
    app.SetText(IDC_EXCLUDE, v.disabled);
    app.SetText(IDC_INCLUDE, v.enabled);
    app.ClickSync(IDC_USEJAVA);
    app.ClickSync(IDC_STYLE_FRAMES);
    ExpectCheckedStyles(t, app, {IDC_STYLE_FRAMES}, "after a click on IDC_STYLE_FRAMES");
    if (!app.ExitWithOk(t))
        return;
    ExpectProfile(t, kSection, v);
}

void CloseBoxKeepsOldValues(CCheck& t)
{
    PutSettingString(kSection, "Caption", "古いタイトル");
    COrvelle app;
    if (!app.Start(t))
        return;
    t.Same(app.Text(IDC_CAPTION), "古いタイトル", "title field");
    app.SetText(IDC_CAPTION, "新しいタイトル");
    if (!app.ExitWithClose(t))
        return;
    ExpectSz(t, kSection, "Caption", "古いタイトル");
    t.That(SettingCount(kSection) == 8, "section Orvelle holds " + Num(SettingCount(kSection)) + " values, not 8");
}

void LeavingBackUrlTakesAllValues(CCheck& t)
{
    COrvelle app;
    if (!app.Start(t))
        return;
    app.SetText(IDC_CAPTION, "タイトル");
    app.FocusTo(IDC_BACKURL);
    app.SetText(IDC_BACKURL, "http://www.example.com/back");
    app.SetText(IDC_STDGENRE, "標準");
    app.FocusTo(IDC_CAPTION);  // the return-URL field loses the focus
    app.SetText(IDC_OUTPUT, "after.html");  // typed later: not taken
    if (!app.ExitWithClose(t))
        return;
    ExpectSz(t, kSection, "Caption", "タイトル");
    ExpectSz(t, kSection, "Myurl", "http://www.example.com/back");
    ExpectSz(t, kSection, "StdGenre", "標準");
    ExpectSz(t, kSection, "Output", "link.html");
}

void EnterAndEscapeDoNothing(CCheck& t)
{
    COrvelle app;
    if (!app.Start(t))
        return;
    app.FocusTo(IDC_CAPTION);
    const struct {
        WPARAM vk;
        const char* name;
    } keys[] = {{VK_RETURN, "Enter"}, {VK_ESCAPE, "Escape"}};
    for (const auto& k : keys) {
        app.Key(IDC_CAPTION, k.vk);
        Sleep(300);
        t.That(app.Running() && IsWindowVisible(app.Main()), std::string(k.name) + " in the title field closed the window");
        t.That(SettingCount(kSection) == 0, std::string(k.name) + " in the title field saved the settings");
        std::string boxes = app.DismissStrayBoxes();
        t.That(boxes.empty(), std::string(k.name) + " opened a box: " + boxes);
        if (!app.Running())
            return;
    }
    // Control: the same posted Enter does reach a dialog's keyboard handling,
    // as the message box of an empty Write shows by closing on it.
    app.Click(IDC_WRITE);
    HWND box = app.FindDialog("Orvelle", kWindowTimeout);
    if (t.That(box != nullptr, "Write with an empty list showed no message")) {
        HWND ok = GetDlgItem(box, IDOK);
        PostMessageW(ok ? ok : box, WM_KEYDOWN, VK_RETURN, 0x001C0001);
        PostMessageW(ok ? ok : box, WM_KEYUP, VK_RETURN, 0xC01C0001);
        bool closed = WaitClosed(box);
        t.That(closed, "a posted Enter did not close the message box: the key check above proves nothing");
        if (!closed)
            app.DismissStrayBoxes();
    }
    app.ExitWithOk(t);
}

// A small tree for the list commands.
const std::vector<CFavEntry> kSmallTree = {
    {"A.url", "http://a.example.com/"},
    {"B.url", "http://b.example.com/"},
    {"C.url", "http://c.example.com/"},
};

void DeleteRemovesOnlySelected(CCheck& t)
{
    if (!MakeFavorites(t, kSmallTree))
        return;
    std::string fav = FavoritesPath() + "\\";
    COrvelle app;
    if (!app.Start(t))
        return;
    t.That(app.ClickSync(IDC_IMPORT), "Import did not return");
    std::vector<std::string> all = {fav + "A.url", fav + "B.url", fav + "C.url"};
    if (!t.That(app.ListItems() == all, "Import gave " + Num((long long)app.ListItems().size()) + " entries, not A B C"))
        return;

    app.ListSelect(-1);
    app.ClickSync(IDC_DELETE);
    t.That(app.ListItems() == all, "Delete without a selection changed the list");

    app.ListSelect(1);
    app.ClickSync(IDC_DELETE);
    std::vector<std::string> left = {fav + "A.url", fav + "C.url"};
    t.That(app.ListItems() == left, "Delete of entry 1 did not leave A C");

    app.ListDoubleClick(1);
    std::vector<std::string> one = {fav + "A.url"};
    t.That(app.ListItems() == one, "a double click on entry 1 did not delete it (" +
                                       Num((long long)app.ListItems().size()) + " entries)");
    t.That(app.Running(), "the program ended");
    app.ExitWithOk(t);
}

void StoredJavaLowerCaseIsFalse(CCheck& t)
{
    PutSettingString(kSection, "JAVA", "true");
    COrvelle app;
    if (!app.Start(t))
        return;
    t.That(app.Checked(IDC_USEJAVA) == BST_UNCHECKED, "JAVA \"true\" left the box checked");
    if (!app.ExitWithOk(t))
        return;
    ExpectSz(t, kSection, "JAVA", "FALSE");
}

void StoredStyleSevenChecksNothing(CCheck& t)
{
    PutSettingDword(kSection, "Style", 7);
    COrvelle app;
    if (!app.Start(t))
        return;
    ExpectCheckedStyles(t, app, {}, "stored style 7");
    if (!app.ExitWithOk(t))
        return;
    ExpectDword(t, kSection, "Style", 7);
}

void StoredStringsAreShown(CCheck& t)
{
    // An embedded NUL ends the text; the rest is never shown.
    const char withNul[] = "前\0後";
    PutSetting(kSection, "Caption", REG_SZ, std::string(withNul, sizeof withNul));
    PutSettingString(kSection, "StdGenre", "ソフト表");
    PutSettingDword(kSection, "Style", 4);
    COrvelle app;
    if (!app.Start(t))
        return;
    t.Same(app.Text(IDC_CAPTION), "前", "title field");
    t.Same(app.Text(IDC_STDGENRE), "ソフト表", "standard genre field");
    ExpectCheckedStyles(t, app, {IDC_STYLE_ANCHORS}, "stored style 4");
    app.ExitWithOk(t);
}

void FailingWritesAreReported(CCheck& t)
{
    PutSettingString(kSection, "Caption", "保護された題");
    if (!t.That(ProtectSection(kSection), "cannot make the section read-only in this prefix"))
        return;
    COrvelle app;
    if (!app.Start(t))
        return;
    // The section cannot be reached with write access: defaults are shown.
    t.Same(app.Text(IDC_CAPTION), "わたしのお気に入り", "title field of an unreachable section");
    app.SetText(IDC_CAPTION, "新しい題");
    app.Click(IDOK);
    int boxes = 0;
    for (; boxes < 9; ++boxes) {
        HWND box = app.FindDialog("情報設定エラー", boxes < 8 ? kWindowTimeout : 1000);
        if (!box)
            break;
        if (boxes == 0)
            Shot(box, "settings-error");
        t.That(GetWindow(box, GW_OWNER) == nullptr, "the settings error box has an owner");
        std::string text;
        app.TakeMessageBox("情報設定エラー", &text);
        t.Same(text, "レジストリを開けません。設定をクリアします。", "settings error text");
    }
    t.That(boxes == 8, "the failed save showed " + Num(boxes) + " messages, not 8");
    t.That(app.WaitExit(kWindowTimeout), "the program did not end after the messages");
    ExpectSz(t, kSection, "Caption", "保護された題");
    t.That(SettingCount(kSection) == 1, "the protected section holds " + Num(SettingCount(kSection)) + " values");
}

}  // namespace

void AddFoundationScenarios(std::vector<CScenario>& list)
{
    list.push_back({"foundation: first start shows the defaults", FirstStartShowsDefaults});
    list.push_back({"foundation: exit button saves the eight values", ExitButtonSavesAllEight});
    list.push_back({"foundation: exit button saves what the controls show", ExitButtonSavesTypedValues});
    list.push_back({"foundation: close box saves the old title", CloseBoxKeepsOldValues});
    list.push_back({"foundation: leaving the return URL takes all values", LeavingBackUrlTakesAllValues});
    list.push_back({"foundation: Enter and Escape in the title do nothing", EnterAndEscapeDoNothing});
    list.push_back({"foundation: Delete and double click", DeleteRemovesOnlySelected});
    list.push_back({"foundation: stored JAVA true clears the box", StoredJavaLowerCaseIsFalse});
    list.push_back({"foundation: stored style 7 checks no radio", StoredStyleSevenChecksNothing});
    list.push_back({"foundation: stored values are shown", StoredStringsAreShown});
    list.push_back({"foundation: unwritable section: eight messages", FailingWritesAreReported});
}

}  // namespace drv
