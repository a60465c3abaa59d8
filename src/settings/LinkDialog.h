#pragma once
// Edits the link of one favourite key: typed, pasted, browsed for or dropped onto the edit.
// OK writes the text into the key's record as it stands.
#include <windows.h>
#include <shellapi.h>

#include "keys/KeySetTable.h"
#include "win/Dialog.h"
#include "win/MessageFilter.h"

class LinkDialog : public Dialog {
public:
    static constexpr int kMaxLinkLength = 1024;
    static constexpr char kBrowseFilter[] = "すべてファイル (*.*)|*.*||";
    static constexpr DWORD kBrowseFlags = 0xA1804;  // explorer, no network button, must exist, hide read-only

    // Edits a record of the table it is handed.
    LinkDialog(KeySetTable& table, HWND parent) noexcept;
    // The zero-based index of the key; its number is index + 1.
    void SetKeyIndex(int index) noexcept { m_nKeyIndex = index; }
    // The function that admits drops from unelevated Explorer; tests record the calls.
    void SetMessageFilterProc(ChangeWindowMessageFilterExProc proc) noexcept { m_pfnAllowMessage = proc; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool PreTranslateMessage(MSG& msg) override;

private:
    void OnDropOnEdit(HDROP drop);
    void OnBrowse();
    void SayLinkTooLong();

    KeySetTable& m_table;
    int m_nKeyIndex = 0;
    ChangeWindowMessageFilterExProc m_pfnAllowMessage = SystemChangeWindowMessageFilterEx();
};
