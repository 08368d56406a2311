#include "cmdline/CommandLine.h"

#include <functional>
#include <memory>
#include <utility>

#include "settings/Profile.h"
#include "core/MainState.h"
#include "core/Text.h"
#include "core/Texts.h"
#include "check/CheckRun.h"
#include "export/CheckReport.h"
#include "export/Export.h"
#include "links/Import.h"

namespace {

// "/name" or "-name", the name in any case.
bool IsOption(const std::string& arg, const char* name) {
    if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-')) return false;
    size_t i = 1;
    for (; name[i - 1] != '\0'; ++i)
        if (i >= arg.size() || AsciiLower(arg[i]) != name[i - 1]) return false;
    return i == arg.size();
}

bool AllDigits(const std::string& arg) {
    if (arg.empty()) return false;
    for (char c : arg)
        if (c < '0' || c > '9') return false;
    return true;
}

CCommandLine Refuse(const std::string& argument) {
    CCommandLine line;
    line.kind = CCommandLine::Error;
    line.badArgument = argument;
    return line;
}

// The window of the dialog, with nothing to show: the fields are the
// controls, and every message is kept for the caller.
class CSilentHost : public IMainHost {
public:
    void TakeControlValues() override {}
    void ShowFieldValues() override {}
    void LinkListChanged() override {}
    void ShowMessage(const std::string& text, MsgKind kind) override { m_messages.emplace_back(text, kind); }
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}

    bool Told() const { return !m_messages.empty(); }
    const std::pair<std::string, MsgKind>& Last() const { return m_messages.back(); }

private:
    std::vector<std::pair<std::string, MsgKind>> m_messages;
};

}  // namespace

CCommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CCommandLine line;
    bool haveCommand = false;
    std::string logOption;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (IsOption(arg, "write") || IsOption(arg, "check") || IsOption(arg, "?")) {
            if (haveCommand) return Refuse(arg);
            haveCommand = true;
            line.kind = IsOption(arg, "?")       ? CCommandLine::Usage
                        : IsOption(arg, "check") ? CCommandLine::Check
                                                 : CCommandLine::Write;
            if (line.kind != CCommandLine::Usage && i + 1 < args.size() && AllDigits(args[i + 1])) {
                const std::string& number = args[++i];
                if (number.size() != 1 || number[0] < '1' || number[0] > '4') return Refuse(number);
                line.profile = number[0] - '0';
            }
        } else if (IsOption(arg, "log")) {
            if (!logOption.empty() || i + 1 >= args.size()) return Refuse(arg);
            logOption = arg;
            line.logFile = args[++i];
        } else {
            return Refuse(arg);
        }
    }
    // A log belongs to a run that writes pages or checks links.
    if (!logOption.empty() && line.kind != CCommandLine::Write && line.kind != CCommandLine::Check)
        return Refuse(logOption);
    return line;
}

std::string CommandUsageText() { return kCommandUsageText; }

std::string BadArgumentText(const std::string& argument) { return kBadArgumentText + argument; }

