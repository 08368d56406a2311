#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/Profile.h"
#include "core/Texts.h"
#include "support/Fakes.h"

namespace {

// The eight values in their write order.
const char* const kNames[8] = {"Myurl", "Output", "Caption", "JAVA", "StdGenre", "Style", "Disabled", "Enabled"};

// The field that value |name| loads into, as text.
std::string Loaded(const CMainState& s, const std::string& name) {
    if (name == "Myurl") return s.m_backUrl;
    if (name == "Output") return s.m_outputPath;
    if (name == "Caption") return s.m_caption;
    if (name == "JAVA") return std::to_string(s.m_useJava);
    if (name == "StdGenre") return s.m_stdGenre;
    if (name == "Style") return std::to_string(s.m_style);
    if (name == "Disabled") return s.m_excludeText;
    return s.m_includeText;
}

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

// One stored value per row, possibly of another type or size than its own:
// values are read as bytes, never harmfully. A string where the integer
// belongs gives its first four bytes (the default when longer), an integer
// where a text belongs its bytes up to the first zero. Saving then writes
// each value back in its own type.
TEST(LoadProfile, StoredValuesAndTheirEdges) {
    const struct {
        const char* what;
        const char* name;
        bool isString;
        std::string bytes;
        std::string read;  // the field's value after loading
        bool writtenString;
        std::string written;  // bytes saved back
    } rows[] = {
        {"embedded NUL cuts the text", "Caption", true, Sz(std::string("ab\0cd", 5)), "ab", true, Sz("ab")},
        {"text without its zero", "Myurl", true, "http://x", "http://x", true, Sz("http://x")},
        {"empty stored output stays empty", "Output", true, Sz(""), "", true, Sz("")},
        {"style 7 kept", "Style", false, Dword(7), "7", false, Dword(7)},
        {"negative style kept", "Style", false, Dword(0xFFFFFFFEu), "-2", false, Dword(0xFFFFFFFEu)},
        {"string \"7\" as style", "Style", true, Sz("7"), "55", false, Dword(55)},
        {"string of four bytes as style", "Style", true, "AB" + Sz("C"), "4407873", false, Dword(0x00434241)},
        {"string of eight bytes as style", "Style", true, Sz("1234567"), "1", false, Dword(1)},
        {"eight-byte integer as style", "Style", false, Dword(2) + Dword(0), "1", false, Dword(1)},
        {"two-byte value as style", "Style", false, std::string("\x04\x01", 2), "260", false, Dword(260)},
        {"empty value as style", "Style", false, "", "0", false, Dword(0)},
        {"integer 1 as JAVA", "JAVA", false, Dword(1), "0", true, Sz("FALSE")},
        {"integer as caption", "Caption", false, Dword(0x00434241), "ABC", true, Sz("ABC")},
        {"integer 0 as output", "Output", false, Dword(0), "", true, Sz("")},
        {"binary junk as genre", "StdGenre", false, std::string("\xFF\x83\0\x41", 4), "\xFF\x83", true,
         Sz("\xFF\x83")},
    };
    for (const auto& r : rows) {
        CMemoryStore store;
        store.sections["Orvelle"][r.name] = CMemoryStore::Value{r.isString, r.bytes};
        CMainState state;
        std::string java;
        LoadProfile(store, "Orvelle", state, java);
        EXPECT_EQ(Loaded(state, r.name), r.read) << r.what;
        CCountingReporter reporter;
        SaveProfile(store, "Orvelle", state, java, reporter);
        EXPECT_EQ(reporter.count, 0) << r.what;
        const auto& v = store.sections["Orvelle"][r.name];
        EXPECT_EQ(v.isString, r.writtenString) << r.what;
        EXPECT_EQ(v.bytes, r.written) << r.what;
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
    EXPECT_EQ(store.writeLog, std::vector<std::string>(kNames, kNames + 8));
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

// Every one of the 256 mixes of failing writes, each alone among them: one
// report per failed value, every other value stored with its bytes, all
// eight always attempted, and a failed value left as it was. An unreachable
// section gives defaults and eight reports.
TEST(SaveProfile, EveryMixOfFailedWrites) {
    CMainState state;
    state.m_backUrl = "http://back/";
    state.m_outputPath = "C:\\ソ\\out.html";
    state.m_caption = "表題";
    state.m_useJava = 1;
    state.m_stdGenre = "その他";
    state.m_style = 3;
    state.m_excludeText = "ex";
    state.m_includeText = "in";
    const std::string stored[8] = {Sz("http://back/"), Sz("C:\\ソ\\out.html"), Sz("表題"), Sz("TRUE"),
                                   Sz("その他"), Dword(3), Sz("ex"), Sz("in")};
    for (unsigned mask = 0; mask < 256; ++mask) {
        CMemoryStore store;
        int failing = 0;
        for (int k = 0; k < 8; ++k) {
            store.sections["Orvelle"][kNames[k]] = CMemoryStore::Value{true, Sz("old")};
            if (mask & (1u << k)) {
                store.failingWrites.insert(kNames[k]);
                ++failing;
            }
        }
        CCountingReporter reporter;
        std::string java;
        SaveProfile(store, "Orvelle", state, java, reporter);
        EXPECT_EQ(reporter.count, failing) << mask;
        EXPECT_EQ(store.writeLog, std::vector<std::string>(kNames, kNames + 8)) << mask;
        for (int k = 0; k < 8; ++k)
            EXPECT_EQ(store.sections["Orvelle"][kNames[k]].bytes, (mask & (1u << k)) ? Sz("old") : stored[k])
                << mask << " " << kNames[k];
    }

    CMemoryStore unreachable;
    unreachable.unreachable = true;
    CMainState loaded;
    std::string java;
    LoadProfile(unreachable, "Orvelle", loaded, java);
    EXPECT_EQ(loaded.m_outputPath, "link.html");
    CCountingReporter reporter;
    SaveProfile(unreachable, "Orvelle", loaded, java, reporter);
    EXPECT_EQ(reporter.count, 8);
}

// Texts of 100000 bytes (two-byte characters with second byte 0x5C among
// them) in every string value are read, saved and read again whole; a JAVA
// text that long is not "TRUE" and is saved back as "FALSE".
TEST(SaveProfile, LongStringsRoundTrip) {
    std::string big;
    while (big.size() < 100000) big += "ソ表a";
    big.resize(100000);
    const char* const texts[] = {"Myurl", "Output", "Caption", "StdGenre", "Disabled", "Enabled"};
    CMemoryStore store;
    for (const char* name : texts) store.PutString("Orvelle", name, Sz(big));
    store.PutString("Orvelle", "JAVA", Sz(big));
    CMainState state;
    std::string java;
    LoadProfile(store, "Orvelle", state, java);
    for (const char* name : texts) EXPECT_TRUE(Loaded(state, name) == big) << name;
    EXPECT_TRUE(java == big);
    EXPECT_EQ(state.m_useJava, 0);

    CCountingReporter reporter;
    SaveProfile(store, "Orvelle2", state, java, reporter);
    EXPECT_EQ(reporter.count, 0);
    auto& s = store.sections["Orvelle2"];
    for (const char* name : texts) EXPECT_TRUE(s[name].bytes == Sz(big)) << name;
    EXPECT_EQ(s["JAVA"].bytes, Sz("FALSE"));
    CMainState again;
    LoadProfile(store, "Orvelle2", again, java);
    for (const char* name : texts) EXPECT_TRUE(Loaded(again, name) == big) << name;
}

// The texts of the failed-write box, as code page 932 bytes.
TEST(SaveProfile, FailedWriteTexts) {
    EXPECT_EQ(std::string(kFailedWriteText),
              "\x83\x8c\x83\x57\x83\x58\x83\x67\x83\x8a\x82\xf0\x8a\x4a\x82\xaf\x82\xdc\x82\xb9\x82\xf1\x81\x42"
              "\x90\xdd\x92\xe8\x82\xf0\x83\x4e\x83\x8a\x83\x41\x82\xb5\x82\xdc\x82\xb7\x81\x42");
    EXPECT_EQ(std::string(kFailedWriteCaption), "\x8f\xee\x95\xf1\x90\xdd\x92\xe8\x83\x47\x83\x89\x81\x5b");
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

// The import source: read with a default of the Favorites folder, and
// written after the eight values only by a profile that has or had one.
TEST(SaveProfile, SourceOnlyWhereThereIsOne) {
    const struct {
        const char* what;
        const char* stored;  // null: the section holds none
        std::string source;  // m_source at saving
        bool written;
    } rows[] = {
        {"never had one", nullptr, "", false},
        {"kept", "edge:C:\\E\\Bookmarks", "edge:C:\\E\\Bookmarks", true},
        {"back to the Favorites folder", "html:C:\\b.html", "", true},
        {"chosen now", nullptr, "chromium:C:\\G\\Bookmarks", true},
        {"stored empty", "", "", false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        CMemoryStore store;
        if (r.stored) store.PutString("Orvelle", "Source", Sz(r.stored));
        CMainState state;
        std::string java;
        LoadProfile(store, "Orvelle", state, java);
        EXPECT_EQ(state.m_source, r.stored ? r.stored : "");
        state.m_source = r.source;
        CCountingReporter reporter;
        SaveProfile(store, "Orvelle", state, java, reporter);
        EXPECT_EQ(reporter.count, 0);
        std::vector<std::string> names(kNames, kNames + 8);
        if (r.written) names.push_back("Source");
        EXPECT_EQ(store.writeLog, names);
        if (r.written) {
            EXPECT_EQ(store.sections["Orvelle"]["Source"].bytes, Sz(r.source));
        }
    }

    CMemoryStore failing;
    failing.failingWrites.insert("Source");
    CMainState state;
    state.m_source = "edge:C:\\E\\Bookmarks";
    CCountingReporter reporter;
    std::string java;
    SaveProfile(failing, "Orvelle", state, java, reporter);
    EXPECT_EQ(reporter.count, 1);
}
