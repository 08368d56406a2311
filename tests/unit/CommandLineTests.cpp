#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cmdline/CommandLine.h"
#include "export/Export.h"
#include "links/Import.h"
#include "links/PosixBookmarkFiles.h"
#include "support/Fakes.h"
#include "support/FolderSources.h"
#include "support/MemorySink.h"
#include "support/TempDir.h"

namespace {

// /write on the host's files, the program in |programFolder|.
CWriteOutcome WriteCommand(int profile, ISettingsStore& store, IFolderSource& folders, IPageSink& pages,
                           const std::string& programFolder = "") {
    CPosixBookmarkFiles files;
    return RunWriteCommand(profile, CCommandPlatform{store, folders, files, pages, programFolder});
}

TEST(CommandLine, ArgumentRules) {
    const CCommandLine::Kind D = CCommandLine::Dialog, W = CCommandLine::Write, U = CCommandLine::Usage,
                             E = CCommandLine::Error, C = CCommandLine::Check;
    const struct {
        std::vector<std::string> args;
        CCommandLine::Kind kind;
        int profile;
        std::string log;
        std::string bad;  // the argument named for Error
    } rows[] = {
        {{}, D, 1, "", ""},
        {{"/write"}, W, 1, "", ""},
        {{"/write", "2"}, W, 2, "", ""},
        {{"-WRITE", "4"}, W, 4, "", ""},
        {{"/Write", "1", "/log", "C:\\logs\\run.log"}, W, 1, "C:\\logs\\run.log", ""},
        {{"/log", "x.log", "/write", "3"}, W, 3, "x.log", ""},
        {{"/write", "/LOG", "-x.log"}, W, 1, "-x.log", ""},  // the file is whatever follows
        {{"/?"}, U, 1, "", ""},
        {{"-?"}, U, 1, "", ""},
        {{"/write", "5"}, E, 1, "", "5"},
        {{"/write", "0"}, E, 1, "", "0"},
        {{"/write", "02"}, E, 1, "", "02"},
        {{"/write", "2", "3"}, E, 1, "", "3"},
        {{"/writ"}, E, 1, "", "/writ"},
        {{"/writes"}, E, 1, "", "/writes"},
        {{"write"}, E, 1, "", "write"},
        {{"/"}, E, 1, "", "/"},
        {{""}, E, 1, "", ""},
        {{"/write", "/write"}, E, 1, "", "/write"},  // a second command
        {{"/write", "/?"}, E, 1, "", "/?"},
        {{"/?", "/write"}, E, 1, "", "/write"},
        {{"/write", "/log"}, E, 1, "", "/log"},  // no file
        {{"/write", "/log", "a", "/log", "b"}, E, 1, "", "/log"},
        {{"/log", "a.log"}, E, 1, "", "/log"},  // a log without a run
        {{"/write", "２"}, E, 1, "", "２"},     // full-width digit
        {{"/check"}, C, 1, "", ""},
        {{"-CHECK", "3", "/log", "c.log"}, C, 3, "c.log", ""},
        {{"/check", "5"}, E, 1, "", "5"},
        {{"/check", "/write"}, E, 1, "", "/write"},
        {{"/write", "2", "/check"}, E, 1, "", "/check"},
        {{"/checks"}, E, 1, "", "/checks"},
    };
    for (const auto& r : rows) {
        std::string shown;
        for (const auto& a : r.args) shown += "[" + a + "]";
        SCOPED_TRACE(shown);
        const CCommandLine line = ParseCommandLine(r.args);
        EXPECT_EQ(line.kind, r.kind);
        if (r.kind == E) {
            EXPECT_EQ(line.badArgument, r.bad);
        } else {
            EXPECT_EQ(line.profile, r.profile);
            EXPECT_EQ(line.logFile, r.log);
        }
    }
}

TEST(CommandLine, LogLineIsUtf8WithCrLf) {
    const CLocalTime t = {2026, 1, 9, 7, 5, 3};
    // "出力する内容がありません" in UTF-8.
    EXPECT_EQ(LogLine(t, 2, 1, "出力する内容がありません"),
              "2026-01-09 07:05:03\t2\t1\t"
              "\xE5\x87\xBA\xE5\x8A\x9B\xE3\x81\x99\xE3\x82\x8B\xE5\x86\x85\xE5\xAE\xB9\xE3\x81\x8C"
              "\xE3\x81\x82\xE3\x82\x8A\xE3\x81\xBE\xE3\x81\x9B\xE3\x82\x93\r\n");
    // Line breaks become spaces; a reference to a character without a code
    // page 932 form is that character.
    EXPECT_EQ(LogLine(t, 4, 0, "a\nC:\\Caf&#233;\r\nb\rc"), "2026-01-09 07:05:03\t4\t0\ta C:\\Caf\xC3\xA9 b c\r\n");
}

// The dialog's Import and Write, and the command on the same settings, give
// the same pages and the same message, and the command writes no setting.
TEST(CommandLine, WriteCommandIsImportAndWriteOfTheProfile) {
    CTempDir dir;
    const std::string fav = "C:\\Favorites\\";
    CTempDir::PutShortcut(fav + "News\\a.url", "http://a.example/");
    CTempDir::PutShortcut(fav + "b.url", "http://b.example/");
    CTempDir::PutShortcut(fav + "表\\c.url", "http://c.example/");
    CPosixFolderSource folders(fav);

    for (int style : {STYLE_SINGLE, STYLE_INDEX, STYLE_FRAMES, STYLE_ANCHORS}) {
        SCOPED_TRACE(style);
        CMemoryStore store;
        store.PutString("Orvelle2", "Style", "");
        store.sections["Orvelle2"]["Style"] = CMemoryStore::Value{false, Dword(static_cast<uint32_t>(style))};
        store.PutString("Orvelle2", "Output", Sz("C:\\out\\link.html"));
        store.PutString("Orvelle2", "Disabled", Sz("News"));

        CMemorySink byCommand;
        const CWriteOutcome outcome = WriteCommand(2, store, folders, byCommand);
        EXPECT_EQ(outcome.exitCode, kExitWritten);
        EXPECT_EQ(outcome.text, "ファイルへの出力が完了しました。\nC:\\out\\link.html");
        EXPECT_TRUE(store.writeLog.empty());

        CMainState state;
        state.m_profileSection = "Orvelle2";
        LoadProfile(store, "Orvelle2", state, state.m_javaText);
        CFakeHost host(state);
        host.ShowFieldValues();
        CMemorySink byDialog;
        CPosixBookmarkFiles files;
        RunImport(state, host, folders, files);
        RunWrite(state, host, byDialog);
        ASSERT_EQ(byCommand.files.size(), byDialog.files.size());
        for (size_t i = 0; i < byDialog.files.size(); ++i) {
            EXPECT_EQ(byCommand.files[i]->path, byDialog.files[i]->path);
            EXPECT_EQ(byCommand.files[i]->bytes, byDialog.files[i]->bytes);
        }
        // The exclusion text was applied: News is on no page.
        for (const auto& f : byCommand.files) EXPECT_EQ(f->bytes.find("a.example"), std::string::npos);
    }
}

TEST(CommandLine, WriteCommandFailures) {
    CTempDir dir;
    const std::string fav = "C:\\Favorites\\";
    CTempDir::PutShortcut(fav + "x\\a.url", "http://a.example/");
    CPosixFolderSource one(fav);
    const struct {
        const char* name;
        std::string source;
        std::string output;
        int failOpenAt;
        std::string text;
        std::string programFolder = "";
        std::string opened = "";  // the path the first page was asked for, where it matters
    } rows[] = {
        {"missing bookmark file", "chromium:none/Bookmarks", "link.html", -1,
         "ブックマークを読み込めませんでした。\nnone/Bookmarks"},
        {"output cannot be created", "", "C:\\nowhere\\link.html", 0, "フォルダ名かファイル名が不正です。確認してください。"},
        {"a genre page cannot be created", "", "C:\\out\\link.html", 2, "フォルダ名かファイル名が不正です。確認してください。"},
        // A scheduled task starts in the system folder: a relative output is
        // looked for beside the program, not there.
        {"relative output beside the program", "", "no-such\\link.html", 0,
         "フォルダ名かファイル名が不正です。確認してください。", "C:\\Tools\\", "C:\\Tools\\no-such\\link.html"},
        {"relative output in a folder with a 0x5C byte", "", "link.html", 0,
         "フォルダ名かファイル名が不正です。確認してください。", "C:\\ソフト\\", "C:\\ソフト\\link.html"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        CMemoryStore store;
        store.PutString("Orvelle", "Source", Sz(r.source));
        store.PutString("Orvelle", "Output", Sz(r.output));
        store.sections["Orvelle"]["Style"] = CMemoryStore::Value{false, Dword(STYLE_FRAMES)};
        CMemorySink sink;
        sink.failOpenAt = r.failOpenAt;
        const CWriteOutcome outcome = WriteCommand(1, store, one, sink, r.programFolder);
        EXPECT_EQ(outcome.exitCode, kExitNotWritten);
        EXPECT_EQ(outcome.text, r.text);
        if (!r.opened.empty()) {
            EXPECT_EQ(sink.events.at(0), "fail:" + r.opened);
        }
    }
    // Nothing to write: an empty Favorites folder in profile 3.
    CMemoryStore store;
    CMemorySink sink;
    CMemoryFolderSource none;
    none.hasFavorites = false;
    const CWriteOutcome outcome = WriteCommand(3, store, none, sink);
    EXPECT_EQ(outcome.exitCode, kExitNotWritten);
    EXPECT_EQ(outcome.text, "出力する内容がありません");
    EXPECT_TRUE(sink.files.empty());
}

// Where a scheduled run's relative output lands: beside the program.
TEST(CommandLine, OutputFromProgramFolder) {
    const struct {
        const char* output;
        const char* program;
        const char* taken;
    } rows[] = {
        {"link.html", "C:\\Tools\\", "C:\\Tools\\link.html"},
        {"out\\link.html", "C:\\Tools\\", "C:\\Tools\\out\\link.html"},
        {"..\\pages\\link.html", "C:\\Tools\\", "C:\\Tools\\..\\pages\\link.html"},
        {"表\\link.html", "C:\\ソ\\", "C:\\ソ\\表\\link.html"},
        {"C:\\out\\link.html", "C:\\Tools\\", "C:\\out\\link.html"},
        {"d:/out/link.html", "C:\\Tools\\", "d:/out/link.html"},
        {"\\\\server\\share\\link.html", "C:\\Tools\\", "\\\\server\\share\\link.html"},
        {"\\\\?\\C:\\link.html", "C:\\Tools\\", "\\\\?\\C:\\link.html"},
        {"\\link.html", "C:\\Tools\\", "C:\\link.html"},
        {"/link.html", "D:\\Tools\\", "D:/link.html"},
        {"\\link.html", "\\\\server\\share\\Tools\\", "\\\\server\\share\\link.html"},
        {"\\link.html", "\\\\server\\表\\Tools\\", "\\\\server\\表\\link.html"},
        {"c:link.html", "C:\\Tools\\", "C:\\Tools\\link.html"},
        {"D:link.html", "C:\\Tools\\", "D:link.html"},  // another drive's current folder is its own
        {"", "C:\\Tools\\", ""},
        {"link.html", "", "link.html"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.output) + " from " + r.program);
        EXPECT_EQ(OutputFromProgramFolder(r.output, r.program), r.taken);
    }
}

}  // namespace
