// At 150 % (144 DPI, a prefix of its own, see tests/e2e/CMakeLists.txt): the dialogs grow,
// and every one of them must still lie on the work area of this 1024x768 desktop.
#include <gtest/gtest.h>

#include "Installation.h"
#include "ProgramUnderTest.h"
#include "ScreenCapture.h"
#include "WindowQuery.h"
#include "common/FileText.h"
#include "res/KeyControlIds.h"
#include "res/resource.h"

namespace {
void ExpectOnWorkArea(HWND window, const char* what) {
    RECT rect{}, work{};
    ::GetWindowRect(window, &rect);
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_GE(rect.left, work.left) << what;
    EXPECT_GE(rect.top, work.top) << what;
    EXPECT_LE(rect.right, work.right) << what;
    EXPECT_LE(rect.bottom, work.bottom) << what;
}

TEST(Dpi144, DialogsStayOnTheWorkArea) {
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    ASSERT_EQ(dpi, 144) << "this test runs in the 144-DPI prefix";

    Installation install("dpi", HookChoice::None);
    ASSERT_TRUE(WriteFileBytes(install.Ini(), "[KeySet1]\r\nLink=" + install.Probe() + "\r\n"));
    ProgramUnderTest program(install.Program(), install.Dir());
    HWND frame = program.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    HWND settings = program.OpenSettings();
    ASSERT_NE(settings, nullptr);
    ExpectOnWorkArea(settings, "settings");
    // The key linking to a program shows an icon (its size cannot be read from another
    // process under Wine: the icon and tray icon sizes are checked in-process).
    EXPECT_TRUE(WaitUntil([&] { return KeyImage(::GetDlgItem(settings, KeyButtonId(0)), ::GetDlgItem(settings, KeyButtonId(29))) != nullptr; }, 5000));
    SaveScreenshotIfAsked("settings-dialog");

    ::PostMessageA(::GetDlgItem(settings, IDC_LIST_BUTTON), BM_CLICK, 0, 0);
    HWND list = program.WaitForDialogTitled("お気に入り設定一覧");
    ASSERT_NE(list, nullptr);
    ExpectOnWorkArea(list, "list");
    SaveScreenshotIfAsked("list-dialog");
    ::PostMessageA(::GetDlgItem(list, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(list); }, 5000));

    ::PostMessageA(::GetDlgItem(settings, KeyButtonId(0)), BM_CLICK, 0, 0);
    HWND link = program.WaitForDialogTitled("リンク情報設定");
    ASSERT_NE(link, nullptr);
    ExpectOnWorkArea(link, "link");
    SaveScreenshotIfAsked("link-dialog");
    ::PostMessageA(::GetDlgItem(link, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(link); }, 5000));

    ::PostMessageA(::GetDlgItem(settings, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(settings); }, 5000));
    EXPECT_TRUE(program.CloseFrame());
}
}  // namespace
