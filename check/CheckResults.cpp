#include "check/CheckResults.h"

#include <algorithm>
#include <cstdio>

namespace {

struct CStateWords {
    const char* utf8;
    const char* text;
};
// In LinkState's order. The narrow literals compile to code page 932.
const CStateWords kStateWords[kLinkStateCount] = {
    {u8"正常", "正常"}, {u8"移転", "移転"}, {u8"切れ", "切れ"}, {u8"拒否", "拒否"}, {u8"エラー", "エラー"},
};

bool IsFailure(LinkState state) { return state != LinkState::Ok && state != LinkState::Moved; }

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int NumberAt(std::string_view text, size_t pos, size_t count) {
    int value = 0;
    for (size_t i = pos; i < pos + count; ++i) value = value * 10 + (text[i] - '0');
    return value;
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos) return fields;
        start = tab + 1;
    }
}

// One line of the file, without its line end.
bool ParseRecord(std::string_view line, CLinkRecord& record) {
    const std::vector<std::string_view> fields = SplitTabs(line);
    if (fields.size() != 6 || fields[0].empty() || line.find('\r') != std::string_view::npos) return false;
    record = CLinkRecord();
    record.address = std::string(fields[0]);
    int state = 0;
    while (state < kLinkStateCount && fields[1] != kStateWords[state].utf8) ++state;
    if (state == kLinkStateCount) return false;
    record.state = static_cast<LinkState>(state);
    const std::string_view status = fields[2];
    if (status.size() > 3 || !std::all_of(status.begin(), status.end(), IsDigit)) return false;
    record.status = status.empty() ? 0 : NumberAt(status, 0, status.size());
    record.finalAddress = std::string(fields[3]);
    record.hasFirstFailure = !fields[4].empty();
    if (record.hasFirstFailure && !ParseLocalTime(fields[4], record.firstFailure)) return false;
    return ParseLocalTime(fields[5], record.lastCheck);
}

// The results file's path, or false when there is no results folder.
bool ResultsPath(ICheckFiles& files, int profile, HostName& path) {
    HostName folder;
    if (!files.ResultsFolder(folder)) return false;
    path = folder;
    if (!path.empty() && path.back() != kHostSeparator && path.back() != '/') path += kHostSeparator;
    const std::string name = ResultsFileName(profile);
    path.append(name.begin(), name.end());
    return true;
}

}  // namespace

const char kUnconfirmedUtf8[] = u8"切れ?";
const char kUnconfirmedText[] = "切れ?";

const char* StateWordUtf8(LinkState state) { return kStateWords[static_cast<int>(state)].utf8; }

const char* StateWordText(LinkState state) { return kStateWords[static_cast<int>(state)].text; }

bool IsConfirmedDead(const CLinkRecord& record) {
    return record.state == LinkState::Gone && record.hasFirstFailure &&
           SecondsOf(record.lastCheck) - SecondsOf(record.firstFailure) >= int64_t{kConfirmHours} * 3600;
}

bool IsUnconfirmedGone(const CLinkRecord& record) {
    return record.state == LinkState::Gone && !IsConfirmedDead(record);
}

int64_t SecondsOf(const CLocalTime& time) {
    const int64_t days = DaysFromCivil(time.year, time.month, time.day) - DaysFromCivil(2000, 1, 1);
    return days * 86400 + time.hour * 3600 + time.minute * 60 + time.second;
}

std::string FormatLocalTime(const CLocalTime& time) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month, time.day, time.hour,
                  time.minute, time.second);
    return text;
}

bool ParseLocalTime(std::string_view text, CLocalTime& time) {
    static const char kShape[] = "0000-00-00 00:00:00";
    if (text.size() != sizeof kShape - 1) return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (kShape[i] == '0' ? !IsDigit(text[i]) : text[i] != kShape[i]) return false;
    CLocalTime t;
    t.year = NumberAt(text, 0, 4);
    t.month = NumberAt(text, 5, 2);
    t.day = NumberAt(text, 8, 2);
    t.hour = NumberAt(text, 11, 2);
    t.minute = NumberAt(text, 14, 2);
    t.second = NumberAt(text, 17, 2);
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > DaysInMonth(t.year, t.month) || t.hour > 23 ||
        t.minute > 59 || t.second > 59)
        return false;
    time = t;
    return true;
}

namespace {

std::vector<CLinkRecord>::const_iterator LowerBound(const std::vector<CLinkRecord>& records,
                                                    std::string_view address) {
    return std::lower_bound(records.begin(), records.end(), address,
                            [](const CLinkRecord& r, std::string_view a) { return std::string_view(r.address) < a; });
}

}  // namespace

