// Settings the real registry store meets in another form than its own:
// values of the wrong type or size, and texts of 100000 bytes in every
// string value. They are read as bytes without harm and saved back whole, in
// each value's own type, without a settings error.
#include "Driver.h"

namespace drv {
namespace {

const char kSection[] = "Orvelle";

void WrongTypeOrSize(CCheck& t)
{
    // "3" as a string is the bytes 0x33 0x00: style 51; an integer where a
    // text belongs gives its bytes up to the first zero.
    bool put = PutSetting(kSection, "Style", REG_SZ, std::string("3", 2)) &&
               PutSetting(kSection, "JAVA", REG_DWORD, LittleEndian(1, 4)) &&
               PutSetting(kSection, "Caption", REG_DWORD, LittleEndian(0x00434241, 4)) &&
               PutSetting(kSection, "StdGenre", REG_BINARY, std::string("表\0junk", 8)) &&
               PutSetting(kSection, "Myurl", REG_MULTI_SZ, std::string("a\0b\0\0", 5));
    if (!t.That(put, "cannot store the values of the wrong type"))
        return;
    COrvelle app;
    if (!app.Start(t))
        return;
    ExpectCheckedStyles(t, app, {}, "stored style 51");
    t.That(app.Checked(IDC_USEJAVA) == BST_UNCHECKED, "JAVA as an integer left the box checked");
    t.Same(app.Text(IDC_CAPTION), "ABC", "title from an integer");
    t.Same(app.Text(IDC_STDGENRE), "表", "standard genre from binary bytes");
    t.Same(app.Text(IDC_BACKURL), "a", "return URL from a multi-string");
    app.ExitWithOk(t, 2 * kWindowTimeout);
    ExpectDword(t, kSection, "Style", 51);
    ExpectSz(t, kSection, "JAVA", "FALSE");
    ExpectSz(t, kSection, "Caption", "ABC");
    ExpectSz(t, kSection, "StdGenre", "表");
    ExpectSz(t, kSection, "Myurl", "a");
}

void StyleLongerThanFourBytes(CCheck& t)
{
    if (!t.That(PutSetting(kSection, "Style", REG_QWORD, LittleEndian(3, 8)), "cannot store an eight-byte style"))
        return;
    COrvelle app;
    if (!app.Start(t))
        return;
    ExpectCheckedStyles(t, app, {IDC_STYLE_SINGLE}, "an eight-byte style 3 (falls back to 1)");
    app.ExitWithOk(t, 2 * kWindowTimeout);
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
    if (!app.Start(t))
        return;
    for (size_t k = 0; k < texts.size(); ++k)
        t.Same(app.Text(values[k].id), texts[k], std::string("field of ") + values[k].name);
    app.ExitWithOk(t, 2 * kWindowTimeout);
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
