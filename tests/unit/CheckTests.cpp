// The link check: what answers mean, the run of failures, the results file,
// and many addresses on real threads over a fake HTTP layer.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "check/CheckResults.h"
#include "check/LinkCheck.h"
#include "check/PosixCheckPlatform.h"
#include "support/FakeHttp.h"
#include "support/TempDir.h"

namespace {

const LinkState kOk = LinkState::Ok, kMoved = LinkState::Moved, kGone = LinkState::Gone,
                kRefused = LinkState::Refused, kError = LinkState::Error;

// One address, http://a/x, against a script: "H y" stands for a HEAD of
// http://a/y, "G y" for its GET, "H //b/y" for a HEAD of http://b/y.
struct COneRow {
    const char* what;
    std::vector<std::pair<std::string, std::vector<CHttpAnswer>>> script;
    LinkState state;
    int status;
    std::string finalAddress;
    size_t requests;
    std::vector<int> pauses = {};
    bool noNetwork = false;
};

CHttpAnswer A(int status, const char* location = "") { return Answer(status, location); }
CHttpAnswer F(HttpFailure failure) { return Failed(failure); }
const HttpFailure kReset = HttpFailure::Reset, kTimeout = HttpFailure::Timeout, kNoHost = HttpFailure::NoSuchHost;

// |n| redirects 302 from x through 1 .. n, then 200.
std::vector<std::pair<std::string, std::vector<CHttpAnswer>>> Hops(int n) {
    std::vector<std::pair<std::string, std::vector<CHttpAnswer>>> script;
    for (int i = 0; i <= n; ++i) {
        const std::string next = "/" + std::to_string(i + 1);
        script.push_back({"H " + (i ? std::to_string(i) : "x"), {i < n ? A(302, next.c_str()) : A(200)}});
    }
    return script;
}

void CheckRows(const std::vector<COneRow>& rows) {
    for (const COneRow& r : rows) {
        SCOPED_TRACE(r.what);
        CFakeHttp http;
        http.otherwise = Answer(599);  // a request the row did not expect
        for (const auto& s : r.script) {
            const std::string rest = s.first.substr(2);
            const std::string method = s.first[0] == 'H' ? "HEAD " : "GET ";
            http.script[method + (rest[0] == '/' ? "http:" : "http://a/") + rest] = s.second;
        }
        CFakeClock clock;
        std::atomic<bool> stop{false};
        const CLinkFinding f = CheckOne(http, clock, "http://a/x", stop);
        EXPECT_EQ(f.state, r.state);
        EXPECT_EQ(f.status, r.status);
        EXPECT_EQ(f.finalAddress, r.finalAddress);
        EXPECT_EQ(http.log.size(), r.requests);
        EXPECT_EQ(clock.pauses, r.pauses);
        EXPECT_EQ(f.noNetwork, r.noNetwork);
        EXPECT_FALSE(f.cancelled);
    }
}

CLocalTime AtHour(int hour) { return CLocalTime{2024, 1, 1 + hour / 24, hour % 24, 0, 0}; }

}  // namespace

