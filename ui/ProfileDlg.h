// The profile selection dialog (template 130): one drop-down list of the four
// profiles. Embedded in the main dialog, so its choice lasts the whole run.
#pragma once
#include <string>

#include "ui/Dialog.h"

class CProfileDlg : public CDialog {
public:
    CProfileDlg();

    // The text of the item taken at the last OK; empty until then.
    std::string m_profileChoice;

protected:
    // Fills the list with "設定１".."設定４", then selects the last choice.
    BOOL OnInitDialog() override;
    // Selects the first item beginning with m_profileChoice (case-insensitive);
    // an empty choice selects nothing.
    void ShowValues() override;
    // The selected item's text, or empty when none is selected.
    void TakeValues() override;
};
