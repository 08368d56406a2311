// Settings that cannot be written or that were stored in another form: any
// mix of failed writes, values of the wrong type or size, very long texts.
// One failed write at a time, an unreachable section and the basic edges of
// reading are ProfileTests' (SaveProfile.EachFailedWriteReportedOnceAndOthersStored,
// LoadProfile.StoredValuesAndTheirEdges). The registry store itself runs
// only under Wine (the end-to-end suite).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/Fakes.h"
#include "app/Profile.h"
#include "core/Texts.h"

namespace {


// The eight values in their write order.
const char* const kNames[8] = {"Myurl", "Output", "Caption", "JAVA", "StdGenre", "Style", "Disabled", "Enabled"};

}  // namespace

// The texts of the failed-write box, as code page 932 bytes.
TEST(RobustnessSettings, FailedWriteTexts) {
    EXPECT_EQ(std::string(kFailedWriteText),
              "\x83\x8c\x83\x57\x83\x58\x83\x67\x83\x8a\x82\xf0\x8a\x4a\x82\xaf\x82\xdc\x82\xb9\x82\xf1\x81\x42"
              "\x90\xdd\x92\xe8\x82\xf0\x83\x4e\x83\x8a\x83\x41\x82\xb5\x82\xdc\x82\xb7\x81\x42");
    EXPECT_EQ(std::string(kFailedWriteCaption), "\x8f\xee\x95\xf1\x90\xdd\x92\xe8\x83\x47\x83\x89\x81\x5b");
}

// Every one of the 256 mixes of failing writes: one report per failed value,
// every other value stored with its bytes, all eight always attempted, and
// a failed value left as it was.
TEST(RobustnessSettings, EveryMixOfFailedWrites) {
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
        for (int k = 0; k < 8; ++k) {
            const auto& v = store.sections["Orvelle"][kNames[k]];
            if (mask & (1u << k))
                EXPECT_EQ(v.bytes, Sz("old")) << mask << " " << kNames[k];
            else
                EXPECT_EQ(v.bytes, stored[k]) << mask << " " << kNames[k];
        }
    }
}

// Values stored with another type or size than their own are read as bytes,
// never harmfully: a string where the integer belongs gives its first four
// bytes (or the default when longer), an integer where a text belongs gives
// its bytes up to the first zero. Saving then writes each value back in its
// own type.
TEST(RobustnessSettings, WrongTypeOrSize) {
    const struct {
        const char* what;
        const char* name;
        bool isString;
        std::string bytes;
        const char* field;  // which field to look at
        std::string read;   // the field's value after loading
        bool writtenString;
        std::string written;  // bytes saved back
    } rows[] = {
        {"string \"7\" as style", "Style", true, Sz("7"), "style", "55", false, Dword(55)},
        {"string of four bytes as style", "Style", true, "AB" + Sz("C"), "style", "4407873", false,
         Dword(0x00434241)},
        {"string of eight bytes as style", "Style", true, Sz("1234567"), "style", "1", false, Dword(1)},
        {"eight-byte integer as style", "Style", false, Dword(2) + Dword(0), "style", "1", false, Dword(1)},
        {"two-byte value as style", "Style", false, std::string("\x04\x01", 2), "style", "260", false,
         Dword(260)},
        {"empty value as style", "Style", false, "", "style", "0", false, Dword(0)},
        {"integer 1 as JAVA", "JAVA", false, Dword(1), "java", "0", true, Sz("FALSE")},
        {"integer as caption", "Caption", false, Dword(0x00434241), "caption", "ABC", true, Sz("ABC")},
        {"integer 0 as output", "Output", false, Dword(0), "output", "", true, Sz("")},
        {"text without its zero", "Myurl", true, "http://x", "backUrl", "http://x", true, Sz("http://x")},
        {"binary junk as genre", "StdGenre", false, std::string("\xFF\x83\0\x41", 4), "stdGenre", "\xFF\x83",
         true, Sz("\xFF\x83")},
    };
    for (const auto& r : rows) {
        CMemoryStore store;
        store.sections["Orvelle"][r.name] = CMemoryStore::Value{r.isString, r.bytes};
        CMainState state;
        std::string java;
        LoadProfile(store, "Orvelle", state, java);
        const std::string field = r.field;
        std::string got = field == "style"      ? std::to_string(state.m_style)
                          : field == "java"     ? std::to_string(state.m_useJava)
                          : field == "caption"  ? state.m_caption
                          : field == "output"   ? state.m_outputPath
                          : field == "backUrl"  ? state.m_backUrl
                                                : state.m_stdGenre;
        EXPECT_EQ(got, r.read) << r.what;
        CCountingReporter reporter;
        SaveProfile(store, "Orvelle", state, java, reporter);
        EXPECT_EQ(reporter.count, 0) << r.what;
        const auto& v = store.sections["Orvelle"][r.name];
        EXPECT_EQ(v.isString, r.writtenString) << r.what;
        EXPECT_EQ(v.bytes, r.written) << r.what;
    }
}

// Texts of 100000 bytes (two-byte characters with second byte 0x5C among
// them) in every string value come back whole; a JAVA text that long is not
// "TRUE" and is saved back as "FALSE".
TEST(RobustnessSettings, HundredThousandByteTexts) {
    std::string big;
    while (big.size() < 100000) big += "ソ表a";
    big.resize(100000);
    CMemoryStore store;
    for (const char* name : {"Myurl", "Output", "Caption", "StdGenre", "Disabled", "Enabled", "JAVA"})
        store.PutString("Orvelle", name, Sz(big));
    CMainState state;
    std::string java;
    LoadProfile(store, "Orvelle", state, java);
    for (const std::string* field : {&state.m_backUrl, &state.m_outputPath, &state.m_caption, &state.m_stdGenre,
                                     &state.m_excludeText, &state.m_includeText, &java})
        EXPECT_TRUE(*field == big);
    EXPECT_EQ(state.m_useJava, 0);

    CCountingReporter reporter;
    SaveProfile(store, "Orvelle2", state, java, reporter);
    EXPECT_EQ(reporter.count, 0);
    auto& s = store.sections["Orvelle2"];
    for (const char* name : {"Myurl", "Output", "Caption", "StdGenre", "Disabled", "Enabled"})
        EXPECT_TRUE(s[name].bytes == Sz(big)) << name;
    EXPECT_EQ(s["JAVA"].bytes, Sz("FALSE"));
}
