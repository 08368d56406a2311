// Test stand-ins for the platform: an in-memory settings store and a host
// that records what the commands asked of the window.
#pragma once
#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "settings/Profile.h"
#include "settings/SettingsStore.h"
#include "core/MainState.h"

// Settings kept in a map; typed values so that wrong-type cases can be made.
class CMemoryStore : public ISettingsStore {
public:
    struct Value {
        bool isString = true;
        std::string bytes;  // stored bytes, as the registry keeps them
    };
    std::map<std::string, std::map<std::string, Value>> sections;
    std::set<std::string> failingWrites;  // value names whose write fails
    bool unreachable = false;             // the section key cannot be reached
    std::vector<std::string> writeLog;    // value names in write order

    std::string ReadString(const std::string& section, const char* name,
                           const std::string& def) override {
        const Value* v = Find(section, name);
        if (!v) return def;
        return std::string(v->bytes.c_str());  // up to the first NUL
    }
    int32_t ReadInt(const std::string& section, const char* name, int32_t def) override {
        const Value* v = Find(section, name);
        if (!v || v->bytes.size() > 4) return def;
        uint32_t x = 0;
        for (size_t i = 0; i < v->bytes.size(); ++i)
            x |= static_cast<uint32_t>(static_cast<unsigned char>(v->bytes[i])) << (8 * i);
        return static_cast<int32_t>(x);
    }
    bool WriteString(const std::string& section, const char* name,
                     const std::string& text) override {
        writeLog.push_back(name);
        if (unreachable || failingWrites.count(name)) return false;
        sections[section][name] = Value{true, text + std::string(1, '\0')};
        return true;
    }
    bool WriteInt(const std::string& section, const char* name, int32_t value) override {
        writeLog.push_back(name);
        if (unreachable || failingWrites.count(name)) return false;
        std::string b(4, '\0');
        for (int i = 0; i < 4; ++i) b[i] = static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
        sections[section][name] = Value{false, b};
        return true;
    }
    void PutString(const std::string& section, const std::string& name, const std::string& bytesWithNul) {
        sections[section][name] = Value{true, bytesWithNul};
    }

private:
    const Value* Find(const std::string& section, const char* name) const {
        if (unreachable) return nullptr;
        auto s = sections.find(section);
        if (s == sections.end()) return nullptr;
        auto v = s->second.find(name);
        return v == s->second.end() ? nullptr : &v->second;
    }
};

// A host whose "controls" are a copy of the fields: TakeControlValues copies
// them in, ShowFieldValues copies them out.
class CFakeHost : public IMainHost {
public:
    explicit CFakeHost(CMainState& state) : m_state(state) {}

    struct Controls {
        std::string caption, backUrl, outputPath, stdGenre, excludeText, includeText;
        int useJava = 0;
    } controls;
    std::vector<std::string> events;  // "take", "show", "list", "wait", "endwait", "msg:<text>"
    std::vector<std::pair<std::string, MsgKind>> messages;

    void TakeControlValues() override {
        events.push_back("take");
        m_state.m_caption = controls.caption;
        m_state.m_useJava = controls.useJava;
        m_state.m_backUrl = controls.backUrl;
        m_state.m_outputPath = controls.outputPath;
        m_state.m_stdGenre = controls.stdGenre;
        m_state.m_excludeText = controls.excludeText;
        m_state.m_includeText = controls.includeText;
    }
    void ShowFieldValues() override {
        events.push_back("show");
        controls.caption = m_state.m_caption;
        controls.useJava = (m_state.m_useJava < 0 || m_state.m_useJava > 2) ? 0 : m_state.m_useJava;
        controls.backUrl = m_state.m_backUrl;
        controls.outputPath = m_state.m_outputPath;
        controls.stdGenre = m_state.m_stdGenre;
        controls.excludeText = m_state.m_excludeText;
        controls.includeText = m_state.m_includeText;
    }
    // The list box: a copy of the list's texts as last shown (none with
    // keepBox false: a benchmark measures the program, not the copy).
    void LinkListChanged() override {
        events.push_back("list");
        box.clear();
        if (!keepBox) return;
        for (const CLinkEntry& e : m_state.m_linkList.Items()) box.push_back(e.text);
    }
    void ShowMessage(const std::string& text, MsgKind kind) override {
        events.push_back("msg:" + text);
        messages.emplace_back(text, kind);
    }
    void BeginWaitCursor() override {
        events.push_back("wait");
        ++waitDepth;
    }
    void EndWaitCursor() override {
        events.push_back("endwait");
        --waitDepth;
    }

    std::vector<std::string> box;
    bool keepBox = true;
    int waitDepth = 0;

private:
    CMainState& m_state;
};

// Counts the failed-write reports of SaveProfile.
class CCountingReporter : public IFailedWriteReporter {
public:
    int count = 0;
    void ReportFailedWrite() override { ++count; }
};

// Stored bytes of a REG_SZ text and of a REG_DWORD value.
inline std::string Sz(const std::string& text) { return text + std::string(1, '\0'); }

inline std::string Dword(uint32_t v) {
    std::string b(4, '\0');
    for (int i = 0; i < 4; ++i) b[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return b;
}

// The texts of a list's entries, in list order.
inline std::vector<std::string> ListTexts(const CLinkList& list) {
    std::vector<std::string> texts;
    for (const CLinkEntry& e : list.Items()) texts.push_back(e.text);
    return texts;
}

// Entries made from texts alone.
inline std::vector<CLinkEntry> ToEntries(const std::vector<std::string>& texts) {
    return std::vector<CLinkEntry>(texts.begin(), texts.end());
}

// A copy of |items| in ascending order, for lists whose order is not the point.
template <typename T>
std::vector<T> Sorted(std::vector<T> items) {
    std::sort(items.begin(), items.end());
    return items;
}
