// Import and Write with an exception thrown at each step in turn (out of
// memory, a platform failure): list box and list must still agree, the wait
// cursor must end, and Write must not end silently or report success.
#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <string>
#include <vector>

#include "cmdline/CommandLine.h"
#include "export/Export.h"
#include "links/Import.h"
#include "links/Scan.h"
#include "links/Shortcut.h"
#include "support/Fakes.h"
#include "support/FolderSources.h"
#include "support/MemoryFiles.h"
#include "support/MemorySink.h"
#include "support/TempDir.h"

namespace {

// Counts the steps of one command and throws at the chosen one.
struct CFault {
    int failAt = 0;  // 1-based; 0 never fails
    int steps = 0;
    bool fired = false;
    void Step() {
        if (++steps == failAt) {
            fired = true;
            throw std::bad_alloc();
        }
    }
};

// The fake host, failing in the calls that convert or copy texts.
class CFaultyHost : public CFakeHost {
public:
    CFaultyHost(CMainState& state, CFault& fault) : CFakeHost(state), m_fault(fault) {}
    void TakeControlValues() override {
        m_fault.Step();
        CFakeHost::TakeControlValues();
    }
    void ShowFieldValues() override {
        m_fault.Step();
        CFakeHost::ShowFieldValues();
    }
    void LinkListChanged() override {
        m_fault.Step();
        CFakeHost::LinkListChanged();
    }

private:
    CFault& m_fault;
};

class CFaultyListing : public IFolderListing {
public:
    CFaultyListing(std::unique_ptr<IFolderListing> inner, CFault& fault)
        : m_inner(std::move(inner)), m_fault(fault) {}
    bool Next(FolderEntry& entry) override {
        m_fault.Step();
        return m_inner->Next(entry);
    }

private:
    std::unique_ptr<IFolderListing> m_inner;
    CFault& m_fault;
};

class CFaultySource : public IFolderSource {
public:
    CFaultySource(IFolderSource& inner, CFault& fault) : m_inner(inner), m_fault(fault) {}
    bool FavoritesPath(std::string& path, HostName& realPath) override {
        m_fault.Step();
        return m_inner.FavoritesPath(path, realPath);
    }
    std::unique_ptr<IFolderListing> List(const std::string& pattern, const HostName& realFolder) override {
        m_fault.Step();
        std::unique_ptr<IFolderListing> listing = m_inner.List(pattern, realFolder);
        if (!listing) return nullptr;
        return std::unique_ptr<IFolderListing>(new CFaultyListing(std::move(listing), m_fault));
    }

private:
    IFolderSource& m_inner;
    CFault& m_fault;
};

class CFaultyFile : public IPageFile {
public:
    CFaultyFile(std::unique_ptr<IPageFile> inner, CFault& fault) : m_inner(std::move(inner)), m_fault(fault) {}
    bool Write(const char* data, size_t size) override {
        m_fault.Step();
        return m_inner->Write(data, size);
    }
    bool Close() override {
        m_fault.Step();
        return m_inner->Close();
    }

private:
    std::unique_ptr<IPageFile> m_inner;
    CFault& m_fault;
};

class CFaultySink : public IPageSink {
public:
    CFaultySink(IPageSink& inner, CFault& fault) : m_inner(inner), m_fault(fault) {}
    std::unique_ptr<IPageFile> Create(const std::string& path) override {
        m_fault.Step();
        std::unique_ptr<IPageFile> file = m_inner.Create(path);
        if (!file) return nullptr;
        return std::unique_ptr<IPageFile>(new CFaultyFile(std::move(file), m_fault));
    }

private:
    IPageSink& m_inner;
    CFault& m_fault;
};

// A small tree: two genres, the Favorites folder's own genre, a 0x5C second byte.
void PutTree() {
    CTempDir::PutShortcut("Fav\\News\\b.url", "http://b/");
    CTempDir::PutShortcut("Fav\\News\\a.url", "http://a/");
    CTempDir::PutShortcut("Fav\\表\\c.url", "http://c/");
    CTempDir::PutShortcut("Fav\\d.url", "http://d/");
    CTempDir::PutShortcut("Fav\\Tools\\e.url", "http://e/");
}

const char kFailedText[] = "ファイルへの出力に失敗しました。";

}  // namespace

TEST(CommandFailure, ImportRecoversAtEveryStep) {
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    PutTree();
    CPosixFolderSource tree("Fav\\");
    int failures = 0;
    for (int at = 1;; ++at) {
        CFault fault;
        fault.failAt = at;
        CMainState state;
        // An earlier list, so that a half-done Import differs from it.
        state.m_linkList.Append("C:\\old\\x.url");
        CFaultyHost host(state, fault);
        host.box = {"C:\\old\\x.url"};
        CFaultySource source(tree, fault);
        ImportFavorites(state, host, source);
        if (!fault.fired) {
            EXPECT_EQ(ListTexts(state.m_linkList).size(), 5u);
            break;
        }
        ++failures;
        EXPECT_EQ(host.box, ListTexts(state.m_linkList)) << "step " << at;
        EXPECT_EQ(host.waitDepth, 0) << "step " << at;
        EXPECT_TRUE(host.messages.empty()) << "step " << at;
    }
    // Control values, Favorites path, listings of four folders, refresh.
    EXPECT_GT(failures, 10);
}

