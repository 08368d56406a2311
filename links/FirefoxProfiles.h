// The profiles of Firefox and of its forks that keep the same layout, as
// items of the source drop-down.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "links/BookmarkFiles.h"
#include "links/SourceChoices.h"

// One [ProfileN] section of a profiles.ini.
struct CIniProfile {
    unsigned long number = 0;  // N
    std::u16string name;       // Name=
    bool isRelative = false;   // IsRelative=1: Path is below the ini's folder
    std::u16string path;       // Path=, "/" between its names as written
};

// The [ProfileN] sections of |ini| (UTF-8, with or without a byte order
// mark, lines ending in LF or CR LF, names and keys in any case) in the
// order of N; a section without a Path is left out. Never fails: what
// cannot be read is passed over.
std::vector<CIniProfile> ParseProfilesIni(std::string_view ini);

// The profiles found below the roaming application data folder, appended to
// |out| as "<browser> - <Name>": in the order Mozilla Firefox
// ("Mozilla\Firefox"), Floorp, Waterfox, LibreWolf ("librewolf"), each in
// the order of its profiles.ini; a profile is listed when its folder holds
// "places.sqlite" or a "bookmarkbackups" folder. The setting is "firefox:"
// and the profile folder's full path.
void FindFirefoxProfiles(IBookmarkFiles& files, std::vector<CSourceChoice>& out);
