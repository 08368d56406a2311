// Output files that cannot be written: read-only files, page names taken by
// folders, pages on a full disk. The empty path, a missing folder, a folder
// named as the output, a genre page name taken by a folder and a full disk
// under the main page are ExportWrite's (RefusalsWriteNothing,
// GenrePageNameTakenByAFolder, FullDiskReportsFailure); injected failures of
// every open, write and close are ExportWrite.InjectedFailuresStopTheExport.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/TempDir.h"
#include "support/Fakes.h"
#include "export/Export.h"

namespace {

const std::string kInvalid = "フォルダ名かファイル名が不正です。確認してください。";
const std::string kFailed = "ファイルへの出力に失敗しました。";
const std::string kDone = "ファイルへの出力が完了しました。";

// A file that refuses to be opened for writing even for root: a read-only
// attribute of the kernel's sysfs.
const char kSysReadOnly[] = "/sys/devices/system/cpu/online";

// Three shortcuts in three genres, written as real files.
void FillThreeGenres(CMainState& state) {
    const char* paths[] = {"Favorites\\A\\a.url", "Favorites\\B\\b.url", "Favorites\\C\\c.url"};
    for (const char* p : paths) {
        CTempDir::PutShortcut(p, "http://x/");
        state.m_linkList.Append(p);
    }
}

struct COutcome {
    std::vector<std::string> events;  // host events without the list redraws
    std::vector<std::pair<std::string, MsgKind>> messages;
};

COutcome Write(int style, const std::string& outputPath) {
    CMainState state;
    FillThreeGenres(state);
    state.m_style = style;
    CFakeHost host(state);
    host.controls.outputPath = outputPath;
    CStdioPageSink sink;
    RunWrite(state, host, sink);
    COutcome out;
    for (const auto& e : host.events)
        if (e != "list") out.events.push_back(e);
    out.messages = host.messages;
    return out;
}

const std::vector<std::string> kRefused = {"take", "show", "msg:" + kInvalid, "take"};
std::vector<std::string> Stopped(const std::string& message) {
    return {"take", "show", "wait", "take", "endwait", "msg:" + message};
}

}  // namespace

// A read-only output file is refused at the test open with the invalid-name
// message and keeps its bytes. Without root a file of mode 0444 shows it;
// root writes such files anyway, so there a read-only sysfs file stands in.
TEST(RobustnessOutput, ReadOnlyOutputFileIsRefused) {
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    std::string path = "ro.html";
    if (geteuid() == 0) {
        if (!std::filesystem::exists(kSysReadOnly)) GTEST_SKIP() << "root without sysfs: no read-only file";
        path = kSysReadOnly;
    } else {
        CTempDir::Put(path, "keep me");
        ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    }
    const std::string before = CTempDir::Get(path);
    for (int style : {STYLE_SINGLE, STYLE_INDEX, STYLE_FRAMES, STYLE_ANCHORS}) {
        COutcome out = Write(style, path);
        EXPECT_EQ(out.events, kRefused) << style;
        ASSERT_EQ(out.messages.size(), 1u);
        EXPECT_EQ(out.messages[0].second, MsgKind::Refusal);
        EXPECT_EQ(CTempDir::Get(path), before) << style;
        EXPECT_FALSE(CTempDir::Exists("linkmenu.html")) << style;
        EXPECT_FALSE(CTempDir::Exists("00000001.html")) << style;
    }
}

// Pages after the main output file that cannot be opened or written stop the
// export there: later pages are not written, and the message says what went
// wrong instead of completion.
TEST(RobustnessOutput, LaterPagesThatCannotBeWritten) {
    const bool full = std::filesystem::exists("/dev/full");
    const bool sys = std::filesystem::exists(kSysReadOnly);
    const struct {
        const char* name;
        int style;
        const char* page;    // the page name made unusable
        const char* target;  // a folder there (null), or a link to this
        std::string message;
        std::vector<std::string> written;  // pages that must exist after
        std::vector<std::string> absent;   // pages that must not
        bool needsFull, needsSys;
    } rows[] = {
        {"menu page taken by a folder", STYLE_FRAMES, "linkmenu.html", nullptr, kInvalid, {"out.html"},
         {"00000001.html"}, false, false},
        {"menu page on a full disk", STYLE_FRAMES, "linkmenu.html", "/dev/full", kFailed, {"out.html"},
         {"00000001.html"}, true, false},
        {"second genre page on a full disk", STYLE_INDEX, "00000002.html", "/dev/full", kFailed,
         {"out.html", "00000001.html"}, {"00000003.html"}, true, false},
        {"first genre page on a full disk", STYLE_FRAMES, "00000001.html", "/dev/full", kFailed,
         {"out.html", "linkmenu.html"}, {"00000002.html"}, true, false},
        {"genre page read-only", STYLE_INDEX, "00000003.html", kSysReadOnly, kInvalid,
         {"out.html", "00000001.html", "00000002.html"}, {}, false, true},
        {"genre page into a missing folder", STYLE_FRAMES, "00000002.html", "missing/x.html", kInvalid,
         {"out.html", "linkmenu.html", "00000001.html"}, {"00000003.html"}, false, false},
    };
    for (const auto& r : rows) {
        if ((r.needsFull && !full) || (r.needsSys && !sys)) continue;
        CTempDir dir;
        ASSERT_TRUE(dir.ok());
        if (r.target)
            ASSERT_EQ(symlink(r.target, r.page), 0) << r.name;
        else
            CTempDir::MakeFolder(r.page);
        COutcome out = Write(r.style, "out.html");
        EXPECT_EQ(out.events, Stopped(r.message)) << r.name;
        ASSERT_EQ(out.messages.size(), 1u) << r.name;
        EXPECT_EQ(out.messages[0].second, MsgKind::Refusal) << r.name;
        for (const auto& p : r.written) {
            const std::string bytes = CTempDir::Get(p);
            EXPECT_TRUE(bytes != "<none>" && !bytes.empty()) << r.name << " " << p;
        }
        for (const auto& p : r.absent) EXPECT_FALSE(CTempDir::Exists(p)) << r.name << " " << p;
    }
}

// The main output file of STYLE_INDEX on a full disk: the empty first
// version closes fine, the index page over it fails, and nothing after it
// is written.
TEST(RobustnessOutput, IndexPageOnAFullDisk) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no full device";
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    COutcome out = Write(STYLE_INDEX, "/dev/full");
    EXPECT_EQ(out.events, Stopped(kFailed));
    EXPECT_FALSE(CTempDir::Exists("00000001.html"));
    EXPECT_FALSE(CTempDir::Exists("/dev/00000001.html"));
}
