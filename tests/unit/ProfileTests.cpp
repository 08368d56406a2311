#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/Fakes.h"
#include "app/Profile.h"
#include "core/Text.h"

namespace {


}  // namespace

TEST(LoadProfile, FirstStartGivesDefaults) {
    CMemoryStore store;
    CMainState state;
    std::string java;
    LoadProfile(store, "Orvelle", state, java);
    EXPECT_EQ(state.m_backUrl, "");
    EXPECT_EQ(java, "TRUE");
    EXPECT_EQ(state.m_useJava, 1);
    EXPECT_EQ(state.m_outputPath, "link.html");
    EXPECT_EQ(state.m_caption, "\x82\xED\x82\xBD\x82\xB5\x82\xCC\x82\xA8\x8B\x43\x82\xC9\x93\xFC\x82\xE8");
    EXPECT_EQ(state.m_stdGenre, "\x82\xBB\x82\xCC\x91\xBC");  // その他
    EXPECT_EQ(state.m_style, 1);
    EXPECT_EQ(state.m_excludeText, "");
    EXPECT_EQ(state.m_includeText, "");
}

TEST(LoadProfile, StoredValuesAndTheirEdges) {
    // Each row stores one value and names the field it must land in.
    const struct {
        const char* what;
        std::string name, bytes;
        bool isString;
        std::function<std::string(const CMainState&)> field;
        std::string expected;
    } rows[] = {
        {"embedded NUL cuts the text", "Caption", std::string("ab\0cd", 5) + std::string(1, '\0'), true,
         [](const CMainState& s) { return s.m_caption; }, "ab"},
        {"string without NUL read whole", "Myurl", "http://x", true,
         [](const CMainState& s) { return s.m_backUrl; }, "http://x"},
        {"style 7 kept", "Style", Dword(7), false,
         [](const CMainState& s) { return std::to_string(s.m_style); }, "7"},
        {"negative style kept", "Style", Dword(0xFFFFFFFEu), false,
         [](const CMainState& s) { return std::to_string(s.m_style); }, "-2"},
        {"style longer than four bytes falls back", "Style", Dword(3) + std::string(4, '\0'), false,
         [](const CMainState& s) { return std::to_string(s.m_style); }, "1"},
        {"empty stored output stays empty", "Output", Sz(""), true,
         [](const CMainState& s) { return s.m_outputPath; }, ""},
    };
    for (const auto& r : rows) {
        CMemoryStore store;
        store.sections["Orvelle"][r.name] = CMemoryStore::Value{r.isString, r.bytes};
        CMainState state;
        std::string java;
        LoadProfile(store, "Orvelle", state, java);
        EXPECT_EQ(r.field(state), r.expected) << r.what;
    }
}

TEST(JavaConversion, OnlyExactTrueIsSet) {
    const struct { const char* stored; int flag; const char* writtenBack; } rows[] = {
        {"TRUE", 1, "TRUE"}, {"true", 0, "FALSE"}, {"True", 0, "FALSE"},
        {"FALSE", 0, "FALSE"}, {"", 0, "FALSE"}, {"TRUE ", 0, "FALSE"},
    };
    for (const auto& r : rows) {
        CMemoryStore store;
        store.PutString("Orvelle", "JAVA", Sz(r.stored));
        CMainState state;
        std::string java;
        LoadProfile(store, "Orvelle", state, java);
        EXPECT_EQ(state.m_useJava, r.flag) << r.stored;
        CCountingReporter reporter;
        SaveProfile(store, "Orvelle", state, java, reporter);
        EXPECT_EQ(store.sections["Orvelle"]["JAVA"].bytes, Sz(r.writtenBack)) << r.stored;
    }
    EXPECT_EQ(JavaFlagToText(2), "FALSE");
}

