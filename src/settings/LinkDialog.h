#pragma once
// Edits what one favourite key does and its combination. What it does: open its first link
// (typed, pasted, browsed for or dropped onto the edit) with the link's arguments, start
// folder and window state, then its further links (each with the same three, in a list the
// user adds to, changes, removes from and reorders); or type a text instead. The combination
// is set by pressing it, or back to the default, with its conflicts shown as warnings. OK
// writes everything into the key's record; a combination the user did not touch is written
// back exactly as it was.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <optional>
#include <utility>
#include <vector>

#include "keys/KeyMatching.h"
#include "keys/KeySetTable.h"
#include "settings/KeyConflicts.h"
#include "win/Dialog.h"
#include "win/MessageFilter.h"

class LinkDialog : public Dialog {
public:
    static constexpr int kMaxLinkLength = 1024;
    static constexpr DWORD kBrowseFlags = 0xA1804;  // explorer, no network button, must exist, hide read-only

    // Edits a record of the table it is handed.
    LinkDialog(KeySetTable& table, HWND parent) noexcept;
    // The zero-based index of the key; its number is index + 1.
    void SetKeyIndex(int index) noexcept { m_nKeyIndex = index; }
    // The function that admits drops from unelevated Explorer; tests record the calls.
    void SetMessageFilterProc(ChangeWindowMessageFilterExProc proc) noexcept { m_pfnAllowMessage = proc; }
    // What the conflicts are asked of; tests put their own answers in.
    void SetConflictProbes(ConflictProbes probes) { m_probes = std::move(probes); }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool PreTranslateMessage(MSG& msg) override;

private:
    void OnDropOnEdit(HDROP drop);
    void OnBrowse();
    // A dropped or browsed file: into the edit when it can be stored, else refused.
    void TakePath(const std::wstring& path);
    void Refuse(const std::wstring& why);
    // The further links in their list, the given one selected; the buttons that need a
    // selection (or room) enabled accordingly.
    void ShowMoreLinks(int selected);
    void OnMoreLinkButton(UINT id);
    // Opening links or typing: the fields of the other choice are greyed.
    void ShowChoice();
    bool TypesText() const;
    // The typed text as it can be stored ("\n" for each line break), or nothing after a box.
    std::optional<std::string> ReadTypedText();
    // While listening, a key-down is the combination (or Esc, or a refused chord).
    bool OnComboKey(const MSG& msg);
    // The combination in its field, with its conflicts (or a hint) beneath.
    void ShowCombination(const char* note = nullptr);
    KeyCode EffectiveCode() const;

    KeySetTable& m_table;
    int m_nKeyIndex = 0;
    ChangeWindowMessageFilterExProc m_pfnAllowMessage = SystemChangeWindowMessageFilterEx();
    ConflictProbes m_probes = ConflictProbes::System();
    std::vector<KeyLink> m_moreLinks;
    int m_nKeyCode = 0;  // what OK stores: 0 for the default
    bool m_bComboChanged = false;
    bool m_bListening = false;
};

// The text of the dialog's multi-line edit (CP932) as a key's text: each line break, "\r\n"
// or a lone "\r", is "\n".
std::string TypedTextOfEdit(const std::string& shown);
