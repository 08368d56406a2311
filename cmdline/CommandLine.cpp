#include "cmdline/CommandLine.h"

#include <cstdio>
#include <memory>
#include <utility>

#include "settings/Profile.h"
#include "core/MainState.h"
#include "core/Text.h"
#include "core/Texts.h"
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
        if (IsOption(arg, "write") || IsOption(arg, "?")) {
            if (haveCommand) return Refuse(arg);
            haveCommand = true;
            line.kind = IsOption(arg, "?") ? CCommandLine::Usage : CCommandLine::Write;
            if (line.kind == CCommandLine::Write && i + 1 < args.size() && AllDigits(args[i + 1])) {
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
    // A log belongs to a run that writes pages.
    if (!logOption.empty() && line.kind != CCommandLine::Write) return Refuse(logOption);
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

CWriteOutcome ImportAndWrite(int profile, const CCommandPlatform& platform) {
    CWriteOutcome outcome;
    // On the heap: the genre array is large.
    std::unique_ptr<CMainState> state(new CMainState);
    state->m_profileSection = kProfileChoices[profile - 1].section;
    LoadProfile(platform.store, state->m_profileSection, *state, state->m_javaText);

    CSilentHost host;
    const CImportOutcome imported = RunImport(*state, host, platform.folders, platform.files);
    if (imported.end != ImportEnd::Complete) {
        // The pages of a partial list must not replace good ones.
        outcome.text = imported.end == ImportEnd::Failed ? std::string(kImportFailedText) + "\n" + imported.error
                                                         : imported.message;
        return outcome;
    }
    state->m_outputPath = OutputFromProgramFolder(state->m_outputPath, platform.programFolder);
    RunWrite(*state, host, platform.pages);
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

CWriteOutcome RunWriteCommand(int profile, const CCommandPlatform& platform) {
    CWriteOutcome outcome;
    if (profile < 1 || profile > 4) return outcome;
    try {
        return ImportAndWrite(profile, platform);
    } catch (...) {
        // Nothing was written, and the log must say so and why.
        outcome.exitCode = kExitNotWritten;
        outcome.text = std::string(kWriteFailedText) + "\n" + ErrorText(std::current_exception());
    }
    return outcome;
}

std::string LogLine(const CLogTime& time, int profile, int exitCode, const std::string& text) {
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d\t%d\t%d\t", time.year, time.month, time.day,
                  time.hour, time.minute, time.second, profile, exitCode);
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