TEST(CheckStates, StatusesAndFallbacks) {
    CheckRows({
        {"200", {{"H x", {A(200)}}}, kOk, 200, "", 1},
        {"404", {{"H x", {A(404)}}}, kGone, 404, "", 1},
        {"410", {{"H x", {A(410)}}}, kGone, 410, "", 1},
        {"401 asks no GET", {{"H x", {A(401)}}}, kRefused, 401, "", 1},
        {"418", {{"H x", {A(418)}}}, kError, 418, "", 1},
        {"304 is no redirect", {{"H x", {A(304, "/y")}}}, kError, 304, "", 1},
        {"no such host", {{"H x", {F(kNoHost)}}}, kGone, 0, "", 1, {}, true},
        {"refused", {{"H x", {F(HttpFailure::Refused)}}}, kError, 0, "", 1, {}, true},
        {"TLS", {{"H x", {F(HttpFailure::Tls)}}}, kError, 0, "", 1},
        {"other", {{"H x", {F(HttpFailure::Other)}}}, kError, 0, "", 1},
        {"400, GET 200", {{"H x", {A(400)}}, {"G x", {A(200)}}}, kOk, 200, "", 2},
        {"403, GET 200", {{"H x", {A(403)}}, {"G x", {A(200)}}}, kOk, 200, "", 2},
        {"403, GET 403", {{"H x", {A(403)}}, {"G x", {A(403)}}}, kRefused, 403, "", 2},
        {"405, GET 200", {{"H x", {A(405)}}, {"G x", {A(200)}}}, kOk, 200, "", 2},
        {"405, GET 405", {{"H x", {A(405)}}, {"G x", {A(405)}}}, kError, 405, "", 2},
        {"429, GET 429", {{"H x", {A(429)}}, {"G x", {A(429)}}}, kRefused, 429, "", 2},
        {"501, GET 404", {{"H x", {A(501)}}, {"G x", {A(404)}}}, kGone, 404, "", 2},
        {"503, GET 200", {{"H x", {A(503)}}, {"G x", {A(200)}}}, kOk, 200, "", 2},
        {"reset, GET 200", {{"H x", {F(kReset)}}, {"G x", {A(200)}}}, kOk, 200, "", 2},
        {"reset, GET reset", {{"H x", {F(kReset)}}, {"G x", {F(kReset)}}}, kError, 0, "", 2},
        {"reset, GET no such host", {{"H x", {F(kReset)}}, {"G x", {F(kNoHost)}}}, kGone, 0, "", 2},
    });
}

TEST(CheckStates, Redirects) {
    CheckRows({
        {"301 to a 200", {{"H x", {A(301, "http://b/y")}}, {"H //b/y", {A(200)}}}, kMoved, 200, "http://b/y", 2},
        {"308, relative", {{"H x", {A(308, "y/../z")}}, {"H z", {A(200)}}}, kMoved, 200, "http://a/z", 2},
        {"301 to a 404", {{"H x", {A(301, "/y")}}, {"H y", {A(404)}}}, kGone, 404, "", 2},
        {"302 chain", {{"H x", {A(302, "/y")}}, {"H y", {A(303, "//b/z")}}, {"H //b/z", {A(307, "?q")}},
                       {"H //b/z?q", {A(200)}}}, kOk, 200, "", 4},
        {"301, 301, 302", {{"H x", {A(301, "/y")}}, {"H y", {A(301, "/z")}}, {"H z", {A(302, "/in")}},
                           {"H in", {A(200)}}}, kMoved, 200, "http://a/z", 4},
        {"302, 301", {{"H x", {A(302, "/y")}}, {"H y", {A(301, "/z")}}, {"H z", {A(200)}}}, kOk, 200, "", 3},
        {"301 back to itself once", {{"H x", {A(301, "http://a/x"), A(200)}}}, kOk, 200, "", 2},
        {"loop", {{"H x", {A(302, "/y")}}, {"H y", {A(301, "/x")}}}, kError, 302, "", 3},
        {"no Location", {{"H x", {A(301)}}}, kError, 301, "", 1},
        {"to ftp", {{"H x", {A(302, "ftp://a/x")}}}, kError, 302, "", 1},
        {"HEAD refused after a 301: the GET's chain", {{"H x", {A(301, "/y")}}, {"H y", {A(405)}},
                                                      {"G x", {A(301, "/y")}}, {"G y", {A(200)}}},
         kMoved, 200, "http://a/y", 4},
        {"10 hops", Hops(10), kOk, 200, "", 11},
        {"11 hops", Hops(11), kError, 302, "", 11},
    });
}

TEST(CheckStates, Retry) {
    CheckRows({
        {"timeout, then 200", {{"H x", {F(kTimeout), A(200)}}}, kOk, 200, "", 2, {2000}},
        {"timeout twice", {{"H x", {F(kTimeout)}}}, kError, 0, "", 2, {2000}, true},
        {"500 twice", {{"H x", {A(500)}}, {"G x", {A(500)}}}, kError, 500, "", 4, {2000}},
        {"503, then 200", {{"H x", {A(503), A(200)}}, {"G x", {A(503)}}}, kOk, 200, "", 3, {2000}},
        {"a timeout after a 301", {{"H x", {A(301, "/y")}}, {"H y", {F(kTimeout), A(200)}}}, kMoved, 200, "http://a/y",
         4, {2000}},
        {"404 is not retried", {{"H x", {A(404)}}}, kGone, 404, "", 1},
        {"timeout, then no such host", {{"H x", {F(kTimeout), F(kNoHost)}}}, kGone, 0, "", 2, {2000}, true},
    });
}

