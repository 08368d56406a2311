// The eight settings of a profile, moved between a section and the main state.
#pragma once
#include <string>

#include "settings/SettingsStore.h"
#include "core/MainState.h"

// 1 when |text| is exactly "TRUE", else 0.
int JavaTextToFlag(const std::string& text);
// "TRUE" when |flag| is 1, else "FALSE".
std::string JavaFlagToText(int flag);

// Reads the eight values of |section| into |state| (defaults for what is
// missing) and the JAVA text into |javaText|, then sets m_useJava from it;
// then the import source ("Source", default the Favorites folder) into
// m_source and m_loadedSource. Never fails.
void LoadProfile(ISettingsStore& store, const std::string& section, CMainState& state,
                 std::string& javaText);

// Called once for every value that could not be written.
class IFailedWriteReporter {
public:
    virtual ~IFailedWriteReporter() = default;
    virtual void ReportFailedWrite() = 0;
};

// Writes the eight fields into |section|, in the fixed order; reports each
// failed value and goes on with the next. |javaText| receives the JAVA text.
// Then "Source", unless the source is the Favorites folder and the section
// held none when loaded.
void SaveProfile(ISettingsStore& store, const std::string& section, const CMainState& state,
                 std::string& javaText, IFailedWriteReporter& reporter);

// The application name from the executable's module path: the file name
// without its folder (which ends at the last "\", "/" or ":") and without
// everything from its last "." on.
std::string AppNameFromModulePath(const std::string& modulePath);

// One row of the profile selection: the combo box text, the registry section
// it selects and the main window's title under it.
struct ProfileChoice {
    const char* choice;   // "設定１" .. "設定４"
    const char* section;  // "Orvelle" .. "Orvelle4"
    const char* title;    // "Orvelle - 設定１" .. "Orvelle - 設定４"
};

// The four profiles in the combo box's order.
extern const ProfileChoice kProfileChoices[4];

// The first row whose choice text equals |choice| byte for byte, or null
// (the empty choice matches none).
const ProfileChoice* FindProfileChoice(const std::string& choice);

// The window-free part of a profile switch: the section of |choice| becomes
// state.m_profileSection (unchanged when no row matches), then that
// section's eight settings are read into |state|, the JAVA text into
// state.m_javaText and m_useJava from it. Reads only; never writes. Returns
// the matched row (its title is the new window title) or null.
const ProfileChoice* SwitchProfile(ISettingsStore& store, const std::string& choice, CMainState& state);
