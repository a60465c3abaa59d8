#pragma once
// Running one of our modal dialogs inside a test: the dialog's own loop runs the test's
// actions, and a dialog that the actions leave open fails the test instead of hanging it.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

#include "common/ModalScript.h"
#include "win/Dialog.h"

// Runs a dialog modally and, once it is on screen, hands its window to act from the dialog's
// own loop. A dialog that act left open is closed after a grace period and reported, so that
// a fault fails the test instead of hanging the run.
class ModalRun {
public:
    INT_PTR Show(Dialog& dialog, std::function<void(HWND)> act) {
        m_bLeftOpen = false;
        ULONGLONG deadline = 0;
        ModalScript script;
        script
            .Then([&] {
                if (!dialog.Hwnd() || !::IsWindowVisible(dialog.Hwnd())) return false;
                act(dialog.Hwnd());
                return true;
            })
            .Then([&] {
                if (!dialog.Hwnd()) return true;
                if (!deadline) deadline = ::GetTickCount64() + 2000;
                if (::GetTickCount64() < deadline) return false;
                m_bLeftOpen = true;
                ::PostMessageA(dialog.Hwnd(), WM_CLOSE, 0, 0);
                return true;
            });
        script.Start();
        const INT_PTR result = dialog.DoModal();
        EXPECT_FALSE(m_bLeftOpen) << "the dialog stayed open";
        return result;
    }

private:
    bool m_bLeftOpen = false;
};

// Where the dialog manager put a control, in the dialog's client coordinates.
inline RECT ControlRect(HWND dialog, int id) {
    RECT rect{};
    ::GetWindowRect(::GetDlgItem(dialog, id), &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}
