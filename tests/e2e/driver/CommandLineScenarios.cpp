// The command line: "/write N" as a scheduled task runs it. Its pages are
// compared with those of Import and Write in the dialog on the same profile;
// the run must show no window and store no setting.
#include "Driver.h"

#include <algorithm>
#include <cstdio>

namespace drv {
namespace {

// "Skip" is excluded by the filter of profile 2 in the Favorites row.
const std::vector<CFavEntry> kTree = {
    {"c.url", "http://www.example.com/c"},
    {"News", nullptr},
    {"News\\a.url", "http://news.example.jp/a?x=1&y=2"},
    {"Skip", nullptr},
    {"Skip\\s.url", "http://skip.example.com/"},
    {"ソフト", nullptr},
    {"ソフト\\表.url", "http://soft.example.jp/"},
};

// A Bookmarks file as a Chromium browser writes it.
const wchar_t kBookmarks[] = LR"({"roots":{
 "bookmark_bar":{"children":[{"type":"url","name":"Bar","url":"http://bar.example.com/"},
  {"type":"folder","name":"道具","children":[{"type":"url","name":"表","url":"http://tools.example.jp/"}]}],
  "type":"folder"},
 "other":{"children":[{"type":"url","name":"Other","url":"http://other.example.com/"}],"type":"folder"},
 "synced":{"children":[],"type":"folder"}},"version":1})";

