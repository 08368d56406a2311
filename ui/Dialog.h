// A small modal dialog object over DialogBoxParamA: the dialog procedure finds
// the object through WM_INITDIALOG's lParam and dispatches commands through a
// static table of {control id, notification code, member handler}.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>

#include "core/MainState.h"

// One row of a dialog's command table.
template <class T>
struct CommandEntry {
    int id;
    int code;
    void (T::*handler)();
};

class CDialog {
public:
    explicit CDialog(int templateId) : m_templateId(templateId) {}
    virtual ~CDialog() = default;
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the dialog modally, owned by |owner| (may be null). Returns the
    // value given to EndDialog, or -1 when the dialog could not be created.
    INT_PTR DoModal(HWND owner);

    HWND Handle() const { return m_hwnd; }

    // Base OK handling: takes the control values, ends with IDOK.
    virtual void OnOK();
    // Base Cancel handling: ends with IDCANCEL without taking anything.
    virtual void OnCancel();

protected:
    // Base initialisation: shows the field values. Returns TRUE to let the
    // platform choose the first focused control.
    virtual BOOL OnInitDialog();
    // The exchange between controls and fields; nothing by default.
    virtual void ShowValues() {}
    virtual void TakeValues() {}
    // Handles WM_COMMAND; true when a handler took it. The base knows only
    // IDOK and IDCANCEL.
    virtual bool OnCommand(int id, int code);
    // Every other message. Returns true and sets |result| when handled.
    virtual bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result);
    // Ends the modal run; later commands (the focus loss while the window
    // goes away, for instance) are ignored.
    void EndDialog(INT_PTR result);
    // Discards Enter and Escape key-downs addressed to this dialog or its
    // controls while it runs. Call before DoModal.
    void FilterEnterAndEscape() { m_filterKeys = true; }

    // Runs the handler of the first row matching |id| and |code|.
    template <class T, size_t N>
    static bool Dispatch(T* self, const CommandEntry<T> (&table)[N], int id, int code) {
        for (const CommandEntry<T>& e : table) {
            if (e.id == id && e.code == code) {
                (self->*e.handler)();
                return true;
            }
        }
        return false;
    }

    HWND m_hwnd = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK KeyFilterProc(int code, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    int m_templateId;
    bool m_ending = false;
    bool m_filterKeys = false;
    HHOOK m_keyHook = nullptr;
};

// Shows |text| modally as a box of |kind| (caption, icon and owner fixed
// there); |owner| is ignored for kinds without an owner. Returns when the
// user has closed it.
void MsgBox(HWND owner, const std::string& text, MsgKind kind);