namespace {

bool IsSlash(char c) { return c == '\\' || c == '/'; }

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// "C:" of a drive path, "\\server\share" of a share; empty for any other.
std::string RootOf(const std::string& folder) {
    if (folder.size() >= 2 && IsDriveLetter(folder[0]) && folder[1] == ':') return folder.substr(0, 2);
    if (folder.size() < 3 || !IsSlash(folder[0]) || !IsSlash(folder[1])) return std::string();
    // Past the server and the share name (each "\\" found where a character begins).
    size_t names = 0;
    for (size_t i = 2; i < folder.size(); i = NextChar(folder, i)) {
        if (IsSlash(folder[i]) && ++names == 2) return folder.substr(0, i);
    }
    return folder;
}

// Loads profile |profile| into |state| as the dialog does and imports from
// its source. False, with the text in |outcome|, unless the Import was
// complete: a partial list must not replace good pages or results.
bool LoadAndImport(int profile, const CCommandPlatform& platform, CMainState& state, CSilentHost& host,
                   CWriteOutcome& outcome) {
    state.m_profileSection = kProfileChoices[profile - 1].section;
    LoadProfile(platform.store, state.m_profileSection, state, state.m_javaText);
    const CImportOutcome imported = RunImport(state, host, platform.folders, platform.files);
    if (imported.end == ImportEnd::Complete) return true;
    outcome.text = imported.end == ImportEnd::Failed ? std::string(kImportFailedText) + "\n" + imported.error
                                                     : imported.message;
    return false;
}

CWriteOutcome ImportAndWrite(int profile, const CCommandPlatform& platform) {
    CWriteOutcome outcome;
    // On the heap: the genre array is large.
    std::unique_ptr<CMainState> state(new CMainState);
    CSilentHost host;
    if (!LoadAndImport(profile, platform, *state, host, outcome)) return outcome;
    state->m_outputPath = OutputFromProgramFolder(state->m_outputPath, platform.programFolder);
    // The fifth style marks the links the stored check results call dead.
    CCheckResults results;
    const bool marked = state->m_style == STYLE_TODAY && platform.check &&
                        ReadStoredResults(platform.check->files, profile, results);
    RunWrite(*state, host, platform.pages, marked ? &results : nullptr);
    if (!host.Told()) {
        outcome.text = kWriteFailedText;
        return outcome;
    }
    outcome.text = host.Last().first;
    if (host.Last().second == MsgKind::Completion) {
        outcome.exitCode = kExitWritten;
        outcome.text += "\n" + state->m_outputPath;
    }
    return outcome;
}

CWriteOutcome ImportAndCheck(int profile, const CCommandPlatform& platform) {
    CWriteOutcome outcome;
    std::unique_ptr<CMainState> state(new CMainState);
    CSilentHost host;
    if (!LoadAndImport(profile, platform, *state, host, outcome)) return outcome;
    if (state->m_linkList.Count() == 0) {
        outcome.text = kEmptyListText;
        return outcome;
    }
    size_t notChecked = 0;
    const std::vector<std::string> addresses = AddressesToCheck(state->m_linkList, notChecked);
    CCheckProgress progress;
    const CCheckRunOutcome checked =
        RunLinkCheck(profile, addresses, notChecked, *platform.check, progress);
    outcome.text = checked.text;
    if (checked.end != CheckRunEnd::Checked) return outcome;
    // The report beside the results; a report that cannot be written takes
    // nothing from the stored results.
    HostName report;
    if (StoreCheckReport(*state, checked.results, platform.check->clock.Now(), platform.check->files, profile, report))
        outcome.text += std::string("\n") + kCheckReportText + TextFromHostName(report);
    outcome.exitCode = kExitWritten;
    return outcome;
}

}  // namespace

std::string OutputFromProgramFolder(const std::string& output, const std::string& programFolder) {
    if (output.empty() || programFolder.empty()) return output;
    if (IsSlash(output[0])) {
        if (output.size() >= 2 && IsSlash(output[1])) return output;  // a share or "\\?\"
        const std::string root = RootOf(programFolder);
        return root.empty() ? output : root + output;
    }
    if (output.size() >= 2 && IsDriveLetter(output[0]) && output[1] == ':') {
        if (output.size() >= 3 && IsSlash(output[2])) return output;
        const std::string root = RootOf(programFolder);
        if (root.size() != 2 || AsciiLower(root[0]) != AsciiLower(output[0])) return output;
        return programFolder + output.substr(2);
    }
    return programFolder + output;
}

namespace {

// |run|, or when it throws, kExitNotWritten with |failedText| and what the
// error was: nothing was written or stored, and the log must say so and why.
CWriteOutcome Guarded(const std::function<CWriteOutcome()>& run, const char* failedText) {
    CWriteOutcome outcome;
    try {
        return run();
    } catch (...) {
        outcome.exitCode = kExitNotWritten;
        outcome.text = std::string(failedText) + "\n" + ErrorText(std::current_exception());
    }
    return outcome;
}

}  // namespace

CWriteOutcome RunWriteCommand(int profile, const CCommandPlatform& platform) {
    if (profile < 1 || profile > 4) return CWriteOutcome();
    return Guarded([&] { return ImportAndWrite(profile, platform); }, kWriteFailedText);
}

CWriteOutcome RunCheckCommand(int profile, const CCommandPlatform& platform) {
    if (profile < 1 || profile > 4 || !platform.check) return CWriteOutcome();
    return Guarded([&] { return ImportAndCheck(profile, platform); }, kCheckFailedText);
}

std::string LogLine(const CLocalTime& time, int profile, int exitCode, const std::string& text) {
    const std::string stamp =
        FormatLocalTime(time) + "\t" + std::to_string(profile) + "\t" + std::to_string(exitCode) + "\t";
    std::u16string wide = Utf16FromText(text);
    std::u16string flat;
    flat.reserve(wide.size());
    for (size_t i = 0; i < wide.size(); ++i) {
        if (wide[i] == u'\r' || wide[i] == u'\n') {
            // CR LF is one line break, and one space.
            if (wide[i] == u'\r' && i + 1 < wide.size() && wide[i + 1] == u'\n') ++i;
            flat.push_back(u' ');
        } else {
            flat.push_back(wide[i]);
        }
    }
    return stamp + Utf8FromUtf16(flat) + "\r\n";
}
