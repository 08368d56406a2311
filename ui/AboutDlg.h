// The About box (template 100): name, version and the home page, which a
// click on its text opens in the browser.
#pragma once
#include "ui/Dialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();

protected:
    // Sets the home page text of control 1000 from kHomePageUrl.
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code) override;

private:
    // Asks the shell to open the home page; the box stays open.
    void OnHomePage();

    static const CommandEntry<CAboutDlg> kCommands[];
};
