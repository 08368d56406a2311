// The command line: "Orvelle.exe /write [N]" imports from profile N's source
// and writes its pages without showing anything, for a scheduled task;
// "/check [N]" imports the same way and checks the links. The same Import,
// Write and check as the dialog's; only the window is missing.
#pragma once
#include <string>
#include <vector>

#include "settings/SettingsStore.h"
#include "check/CheckRun.h"
#include "export/PageOutput.h"
#include "links/BookmarkFiles.h"
#include "links/FolderSource.h"

// Exit codes of a command-line run.
const int kExitWritten = 0;     // the pages were written, the check ran to its end (and for /?)
const int kExitNotWritten = 1;  // nothing to write or check, source unreadable, limit, a page or the results failed
const int kExitBadArguments = 2;

// What the arguments ask for.
struct CCommandLine {
    enum Kind {
        Dialog,  // no arguments: the dialog, as always
        Write,   // /write [N]
        Check,   // /check [N]
        Usage,   // /?
        Error,   // an argument Orvelle does not know; |badArgument| names it
    };
    Kind kind = Dialog;
    int profile = 1;          // 1 to 4, for Write and Check
    std::string logFile;      // /log FILE, as the program's text; empty without
    std::string badArgument;  // for Error
};

// Reads the arguments after the program's name. Options are case-insensitive
// and start with "/" or "-": "/write" or "/check" with an optional profile
// number 1 to 4 right after it, "/log" with a file after it (only with one
// of those), "/?".
// Anything else, a second command, a number out of range or a /log without
// its file gives Error, naming the argument at fault.
CCommandLine ParseCommandLine(const std::vector<std::string>& args);

// The usage text for /? (Japanese, lines ending in "\n").
std::string CommandUsageText();
// The text for an argument Orvelle does not know.
std::string BadArgumentText(const std::string& argument);

// The outcome of /write: the exit code and what the dialog would have said.
struct CWriteOutcome {
    int exitCode = kExitNotWritten;
    std::string text;
};

// What a command works with.
struct CCommandPlatform {
    ISettingsStore& store;
    IFolderSource& folders;
    IBookmarkFiles& files;
    IPageSink& pages;
    // The folder of Orvelle.exe, ending in "": a relative output file is
    // taken from it, as the dialog started from Explorer or a shortcut takes
    // it (a scheduled task starts in the system folder).
    std::string programFolder;
    // The link check's services: /check needs them; /write reads the stored
    // results through them for the fifth style's marks (none without).
    CCheckServices* check = nullptr;
};

// /write for |profile| (1 to 4): loads that profile's settings as the dialog
// loads them, imports from its source and writes its pages. Shows nothing
// and writes no setting. The pages are those of Import and then Write in
// the dialog on that profile, but for a relative output file, taken from
// the program's folder. Only a complete Import is written: one that ends
// with a message (source unreadable, the limit) or by an error writes
// nothing and says why. An error anywhere gives kExitNotWritten and a text.
// Written, the text names the main page's full path on its second line.
CWriteOutcome RunWriteCommand(int profile, const CCommandPlatform& platform);

// /check for |profile|: Import as for /write, then a check of the list's
// links with the results stored (check/CheckRun.h). kExitWritten when the
// check ran to its end, whatever it found; kExitNotWritten when the list was
// empty or had nothing to check, the Import was not complete, the network
// was missing or the results could not be stored.
CWriteOutcome RunCheckCommand(int profile, const CCommandPlatform& platform);

// The output file |output| as a scheduled run takes it: relative to the
// current folder ("link.html", "out\link.html", "..\x.html") it is taken
// from |programFolder| (ending in "\"); from the current drive's root
// ("\x.html") it goes to the root of the program folder's drive or share;
// "C:x.html" on the program folder's drive is taken from that folder; any
// other path (a full one, an empty one, another drive's) stays as it is.
std::string OutputFromProgramFolder(const std::string& output, const std::string& programFolder);

// One line of the /log file, UTF-8 with CR LF: "YYYY-MM-DD hh:mm:ss", a tab,
// the profile number, a tab, the exit code, a tab, and |text| with its line
// breaks made spaces.
std::string LogLine(const CLocalTime& time, int profile, int exitCode, const std::string& text);
