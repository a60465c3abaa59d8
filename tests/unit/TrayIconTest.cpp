// The tray icon window with a stand-in for the notification area, and the tray menu.
#include <gtest/gtest.h>

#include <vector>

#include "shell/TrayIconWnd.h"
#include "shell/TrayMenu.h"

namespace {
struct Request {
    DWORD message;
    NOTIFYICONDATAW record;
};

// The stand-in notification area: refuses every request until accepting is set.
struct FakeNotificationArea {
    static std::vector<Request>& Requests() {
        static std::vector<Request> requests;
        return requests;
    }
    static bool& Accepting() {
        static bool accepting = false;
        return accepting;
    }
    static BOOL WINAPI Notify(DWORD message, PNOTIFYICONDATAW record) {
        Requests().push_back({message, *record});
        return message == NIM_DELETE || Accepting();
    }
};

class FrameStandIn : public Window {
public:
    bool Create() {
        CREATESTRUCTW cs{};
        cs.style = static_cast<LONG>(WS_POPUP);
        return CreateEx(cs);
    }
};

void PumpFor(unsigned ms) {
    const ULONGLONG end = ::GetTickCount64() + ms;
    MSG msg;
    while (::GetTickCount64() < end) {
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
        ::Sleep(10);
    }
}

class TrayIcon : public ::testing::Test {
protected:
    void SetUp() override {
        FakeNotificationArea::Requests().clear();
        FakeNotificationArea::Accepting() = false;
        ASSERT_TRUE(m_frame.Create());
        m_tray.SetNotifyIconProc(&FakeNotificationArea::Notify);
    }
    bool CreateTray() {
        CREATESTRUCTW cs{};
        cs.style = static_cast<LONG>(WS_CHILD | WS_VISIBLE | WS_BORDER);
        cs.hwndParent = m_frame.Hwnd();
        return m_tray.CreateEx(cs);
    }
    FrameStandIn m_frame;
    TrayIconWnd m_tray;
};

TEST_F(TrayIcon, RefusedAddIsRetriedWithoutBlockingAndEndsWithModify) {
    const ULONGLONG start = ::GetTickCount64();
    ASSERT_TRUE(CreateTray());
    EXPECT_LT(::GetTickCount64() - start, 400u) << "creation must not wait for the shell";
    EXPECT_TRUE(m_tray.IsAddPending());
    ASSERT_EQ(FakeNotificationArea::Requests().size(), 1u);
    EXPECT_EQ(FakeNotificationArea::Requests()[0].message, static_cast<DWORD>(NIM_ADD));

    PumpFor(1200);  // two retries: modify then add, each refused
    auto& requests = FakeNotificationArea::Requests();
    ASSERT_GE(requests.size(), 3u);
    EXPECT_EQ(requests[1].message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(requests[2].message, static_cast<DWORD>(NIM_ADD));

    FakeNotificationArea::Accepting() = true;
    PumpFor(700);
    EXPECT_FALSE(m_tray.IsAddPending());
    ASSERT_GE(requests.size(), 2u);
    EXPECT_EQ(requests[requests.size() - 2].message, static_cast<DWORD>(NIM_MODIFY));
    // The icon's version after every add that succeeds: 3, so that the shell tells of the
    // keyboard too and lParam stays the message alone.
    EXPECT_EQ(requests.back().message, static_cast<DWORD>(NIM_SETVERSION));
    EXPECT_EQ(requests.back().record.cbSize, static_cast<DWORD>(NOTIFYICONDATAW_V2_SIZE));
    EXPECT_EQ(requests.back().record.uVersion, 3u);
    EXPECT_TRUE(m_tray.IsKeyboardVersion());
    const std::size_t settled = requests.size();
    PumpFor(700);
    EXPECT_EQ(requests.size(), settled) << "no requests after success";
}

TEST_F(TrayIcon, RecordsOfAddAndDeleteAndRemoveStopsRetrying) {
    ASSERT_TRUE(CreateTray());
    const NOTIFYICONDATAW add = FakeNotificationArea::Requests().at(0).record;
    EXPECT_EQ(add.cbSize, sizeof(void*) == 4 ? 152u : 168u) << "the first layout of the wide record";
    EXPECT_EQ(add.hWnd, m_frame.Hwnd()) << "the icon belongs to the frame";
    EXPECT_EQ(add.uID, 1001u);
    EXPECT_EQ(add.uFlags, 7u);
    EXPECT_EQ(add.uCallbackMessage, 0x8064u);
    EXPECT_NE(add.hIcon, nullptr);
    // At the system's small-icon size, whatever the display's scale.
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(add.hIcon, &info));
    BITMAP image{};
    ::GetObjectA(info.hbmColor, sizeof image, &image);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    EXPECT_EQ(image.bmWidth, ::GetSystemMetrics(SM_CXSMICON));
    EXPECT_STREQ(add.szTip, L"お気に入り設定") << "the same tip on a system of any code page";

    ::SendMessageA(m_tray.Hwnd(), WM_APP_TRAY_REMOVE, 0, 0);
    EXPECT_FALSE(m_tray.IsAddPending());
    const NOTIFYICONDATAW removed = FakeNotificationArea::Requests().back().record;
    EXPECT_EQ(FakeNotificationArea::Requests().back().message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(removed.uFlags, 0u);
    EXPECT_EQ(removed.uCallbackMessage, 0u);
    EXPECT_EQ(removed.uID, 1001u);

    FakeNotificationArea::Accepting() = true;
    ::SendMessageA(m_tray.Hwnd(), WM_APP_TRAY_RESTORE, 0, 0);
    const auto& requests = FakeNotificationArea::Requests();
    EXPECT_EQ(requests[requests.size() - 2].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(requests.back().message, static_cast<DWORD>(NIM_SETVERSION));
    EXPECT_FALSE(m_tray.IsAddPending());

    m_tray.DestroyWindow();
    EXPECT_EQ(FakeNotificationArea::Requests().back().message, static_cast<DWORD>(NIM_DELETE));
}

TEST(TrayMenu, SettingsIsTheDefaultOfSixItemsWithTheKeysSecond) {
    UniqueMenu menu = LoadTrayMenu();
    ASSERT_TRUE(menu);
    HMENU popup = ::GetSubMenu(menu.Get(), 0);
    ASSERT_EQ(::GetMenuItemCount(popup), 6);
    EXPECT_EQ(::GetMenuItemID(popup, 1), static_cast<UINT>(IDM_SHOW_KEYS));
    EXPECT_EQ(::GetMenuDefaultItem(popup, FALSE, 0), static_cast<UINT>(IDM_SETTINGS));
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE | MIIM_FTYPE;
    ASSERT_TRUE(::GetMenuItemInfoA(popup, 0, TRUE, &info));
    EXPECT_TRUE(info.fState & MFS_DEFAULT) << "shown bold";
    ASSERT_TRUE(::GetMenuItemInfoA(popup, 4, TRUE, &info));
    EXPECT_TRUE(info.fType & MFT_SEPARATOR) << "start at sign-in stands between About and the separator";
}
// The menu key opens the menu at the icon, clear of it; a right click at the pointer.
TEST(TrayMenu, OpensAtTheIconForTheKeyboardAndAtThePointerForAClick) {
    const POINT pointer{5, 7};
    const RECT icon{100, 580, 120, 600};
    const struct {
        UINT notification;
        DWORD sinceRightButtonUp;
        bool iconKnown;
        bool atIcon;
    } cases[] = {
        {WM_CONTEXTMENU, 60000, true, true},   // the menu key, Shift+F10
        {WM_CONTEXTMENU, 100, true, false},    // after a right click
        {WM_RBUTTONDOWN, 60000, true, false},  // a shell without the keyboard's messages
        {WM_CONTEXTMENU, 60000, false, false}, // a shell that does not tell the icon's place
    };
    for (const auto& c : cases) {
        const bool asked = TrayMenuAtIcon(c.notification, c.sinceRightButtonUp, 500);
        const TrayMenuPlace place = PlaceTrayMenu(pointer, asked && c.iconKnown ? &icon : nullptr);
        EXPECT_EQ(place.at.x, c.atIcon ? icon.right : pointer.x) << c.notification << " " << c.sinceRightButtonUp;
        EXPECT_EQ(place.at.y, c.atIcon ? icon.top : pointer.y) << c.notification << " " << c.sinceRightButtonUp;
        EXPECT_EQ(::EqualRect(&place.exclude, &icon), c.atIcon ? TRUE : FALSE);
    }
}
}  // namespace