TEST(CommandFailure, WriteRecoversAndTellsAtEveryStep) {
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    PutTree();
    for (int style : {STYLE_SINGLE, STYLE_FRAMES, STYLE_TODAY}) {
        int failures = 0;
        for (int at = 1;; ++at) {
            CMainState state;
            {
                CFakeHost importHost(state);
                CPosixFolderSource tree("Fav\\");
                ImportFavorites(state, importHost, tree);
            }
            CFault fault;
            fault.failAt = at;
            CFaultyHost host(state, fault);
            host.controls.outputPath = "out\\link.html";
            host.controls.stdGenre = "Std";
            state.m_style = style;
            CMemorySink pages;
            CFaultySink sink(pages, fault);
            RunWrite(state, host, sink, [&](const CLinkEntry& entry) {
                fault.Step();
                return ReadShortcutUrl(entry);
            });
            if (!fault.fired) {
                ASSERT_EQ(host.messages.size(), 1u);
                EXPECT_EQ(host.messages[0].first, "ファイルへの出力が完了しました。");
                break;
            }
            ++failures;
            EXPECT_EQ(host.box, ListTexts(state.m_linkList)) << style << " step " << at;
            EXPECT_EQ(state.m_linkList.Count(), 5u) << style << " step " << at;
            EXPECT_EQ(host.waitDepth, 0) << style << " step " << at;
            ASSERT_EQ(host.messages.size(), 1u) << style << " step " << at;
            EXPECT_EQ(host.messages[0].first, kFailedText) << style << " step " << at;
            EXPECT_EQ(host.messages[0].second, MsgKind::Refusal) << style << " step " << at;
            EXPECT_EQ(pages.openNow, 0) << style << " step " << at;
        }
        EXPECT_GT(failures, style == STYLE_FRAMES ? 30 : 15) << style;
    }
}

// /write on a source that fails at each listing and read in turn: the run
// exits 1, says why and writes no page, never the pages of a partial list.
TEST(CommandFailure, WriteCommandWritesNothingAfterAFault) {
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    PutTree();
    CPosixFolderSource tree("Fav\\");
    CMemoryBookmarkFiles files;
    files.files["/p/Bookmarks"] =
        R"({"roots":{"bookmark_bar":{"type":"folder","children":[{"type":"url","name":"b","url":"http://b/"}]},)"
        R"("other":{"type":"folder","children":[{"type":"url","name":"o","url":"http://o/"}]}}})";
    files.files["/h/book.html"] = "<DL><p><DT><H3>F</H3><DL><p><DT><A HREF=\"http://h/\">h</A></DL><p></DL>";
    const struct {
        const char* what;
        std::string source;
        std::string told;  // at a fault
        int fewestFaults;
    } rows[] = {
        {"Favorites folder", "", "取り込みを完了できませんでした。\nメモリが足りません。", 10},
        {"Bookmarks and AccountBookmarks", "chromium:/p/Bookmarks", "ブックマークを読み込めませんでした。\n/p/Bookmarks", 3},
        {"bookmark HTML file", "html:/h/book.html", "ブックマークを読み込めませんでした。\n/h/book.html", 1},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        int faults = 0;
        for (int at = 1;; ++at) {
            CFault fault;
            fault.failAt = at;
            CFaultySource folders(tree, fault);
            files.onAccess = [&fault] { fault.Step(); };
            CMemoryStore store;
            store.PutString("Orvelle", "Source", Sz(r.source));
            store.PutString("Orvelle", "Output", Sz("C:\\out\\link.html"));
            store.sections["Orvelle"]["Style"] = CMemoryStore::Value{false, Dword(STYLE_FRAMES)};
            CMemorySink pages;
            const CWriteOutcome outcome = RunWriteCommand(1, CCommandPlatform{store, folders, files, pages, ""});
            if (!fault.fired) {
                EXPECT_EQ(outcome.exitCode, kExitWritten);
                EXPECT_EQ(outcome.text, "ファイルへの出力が完了しました。\nC:\\out\\link.html");
                EXPECT_FALSE(pages.files.empty());
                break;
            }
            ++faults;
            EXPECT_EQ(outcome.exitCode, kExitNotWritten) << "fault " << at;
            EXPECT_EQ(outcome.text, r.told) << "fault " << at;
            EXPECT_TRUE(pages.files.empty()) << "fault " << at;
        }
        EXPECT_GE(faults, r.fewestFaults);
    }
}
