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

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// "/name" or "-name", the name in any case.
bool IsOption(const std::string& arg, const char* name) {
    if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-')) return false;
    size_t i = 1;
    for (; name[i - 1] != '\0'; ++i)
        if (i >= arg.size() || Lower(arg[i]) != name[i - 1]) return false;
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

CWriteOutcome RunWriteCommand(int profile, ISettingsStore& store, IFolderSource& folders, IPageSink& pages) {
    CWriteOutcome outcome;
    if (profile < 1 || profile > 4) return outcome;
    // On the heap: the genre array is large.
    std::unique_ptr<CMainState> state(new CMainState);
    state->m_profileSection = kProfileChoices[profile - 1].section;
    LoadProfile(store, state->m_profileSection, *state, state->m_javaText);

    CSilentHost host;
    RunImport(*state, host, folders);
    if (host.Told()) {
        // The source could not be read, or held too many links: the pages of
        // a partial list must not replace good ones.
        outcome.text = host.Last().first;
        return outcome;
    }
    RunWrite(*state, host, pages);
    if (!host.Told()) {
        outcome.text = kWriteFailedText;
        return outcome;
    }
    outcome.text = host.Last().first;
    outcome.exitCode = host.Last().second == MsgKind::Completion ? kExitWritten : kExitNotWritten;
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
