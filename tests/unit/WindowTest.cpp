// The window base class: attach and detach, foreign windows, exceptions kept inside.
#include <gtest/gtest.h>

#include <stdexcept>

#include "win/Window.h"

namespace {
class ProbeWindow : public Window {
public:
    int m_nSeen = 0;
    int m_nPreTranslated = 0;
    bool Create(HWND parent = nullptr) {
        CREATESTRUCTW cs{};
        cs.style = parent ? static_cast<LONG>(WS_CHILD) : static_cast<LONG>(WS_POPUP);
        cs.hwndParent = parent;
        return CreateEx(cs);
    }

protected:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_USER + 1) throw std::runtime_error("handler failed");
        if (msg == WM_USER + 2) return ++m_nSeen;
        return DefaultProc(msg, wParam, lParam);
    }
    bool PreTranslateMessage(MSG& msg) override {
        if (msg.message != WM_USER + 3) return false;
        ++m_nPreTranslated;
        return true;
    }
};

TEST(Window, AttachesOnCreateAndDetachesOnDestroy) {
    ProbeWindow window;
    ASSERT_TRUE(window.Create());
    HWND hwnd = window.Hwnd();
    EXPECT_EQ(Window::FromHandle(hwnd), &window);
    EXPECT_EQ(::SendMessageA(hwnd, WM_USER + 2, 0, 0), 1);
    EXPECT_FALSE(window.Create()) << "one window per object";
    window.DestroyWindow();
    EXPECT_EQ(window.Hwnd(), nullptr);
    EXPECT_FALSE(::IsWindow(hwnd));
}

TEST(Window, ExceptionInAHandlerDoesNotLeaveTheWindowProcedure) {
    ProbeWindow window;
    ASSERT_TRUE(window.Create());
    EXPECT_EQ(::SendMessageA(window.Hwnd(), WM_USER + 1, 0, 0), 0);
    EXPECT_EQ(::SendMessageA(window.Hwnd(), WM_USER + 2, 0, 0), 1) << "still works";
}

TEST(Window, ForeignWindowsAreNotOurs) {
    HWND button = ::CreateWindowExA(0, "BUTTON", "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(button, nullptr);
    ::SetWindowLongPtrA(button, GWLP_USERDATA, 0x1234);
    EXPECT_EQ(Window::FromHandle(button), nullptr);
    EXPECT_EQ(Window::FromHandle(nullptr), nullptr);
    ::DestroyWindow(button);
}

TEST(Window, PreTranslateWalksFromTheTargetToItsAncestors) {
    ProbeWindow parent;
    ASSERT_TRUE(parent.Create());
    ProbeWindow child;
    ASSERT_TRUE(child.Create(parent.Hwnd()));
    HWND control = ::CreateWindowExA(0, "BUTTON", "x", WS_CHILD, 0, 0, 10, 10, child.Hwnd(),
                                     nullptr, ::GetModuleHandleA(nullptr), nullptr);
    MSG msg{control, WM_USER + 3, 0, 0, 0, {}};
    EXPECT_TRUE(Window::WalkPreTranslateTree(msg));
    EXPECT_EQ(child.m_nPreTranslated, 1) << "innermost of ours first";
    EXPECT_EQ(parent.m_nPreTranslated, 0);
    msg.message = WM_USER + 4;
    EXPECT_FALSE(Window::WalkPreTranslateTree(msg));
}
}  // namespace
