// The keys at a glance, from outside: opened from the tray menu over the program in front,
// which keeps the focus and the keys; read by a screen reader as a list; closed by a favourite
// key, which opens its link as ever, and by Esc.
#include <gtest/gtest.h>

#include <oleacc.h>

#include "Installation.h"
#include "LinuxCommand.h"
#include "ProgramUnderTest.h"
#include "ScreenCapture.h"
#include "TypingTarget.h"
#include "WindowQuery.h"
#include "common/FileText.h"
#include "res/AppMessages.h"
#include "res/resource.h"
#include "shell/TrayIconWnd.h"
#include "win/ComApartment.h"

namespace {
// Defined here: MinGW's import library binds IID_IAccessible to a thunk that matches nothing.
constexpr IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// The name and role a screen reader hears of the element (CHILDID_SELF: the object itself).
std::string NameAndRole(IAccessible* object, long child) {
    VARIANT id{};
    id.vt = VT_I4;
    id.lVal = child;
    BSTR name = nullptr;
    VARIANT role{};
    if (FAILED(object->get_accName(id, &name)) || FAILED(object->get_accRole(id, &role))) return "(unreadable)";
    const std::string text = (name ? Cp932OfWide(name) : std::string()) + " | " + std::to_string(role.lVal);
    ::SysFreeString(name);
    return text;
}

TEST(Glance, OpenedFromTheTrayMenuLeavesTheFocusInFrontReadsAsAListAndClosesOnEsc) {
    Installation install("glance", HookChoice::Recording);
    ASSERT_TRUE(WriteFileBytes(install.Ini(), "[KeySet1]\r\nLink=" + install.Probe() + "\r\nCaption=probe\r\n"
                                              "[KeySet3]\r\nLink=mailto:someone@example.com\r\nCaption=メール\r\n"));
    ProgramUnderTest program(install.Program(), install.Dir());
    HWND frame = program.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    TypingTarget front;
    ASSERT_TRUE(front.InFront());
    const HWND inFront = ::GetForegroundWindow();

    // The menu's second item, clicked: its window is read from outside, its items are not.
    for (const UINT message : {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_CONTEXTMENU})
        ::PostMessageA(frame, WM_APP_TRAY_NOTIFY, kTrayIconId, message);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (menu = FindVisibleWindowOfClass(program.Pid(), "#32768")) != nullptr; }, 5000));
    RECT rect{};
    ::GetWindowRect(menu, &rect);
    // Five items of one height and a separator about half as high, within a 3-pixel edge.
    const int item = (rect.bottom - rect.top - 6) * 2 / 11;
    ASSERT_EQ(RunLinuxCommand("xdotool mousemove " + std::to_string(rect.left + 30) + " " +
                                  std::to_string(rect.top + 3 + item * 3 / 2) + " click 1",
                              install.Dir()),
              0);
    HWND glance = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (glance = FindVisibleWindowTitled(program.Pid(), "キーの早見表")) != nullptr; },
                          5000));
    ::Sleep(300);
    EXPECT_EQ(::GetForegroundWindow(), inFront) << "the window in front stays in front";
    EXPECT_EQ(::GetWindowLongW(glance, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_NOACTIVATE),
              WS_EX_TOPMOST | WS_EX_NOACTIVATE);
    SaveScreenshotIfAsked("glance-overlay");

    {
        const ComApartment apartment;
        IAccessible* list = nullptr;
        ASSERT_TRUE(SUCCEEDED(::AccessibleObjectFromWindow(glance, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                                                           reinterpret_cast<void**>(&list))) && list);
        long count = 0;
        EXPECT_TRUE(SUCCEEDED(list->get_accChildCount(&count)));
        EXPECT_EQ(count, 30);
        EXPECT_EQ(NameAndRole(list, CHILDID_SELF), "キーの早見表 | " + std::to_string(ROLE_SYSTEM_LIST));
        EXPECT_EQ(NameAndRole(list, 1), "キー 1: probe | " + std::to_string(ROLE_SYSTEM_LISTITEM));
        EXPECT_EQ(NameAndRole(list, 3), "キー 3: メール | " + std::to_string(ROLE_SYSTEM_LISTITEM));
        EXPECT_EQ(NameAndRole(list, 2), "キー 2: 未設定 | " + std::to_string(ROLE_SYSTEM_LISTITEM));
        list->Release();
    }

    // A favourite key does what it always does, and closes it.
    ::PostMessageA(frame, WM_APP_KEY_HIT, 'A', 3);
    EXPECT_TRUE(WaitUntil([&] { return install.ProbeLaunches().size() == 1; }, 10000));
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(glance); }, 5000));

    // Esc closes it, and reaches the program in front too: the focus never left it.
    ::PostMessageA(frame, WM_COMMAND, IDM_SHOW_KEYS, 0);
    ASSERT_TRUE(WaitUntil([&] { return (glance = FindVisibleWindowTitled(program.Pid(), "キーの早見表")) != nullptr; },
                          5000));
    ASSERT_EQ(RunLinuxCommand("xdotool key Escape", install.Dir()), 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(glance); }, 5000));
    EXPECT_TRUE(WaitUntil([&] { return front.Saw("0x1B"); }, 5000)) << "Esc did not reach the window in front";
    EXPECT_EQ(::GetForegroundWindow(), inFront);
    EXPECT_TRUE(program.CloseFrame());
}
}  // namespace