// |path| up to its last "\\", without it.
std::string BaseFolderOf(const std::string& path)
{
    const size_t cut = path.find_last_of('\\');
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

std::string Names(const std::map<std::string, std::string>& files)
{
    std::string out;
    for (const auto& f : files)
        out += (out.empty() ? "" : " ") + Visible(f.first);
    return "{" + out + "}";
}

// Import and Write on profile 2 in the dialog, then /write 2: the same files.
void SamePagesAsTheDialog(CCheck& t)
{
    const std::string work = g_config.workDir;
    const std::string bookmarks = FreshWorkFolder("cl-chromium") + "\\Bookmarks";
    if (!MakeFavorites(t, kTree) || !t.That(WriteBytes(bookmarks, Utf8Bytes(kBookmarks)), "cannot write Bookmarks"))
        return;
    const struct {
        const char* what;
        std::string folder;  // the pages' folder, the dialog's current folder
        DWORD style;
        std::vector<std::pair<const char*, std::string>> settings;
        const char* files;  // what the dialog must have written
        const char* main;    // the main page's name
        bool beside;         // /write runs a copy of Orvelle.exe in the folder, from another current folder
    } rows[] = {
        // The default output "link.html": relative to the current folder in
        // the dialog, to the program's folder for /write (a scheduled task
        // starts in the system folder).
        {"Favorites, frames, an exclusion", FreshWorkFolder("cl-fav"), 3,
         {{"Disabled", "Skip"}},
         "00000001.html 00000002.html 00000003.html link.html linkmenu.html", "link.html", true},
        {"Chromium, index, an inclusion", FreshWorkFolder("cl-chr"), 2,
         {{"Source", "chromium:" + bookmarks}, {"Output", work + "\\cl-chr\\index.html"}, {"Enabled", "バー"}},
         "00000001.html 00000002.html index.html", "index.html", false},
    };
    for (const auto& r : rows) {
        ResetSettings();
        PutSettingDword("Orvelle2", "Style", r.style);
        for (const auto& s : r.settings)
            PutSettingString("Orvelle2", s.first, s.second);
        {
            COrvelle app;
            if (!app.Start(t, r.folder) || !ChooseProfile(t, app, 1) ||
                !t.Same(app.Title(), "Orvelle - 設定２", "title after the switch"))
                return;
            t.That(app.ClickSync(IDC_IMPORT), std::string(r.what) + ": Import did not return");
            WriteExpecting(t, app, kWrittenText, std::string(r.what) + ": Write");
            app.ExitWithOk(t);
        }
        const std::map<std::string, std::string> dialog = FilesIn(r.folder);
        if (!t.Same(Names(dialog), std::string("{") + r.files + "}", std::string(r.what) + ": files of the dialog"))
            continue;
        RemoveTree(r.folder);
        std::string exe, current = r.folder;
        if (r.beside) {
            exe = FreshWorkFolder(std::string("cl-program")) + "\\Orvelle.exe";
            current = FreshWorkFolder(std::string("cl-elsewhere"));
            if (!t.That(CopyFileW(FromCp932(g_config.orvelleExe).c_str(), FromCp932(exe).c_str(), FALSE) != 0,
                        "cannot copy Orvelle.exe"))
                return;
        }
        CCommandRun run = RunQuietly(t, L"/write 2", current, 0, exe);
        const std::string pages = r.beside ? BaseFolderOf(exe) : r.folder;
        // The second line names the main page where it was written.
        t.Same(run.output, Told(std::string(kWrittenText) + "\n" + pages + "\\" + r.main),
               std::string(r.what) + ": output");
        std::map<std::string, std::string> command = FilesIn(pages);
        command.erase("Orvelle.exe");
        if (r.beside)
            t.Same(Names(FilesIn(current)), "{}", std::string(r.what) + ": files in the current folder");
        t.Same(Names(command), Names(dialog), std::string(r.what) + ": files of /write 2");
        for (const auto& f : dialog)
            if (command.count(f.first))
                t.Same(command.at(f.first), f.second, std::string(r.what) + ": " + f.first);
    }
}

// Profile 2 lacks most values: a save would add them.
void NoSettingWritten(CCheck& t)
{
    const std::string out = FreshWorkFolder("cl-reg");
    if (!MakeFavorites(t, kTree))
        return;
    PutSettingString("Orvelle", "Caption", "一番目");
    PutSettingString("Orvelle2", "Output", out + "\\link.html");
    PutSettingDword("Orvelle2", "Style", 1);
    PutSettingString("Orvelle3", "Output", out + "\\missing\\link.html");
    const std::string before = SettingsSnapshot();
    RunQuietly(t, L"/write 2", out, 0);
    t.That(FileExists(out + "\\link.html"), "/write 2 wrote no page");
    RunQuietly(t, L"/write 3", out, 1);
    t.Same(SettingsSnapshot(), before, "the settings after /write 2 and /write 3");
}

// Each kind of end: written, refused, unreadable source, bad argument, usage.
void NoWindowShown(CCheck& t)
{
    const std::string out = FreshWorkFolder("cl-quiet");
    if (!MakeFavorites(t, kTree))
        return;
    PutSettingString("Orvelle", "Output", out + "\\link.html");
    PutSettingString("Orvelle2", "Output", out + "\\missing\\link.html");
    PutSettingString("Orvelle3", "Source", "edge:" + out + "\\Bookmarks");
    const struct {
        const wchar_t* args;
        int exitCode;
    } rows[] = {{L"/write", 0}, {L"/write 2", 1}, {L"/write 3", 1}, {L"/write 9", 2}, {L"/?", 0}};
    for (const auto& r : rows)
        RunQuietly(t, r.args, out, r.exitCode);
}

// "YYYY-MM-DD hh:mm:ss" and nothing else.
void FailuresLogged(CCheck& t)
{
    // 表 ends in the byte 0x5C: the log's name must still be whole.
    const std::string logDir = FreshWorkFolder("cl-log"), log = logDir + "\\表ログ.txt";
    const std::string missing = logDir + "\\none\\Bookmarks";
    const struct {
        const char* what;
        std::vector<CFavEntry> tree;
        const char* name;
        std::string value;
        std::string text;
    } rows[] = {
        {"empty Favorites", {}, nullptr, "", kEmptyList},
        {"missing Bookmarks", kTree, "Source", "chromium:" + missing, std::string(kUnreadable) + "\n" + missing},
        {"missing output folder", kTree, "Output", g_config.workDir + "\\no-such\\link.html", kBadName},
        // Relative to the program's folder, which has no such folder; the
        // current folder has one.
        {"relative output", kTree, "Output", "no-such\\link.html", kBadName},
    };
    if (!t.That(MakeFolder(FromCp932(logDir + "\\no-such")), "cannot make the current folder's no-such"))
        return;
    for (const auto& r : rows) {
        ResetSettings();
        PutSettingString("Orvelle2", "Output", logDir + "\\link.html");
        if (r.name)
            PutSettingString("Orvelle2", r.name, r.value);
        if (!MakeFavorites(t, r.tree))
            return;
        RunLogged(t, L"/write 2", logDir, log, 2, 1, r.text, r.what);
    }
    t.That(!FileExists(logDir + "\\no-such\\link.html"), "a relative output was written into the current folder");
    // A relative log, as command lines take files, is in the current folder.
    RunQuietly(t, L"/write 2 /log 相対.log", logDir, 1);
    std::string relative;
    t.That(ReadBytes(logDir + "\\相対.log", &relative) && relative.size() > 19 &&
               relative.compare(19, 5, "\t2\t1\t") == 0,
           "the relative log in the current folder holds \"" + Visible(relative) + "\"");
}

void Arguments(CCheck& t)
{
    const std::string out = FreshWorkFolder("cl-args");
    if (!MakeFavorites(t, kTree))
        return;
    PutSettingString("Orvelle", "Output", out + "\\link.html");
    const std::string usage = RunQuietly(t, L"/?", out, 0).output;
    const std::string head = Utf8Bytes(FromCp932("使い方: Orvelle.exe"));
    t.That(usage.compare(0, head.size(), head) == 0,
           "/? told \"" + Visible(usage.substr(0, 60)) + "\", not the usage");
    const struct {
        const wchar_t* args;
        const char* named;
    } rows[] = {{L"/write 5", "5"}, {L"/writ", "/writ"}, {L"/write /write", "/write"},
                {L"/write 2 /log", "/log"}, {L"/? /write", "/write"}};
    for (const auto& r : rows) {
        CCommandRun run = RunQuietly(t, r.args, out, 2);
        const std::string named = std::string("引数が正しくありません: ") + r.named + "\r\n\r\n";
        t.Same(run.output, Utf8Bytes(FromCp932(named)) + usage, "output of \"" + Visible(std::wstring(r.args)) + "\"");
    }
    t.That(!FileExists(out + "\\link.html"), "a run with bad arguments wrote a page");
    RunQuietly(t, L"-WRITE", out, 0);
    t.That(FileExists(out + "\\link.html"), "-WRITE wrote no page");
    // Without arguments the dialog opens as before.
    COrvelle app;
    if (app.Start(t))
        app.ExitWithOk(t);
}

}  // namespace

void AddCommandLineScenarios(std::vector<CScenario>& list)
{
    list.push_back({"command line: /write 2 writes the pages of the dialog's Import and Write", SamePagesAsTheDialog});
    list.push_back({"command line: /write stores no setting", NoSettingWritten});
    list.push_back({"command line: /write shows no window", NoWindowShown});
    list.push_back({"command line: failures exit 1 and are logged", FailuresLogged});
    list.push_back({"command line: bad arguments exit 2, -WRITE, /?, then the dialog", Arguments});
}

}  // namespace drv
