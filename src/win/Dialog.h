#pragma once
// Modal dialog from a dialog template. DoModal runs its own message loop so that every
// message, including those aimed at the dialog's controls, passes PreTranslateMessage (of
// the dialog and of our windows above the target) before the dialog manager sees it.
#include "win/Window.h"

class Dialog : public Window {
public:
    // parent: the owner; the desktop window or null means no owner is disabled.
    Dialog(UINT templateId, HWND parent) noexcept : m_nTemplateId(templateId), m_hParent(parent) {}

    // IDOK, IDCANCEL or the value given to EndDialog; -1 when the dialog could not be made.
    INT_PTR DoModal();
    void EndDialog(INT_PTR result) noexcept;

protected:
    // Called on WM_INITDIALOG. Return TRUE to let the system set the focus.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // Every WM_COMMAND. The default sends IDOK to OnOK, IDCANCEL to OnCancel and the rest
    // to OnCommand; returns whether the command was handled.
    virtual bool OnCommandMessage(WPARAM wParam, LPARAM lParam);
    // A WM_COMMAND from a control or menu other than IDOK/IDCANCEL; true when handled.
    virtual bool OnCommand(UINT id, UINT code, HWND control);
    // Any other message. Return true when handled and put the message's result in result.
    virtual bool OnDialogMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

    HWND Item(int id) const noexcept { return ::GetDlgItem(Hwnd(), id); }
    HWND Parent() const noexcept { return m_hParent; }

private:
    friend class Window;  // its StaticDialogProc dispatches to us
    INT_PTR Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
    void EnableOwner() noexcept;

    UINT m_nTemplateId;
    HWND m_hParent;
    HWND m_hDisabledOwner = nullptr;  // the owner DoModal disabled, until it is enabled again
    INT_PTR m_nResult = IDCANCEL;
    bool m_bEnded = false;
};