TEST(SaveProfile, WritesEightValuesInOrderWithTypesAndBytes) {
    CMemoryStore store;
    CMainState state;
    state.m_backUrl = "http://back/";
    state.m_outputPath = "C:\\web\\\x83\x5C.html";
    state.m_caption = "T";
    state.m_useJava = 0;
    state.m_stdGenre = "";
    state.m_style = 7;
    state.m_excludeText = "ex";
    state.m_includeText = "in";
    CCountingReporter reporter;
    std::string java;
    SaveProfile(store, "Orvelle3", state, java, reporter);
    EXPECT_EQ(reporter.count, 0);
    const std::vector<std::string> order = {"Myurl", "Output", "Caption", "JAVA",
                                            "StdGenre", "Style", "Disabled", "Enabled"};
    EXPECT_EQ(store.writeLog, order);
    auto& s = store.sections["Orvelle3"];
    EXPECT_EQ(s["Myurl"].bytes, Sz("http://back/"));
    EXPECT_EQ(s["Output"].bytes, Sz("C:\\web\\\x83\x5C.html"));
    EXPECT_EQ(s["Caption"].bytes, Sz("T"));
    EXPECT_EQ(s["JAVA"].bytes, Sz("FALSE"));
    EXPECT_EQ(s["StdGenre"].bytes, Sz(""));
    EXPECT_FALSE(s["Style"].isString);
    EXPECT_EQ(s["Style"].bytes, Dword(7));
    EXPECT_EQ(s["Disabled"].bytes, Sz("ex"));
    EXPECT_EQ(s["Enabled"].bytes, Sz("in"));
    EXPECT_EQ(store.sections.count("Orvelle"), 0u);  // no other section touched
}

TEST(SaveProfile, EachFailedWriteReportedOnceAndOthersStored) {
    const char* names[] = {"Myurl", "Output", "Caption", "JAVA", "StdGenre", "Style", "Disabled", "Enabled"};
    for (const char* failing : names) {
        CMemoryStore store;
        store.failingWrites.insert(failing);
        CMainState state;
        std::string java;
        LoadProfile(store, "Orvelle", state, java);
        CCountingReporter reporter;
        SaveProfile(store, "Orvelle", state, java, reporter);
        EXPECT_EQ(reporter.count, 1) << failing;
        EXPECT_EQ(store.sections["Orvelle"].size(), 7u) << failing;
        EXPECT_EQ(store.sections["Orvelle"].count(failing), 0u) << failing;
    }
    CMemoryStore unreachable;
    unreachable.unreachable = true;
    CMainState state;
    std::string java;
    LoadProfile(unreachable, "Orvelle", state, java);
    EXPECT_EQ(state.m_outputPath, "link.html");  // defaults when nothing can be read
    CCountingReporter reporter;
    SaveProfile(unreachable, "Orvelle", state, java, reporter);
    EXPECT_EQ(reporter.count, 8);
}

TEST(SaveProfile, LongStringsRoundTrip) {
    CMemoryStore store;
    CMainState state;
    state.m_caption = std::string(100000, 'x');
    std::string java;
    CCountingReporter reporter;
    SaveProfile(store, "Orvelle", state, java, reporter);
    CMainState again;
    LoadProfile(store, "Orvelle", again, java);
    EXPECT_EQ(again.m_caption, state.m_caption);
}

TEST(AppName, FromModulePath) {
    const struct { const char* path; const char* name; } rows[] = {
        {"C:\\Program Files\\Orvelle\\Orvelle.EXE", "Orvelle"},
        {"Orvelle.exe", "Orvelle"},
        {"C:/tools/my.tool.exe", "my.tool"},
        {"D:Orvelle", "Orvelle"},
        {"C:\\a.b\\noext", "noext"},
        {"C:\\\x83\x5C\x83\x74\x83\x67\\\x95\x5C.exe", "\x95\x5C"},  // ソフト\表.exe
    };
    for (const auto& r : rows) EXPECT_EQ(AppNameFromModulePath(r.path), r.name) << r.path;
}
