// The link check as a scheduled task runs it: "/check 2" on a bookmark file
// whose links point at the test server (tests/e2e/linkserver.js, started by
// run.sh on 127.0.0.1, its address in ORV_LINK_SERVER and its counts in the
// file ORV_LINK_STATS). What it tells, logs and stores is typed here by hand.
#include "Driver.h"

#include <rapidjson/document.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace drv {
namespace {

// One link of the bookmark file and what one check must store for it.
struct CServerLink {
    const char* path;
    const char* state;  // the state's word; nullptr: not checked, no line
    const char* status;
    bool moved;   // the final address is the server's /ok
    int heads;    // requests the check makes of the path
    int gets;
};

// HEAD first; a GET only after 400, 403, 405, 429, 5xx or a reset; one
// more try, HEAD again, after a 5xx or a timeout.
const CServerLink kLinks[] = {
    {"/ok", "正常", "200", false, -1, 0},
    {"/moved301", "移転", "200", true, 1, 0},
    {"/moved308", "移転", "200", true, 1, 0},
    {"/chain302a", "正常", "200", false, 1, 0},
    {"/gone404", "切れ", "404", false, 1, 0},
    {"/gone410", "切れ", "410", false, 1, 0},
    {"/nohead405", "正常", "200", false, 1, 1},
    {"/nohead403", "正常", "200", false, 1, 1},
    {"/toomany429", "拒否", "429", false, 1, 1},
    {"/error500", "エラー", "500", false, 2, 2},
    {"/slow", "エラー", "", false, 2, 0},
    {"/loop", "エラー", "302", false, -1, 0},
    {"/reset", "エラー", "", false, 1, 1},
};
const char* const kUnchecked[] = {"mailto:someone@example.com", "ftp://127.0.0.1/file.txt"};

const char kDone[] = "リンクの確認が完了しました。";

// "YYYY-MM-DD hh:mm:ss" |hours| earlier; empty when |stamp| is not one.
std::string HoursBefore(const std::string& stamp, int hours)
{
    SYSTEMTIME st = {};
    unsigned y, mo, d, h, mi, s;
    if (sscanf(stamp.c_str(), "%4u-%2u-%2u %2u:%2u:%2u", &y, &mo, &d, &h, &mi, &s) != 6)
        return "";
    st.wYear = (WORD)y, st.wMonth = (WORD)mo, st.wDay = (WORD)d, st.wHour = (WORD)h, st.wMinute = (WORD)mi,
    st.wSecond = (WORD)s;
    FILETIME ft;
    if (!SystemTimeToFileTime(&st, &ft))
        return "";
    ULARGE_INTEGER v;
    v.LowPart = ft.dwLowDateTime, v.HighPart = ft.dwHighDateTime;
    v.QuadPart -= (ULONGLONG)hours * 3600 * 10000000;
    ft.dwLowDateTime = v.LowPart, ft.dwHighDateTime = v.HighPart;
    FileTimeToSystemTime(&ft, &st);
    char buf[32];
    snprintf(buf, sizeof buf, "%04u-%02u-%02u %02u:%02u:%02u", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute,
             st.wSecond);
    return buf;
}

std::vector<std::string> Split(const std::string& text, const std::string& by)
{
    std::vector<std::string> parts;
    size_t from = 0, at;
    while ((at = text.find(by, from)) != std::string::npos) {
        parts.push_back(text.substr(from, at - from));
        from = at + by.size();
    }
    parts.push_back(text.substr(from));
    return parts;
}

// The results file's lines, each split at its tabs; false when it is not
// lines ended by CR LF.
bool ReadResults(CCheck& t, const std::wstring& path, std::vector<std::vector<std::string>>& lines)
{
    std::string bytes;
    lines.clear();
    if (!t.That(ReadBytes(path, &bytes), "no results file " + Visible(path)))
        return false;
    if (!t.That(bytes.size() >= 2 && bytes.compare(bytes.size() - 2, 2, "\r\n") == 0,
                "the results file does not end with CR LF: \"" + Visible(bytes) + "\""))
        return false;
    for (const std::string& line : Split(bytes.substr(0, bytes.size() - 2), "\r\n"))
        lines.push_back(Split(line, "\t"));
    return true;
}

// The server's counts: the requests per "METHOD /path" and the most open at
// once per host and in all, since it started.
struct CServerCounts {
    std::map<std::string, int> paths;
    int maxOpenPerHost = -1, maxOpen = -1;
};

bool ReadServerCounts(CCheck& t, CServerCounts& counts)
{
    const wchar_t* file = _wgetenv(L"ORV_LINK_STATS");
    std::string text;
    if (!t.That(file && ReadBytes(std::wstring(file), &text), "no counts of the link server (ORV_LINK_STATS)"))
        return false;
    rapidjson::Document doc;
    doc.Parse(text.c_str());
    const bool ok = !doc.HasParseError() && doc.IsObject() && doc.HasMember("paths") && doc["paths"].IsObject() &&
                    doc.HasMember("maxOpenPerHost") && doc["maxOpenPerHost"].IsInt() && doc.HasMember("maxOpen") &&
                    doc["maxOpen"].IsInt();
    if (!t.That(ok, "the link server's counts are not as expected: \"" + Visible(text.substr(0, 80)) + "\""))
        return false;
    counts = CServerCounts();
    for (const auto& m : doc["paths"].GetObject())
        counts.paths[m.name.GetString()] = m.value.IsInt() ? m.value.GetInt() : -1;
    counts.maxOpenPerHost = doc["maxOpenPerHost"].GetInt();
    counts.maxOpen = doc["maxOpen"].GetInt();
    return true;
}

// The bookmark file of |paths| on the server, then the unchecked links.
std::string BookmarkFile(const std::vector<const CServerLink*>& links)
{
    std::string html = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n<TITLE>Bookmarks</TITLE>\r\n<DL><p>\r\n"
                       "<DT><H3>確認</H3>\r\n<DL><p>\r\n";
    for (const CServerLink* link : links)
        html += std::string("<DT><A HREF=\"") + LinkServer() + link->path + "\">" + (link->path + 1) + "</A>\r\n";
    for (const char* address : kUnchecked)
        html += std::string("<DT><A HREF=\"") + address + "\">unchecked</A>\r\n";
    return html + "</DL><p>\r\n</DL><p>\r\n";
}

// "正常 n 件、移転 n 件、切れ n 件、切れ? n 件、拒否 n 件、エラー n 件、確認しないリンク n 件".
std::string Counts(int ok, int moved, int gone, int unconfirmed, int refused, int errors, int unchecked)
{
    char buf[256];
    snprintf(buf, sizeof buf,
             "正常 %d 件、移転 %d 件、切れ %d 件、切れ? %d 件、拒否 %d 件、エラー %d 件、確認しないリンク %d 件", ok,
             moved, gone, unconfirmed, refused, errors, unchecked);
    return buf;
}

// Runs "/check 2 /log |log|": exit 0, what it tells (the counts, the
// results file and the report page beside it), a log line appended.
void CheckRun(CCheck& t, const std::string& dir, const std::string& log, const std::string& counts,
              const std::wstring& results, const std::string& what)
{
    const std::wstring report = results.substr(0, results.size() - 4) + L".html";
    DeleteFileW(report.c_str());
    const std::string text =
        std::string(kDone) + "\n" + counts + "\n確認結果: " + ToCp932(results) + "\n結果のページ: " + ToCp932(report);
    RunLogged(t, L"/check 2", dir, log, 2, 0, text, what);
    t.That(FileExists(report), what + ": no report page " + Visible(report));
}

// Checks the stored lines against |links| (sorted by address as the file
// is): the state, status and final address of each, and its times.
// |firstFailures| (by address) are the first failures the lines must
// carry; a failing line without one began in this check (from..to).
void ExpectResults(CCheck& t, const std::vector<std::vector<std::string>>& lines,
                   const std::vector<const CServerLink*>& links, const std::map<std::string, std::string>& firstFailures,
                   const std::string& from, const std::string& to, const std::string& what)
{
    std::map<std::string, const CServerLink*> want;
    for (const CServerLink* link : links)
        want[LinkServer() + link->path] = link;
    std::string got, wanted;
    for (const auto& line : lines)
        got += line[0] + " ";
    for (const auto& w : want)
        wanted += w.first + " ";
    if (!t.Same(got, wanted, what + ": the addresses stored, in order"))
        return;
    for (const auto& line : lines) {
        const CServerLink& link = *want[line[0]];
        const std::string where = what + ": " + link.path;
        if (!t.That(line.size() == 6, where + ": " + Num((long long)line.size()) + " fields"))
            continue;
        t.Same(line[1], Utf8Bytes(FromCp932(link.state)), where + ": state");
        t.Same(line[2], link.status, where + ": status");
        t.Same(line[3], link.moved ? LinkServer() + "/ok" : "", where + ": final address");
        const bool failing = std::string(link.state) != "正常" && std::string(link.state) != "移転";
        const auto first = firstFailures.find(line[0]);
        if (!failing)
            t.Same(line[4], "", where + ": first failure");
        else if (first != firstFailures.end())
            t.Same(line[4], first->second, where + ": first failure, kept from the check before");
        else
            t.That(from <= line[4] && line[4] <= line[5], where + ": first failure \"" + Visible(line[4]) + "\"");
        t.That(from <= line[5] && line[5] <= to, where + ": last check \"" + Visible(line[5]) + "\", not from " +
                                                      from + " to " + to);
    }
}

// Every link of the test server through WinHTTP, then a second check 21
// hours later (the first failures moved back) without the slow link: "切れ"
// confirmed, the runs of failures kept, the slow link's line dropped. The
// slow link costs two timeouts of 15 s and owes nothing to the code page:
// it is asked for under code page 932 alone.
void ServerAnswers(CCheck& t)
{
    if (!t.That(!LinkServer().empty(), "no link server (ORV_LINK_SERVER): run through tests/e2e/run.sh"))
        return;
    const std::wstring folder = AppDataPathW(AppData::Local) + L"\\Orvelle";
    const std::wstring results = folder + L"\\linkcheck-2.tsv";
    for (const wchar_t* end : {L"", L".new", L".bad"})
        DeleteFileW((results + end).c_str());
    const std::string dir = FreshWorkFolder("lc-check");
    // 表 ends in the byte 0x5C: the names must still be whole.
    const std::string file = dir + "\\リンク表.html", log = dir + "\\表ログ.txt";
    PutSettingString("Orvelle2", "Source", "html:" + file);

    const bool slow = GetACP() == 932;
    std::vector<const CServerLink*> all, quick;
    for (const CServerLink& link : kLinks) {
        const bool isSlow = std::string(link.path) == "/slow";
        if (slow || !isSlow)
            all.push_back(&link);
        if (!isSlow)
            quick.push_back(&link);
    }
    CServerCounts before, after;
    if (!t.That(WriteBytes(file, BookmarkFile(all)), "cannot write the bookmark file") || !ReadServerCounts(t, before))
        return;
    std::string from = LocalStamp();
    CheckRun(t, dir, log, Counts(4, 2, 0, 2, 1, slow ? 4 : 3, 2), results, "first check");
    std::string to = LocalStamp();
    std::vector<std::vector<std::string>> lines;
    if (!ReadResults(t, results, lines))
        return;
    ExpectResults(t, lines, all, {}, from, to, "first check");
    if (ReadServerCounts(t, after)) {
        for (const CServerLink* link : all) {
            const std::string head = std::string("HEAD ") + link->path, get = std::string("GET ") + link->path;
            if (link->heads >= 0)
                t.Same(Num(after.paths[head] - before.paths[head]), Num(link->heads), "requests " + head);
            t.Same(Num(after.paths[get] - before.paths[get]), Num(link->gets), "requests " + get);
        }
        t.That(after.maxOpenPerHost >= 1 && after.maxOpenPerHost <= 2,
               "the server had " + Num(after.maxOpenPerHost) + " requests open at once on one host");
        t.That(after.maxOpen <= 8, "the server had " + Num(after.maxOpen) + " requests open at once");
    }

    // Every failure 21 hours earlier: what a check of the day before left.
    std::map<std::string, std::string> moved;
    std::string edited;
    for (auto& line : lines) {
        if (line.size() == 6 && !line[4].empty())
            line[4] = moved[line[0]] = HoursBefore(line[4], 21);
        for (size_t i = 0; i < line.size(); ++i)
            edited += line[i] + (i + 1 < line.size() ? "\t" : "\r\n");
    }
    if (!t.That(WriteBytes(results, edited), "cannot rewrite the results file") ||
        !t.That(WriteBytes(file, BookmarkFile(quick)), "cannot rewrite the bookmark file"))
        return;
    moved.erase(LinkServer() + "/slow");
    from = LocalStamp();
    CheckRun(t, dir, log, Counts(4, 2, 2, 0, 1, 3, 2), results, "second check");
    to = LocalStamp();
    if (ReadResults(t, results, lines))
        ExpectResults(t, lines, quick, moved, from, to, "second check");
    if (!getenv("ORV_E2E_KEEP")) {
        DeleteFileW(results.c_str());
        DeleteFileW((results.substr(0, results.size() - 4) + L".html").c_str());
    }
}

}  // namespace

void AddLinkCheckScenarios(std::vector<CScenario>& list)
{
    list.push_back({"link check: /check 2 on the test server's answers, then dead links confirmed a day later",
                    ServerAnswers});
}

}  // namespace drv
