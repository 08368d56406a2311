// The progress of a link check (template 140): the check runs on threads of
// its own while this modal dialog shows how far it is, and "中止" stops it.
#pragma once
#include <exception>
#include <string>
#include <vector>

#include "check/CheckRun.h"
#include "ui/Dialog.h"

class CLinkCheckDlg : public CDialog {
public:
    CLinkCheckDlg(int profile, const std::vector<std::string>& addresses, size_t notChecked,
                  CCheckServices& services);

    // After DoModal: how the check ended, or the error that ended it.
    CCheckRunOutcome m_outcome;
    std::exception_ptr m_error;

protected:
    // Starts the check and the timer that shows its progress.
    BOOL OnInitDialog() override;
    // "中止" and Esc: asks the check to stop; the dialog ends when it has.
    void OnCancel() override;
    // Enter does nothing: only the check's end closes the dialog.
    void OnOK() override {}
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    static DWORD WINAPI CheckThread(LPVOID self);
    void ShowProgress();

    int m_profile;
    const std::vector<std::string>& m_addresses;
    size_t m_notChecked;
    CCheckServices& m_services;
    CCheckProgress m_progress;
    HANDLE m_thread = nullptr;
};
