// Settings the real registry store meets in another form than its own:
// values of the wrong type or size, and texts of 100000 bytes in every
// string value. They are read as bytes without harm and saved back whole, in
// each value's own type, without a settings error.
#include "Driver.h"

namespace drv {
namespace {

const char kSection[] = "Orvelle";

// Stores raw bytes of any type below the program's profile section.
bool PutRaw(const std::string& name, DWORD type, const std::string& bytes)
{
    HKEY key;
    const std::string path = std::string("software\\Fenwold Applications\\Orvelle\\") + kSection;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    bool ok = RegSetValueExA(key, name.c_str(), 0, type, (const BYTE*)bytes.data(), (DWORD)bytes.size()) ==
              ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

std::string Le(unsigned long long v, int size)
{
    std::string b;
    for (int i = 0; i < size; ++i)
        b.push_back((char)((v >> (8 * i)) & 0xFF));
    return b;
}

// The whole text of an edit of another process, however long.
std::string LongText(HWND edit)
{
    DWORD_PTR length = 0;
    if (!edit || !SendMessageTimeoutW(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSyncTimeout, &length))
        return "<unreadable>";
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(edit, WM_GETTEXT, text.size(), (LPARAM)&text[0], SMTO_ABORTIFHUNG, kSyncTimeout, &got))
        return "<unreadable>";
    text.resize(got);
    return ToCp932(text);
}

// Ends the program with 終了(&X); every box that came up is a failure.
void ExitCleanly(CCheck& t, COrvelle& app)
{
    app.Click(IDOK);
    if (app.WaitExit(kWindowTimeout * 2))
        return;
    std::string boxes = app.DismissStrayBoxes();
    t.That(false, "the program did not end after 終了(&X)" + (boxes.empty() ? "" : " (boxes: " + boxes + ")"));
}

void WrongTypeOrSize(CCheck& t)
{
    // "3" as a string is the bytes 0x33 0x00: style 51; an integer where a
    // text belongs gives its bytes up to the first zero.
    bool put = PutRaw("Style", REG_SZ, std::string("3", 2)) && PutRaw("JAVA", REG_DWORD, Le(1, 4)) &&
               PutRaw("Caption", REG_DWORD, Le(0x00434241, 4)) &&
               PutRaw("StdGenre", REG_BINARY, std::string("表\0junk", 8)) &&
               PutRaw("Myurl", REG_MULTI_SZ, std::string("a\0b\0\0", 5));
    if (!t.That(put, "cannot store the values of the wrong type"))
        return;
    COrvelle app;
    if (!app.Start(t, FreshWorkFolder("run")))
        return;
    for (int id : {IDC_STYLE_SINGLE, IDC_STYLE_INDEX, IDC_STYLE_FRAMES, IDC_STYLE_ANCHORS})
        t.That(app.Checked(id) == BST_UNCHECKED, "style 51 checked radio " + Num(id));
    t.That(app.Checked(IDC_USEJAVA) == BST_UNCHECKED, "JAVA as an integer left the box checked");
    t.Same(app.Text(IDC_CAPTION), "ABC", "title from an integer");
    t.Same(app.Text(IDC_STDGENRE), "表", "standard genre from binary bytes");
    t.Same(app.Text(IDC_BACKURL), "a", "return URL from a multi-string");
    ExitCleanly(t, app);
    ExpectDword(t, kSection, "Style", 51);
    ExpectSz(t, kSection, "JAVA", "FALSE");
    ExpectSz(t, kSection, "Caption", "ABC");
    ExpectSz(t, kSection, "StdGenre", "表");
    ExpectSz(t, kSection, "Myurl", "a");
}

void StyleLongerThanFourBytes(CCheck& t)
{
    if (!t.That(PutRaw("Style", REG_QWORD, Le(3, 8)), "cannot store an eight-byte style"))
        return;
    COrvelle app;
    if (!app.Start(t, FreshWorkFolder("run")))
        return;
    t.That(app.Checked(IDC_STYLE_SINGLE) == BST_CHECKED, "an eight-byte style did not fall back to style 1");
    t.That(app.Checked(IDC_STYLE_FRAMES) == BST_UNCHECKED, "an eight-byte style was read as 3");
    ExitCleanly(t, app);
    ExpectDword(t, kSection, "Style", 1);
}

void HundredThousandByteTexts(CCheck& t)
{
    const struct {
        const char* name;
        int id;
    } values[] = {{"Myurl", IDC_BACKURL},   {"Output", IDC_OUTPUT},   {"Caption", IDC_CAPTION},
                  {"StdGenre", IDC_STDGENRE}, {"Disabled", IDC_EXCLUDE}, {"Enabled", IDC_INCLUDE}};
    std::vector<std::string> texts;
    for (const auto& v : values) {
        // Whole characters only: a lone lead byte at the end is no text the
        // edit can hold.
        std::string text = v.name;
        while (text.size() + 5 <= 100000)
            text += "ソ表a";
        text.resize(100000, 'z');
        texts.push_back(text);
        if (!t.That(PutSettingString(kSection, v.name, text), std::string("cannot store ") + v.name))
            return;
    }
    COrvelle app;
    if (!app.Start(t, FreshWorkFolder("run")))
        return;
    for (size_t k = 0; k < texts.size(); ++k)
        t.Same(LongText(app.Item(values[k].id)), texts[k], std::string("field of ") + values[k].name);
    ExitCleanly(t, app);
    for (size_t k = 0; k < texts.size(); ++k)
        ExpectSz(t, kSection, values[k].name, texts[k]);
}

}  // namespace

void AddRobustnessScenarios(std::vector<CScenario>& list)
{
    list.push_back({"robustness: settings of the wrong type are read as bytes", WrongTypeOrSize});
    list.push_back({"robustness: an eight-byte style falls back to 1", StyleLongerThanFourBytes});
    list.push_back({"robustness: 100000-byte texts in every string value", HundredThousandByteTexts});
}

}  // namespace drv
