#include <gtest/gtest.h>

#include <string>

#include "support/Fakes.h"
#include "settings/Profile.h"

namespace {
// Hand-written code page 932 bytes of the profile texts.
const std::string kChoice1 = "\x90\xDD\x92\xE8\x82\x50";  // 設定１
const std::string kChoice2 = "\x90\xDD\x92\xE8\x82\x51";  // 設定２
const std::string kChoice3 = "\x90\xDD\x92\xE8\x82\x52";  // 設定３
const std::string kChoice4 = "\x90\xDD\x92\xE8\x82\x53";  // 設定４
const std::string kTitlePrefix = "Orvelle - ";

}  // namespace

// The combo box lists the choices in profile order; each selects its section and title.
TEST(ProfileChoice, EachChoiceSelectsItsSectionAndTitle) {
    const struct {
        std::string choice;
        const char* section;
    } rows[] = {
        {kChoice1, "Orvelle"},
        {kChoice2, "Orvelle2"},
        {kChoice3, "Orvelle3"},
        {kChoice4, "Orvelle4"},
    };
    for (int i = 0; i < 4; ++i) {
        const auto& r = rows[i];
        EXPECT_EQ(std::string(kProfileChoices[i].choice), r.choice) << i;
        const ProfileChoice* row = FindProfileChoice(r.choice);
        ASSERT_NE(row, nullptr) << r.section;
        EXPECT_EQ(std::string(row->section), r.section);
        EXPECT_EQ(std::string(row->title), kTitlePrefix + r.choice);
    }
}

TEST(ProfileChoice, OnlyExactBytesMatch) {
    const struct {
        const char* what;
        std::string choice;
    } rows[] = {
        {"empty choice (first opening, nothing picked)", ""},
        {"prefix only", "\x90\xDD\x92\xE8"},
        {"half-width digit", "\x90\xDD\x92\xE8" "1"},
        {"trailing space", kChoice2 + " "},
        {"fifth profile", "\x90\xDD\x92\xE8\x82\x54"},
        {"section name instead of choice", "Orvelle2"},
    };
    for (const auto& r : rows) EXPECT_EQ(FindProfileChoice(r.choice), nullptr) << r.what;
}

TEST(ProfileSwitch, MatchedChoiceLoadsItsSection) {
    CMemoryStore store;
    store.PutString("Orvelle2", "Caption", Sz("two"));
    store.PutString("Orvelle2", "JAVA", Sz("FALSE"));
    store.sections["Orvelle2"]["Style"] = CMemoryStore::Value{false, std::string("\x09\0\0\0", 4)};
    CMainState state;
    state.m_profileSection = "Orvelle";
    state.m_caption = "typed, never saved";
    state.m_useJava = 1;

    const ProfileChoice* row = SwitchProfile(store, kChoice2, state);

    ASSERT_NE(row, nullptr);
    EXPECT_EQ(std::string(row->title), kTitlePrefix + kChoice2);
    EXPECT_EQ(state.m_profileSection, "Orvelle2");
    EXPECT_EQ(state.m_caption, "two");
    EXPECT_EQ(state.m_javaText, "FALSE");
    EXPECT_EQ(state.m_useJava, 0);
    EXPECT_EQ(state.m_style, 9);  // kept as stored: no radio will be checked
    EXPECT_EQ(state.m_outputPath, "link.html");
    EXPECT_TRUE(store.writeLog.empty());
}

TEST(ProfileSwitch, UnmatchedChoiceReloadsActiveSection) {
    // Cancel on the first opening, or OK with nothing picked: the choice is
    // empty, the section stays and its stored values replace the edits.
    const struct {
        const char* what;
        std::string choice;
    } rows[] = {
        {"empty", ""},
        {"unknown", "x"},
    };
    for (const auto& r : rows) {
        CMemoryStore store;
        store.PutString("Orvelle3", "Caption", Sz("stored three"));
        store.PutString("Orvelle3", "JAVA", Sz("true"));
        CMainState state;
        state.m_profileSection = "Orvelle3";
        state.m_caption = "edited";
        state.m_style = 2;

        EXPECT_EQ(SwitchProfile(store, r.choice, state), nullptr) << r.what;
        EXPECT_EQ(state.m_profileSection, "Orvelle3") << r.what;
        EXPECT_EQ(state.m_caption, "stored three") << r.what;
        EXPECT_EQ(state.m_javaText, "true") << r.what;
        EXPECT_EQ(state.m_useJava, 0) << r.what;  // only "TRUE" checks the box
        EXPECT_EQ(state.m_style, 1) << r.what;    // default of a missing value
        EXPECT_TRUE(store.writeLog.empty()) << r.what;
    }
}

TEST(ProfileSwitch, FreshProfileShowsDefaults) {
    CMemoryStore store;
    CMainState state;
    state.m_profileSection = "Orvelle";
    SwitchProfile(store, kChoice4, state);
    EXPECT_EQ(state.m_profileSection, "Orvelle4");
    EXPECT_EQ(state.m_caption, "\x82\xED\x82\xBD\x82\xB5\x82\xCC\x82\xA8\x8B\x43\x82\xC9\x93\xFC\x82\xE8");
    EXPECT_EQ(state.m_stdGenre, "\x82\xBB\x82\xCC\x91\xBC");
    EXPECT_EQ(state.m_outputPath, "link.html");
    EXPECT_EQ(state.m_style, 1);
    EXPECT_EQ(state.m_javaText, "TRUE");
    EXPECT_EQ(state.m_useJava, 1);
}

TEST(ProfileSwitch, UnreachableStoreGivesDefaultsAndKeepsChoice) {
    CMemoryStore store;
    store.unreachable = true;
    CMainState state;
    state.m_profileSection = "Orvelle";
    state.m_backUrl = "typed";
    ASSERT_NE(SwitchProfile(store, kChoice2, state), nullptr);
    EXPECT_EQ(state.m_profileSection, "Orvelle2");
    EXPECT_EQ(state.m_backUrl, "");
    EXPECT_EQ(state.m_useJava, 1);
}
