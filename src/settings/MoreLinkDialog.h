#pragma once
// One of a key's further links (Link2 ... Link10) with its arguments, start folder and window
// state, opened from the link dialog to add or change one. OK with an empty link changes
// nothing, as Cancel does.
#include <windows.h>

#include "keys/KeySet.h"
#include "win/Dialog.h"

class MoreLinkDialog : public Dialog {
public:
    MoreLinkDialog(KeyLink link, HWND parent);
    // After IDOK: the link as the user left it.
    const KeyLink& Link() const noexcept { return m_link; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;

private:
    KeyLink m_link;
};
