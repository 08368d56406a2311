#include "settings/Profile.h"

#include "core/Text.h"

int JavaTextToFlag(const std::string& text) { return text == "TRUE" ? 1 : 0; }

std::string JavaFlagToText(int flag) { return flag == 1 ? "TRUE" : "FALSE"; }

void LoadProfile(ISettingsStore& store, const std::string& section, CMainState& state,
                 std::string& javaText) {
    state.m_backUrl = store.ReadString(section, "Myurl", "");
    javaText = store.ReadString(section, "JAVA", "TRUE");
    state.m_outputPath = store.ReadString(section, "Output", "link.html");
    state.m_outputRealPath.clear();
    state.m_caption = store.ReadString(section, "Caption", "わたしのお気に入り");
    state.m_stdGenre = store.ReadString(section, "StdGenre", "その他");
    state.m_style = store.ReadInt(section, "Style", 1);
    state.m_excludeText = store.ReadString(section, "Disabled", "");
    state.m_includeText = store.ReadString(section, "Enabled", "");
    state.m_useJava = JavaTextToFlag(javaText);
    state.m_source = store.ReadString(section, "Source", "");
    state.m_loadedSource = state.m_source;
}

void SaveProfile(ISettingsStore& store, const std::string& section, const CMainState& state,
                 std::string& javaText, IFailedWriteReporter& reporter) {
    javaText = JavaFlagToText(state.m_useJava);
    const struct {
        const char* name;
        const std::string* text;
    } strings1[] = {
        {"Myurl", &state.m_backUrl},
        {"Output", &state.m_outputPath},
        {"Caption", &state.m_caption},
        {"JAVA", &javaText},
        {"StdGenre", &state.m_stdGenre},
    };
    for (const auto& v : strings1)
        if (!store.WriteString(section, v.name, *v.text)) reporter.ReportFailedWrite();
    if (!store.WriteInt(section, "Style", state.m_style)) reporter.ReportFailedWrite();
    if (!store.WriteString(section, "Disabled", state.m_excludeText)) reporter.ReportFailedWrite();
    if (!store.WriteString(section, "Enabled", state.m_includeText)) reporter.ReportFailedWrite();
    // A profile that never left the Favorites folder keeps exactly the
    // eight values it always had.
    if (!state.m_source.empty() || !state.m_loadedSource.empty())
        if (!store.WriteString(section, "Source", state.m_source)) reporter.ReportFailedWrite();
}

std::string AppNameFromModulePath(const std::string& modulePath) {
    // The folder ends at the last separator; a second byte 0x5C of a two-byte
    // character is not one.
    size_t nameStart = 0;
    size_t lastDot = std::string::npos;
    for (size_t i = 0; i < modulePath.size(); i = NextChar(modulePath, i)) {
        const char c = modulePath[i];
        if (c == kSeparator || c == '/' || c == ':') {
            nameStart = i + 1;
            lastDot = std::string::npos;
        } else if (c == '.') {
            lastDot = i;
        }
    }
    size_t end = lastDot == std::string::npos ? modulePath.size() : lastDot;
    return modulePath.substr(nameStart, end - nameStart);
}

const ProfileChoice kProfileChoices[4] = {
    {"設定１", "Orvelle", "Orvelle - 設定１"},
    {"設定２", "Orvelle2", "Orvelle - 設定２"},
    {"設定３", "Orvelle3", "Orvelle - 設定３"},
    {"設定４", "Orvelle4", "Orvelle - 設定４"},
};

const ProfileChoice* FindProfileChoice(const std::string& choice) {
    for (const ProfileChoice& row : kProfileChoices)
        if (choice == row.choice) return &row;
    return nullptr;
}

const ProfileChoice* SwitchProfile(ISettingsStore& store, const std::string& choice, CMainState& state) {
    const ProfileChoice* row = FindProfileChoice(choice);
    if (row) state.m_profileSection = row->section;
    // Reloaded also when the section stays: this discards unsaved edits.
    LoadProfile(store, state.m_profileSection, state, state.m_javaText);
    state.m_useJava = JavaTextToFlag(state.m_javaText);
    return row;
}