TEST(CheckStates, Addresses) {
    const struct {
        std::string address;
        bool checkable;
        std::string host;
    } rows[] = {
        {"http://Example.COM/a", true, "example.com"}, {"HTTPS://user:pw@Host:8080/", true, "host:8080"},
        {"https://h?q", true, "h"}, {"http://", false, ""}, {"http://:80/", false, ":80"},
        {"http://h/a b", false, "h"}, {"ftp://h/", false, ""}, {"mailto:a@b", false, ""},
        {"javascript:void(0)", false, ""}, {"", false, ""},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(IsCheckable(r.address), r.checkable) << r.address;
        EXPECT_EQ(HostOf(r.address), r.host) << r.address;
    }
    const struct {
        std::string base, location, resolved;
    } locations[] = {
        {"http://a/b/c?q#f", "https://x/y", "https://x/y"}, {"http://a/b/c?q#f", "//x/./y", "http://x/y"},
        {"http://a/b/c?q#f", "/y/../z", "http://a/z"}, {"http://a/b/c?q#f", "d", "http://a/b/d"},
        {"http://a/b/c?q#f", "../../d", "http://a/d"}, {"http://a/b/c?q#f", "?r", "http://a/b/c?r"},
        {"http://a/b/c?q#f", "#g", "http://a/b/c?q#g"}, {"http://a", "d", "http://a/d"},
        {"http://a/b", " /\xE6\x97\xA5 x ", "http://a/%E6%97%A5%20x"},
    };
    for (const auto& l : locations) EXPECT_EQ(ResolveLocation(l.base, l.location), l.resolved) << l.location;
}

