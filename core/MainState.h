// The working state that the main dialog owns (settings fields, the link list,
// the genre array) and the window interface through which the commands reach
// the dialog. Portable, so the commands' logic runs without Windows.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/LinkList.h"

// Output style values.
enum : int32_t {
    STYLE_SINGLE = 1,
    STYLE_INDEX = 2,
    STYLE_FRAMES = 3,
    STYLE_ANCHORS = 4,
    STYLE_TODAY = 5,  // the page for today's readers: HTML5, UTF-8, phone-ready
};

struct CMainState {
    std::string m_profileSection;
    int32_t m_style = 0;
    CLinkList m_linkList;
    std::string m_caption;
    int m_useJava = 0;
    std::string m_backUrl;
    std::string m_outputPath;
    // The output file as the Save As dialog gave it, kept until the field is
    // edited by hand; empty when the output is known by its text alone.
    HostName m_outputRealPath;
    std::string m_stdGenre;
    std::string m_excludeText;
    std::string m_includeText;
    // Where Import takes the links from (setting "Source"): empty for the
    // Favorites folder, else a kind and a file's full path (links/Sources.h).
    std::string m_source;
    // The source as the active profile held it when loaded: a profile that
    // never had one is saved without one.
    std::string m_loadedSource;
    // Genre of list entry i at index i; valid from DeriveGenres to the next
    // change of the list.
    std::vector<std::string> m_genres = std::vector<std::string>(kMaxLinks);
    std::string m_javaText;
    // Working genre of DeriveGenres; never reset while the dialog lives.
    std::string m_workGenre;
};

// The kinds of message box the program shows, each with one OK button.
enum class MsgKind {
    Refusal,        // caption "Orvelle", exclamation icon, owned by the main dialog
    Completion,     // caption "Orvelle", information icon, owned by the main dialog
    SettingsError,  // caption "情報設定エラー", no icon, no owner
};

// What the commands need of the window around the state.
class IMainHost {
public:
    virtual ~IMainHost() = default;
    // Controls into fields, and fields into controls.
    virtual void TakeControlValues() = 0;
    virtual void ShowFieldValues() = 0;
    // The list content changed as a whole; the window shows it anew.
    virtual void LinkListChanged() = 0;
    // A modal message box of |kind|; returns when the user has closed it.
    virtual void ShowMessage(const std::string& text, MsgKind kind) = 0;
    // Wait cursor on and off.
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
};

// The wait cursor of one command: on from construction until End() or the
// end of the scope, whichever comes first, so that a command that fails
// half-way never leaves it on.
class CWaitCursor {
public:
    explicit CWaitCursor(IMainHost& host) : m_host(host) { m_host.BeginWaitCursor(); }
    ~CWaitCursor() {
        try {
            End();
        } catch (...) {
        }
    }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    void End() {
        if (!m_on) return;
        m_on = false;
        m_host.EndWaitCursor();
    }

private:
    IMainHost& m_host;
    bool m_on = true;
};
