#pragma once
// The thirty keys at a glance: a window over every other, shown on demand, that never takes
// the focus (the window in front keeps it, and the keys the user presses go on to it). It
// closes on a key or a click anywhere, and when its combination or menu item comes again.
//
// Hidden it costs nothing: no window, no hook, no timer, no icon. Everything it needs is made
// when it shows and goes when it closes.
#include <windows.h>

#include <memory>

#include "keys/KeySetTable.h"
#include "win/Window.h"

class GlanceOverlay : public Window {
public:
    GlanceOverlay() noexcept;
    ~GlanceOverlay() override;

    // Shows the table's keys centred on the monitor's work area; true when it shows. The
    // browser's icon (the application's, shared) stands for every web link. Owned by the
    // (hidden) owner, so that it has no button on the taskbar.
    bool Show(const KeySetTable& table, HMONITOR monitor, HICON browserIcon, HWND owner);
    bool IsShown() const noexcept { return Hwnd() != nullptr; }
    void Close() noexcept { DestroyWindow(); }

protected:
    bool PreCreateWindow(CREATESTRUCTW& cs) override;
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Fill(const KeySetTable& table, HICON browserIcon);
    void OnPaint();
    LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);

    struct Shown;
    std::unique_ptr<Shown> m_shown;
};