// The words in UTF-8 and in code page 932, byte by byte.
TEST(CheckStates, Words) {
    const struct {
        LinkState state;
        std::string utf8, text;
    } rows[] = {
        {kOk, "\xE6\xAD\xA3\xE5\xB8\xB8", "\x90\xB3\x8F\xED"},
        {kMoved, "\xE7\xA7\xBB\xE8\xBB\xA2", "\x88\xDA\x93\x5D"},
        {kGone, "\xE5\x88\x87\xE3\x82\x8C", "\x90\xD8\x82\xEA"},
        {kRefused, "\xE6\x8B\x92\xE5\x90\xA6", "\x8B\x91\x94\xDB"},
        {kError, "\xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC", "\x83\x47\x83\x89\x81\x5B"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(StateWordUtf8(r.state), r.utf8);
        EXPECT_EQ(StateWordText(r.state), r.text);
    }
    EXPECT_EQ(std::string(kUnconfirmedUtf8), "\xE5\x88\x87\xE3\x82\x8C?");
    EXPECT_EQ(std::string(kUnconfirmedText), "\x90\xD8\x82\xEA?");
}

TEST(CheckStates, CancelledIsNoFinding) {
    CFakeHttp http;
    CFakeClock clock;
    std::atomic<bool> stop{true};
    EXPECT_TRUE(CheckOne(http, clock, "http://a/x", stop).cancelled);
    EXPECT_TRUE(http.log.empty());
    stop = false;
    http.Cancel();
    EXPECT_TRUE(CheckOne(http, clock, "http://a/x", stop).cancelled);
}

// Each row: the states of checks at the hours given, one after the other.
TEST(CheckRule, RunOfFailures) {
    const struct {
        const char* what;
        std::vector<std::pair<LinkState, int>> checks;
        bool dead, unconfirmed, hasFirstFailure;
        int firstHour;
    } rows[] = {
        {"one 切れ", {{kGone, 0}}, false, true, true, 0},
        {"19 hours apart", {{kGone, 0}, {kGone, 19}}, false, true, true, 0},
        {"20 hours apart", {{kGone, 0}, {kGone, 20}}, true, false, true, 0},
        {"three checks", {{kGone, 0}, {kGone, 10}, {kGone, 21}}, true, false, true, 0},
        {"エラー in between starts over", {{kGone, 0}, {kError, 10}, {kGone, 25}}, false, true, true, 25},
        {"and is confirmed later", {{kGone, 0}, {kError, 10}, {kGone, 25}, {kGone, 45}}, true, false, true, 25},
        {"正常 clears", {{kGone, 0}, {kGone, 30}, {kOk, 31}}, false, false, false, 0},
        {"移転 clears", {{kGone, 0}, {kMoved, 31}}, false, false, false, 0},
        {"正常 then 切れ", {{kOk, 0}, {kGone, 5}, {kGone, 24}}, false, true, true, 5},
        {"エラー keeps its first", {{kError, 0}, {kError, 30}}, false, false, true, 0},
        {"拒否 then エラー", {{kRefused, 0}, {kError, 5}}, false, false, true, 5},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        CLinkRecord record;
        const CLinkRecord* previous = nullptr;
        for (const auto& c : r.checks) {
            record = NextRecord(previous, "http://a/", c.first, 404, "http://b/", AtHour(c.second));
            previous = &record;
        }
        EXPECT_EQ(IsConfirmedDead(record), r.dead);
        EXPECT_EQ(IsUnconfirmedGone(record), r.unconfirmed);
        EXPECT_EQ(record.hasFirstFailure, r.hasFirstFailure);
        if (r.hasFirstFailure) {
            EXPECT_EQ(SecondsOf(record.firstFailure), SecondsOf(AtHour(r.firstHour)));
        }
        EXPECT_EQ(record.finalAddress, record.state == kMoved ? "http://b/" : "");
    }
}

TEST(CheckRule, Times) {
    const struct {
        std::string text;
        bool ok;
        int64_t seconds;
    } rows[] = {
        {"2000-01-01 00:00:00", true, 0}, {"1999-12-31 23:59:59", true, -1},
        {"2000-03-01 00:00:00", true, 60 * 86400}, {"2001-01-01 00:00:01", true, 366 * 86400 + 1},
        {"2024-01-01 06:00:00", true, 8766LL * 86400 + 6 * 3600}, {"2023-02-29 00:00:00", false, 0},
        {"2024-13-01 00:00:00", false, 0}, {"2024-01-01 24:00:00", false, 0}, {"2024-1-01 00:00:00", false, 0},
        {"2024-01-01T00:00:00", false, 0}, {"2024-01-01 00:00:00 ", false, 0},
    };
    for (const auto& r : rows) {
        CLocalTime t;
        ASSERT_EQ(ParseLocalTime(r.text, t), r.ok) << r.text;
        if (!r.ok) continue;
        EXPECT_EQ(SecondsOf(t), r.seconds) << r.text;
        EXPECT_EQ(FormatLocalTime(t), r.text);
    }
}

namespace {

const char kFile[] =
    u8"http://a/\t正常\t200\t\t\t2024-05-01 09:00:00\r\n"
    u8"http://b/\t移転\t301\thttps://b/\t\t2024-05-01 09:00:01\r\n"
    u8"http://c/\t切れ\t404\t\t2024-04-30 08:00:00\t2024-05-01 09:00:02\r\n"
    u8"http://d/\t切れ\t\t\t2024-05-01 00:00:00\t2024-05-01 09:00:03\r\n"
    u8"http://e/\tエラー\t500\t\t2024-05-01 09:00:04\t2024-05-01 09:00:04\r\n"
    u8"http://f/\t拒否\t403\t\t2024-05-01 09:00:05\t2024-05-01 09:00:05\r\n";

std::string Addresses(const CCheckResults& results) {
    std::string out;
    for (const CLinkRecord& r : results.Records()) out += r.address + StateWordUtf8(r.state) + " ";
    return out;
}

}  // namespace

TEST(CheckResultsFile, RoundTrip) {
    CCheckResults results;
    ASSERT_TRUE(ParseResults(kFile, results));
    EXPECT_EQ(FormatResults(results), kFile);
    EXPECT_TRUE(IsConfirmedDead(*results.Find("http://c/")));
    EXPECT_TRUE(IsUnconfirmedGone(*results.Find("http://d/")));
    EXPECT_EQ(results.Find("http://b/")->finalAddress, "https://b/");
    EXPECT_EQ(results.Find("http://d/")->status, 0);
    EXPECT_EQ(results.Find("http://x/"), nullptr);
    const std::string line = u8"http://a/\t正常\t200\t\t\t2024-05-01 09:00:00";
    const struct {
        const char* what;
        std::string bytes;
        bool ok;
        std::string read;
    } rows[] = {
        {"empty", "", true, ""},
        {"LF alone, no last line end", line + "\n" + u8"http://0/\t拒否\t403\t\t\t2024-05-01 09:00:00", true,
         u8"http://0/拒否 http://a/正常 "},
        {"an address twice: the last counts", line + "\r\n" + u8"http://a/\t切れ\t404\t\t\t2024-05-01 09:00:00", true,
         u8"http://a/切れ "},
        {"byte order mark", "\xEF\xBB\xBF" + line, true, u8"http://a/正常 "},
        {"five fields", u8"http://a/\t正常\t200\t\t2024-05-01 09:00:00", false, ""},
        {"seven fields", line + "\t", false, ""},
        {"the word of an unconfirmed 切れ", u8"http://a/\t切れ?\t404\t\t\t2024-05-01 09:00:00", false, ""},
        {"a word in code page 932", "http://a/\t正常\t200\t\t\t2024-05-01 09:00:00", false, ""},
        {"bad last time", u8"http://a/\t正常\t200\t\t\t2024-05-01 9:00:00", false, ""},
        {"bad first time", u8"http://a/\t切れ\t404\t\tyesterday\t2024-05-01 09:00:00", false, ""},
        {"status not a number", u8"http://a/\t正常\t2x0\t\t\t2024-05-01 09:00:00", false, ""},
        {"status too long", u8"http://a/\t正常\t2000\t\t\t2024-05-01 09:00:00", false, ""},
        {"no address", u8"\t正常\t200\t\t\t2024-05-01 09:00:00", false, ""},
        {"an empty line between", line + "\r\n\r\n" + line, false, ""},
        {"a good line, then a bad one", line + "\r\nhttp://b/", false, ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        CCheckResults read;
        read.Put(CLinkRecord());
        EXPECT_EQ(ParseResults(r.bytes, read), r.ok);
        EXPECT_EQ(Addresses(read), r.read);
    }
}

namespace {

// Results files in memory, with the failures a disk can have.
class CMemoryCheckFiles : public ICheckFiles {
public:
    bool hasFolder = true, readFails = false, renameFails = false;
    std::map<std::string, std::string> files;
    bool ResultsFolder(HostName& folder) override {
        folder = "r";
        return hasFolder;
    }
    FileRead ReadWhole(const HostName& path, std::string& bytes) override {
        if (!files.count(path)) return FileRead::Missing;
        bytes = files[path];
        return readFails ? FileRead::Failed : FileRead::Read;
    }
    bool ReplaceWhole(const HostName& path, const std::string& bytes) override {
        files[path] = bytes;
        return true;
    }
    bool Rename(const HostName& path, const HostName& newPath) override {
        if (renameFails || !files.count(path)) return false;
        files[newPath] = files[path];
        files.erase(path);
        return true;
    }
};

}  // namespace

TEST(CheckResultsFile, Load) {
    const std::string path = std::string("r") + kHostSeparator + "linkcheck-3.tsv";
    const struct {
        const char* what;
        const char* bytes;  // null: no file
        bool hasFolder, readFails, renameFails;
        ResultsLoad load;
        size_t records;
        std::string left, aside;  // the file and its ".bad" afterwards
    } rows[] = {
        {"missing", nullptr, true, false, false, ResultsLoad::Missing, 0, "<none>", "old"},
        {"read", kFile, true, false, false, ResultsLoad::Read, 6, kFile, "old"},
        {"not a results file", "<html>", true, false, false, ResultsLoad::SetAside, 0, "<none>", "<html>"},
        {"cannot be read", kFile, true, true, false, ResultsLoad::SetAside, 0, "<none>", kFile},
        {"cannot be set aside", "<html>", true, false, true, ResultsLoad::Unreadable, 0, "<html>", "old"},
        {"no folder", kFile, false, false, false, ResultsLoad::Unreadable, 0, kFile, "old"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        CMemoryCheckFiles files;
        files.hasFolder = r.hasFolder;
        files.readFails = r.readFails;
        files.renameFails = r.renameFails;
        files.files[path + ".bad"] = "old";
        if (r.bytes) files.files[path] = r.bytes;
        CCheckResults results;
        results.Put(CLinkRecord());
        EXPECT_EQ(LoadResults(files, 3, results), r.load);
        EXPECT_EQ(results.Records().size(), r.records);
        EXPECT_EQ(files.files.count(path) ? files.files[path] : "<none>", r.left);
        EXPECT_EQ(files.files[path + ".bad"], r.aside);
    }
}

TEST(CheckResultsFile, HostFiles) {
    CTempDir dir;
    ASSERT_TRUE(dir.ok());
    CPosixCheckFiles files("Orvelle");
    CCheckResults results, read;
    ASSERT_TRUE(ParseResults(kFile, results));
    EXPECT_FALSE(ReadStoredResults(files, 2, read));
    ASSERT_TRUE(StoreResults(files, 2, results));
    EXPECT_EQ(CTempDir::Get("Orvelle/linkcheck-2.tsv"), kFile);
    EXPECT_FALSE(CTempDir::Exists("Orvelle/linkcheck-2.tsv.new"));
    EXPECT_TRUE(ReadStoredResults(files, 2, read));
    EXPECT_EQ(FormatResults(read), kFile);
    // A bad file: read as none and left alone, then set aside over an older one.
    CTempDir::Put("Orvelle/linkcheck-2.tsv", "junk");
    CTempDir::Put("Orvelle/linkcheck-2.tsv.bad", "older");
    EXPECT_FALSE(ReadStoredResults(files, 2, read));
    EXPECT_EQ(CTempDir::Get("Orvelle/linkcheck-2.tsv"), "junk");
    EXPECT_EQ(LoadResults(files, 2, read), ResultsLoad::SetAside);
    EXPECT_EQ(CTempDir::Get("Orvelle/linkcheck-2.tsv.bad"), "junk");
    EXPECT_EQ(LoadResults(files, 2, read), ResultsLoad::Missing);
    // A folder where the file should be cannot be replaced.
    CTempDir::MakeFolder("Orvelle/linkcheck-4.tsv/x");
    EXPECT_FALSE(StoreResults(files, 4, results));
    EXPECT_FALSE(CTempDir::Exists("Orvelle/linkcheck-4.tsv.new"));
}

namespace {

// |perHost| addresses on each of |hosts| hosts, in turn or host by host.
std::vector<std::string> Spread(int hosts, int perHost, bool byHost) {
    std::vector<std::string> addresses;
    for (int i = 0; i < hosts * perHost; ++i) {
        const int host = byHost ? i / perHost : i % hosts;
        addresses.push_back("http://h" + std::to_string(host) + "/" + std::to_string(i));
    }
    return addresses;
}

struct CRun {
    CFakeHttp http;
    CFakeClock clock;
    CPosixCheckThreads threads;
    CCheckProgress progress;
    CCheckResults results;
    CheckEnd Check(const std::vector<std::string>& addresses) {
        return CheckAddresses(addresses, results, CCheckPlatform{http, clock, threads}, progress);
    }
};

}  // namespace

TEST(CheckAddresses, Limits) {
    const struct {
        const char* what;
        bool byHost;
    } rows[] = {{"hosts in turn", false}, {"sorted by host", true}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        CRun run;
        run.http.sleepMicroseconds = 500;
        // Addresses on hosts 1 and 2 in either order of the list.
        run.http.script["HEAD http://h1/41"] = {Answer(404)};
        run.http.script["HEAD http://h2/82"] = {Answer(301, "https://h2/new")};
        run.http.script["HEAD https://h2/new"] = {Answer(200)};
        run.results.Put(NextRecord(nullptr, "http://gone/", kOk, 200, "", AtHour(0)));
        EXPECT_EQ(run.Check(Spread(5, 40, r.byHost)), CheckEnd::Finished);
        EXPECT_LE(run.http.maxOpenPerHost, kRequestsPerHost);
        EXPECT_LE(run.http.maxOpenInAll, kRequestsInAll);
        EXPECT_EQ(run.results.Records().size(), 200u);
        EXPECT_EQ(run.results.Find("http://gone/"), nullptr);
        EXPECT_EQ(run.progress.total, 200);
        EXPECT_EQ(run.progress.done, 200);
        EXPECT_EQ(run.progress.counts[static_cast<int>(kOk)], 198);
        EXPECT_EQ(run.progress.counts[static_cast<int>(kGone)], 1);
        EXPECT_EQ(run.results.Find("http://h2/82")->finalAddress, "https://h2/new");
        EXPECT_EQ(FormatLocalTime(run.results.Find("http://h1/41")->firstFailure), "2024-05-01 09:00:00");
        // The last host's first address is asked for long before the first
        // host's last one, however the list is sorted.
        const auto& log = run.http.log;
        const std::string firstOfLast = "HEAD http://h4/" + std::to_string(r.byHost ? 160 : 4);
        EXPECT_LT(std::find(log.begin(), log.end(), firstOfLast) - log.begin(), 20);
    }
}

TEST(CheckAddresses, StopKeepsWhatWasChecked) {
    CRun run;
    run.http.sleepMicroseconds = 200;
    run.http.hangingHosts = {"h4"};
    run.http.stopFlag = &run.progress.stop;
    run.http.stopAfterAnswers = 30;
    EXPECT_EQ(run.Check(Spread(5, 40, false)), CheckEnd::Stopped);
    EXPECT_EQ(run.http.cancels, 1);
    const size_t kept = run.results.Records().size();
    EXPECT_GE(kept, 30u);
    EXPECT_LT(kept, 40u);
    EXPECT_EQ(static_cast<size_t>(run.progress.done), kept);
    for (const CLinkRecord& r : run.results.Records()) {
        EXPECT_EQ(r.state, kOk) << r.address;
        EXPECT_EQ(HostOf(r.address).find("h4"), std::string::npos) << r.address;
    }
}

TEST(CheckAddresses, Offline) {
    const struct {
        const char* what;
        int hosts, perHost;
        std::string answering;  // an address that answers, or none
        CheckEnd end;
        size_t records;
    } rows[] = {
        {"no address resolves", 5, 20, "", CheckEnd::Offline, 1},
        {"three addresses, none resolves", 3, 1, "", CheckEnd::Offline, 1},
        {"one of five answers", 5, 1, "http://h2/2", CheckEnd::Finished, 5},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        CRun run;
        run.http.otherwise = Failed(HttpFailure::NoSuchHost);
        run.http.script["HEAD " + r.answering] = {Answer(200)};
        run.results.Put(NextRecord(nullptr, "http://h0/0", kOk, 200, "", AtHour(0)));
        EXPECT_EQ(run.Check(Spread(r.hosts, r.perHost, false)), r.end);
        EXPECT_EQ(run.results.Records().size(), r.records);
        EXPECT_EQ(run.results.Find("http://h0/0")->state, r.end == CheckEnd::Offline ? kOk : kGone);
    }
}

TEST(CheckAddresses, FailureInAWorker) {
    CRun run;
    run.http.throwsFor = "http://h3/13";
    run.results.Put(NextRecord(nullptr, "http://old/", kOk, 200, "", AtHour(0)));
    EXPECT_THROW(run.Check(Spread(5, 20, false)), std::bad_alloc);
    EXPECT_EQ(Addresses(run.results), u8"http://old/正常 ");
}
