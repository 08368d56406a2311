// The link check as its callers run it: the addresses a list gives, and
// /check from the profile's source to the stored results and the report,
// with /write's fifth style marking what the results call dead.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "check/CheckRun.h"
#include "check/PosixCheckPlatform.h"
#include "cmdline/CommandLine.h"
#include "core/MainState.h"
#include "links/PosixBookmarkFiles.h"
#include "support/Fakes.h"
#include "support/FakeHttp.h"
#include "support/FolderSources.h"
#include "support/MemorySink.h"
#include "support/TempDir.h"

namespace {

TEST(CheckRun, AddressesToCheck) {
    CLinkList list;
    for (const char* address : {"http://a.example/", "ftp://f.example/", "HTTPS://b.example/x", "http://a.example/",
                                "mailto:x@example.com", "", "http://c.example/表 示\"q\"", "javascript:go()"}) {
        CLinkEntry entry("C:\\Favorites\\x.url");
        entry.SetAddress(address);
        list.Append(std::move(entry));
    }
    size_t notChecked = 0;
    const std::vector<std::string> want = {"http://a.example/", "HTTPS://b.example/x",
                                           "http://c.example/%E8%A1%A8%20%E7%A4%BA%22q%22"};
    EXPECT_EQ(AddressesToCheck(list, notChecked), want);
    EXPECT_EQ(notChecked, 4u);
}

// A profile whose Favorites hold |urls|, checked by /check with a scripted
// server; the results in "results/" of a temporary folder.
struct CCheckRig {
    CTempDir dir;
    CMemoryStore store;
    CMemorySink pages;
    CPosixBookmarkFiles files;
    CPosixCheckFiles checkFiles{"results"};
    CFakeClock clock;
    CPosixCheckThreads threads;
    CFakeHttp http;

