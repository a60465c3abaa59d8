#pragma once
// The frame's only child window. It is never seen; it owns the notification-area icon.
#include "win/Window.h"

class TrayIconWnd : public Window {
protected:
    bool PreCreateWindow(CREATESTRUCTA& cs) override;
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void OnPaint();
};
