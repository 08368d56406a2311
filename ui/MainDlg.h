// The main dialog (template 102): the settings form, the link list and the
// command buttons. Owns all working state of a run.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "settings/SettingsStore.h"
#include "check/CheckRun.h"
#include "core/MainState.h"
#include "export/PageOutput.h"
#include "links/FolderSource.h"
#include "links/BookmarkFiles.h"
#include "links/SourceChoices.h"
#include "res/resource.h"
#include "ui/Dialog.h"
#include "ui/ProfileDlg.h"

// System menu command that opens the About box.
const UINT kAboutCommandId = IDM_ABOUTBOX;  // 16

class CMainDlg : public CDialog, public CMainState, public IMainHost {
public:
    // |store| serves the profile switch, |folders| and |files| the Import
    // and the source drop-down, |pages| the Write, |check| the link check;
    // all must outlive the dialog. Loads the application icon.
    CMainDlg(ISettingsStore& store, IFolderSource& folders, IBookmarkFiles& files, IPageSink& pages,
             CCheckServices& check);

    // IMainHost.
    // Every edit's whole text and the check box state into the fields.
    void TakeControlValues() override;
    // The fields into the controls; an edit is rewritten only where its text
    // differs. A JAVA flag outside 0..2 is first set to 0.
    void ShowFieldValues() override;
    // Refills list box 1005 from m_linkList in list order (no sorted insert).
    void LinkListChanged() override;
    // MsgBox of |kind|, owned by the main dialog.
    void ShowMessage(const std::string& text, MsgKind kind) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;

    // The embedded profile dialog; keeps the last confirmed choice.
    CProfileDlg m_profileDlg;
    HICON m_icon = nullptr;

protected:
    BOOL OnInitDialog() override;
    void ShowValues() override { ShowFieldValues(); }
    void TakeValues() override { TakeControlValues(); }
    bool OnCommand(int id, int code) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    void OnStyleSingle() { m_style = STYLE_SINGLE; }
    void OnStyleIndex() { m_style = STYLE_INDEX; }
    void OnStyleFrames() { m_style = STYLE_FRAMES; }
    void OnStyleAnchors() { m_style = STYLE_ANCHORS; }
    void OnStyleToday() { m_style = STYLE_TODAY; }
    void OnImport();
    void OnBrowse();
    void OnWrite();
    // The link check of the list's addresses, its progress dialog, the
    // closing message, then its report page in the default browser.
    void OnLinkCheck();
    // 1 to 4: the active profile's number.
    int ProfileNumber() const;
    void OnDelete();
    void OnBackUrlKillFocus() { TakeControlValues(); }
    void OnProfile();
    void OnSourceChange();

    // Fills drop-down 1020 with the sources of the active profile and
    // selects m_source's item; its open list as wide as its longest item.
    void ShowSourceChoices();
    // The Open dialog for a bookmark HTML file; OK makes it the source.
    void ChooseHtmlSource();

    bool OnPaintMinimised();
    // Checks the radio of m_style; any other value checks none.
    void CheckStyleRadio();
    std::string EditText(int id) const;
    void ShowEditText(int id, const std::string& text);

    static const CommandEntry<CMainDlg> kCommands[];

    ISettingsStore& m_store;
    IFolderSource& m_folders;
    IBookmarkFiles& m_files;
    IPageSink& m_pages;
    CCheckServices& m_check;
    // The browser profiles found, and per profile section the bookmark HTML
    // files chosen in this run.
    std::vector<CSourceChoice> m_browserProfiles;
    std::map<std::string, std::vector<std::string>> m_htmlChosen;
    std::vector<CSourceChoice> m_sourceChoices;  // the items of 1020, in order
    size_t m_sourceIndex = 0;                    // the item selected before a change
    HCURSOR m_restoreCursor = nullptr;
    int m_waitDepth = 0;
};
