#pragma once
// The frame's only child window. It is never seen; it owns the notification-area icon:
// added when it is created, removed and restored around the dialogs, deleted when it is
// destroyed. The icon belongs to the frame (its window, id 1001), whose notifications arrive
// there as WM_APP_TRAY_NOTIFY.
#include <windows.h>
#include <shellapi.h>

#include "res/AppMessages.h"
#include "win/UniqueHandle.h"
#include "win/Window.h"

constexpr UINT kTrayIconId = 1001;

class TrayIconWnd : public Window {
public:
    using NotifyIconProc = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAW data);
    static constexpr UINT kRetryMs = 500;

    // The notification-area function; tests put a refusing one in its place.
    void SetNotifyIconProc(NotifyIconProc proc) noexcept { m_pfnNotify = proc; }
    // Whether a refused add is waiting for its next attempt.
    bool IsAddPending() const noexcept { return m_bAddPending; }
    // Whether the shell took the icon as version 3 at its last add: it then tells of the
    // keyboard too (NIN_KEYSELECT; WM_CONTEXTMENU for the menu key and after a right click).
    bool IsKeyboardVersion() const noexcept { return m_bKeyboardVersion; }

    // The record of every request: the first layout of the wide record, zero-filled, its tip
    // converted from the program's code page.
    static NOTIFYICONDATAW MakeRecord(HWND frame, HICON icon, bool forAdd);
    // The place on the screen of the frame's icon, where the shell tells it (Windows 7 on);
    // false otherwise. Asks the shell's process: on a worker.
    static bool IconRectOf(HWND frame, RECT* rect);

protected:
    bool PreCreateWindow(CREATESTRUCTW& cs) override;
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void OnPaint();
    void OnDestroy();
    void AddTrayIcon();
    void RetryAdd();
    void DeleteTrayIcon();
    void CancelRetry();
    // After every add: the icon's version, which the shell forgets with the icon.
    void SetKeyboardVersion();

    NotifyIconProc m_pfnNotify = &::Shell_NotifyIconW;
    UniqueIcon m_hIcon;
    bool m_bAddPending = false;
    bool m_bKeyboardVersion = false;
};
