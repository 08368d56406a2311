// The working state that the main dialog owns: settings fields, the link list
// and the genre array. Portable, so the commands' logic runs without Windows.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "links/LinkList.h"

// Output style values.
enum : int32_t {
    STYLE_SINGLE = 1,
    STYLE_INDEX = 2,
    STYLE_FRAMES = 3,
    STYLE_ANCHORS = 4,
};

struct CMainState {
    std::string m_profileSection;
    int32_t m_style = 0;
    CLinkList m_linkList;
    std::string m_caption;
    int m_useJava = 0;
    std::string m_backUrl;
    std::string m_outputPath;
    std::string m_stdGenre;
    std::string m_excludeText;
    std::string m_includeText;
    // Genre of list entry i at index i; valid from DeriveGenres to the next
    // change of the list.
    std::vector<std::string> m_genres = std::vector<std::string>(kMaxLinks);
    std::string m_javaText;
    // Working genre of DeriveGenres; never reset while the dialog lives.
    std::string m_workGenre;
};

// Icons of the command messages (caption "Orvelle", one OK button).
enum class MsgIcon { Exclamation, Information };

// What the commands need of the window around the state.
class IMainHost {
public:
    virtual ~IMainHost() = default;
    // Controls into fields, and fields into controls.
    virtual void TakeControlValues() = 0;
    virtual void ShowFieldValues() = 0;
    // The list content changed as a whole; the window shows it anew.
    virtual void LinkListChanged() = 0;
    // A modal message owned by the main dialog, caption "Orvelle".
    virtual void ShowMessage(const char* text, MsgIcon icon) = 0;
    // Wait cursor on and off.
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
};