    explicit CCheckRig(const std::vector<std::string>& urls) {
        for (size_t i = 0; i < urls.size(); ++i)
            CTempDir::PutShortcut("C:\\Favorites\\g\\" + std::to_string(i) + ".url", urls[i]);
        store.PutString("Orvelle2", "Output", Sz("C:\\out\\link.html"));
    }
    // A client for one check that answers from |http|.
    struct CForward : IHttpClient {
        explicit CForward(IHttpClient& to) : to(to) {}
        CHttpAnswer Send(const char* method, const std::string& url) override { return to.Send(method, url); }
        void Cancel() override { to.Cancel(); }
        IHttpClient& to;
    };
    CWriteOutcome Run(bool write = false) {
        CPosixFolderSource folders("C:\\Favorites\\");
        CCheckServices services{checkFiles, clock, threads,
                                [this] { return std::unique_ptr<IHttpClient>(new CForward(http)); }};
        const CCommandPlatform platform{store, folders, files, pages, "", &services};
        return write ? RunWriteCommand(2, platform) : RunCheckCommand(2, platform);
    }
};

TEST(CheckRun, CheckCommand) {
    const std::string ok = "http://ok.example/", gone = "http://gone.example/", moved = "http://old.example/";
    const struct {
        const char* name;
        std::vector<std::string> urls;
        const char* stored;  // the results file before, or null
        CHttpAnswer gone;    // what gone.example answers
        int exitCode;
        std::vector<std::string> textLines;  // the text's first lines
        std::string results;                 // the results file after; "<none>" for none
    } rows[] = {
        {"a check to its end", {ok, gone, moved, "ftp://x/"}, nullptr, Answer(404), kExitWritten,
         {"リンクの確認が完了しました。",
          "正常 1 件、移転 1 件、切れ 0 件、切れ? 1 件、拒否 0 件、エラー 0 件、確認しないリンク 1 件",
          "確認結果: results/linkcheck-2.tsv", "結果のページ: results/linkcheck-2.html"},
         u8"http://gone.example/\t切れ\t404\t\t2024-05-01 09:00:00\t2024-05-01 09:00:00\r\n"
         u8"http://ok.example/\t正常\t200\t\t\t2024-05-01 09:00:00\r\n"
         u8"http://old.example/\t移転\t200\thttp://new.example/\t\t2024-05-01 09:00:00\r\n"},
        {"a second 切れ a day later is confirmed and a vanished address dropped", {gone},
         u8"http://gone.example/\t切れ\t410\t\t2024-04-30 08:00:00\t2024-04-30 08:00:00\r\n"
         u8"http://away.example/\t正常\t200\t\t\t2024-04-30 08:00:00\r\n",
         Answer(404), kExitWritten,
         {"リンクの確認が完了しました。",
          "正常 0 件、移転 0 件、切れ 1 件、切れ? 0 件、拒否 0 件、エラー 0 件、確認しないリンク 0 件",
          "確認結果: results/linkcheck-2.tsv", "結果のページ: results/linkcheck-2.html"},
         u8"http://gone.example/\t切れ\t404\t\t2024-04-30 08:00:00\t2024-05-01 09:00:00\r\n"},
        {"a results file that cannot be read is set aside", {ok}, "not a results file", Answer(200), kExitWritten,
         {"リンクの確認が完了しました。",
          "前回の確認結果を読み込めなかったため、次の名前で残して最初から確認しました。",
          "results/linkcheck-2.tsv.bad",
          "正常 1 件、移転 0 件、切れ 0 件、切れ? 0 件、拒否 0 件、エラー 0 件、確認しないリンク 0 件",
          "確認結果: results/linkcheck-2.tsv", "結果のページ: results/linkcheck-2.html"},
         u8"http://ok.example/\t正常\t200\t\t\t2024-05-01 09:00:00\r\n"},
        {"nothing but other schemes", {"ftp://x/", "mailto:a@b"}, nullptr, Answer(200), kExitNotWritten,
         {"確認できるリンク（http、https のアドレス）がありません。"}, "<none>"},
        {"an empty list", {}, nullptr, Answer(200), kExitNotWritten, {"出力する内容がありません"}, "<none>"},
        {"offline: nothing recorded", {gone, gone + "a", gone + "b"},
         u8"http://gone.example/\t正常\t200\t\t\t2024-04-30 08:00:00\r\n", Failed(HttpFailure::NoSuchHost),
         kExitNotWritten,
         {"ネットワークに接続できないため、リンクの確認を中止しました。結果は記録していません。"},
         u8"http://gone.example/\t正常\t200\t\t\t2024-04-30 08:00:00\r\n"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        CCheckRig rig(r.urls);
        if (r.stored) CTempDir::Put("results/linkcheck-2.tsv", r.stored);
        rig.http.otherwise = r.gone;
        rig.http.script["HEAD " + ok] = {Answer(200)};
        rig.http.script["HEAD " + moved] = {Answer(301, "http://new.example/")};
        rig.http.script["HEAD http://new.example/"] = {Answer(200)};
        const CWriteOutcome outcome = rig.Run();
        EXPECT_EQ(outcome.exitCode, r.exitCode);
        std::string want;
        for (const auto& line : r.textLines) want += (want.empty() ? "" : "\n") + line;
        EXPECT_EQ(outcome.text, want);
        EXPECT_EQ(CTempDir::Get("results/linkcheck-2.tsv"), r.results);
        EXPECT_EQ(CTempDir::Exists("results/linkcheck-2.html"), r.exitCode == kExitWritten);
    }
}

TEST(CheckRun, CheckCommandFailures) {
    // A results folder that cannot be made: nothing is checked.
    CCheckRig rig({"http://ok.example/"});
    CTempDir::Put("results", "a file, not a folder");
    CWriteOutcome outcome = rig.Run();
    EXPECT_EQ(outcome.exitCode, kExitNotWritten);
    EXPECT_EQ(outcome.text.substr(0, outcome.text.find('\n')), "リンクの確認結果を保存できませんでした。");
    EXPECT_TRUE(rig.http.log.empty());
    // An error inside the check: its text, and nothing stored.
    CCheckRig failing({"http://ok.example/"});
    failing.http.throwsFor = "http://ok.example/";
    outcome = failing.Run();
    EXPECT_EQ(outcome.exitCode, kExitNotWritten);
    EXPECT_EQ(outcome.text, "リンクの確認を完了できませんでした。\nメモリが足りません。");
    EXPECT_FALSE(CTempDir::Exists("results/linkcheck-2.tsv"));
}

// /write's fifth style marks what the stored results call dead; without
// results, or in another style, the page is what it was.
TEST(CheckRun, WriteCommandMarksDeadLinks) {
    const char kDead[] = u8"http://gone.example/\t切れ\t404\t\t2024-04-30 08:00:00\t2024-05-01 09:00:00\r\n";
    const struct {
        int32_t style;
        const char* stored;
        bool marked;
    } rows[] = {
        {STYLE_TODAY, kDead, true},
        {STYLE_TODAY, nullptr, false},
        {STYLE_ANCHORS, kDead, false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.style);
        CCheckRig rig({"http://gone.example/"});
        rig.store.sections["Orvelle2"]["Style"] = CMemoryStore::Value{false, Dword(static_cast<uint32_t>(r.style))};
        if (r.stored) CTempDir::Put("results/linkcheck-2.tsv", r.stored);
        ASSERT_EQ(rig.Run(true).exitCode, kExitWritten);
        const std::string page = rig.pages.Content("C:\\out\\link.html");
        ASSERT_NE(page.find("gone.example"), std::string::npos);
        EXPECT_EQ(page.find(u8"リンク切れ") != std::string::npos, r.marked);
    }
}

}  // namespace
