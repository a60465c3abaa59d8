#pragma once
// The settings dialog: the thirty favourite keys as icon buttons with caption labels. Edits
// go straight into the application's key-set table; OK saves it, and the command that opened
// the dialog reloads the table afterwards, which is how Cancel discards.
//
// While it is open the dialog is the keyboard hook's target. Every step that runs a nested
// modal loop (a sub-dialog, a question) runs inside a HookPause, so that no key press arrives
// in the middle of it.
#include <windows.h>
#include <shellapi.h>

#include <array>
#include <memory>

#include "browser/BrowserQuery.h"
#include "keys/HookLibrary.h"
#include "res/AppMessages.h"
#include "keys/KeySet.h"
#include "settings/KeyButtonIcons.h"
#include "settings/KeyConflicts.h"
#include "win/AccessibleAnnotations.h"
#include "win/Dialog.h"
#include "win/MessageFilter.h"
#include "win/ToolTip.h"


class SettingsDialog : public Dialog {
public:
    static constexpr int kKeyButtons = 30;

    explicit SettingsDialog(HWND parent);

    // The hook library as the frame loaded it, or null; the dialog keeps it loaded while it
    // is open, even when the frame goes first. Call before DoModal.
    void SetHookLibrary(std::shared_ptr<HookLibrary> library) noexcept { m_hookLib = std::move(library); }
    // The function that admits drops from unelevated Explorer; tests record the calls.
    void SetMessageFilterProc(ChangeWindowMessageFilterExProc proc) noexcept { m_pfnAllowMessage = proc; }

    // The button image for a link; see KeyButtonIcons.
    void SetKeyIcon(HWND button, const char* link) { m_icons.SetKeyIcon(button, link); }
    // What the combinations' conflicts are asked of; tests put their own answers in.
    void SetConflictProbes(ConflictProbes probes) { m_probes = std::move(probes); }


protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnCommandMessage(WPARAM wParam, LPARAM lParam) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnDialogMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool PreTranslateMessage(MSG& msg) override;

private:
    void StartHook() const {
        if (m_hookLib) m_hookLib->Start(Hwnd());
    }
    void StopHook() const {
        if (m_hookLib) m_hookLib->Stop();
    }
    // Every nested modal step runs inside one: no key press arrives while the user answers.
    HookPause PauseHook() const { return HookPause(m_hookLib, Hwnd()); }

    void OpenLinkDialog(UINT commandId);
    void OnDropOnKey(int index, HDROP drop);
    void RelayKeyToolTip(int index, const MSG& msg, HWND button);
    void OnListButton();
    LRESULT OnEditCaption(WPARAM wParam, LPARAM lParam);
    void EditCaption(WPARAM index, LPARAM labelId);
    // A favourite key pressed while the dialog is open: offers the browser's page as its link.
    // Presses that arrive while a capture runs (queued behind its questions) are dropped.
    LRESULT CaptureBrowserPage(WPARAM wParam, LPARAM lParam);
    void CaptureBrowserPageOnto(KeySet& record);
    // The capture's question; OK stores the address as the key's link.
    void OfferPageAddress(KeySet& record, const char* address);
    // A link, typed, dropped or captured, longer than a link may be: refused, never cut.
    void SayLinkTooLong();
    void OnDestroy();
    void PlaceOnScreen();
    // The key's button image, with the warning sign while its combination has a conflict.
    void ShowKeyIcon(int index);
    // The conflicts of the key's combination (the table's record at the index), in words.
    std::string ConflictsOf(int index) const;
    // Asks the system about every key's combination: when the dialog opens and after a
    // combination was chosen, never per mouse move (each probe registers a hotkey and asks
    // every keyboard layout). Every key whose warning sign comes or goes is redrawn.
    void RefreshMarks();
    // The index of the key button the window is, or -1.
    int KeyIndexOfButton(HWND hwnd) const noexcept;
    // What a screen reader says of the key: its name (the button's text, never drawn) and
    // its description; after every change of its caption, link or combination.
    void ShowKeyName(int index);
    // The keyboard on a key button: the arrows, Home and End walk the grid; Enter opens the
    // key's link dialog as Space and a click do; Shift+F10 its caption dialog. True when the
    // key was taken.
    bool OnKeyButtonKey(int index, const MSG& msg);
    // Only one key button is a tab stop: the one last focused, so that Tab leaves the grid
    // for the dialog's buttons and comes back to it.
    void MakeTabStop(int index);
    // Shift+F10 or the menu key on a key button: its caption dialog.
    bool OnContextMenu(HWND window, LPARAM where);

    // The combination that shows the keys at a glance, in its field, with its conflicts (or
    // the note) beneath.
    void ShowGlanceKey(const char* note = nullptr);
    // 「押して設定」 of that row: the next chord pressed is the combination. The hook stays
    // stopped meanwhile, so that the chord is heard here and not as a favourite key.
    void ListenForGlanceKey();
    void StopListeningForGlanceKey();
    bool OnGlanceKey(const MSG& msg);

    ToolTip m_toolTip;
    std::shared_ptr<HookLibrary> m_hookLib;
    ChangeWindowMessageFilterExProc m_pfnAllowMessage = SystemChangeWindowMessageFilterEx();
    KeyButtonIcons m_icons;
    ConflictProbes m_probes = ConflictProbes::System();
    // Each key's conflicts in words, as last probed; a key with any carries the warning sign.
    std::array<std::string, kKeyButtons> m_conflicts{};
    BrowserQuery m_browser;
    AccessibleAnnotations m_annotations;
    bool m_bCapturing = false;
    bool m_bListeningForGlanceKey = false;
};