const CLinkRecord* CCheckResults::Find(std::string_view address) const {
    auto it = LowerBound(m_records, address);
    return it != m_records.end() && it->address == address ? &*it : nullptr;
}

void CCheckResults::Put(CLinkRecord record) {
    auto it = m_records.begin() + (LowerBound(m_records, record.address) - m_records.cbegin());
    if (it != m_records.end() && it->address == record.address)
        *it = std::move(record);
    else
        m_records.insert(it, std::move(record));
}

void CCheckResults::KeepOnly(const std::vector<std::string>& keep) {
    size_t kept = 0, k = 0;
    for (size_t i = 0; i < m_records.size(); ++i) {
        while (k < keep.size() && keep[k] < m_records[i].address) ++k;
        if (k == keep.size() || keep[k] != m_records[i].address) continue;
        if (kept != i) m_records[kept] = std::move(m_records[i]);
        ++kept;
    }
    m_records.erase(m_records.begin() + kept, m_records.end());
}

CLinkRecord NextRecord(const CLinkRecord* previous, const std::string& address, LinkState state, int status,
                       const std::string& finalAddress, const CLocalTime& now) {
    CLinkRecord record;
    record.address = address;
    record.state = state;
    record.status = status;
    if (state == LinkState::Moved) record.finalAddress = finalAddress;
    record.lastCheck = now;
    if (IsFailure(state)) {
        // The run goes on only while every check finds the same failure: a
        // "切れ" confirmed never rests on a check that found something else.
        record.hasFirstFailure = true;
        const bool runGoesOn = previous && previous->hasFirstFailure && previous->state == state;
        record.firstFailure = runGoesOn ? previous->firstFailure : now;
    }
    return record;
}

std::string FormatResults(const CCheckResults& results) {
    std::string out;
    out.reserve(results.Records().size() * 96);
    for (const CLinkRecord& r : results.Records()) {
        out += r.address;
        out += '\t';
        out += StateWordUtf8(r.state);
        out += '\t';
        if (r.status != 0) out += std::to_string(r.status);
        out += '\t';
        out += r.finalAddress;
        out += '\t';
        if (r.hasFirstFailure) out += FormatLocalTime(r.firstFailure);
        out += '\t';
        out += FormatLocalTime(r.lastCheck);
        out += "\r\n";
    }
    return out;
}

bool ParseResults(std::string_view bytes, CCheckResults& results) {
    results.Clear();
    // An editor may have put a byte order mark in front.
    static const char kBom[] = "\xEF\xBB\xBF";
    size_t pos = bytes.substr(0, 3) == kBom ? 3 : 0;
    std::vector<CLinkRecord> records;
    while (pos < bytes.size()) {
        size_t end = bytes.find('\n', pos);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        CLinkRecord record;
        if (!ParseRecord(line, record)) return false;
        records.push_back(std::move(record));
    }
    // Put in sorted order, each one at the end; of an address's lines the
    // last replaces the others.
    std::stable_sort(records.begin(), records.end(),
                     [](const CLinkRecord& a, const CLinkRecord& b) { return a.address < b.address; });
    for (CLinkRecord& record : records) results.Put(std::move(record));
    return true;
}

std::string ResultsFileName(int profile) { return "linkcheck-" + std::to_string(profile) + ".tsv"; }

std::string ReportFileName(int profile) { return "linkcheck-" + std::to_string(profile) + ".html"; }

ResultsLoad LoadResults(ICheckFiles& files, int profile, CCheckResults& results) {
    results.Clear();
    HostName path;
    if (!ResultsPath(files, profile, path)) return ResultsLoad::Unreadable;
    std::string bytes;
    const FileRead read = files.ReadWhole(path, bytes);
    if (read == FileRead::Missing) return ResultsLoad::Missing;
    if (read == FileRead::Read && ParseResults(bytes, results)) return ResultsLoad::Read;
    // Kept for whoever wants to look at it; the check starts fresh.
    HostName aside = path;
    const std::string bad = ".bad";
    aside.append(bad.begin(), bad.end());
    return files.Rename(path, aside) ? ResultsLoad::SetAside : ResultsLoad::Unreadable;
}

bool StoreResults(ICheckFiles& files, int profile, const CCheckResults& results) {
    HostName path;
    return ResultsPath(files, profile, path) && files.ReplaceWhole(path, FormatResults(results));
}

bool ReadStoredResults(ICheckFiles& files, int profile, CCheckResults& results) {
    results.Clear();
    HostName path;
    std::string bytes;
    if (!ResultsPath(files, profile, path) || files.ReadWhole(path, bytes) != FileRead::Read) return false;
    return ParseResults(bytes, results);
}
